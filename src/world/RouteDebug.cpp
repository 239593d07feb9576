// The route grid drawn over the world: road cells red with yellow links,
// walkway cells blue with cyan links, near the camera only.
#include "world/Landscape.h"

#include "graphics/D3DRender.h"
#include "graphics/ScreenDraw.h"
#include "graphics/WorldCamera.h"
#include "shell/Game.h"
#include "shell/Input.h"
#include "shell/Settings.h"

namespace {

void DrawCell(const CLandscape& land, const RouteCell& cell, float half, DWORD square, DWORD line)
{
    const D3DXVECTOR3 lift(0.0f, 0.25f, 0.0f);
    const D3DXVECTOR3 p = cell.m_vPosition + lift;
    const D3DXVECTOR3 corners[4] = {
        p + D3DXVECTOR3(-half, 0.0f, half),
        p + D3DXVECTOR3(-half, 0.0f, -half),
        p + D3DXVECTOR3(half, 0.0f, half),
        p + D3DXVECTOR3(half, 0.0f, -half),
    };
    CScreenDraw::DrawQuad3D(corners, square, INVALID_TEXTURE_ID);
    for (int i = 0; i < cell.m_nLinkCount; ++i) {
        const std::uint32_t l = cell.m_nLinks[i];
        const D3DXVECTOR3 q = land.Route(l % LANDSCAPE_GRID, l / LANDSCAPE_GRID).m_vPosition + lift;
        CScreenDraw::DrawLine3D(&p, &q, line);
    }
}

} // namespace

void CLandscape::DrawRouteDebug()
{
    if (g_bDebugOut && g_bKeyInsert && !g_bKeyShift) {
        g_bKeyInsert = 0;
        m_bRouteDebug = !m_bRouteDebug;
    }
    if (!m_bRouteDebug || !g_Game.m_pCamera || m_fWorldSize == 0.0f)
        return;
    g_D3DRender.SetZEnable(TRUE);
    g_D3DRender.SetZWriteEnable(TRUE);
    const D3DXVECTOR3 eye = g_Game.m_pCamera->m_vEye;
    for (int row = 0; row < LANDSCAPE_GRID; ++row)
        for (int column = 0; column < LANDSCAPE_GRID; ++column) {
            const RouteCell& cell = m_Route[row][column];
            if (cell.m_nLinkCount == 0)
                continue;
            if (cell.m_nType == ROUTE_ROAD && m_nRoadCells) {
                const D3DXVECTOR3 d = cell.m_vPosition - eye;
                if (d.x * d.x + d.y * d.y + d.z * d.z < 150.0f * 150.0f)
                    DrawCell(*this, cell, 1.0f, 0xFFFF0000u, 0xFFFFFF00u);
            } else if (cell.m_nType == ROUTE_WALKWAY && m_nWalkwayCells) {
                DrawCell(*this, cell, 0.5f, 0xFF0000FFu, 0xFF00FFFFu);
            }
        }
}
