// The pool of light under a street lamp.
#include "graphics/D3DRender.h"
#include "objects/EffectGate.h"
#include "objects/LightsEffect.h"
#include "objects/StaticObject.h"
#include "shell/Game.h"
#include "shell/RenderPasses.h"
#include "world/Landscape.h"
#include "world/Sky.h"

#include <new>

namespace {

// The pool fades out of the picture long before the lamp itself does.
constexpr float kPoolDistance = 80.0f;
// Lifts the grid off the ground so it does not flicker into the terrain.
constexpr float kLift = 0.025f;

D3DXVECTOR3 OwnerPosition(const CStaticObject* owner)
{
    return D3DXVECTOR3(owner->m_matWorld._41, owner->m_matWorld._42, owner->m_matWorld._43);
}

} // namespace

CGroundLightPool::CGroundLightPool() = default;

void CGroundLightPool::Build(CStaticObject* owner, float r, float g, float b, float a)
{
    if (m_pVertices || !owner || owner->m_nType != GTYPE_LAMPPOST || OwnerPointCount(owner, 1) == 0)
        return;
    m_pVertices = new (std::nothrow) CFixedLightVertex[VERTICES];
    m_pIndices = new (std::nothrow) WORD[INDICES];
    if (!m_pVertices || !m_pIndices) {
        Release();
        return;
    }
    m_pOwner = owner;
    m_Colour = {r, g, b, a};
    const float step = g_Landscape.m_fCellSize;
    m_fHalfWidth = 3.0f * step;
    const D3DXVECTOR3 centre = OwnerPosition(owner);
    for (int j = 0; j < SIDE; ++j) {
        for (int i = 0; i < SIDE; ++i) {
            // The terrain query clamps to the map, so a lamp at the edge
            // lays its outer cells on the border heights.
            D3DXVECTOR3 p(centre.x - m_fHalfWidth + i * step, 0.0f, centre.z + m_fHalfWidth - j * step);
            p.y = GetExactAltitude(&p) + kLift;
            m_pVertices[SIDE * j + i] = {p.x, p.y, p.z, 0xFFFFFFFFu, i / 24.0f, j / 24.0f};
        }
    }
    WORD* index = m_pIndices;
    for (int j = 0; j < SIDE - 1; ++j) {
        for (int i = 0; i < SIDE - 1; ++i) {
            const WORD a0 = static_cast<WORD>(SIDE * j + i), b0 = static_cast<WORD>(SIDE * (j + 1) + i);
            const WORD cell[6] = {a0, b0, static_cast<WORD>(a0 + 1), static_cast<WORD>(a0 + 1), b0,
                                  static_cast<WORD>(b0 + 1)};
            for (WORD v : cell)
                *index++ = v;
        }
    }
}

void CGroundLightPool::Render()
{
    if (!m_pOwner || !m_pOwner->m_bRender || !m_pVertices || !g_Game.m_pCamera)
        return;
    const D3DXVECTOR3 centre = OwnerPosition(m_pOwner);
    if (!g_Game.m_pCamera->IsSphereVisible(&centre, m_fHalfWidth))
        return;
    if (g_CubePassActive || g_WaterPassActive || m_pOwner->m_fCameraDistance > kPoolDistance)
        return;
    const float alpha = m_pOwner->m_Material.Diffuse.a;
    if (alpha == 0.0f || g_Sky.m_fLightsFactor == 0.0f)
        return;
    const std::uint32_t colour = OpaqueLightColour(ScaledColour(m_Colour, alpha * g_Sky.m_fLightsFactor * 0.75f));
    for (int i = 0; i < VERTICES; ++i)
        m_pVertices[i].colour = colour;
    g_D3DRender.AddFixedLightBatch(m_pVertices, m_pIndices, VERTICES, INDICES);
}

void CGroundLightPool::Release()
{
    delete[] m_pVertices;
    m_pVertices = nullptr;
    delete[] m_pIndices;
    m_pIndices = nullptr;
}
