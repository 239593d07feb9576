// Sector creation and release, the per-frame update and the streaming of
// sectors around the camera, the active list, visibility and device loss.
#include "world/Landscape.h"

#include "graphics/D3DRender.h"
#include "objects/Occluder.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/RenderPasses.h"
#include "world/LandscapeSector.h"
#include "world/SectorFieldQueue.h"

#include <btBulletDynamicsCommon.h>

#include <cmath>

namespace {

constexpr float kFarPoint = 100000.0f;
constexpr float kRefreshPeriod = 0.125f;
constexpr int kFillerBand = 5;
// The field-object work done a frame for the sectors streamed in during
// play, in cell visits: some tens of microseconds.
constexpr int kFieldWorkPerFrame = 800;
// A sector streamed in nearer than this share of the view distance (the
// camera jumped) gets its field objects in the same frame.
constexpr float kFieldNearShare = 0.5f;

float Distance(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    const D3DXVECTOR3 d = a - b;
    return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
}

void DestroySector(CLandscapeSector* sector)
{
    sector->Release();
    delete sector;
}

} // namespace

D3DXVECTOR3 CLandscape::SectorStreamCentre(int column, int row) const
{
    const float m = static_cast<float>(m_nCellsPerSector), c = m_fCellSize;
    const float k = std::trunc(c);
    return D3DXVECTOR3(static_cast<float>(column) * m * k + m * c / 2 - m_fWorldSize / 2, m_fHeight / 2,
                       m_fWorldSize / 2 - (static_cast<float>(row) * m * k + m * c / 2));
}

static D3DXVECTOR3 CameraPoint(float height)
{
    D3DXVECTOR3 p = g_Game.m_pCamera ? g_Game.m_pCamera->m_vEye : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    p.y = height / 2;
    return p;
}

void CLandscape::BuildSectors()
{
    ReleaseSectors();
    if (m_fWorldSize <= 0.0f)
        return;
    BuildTerrainMesh();
    const int n = m_nSectorsPerSide;
    for (int t = 0; t < n; ++t)
        for (int s = 0; s < n; ++s) {
            CLandscapeSector* sector = new CLandscapeSector();
            m_pSectors[t * n + s] = sector;
            sector->Load(s, t);
        }
    m_vSortPoint = m_vStreamPoint = D3DXVECTOR3(kFarPoint, kFarPoint, kFarPoint);
}

// Fillers are released before the map sectors: the active list points at
// both, and a filler lives only there.
void CLandscape::ReleaseSectors()
{
    g_SectorFieldQueue.Clear();
    ReleaseTerrainMesh();
    for (std::uint32_t i = 0; i < m_nActiveSectors; ++i) {
        CLandscapeSector* sector = m_pActiveSectors[i];
        if (sector && !sector->IsMapSector())
            DestroySector(sector);
        m_pActiveSectors[i] = nullptr;
    }
    m_nActiveSectors = 0;
    for (CLandscapeSector*& sector : m_pSectors) {
        if (sector)
            DestroySector(sector);
        sector = nullptr;
    }
    if (m_pTerrainBody && g_Game.m_pDynamicsWorld) {
        btDiscreteDynamicsWorld* world = g_Game.m_pDynamicsWorld;
        world->getBroadphase()->getOverlappingPairCache()->cleanProxyFromPairs(
            m_pTerrainBody->getBroadphaseHandle(), world->getDispatcher());
    }
    ReleaseTerrainBody();
    // The next game's first update refreshes the sectors at once.
    m_fRefreshTimer = 0.0f;
}

void CLandscape::Update()
{
    if (m_fWorldSize <= 0.0f)
        return;
    if (!m_pTerrainBody)
        BuildTerrainBody();
    g_SectorFieldQueue.Advance(kFieldWorkPerFrame);
    m_fRefreshTimer -= g_GameTimer.m_fRealDelta;
    if (m_fRefreshTimer > 0.0f)
        return;
    m_fRefreshTimer += kRefreshPeriod;
    const D3DXVECTOR3 p = CameraPoint(m_fHeight);
    if (Distance(m_vSortPoint, p) >= m_fSectorRadius * 0.125f)
        SortActiveSectors();
    if (Distance(m_vStreamPoint, p) >= m_fViewDistance * 0.25f)
        UpdateStreaming(m_fViewDistance, m_nActiveSectors == 0 ? 1 : 0);
    m_nInnerParts = 0;
    m_nClosedWaterParts = 0;
    for (std::uint32_t i = 0; i < m_nActiveSectors; ++i)
        if (m_pActiveSectors[i])
            m_pActiveSectors[i]->Update();
}

// Loading (nothing streamed in yet), a restream and a device reset build the
// sectors' field objects at once, after what was still queued; the passes
// of play queue them.
void CLandscape::UpdateStreaming(float viewDistance, int atOnce)
{
    if (m_fWorldSize <= 0.0f)
        return;
    if (atOnce)
        g_SectorFieldQueue.FinishAll();
    g_SectorFieldQueue.BeginPass(!atOnce);
    const D3DXVECTOR3 eye = CameraPoint(m_fHeight);
    m_vStreamPoint = eye;
    const int n = m_nSectorsPerSide;
    for (int t = -kFillerBand; t < n + kFillerBand; ++t)
        for (int s = -kFillerBand; s < n + kFillerBand; ++s) {
            const float d = Distance(eye, SectorStreamCentre(s, t)) - m_fSectorRadius;
            const bool inside = s >= 0 && s < n && t >= 0 && t < n;
            CLandscapeSector* sector = inside ? m_pSectors[t * n + s] : FindFillerSector(s, t);
            if (d < viewDistance) {
                if (inside) {
                    if (sector && !sector->m_bActive)
                        AddActiveSector(sector);
                } else if (!sector) {
                    sector = new CLandscapeSector();
                    sector->InitFiller(s, t);
                    AddActiveSector(sector);
                }
            } else if (inside) {
                if (sector && sector->m_bActive) {
                    sector->SetActive(0);
                    RemoveActiveSector(sector);
                }
            } else if (sector) {
                DeleteFillerSector(sector);
            }
        }
    g_SectorFieldQueue.EndPass(viewDistance * kFieldNearShare);
    SortActiveSectors();
}

// A full list takes no more: the sector is neither activated nor, for a
// filler, kept (it would be listed nowhere and leak).
void CLandscape::AddActiveSector(CLandscapeSector* sector)
{
    if (m_nActiveSectors >= LANDSCAPE_MAX_SECTORS) {
        sector->Update();
        if (!sector->IsMapSector())
            DestroySector(sector);
        return;
    }
    if (sector->IsMapSector())
        sector->SetActive(1);
    m_pActiveSectors[m_nActiveSectors++] = sector;
    sector->Update();
}

void CLandscape::RemoveActiveSector(CLandscapeSector* sector)
{
    for (std::uint32_t i = 0; i < m_nActiveSectors; ++i)
        if (m_pActiveSectors[i] == sector) {
            for (std::uint32_t j = i + 1; j < m_nActiveSectors; ++j)
                m_pActiveSectors[j - 1] = m_pActiveSectors[j];
            m_pActiveSectors[--m_nActiveSectors] = nullptr;
            return;
        }
}

void CLandscape::DeleteFillerSector(CLandscapeSector* sector)
{
    RemoveActiveSector(sector);
    DestroySector(sector);
}

CLandscapeSector* CLandscape::FindFillerSector(int column, int row)
{
    for (std::uint32_t i = 0; i < m_nActiveSectors; ++i) {
        CLandscapeSector* s = m_pActiveSectors[i];
        if (s && s->m_nCol == column && s->m_nRow == row)
            return s;
    }
    return nullptr;
}

void CLandscape::SortActiveSectors()
{
    if (m_nActiveSectors == 0)
        return;
    m_vSortPoint = CameraPoint(m_fHeight);
    for (std::uint32_t i = 0; i + 1 < m_nActiveSectors; ++i)
        for (std::uint32_t j = i + 1; j < m_nActiveSectors; ++j)
            if (m_pActiveSectors[j]->m_fDistance < m_pActiveSectors[i]->m_fDistance)
                std::swap(m_pActiveSectors[i], m_pActiveSectors[j]);
}

void CLandscape::UpdateSectorVisibility()
{
    if (g_WaterPassActive || g_CubePassActive || !g_Game.m_pCamera)
        return;
    for (std::uint32_t i = 0; i < m_nActiveSectors; ++i)
        if (CLandscapeSector* s = m_pActiveSectors[i])
            s->m_bVisible = g_Game.m_pCamera->IsBoxInFrustum(s->m_Corners) ? 1 : 0;
}

void CLandscape::CullOccludedSectors()
{
    if (g_WaterPassActive || g_CubePassActive)
        return;
    for (std::uint32_t i = 0; i < m_nActiveSectors; ++i) {
        CLandscapeSector* s = m_pActiveSectors[i];
        if (s && s->m_bVisible && IsBoxOccluded(s->m_Corners))
            s->m_bVisible = 0;
    }
}

void CLandscape::ForceRestream()
{
    m_vSortPoint = m_vStreamPoint = D3DXVECTOR3(kFarPoint, kFarPoint, kFarPoint);
    UpdateStreaming(m_fViewDistance, 1);
}

void CLandscape::OnLostDevice()
{
    for (std::uint32_t i = 0; i < m_nActiveSectors; ++i) {
        CLandscapeSector* s = m_pActiveSectors[i];
        if (!s)
            continue;
        if (s->IsMapSector())
            s->SetActive(0);
        else
            DestroySector(s);
        m_pActiveSectors[i] = nullptr;
    }
    m_nActiveSectors = 0;
    m_vStreamPoint = D3DXVECTOR3(1000000.0f, 1000000.0f, 1000000.0f);
    if (m_fWorldSize > 0.0f)
        ReleaseTerrainMesh();
}

void CLandscape::OnResetDevice()
{
    if (m_fWorldSize <= 0.0f)
        return;
    BuildTerrainMesh();
    UpdateStreaming(m_fViewDistance, 1);
}
