// A sector's life: construction, bounds, filler set-up, activation and
// deactivation, the per-frame tick and release.
#include "world/LandscapeSector.h"

#include "graphics/D3DRender.h"
#include "shell/Game.h"
#include "shell/Keywords.h"
#include "shell/Settings.h"
#include "world/FieldObjectManager.h"
#include "world/Landscape.h"
#include "world/Prop.h"
#include "world/PropManager.h"
#include "world/SectorFieldQueue.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr float kBodyDistance = 20.0f;
constexpr float kPropsAwakeDistance = 40.0f;

float Distance(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    const D3DXVECTOR3 d = a - b;
    return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
}

} // namespace

float LandscapeWaterLevel()
{
    return g_Landscape.WaterLevel();
}

CLandscapeSector::CLandscapeSector()
{
    m_nCol = m_nRow = 0;
    m_szDir[0] = '\0';
    m_nIndex = -1;
    m_fDistance = 0.0f;
    m_bVisible = m_bActive = 0;
    std::memset(static_cast<void*>(&m_LightSet), 0, sizeof m_LightSet);
    m_nFirstVertex = -1;
    m_pWaterIB = nullptr;
    m_pWaterVB = nullptr;
    m_nWaterTris = 0;
    m_bGrassBuilt = m_bTreesBuilt = m_bStonesBuilt = 0;
    std::fill(std::begin(m_pProps), std::end(m_pProps), nullptr);
    m_nProps = 0;
    m_bPropsAwake = 0;
    m_pShape = nullptr;
    m_pBody = nullptr;
    m_bBodyInWorld = 0;
    m_vMin = m_vMax = m_vSize = m_vCentre = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    for (D3DXVECTOR3& c : m_Corners)
        c = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    m_fRadius = 0.0f;
    m_pMeshInterface = nullptr;
    m_pBvh = nullptr;
    m_pBvhBuffer = nullptr;
    m_pShapeVerts = nullptr;
    m_pShapeIndices = nullptr;
}

bool CLandscapeSector::IsMapSector() const
{
    const int n = g_Landscape.m_nSectorsPerSide;
    return m_nCol >= 0 && m_nCol < n && m_nRow >= 0 && m_nRow < n;
}

void CLandscapeSector::ComputeBounds()
{
    const float s = static_cast<float>(g_Landscape.m_nCellsPerSector) * g_Landscape.m_fCellSize;
    const float w = g_Landscape.m_fWorldSize;
    m_vMin = D3DXVECTOR3(-w / 2 + static_cast<float>(m_nCol) * s, 0.0f, w / 2 - static_cast<float>(m_nRow + 1) * s);
    m_vMax = m_vMin + D3DXVECTOR3(s, g_Landscape.m_fHeight, s);
    m_vSize = m_vMax - m_vMin;
    m_vCentre = (m_vMin + m_vMax) * 0.5f;
    m_fRadius = Distance(m_vCentre, m_vMax);
    const float xs[2] = {m_vMin.x, m_vMax.x}, ys[2] = {m_vMin.y, m_vMax.y};
    for (int up = 0; up < 2; ++up) {
        m_Corners[up * 4 + 0] = D3DXVECTOR3(xs[0], ys[up], m_vMax.z);
        m_Corners[up * 4 + 1] = D3DXVECTOR3(xs[1], ys[up], m_vMax.z);
        m_Corners[up * 4 + 2] = D3DXVECTOR3(xs[0], ys[up], m_vMin.z);
        m_Corners[up * 4 + 3] = D3DXVECTOR3(xs[1], ys[up], m_vMin.z);
    }
}

void CLandscapeSector::InitFiller(int col, int row)
{
    m_nCol = col;
    m_nRow = row;
    std::snprintf(m_szDir, sizeof m_szDir, "%s", g_Landscape.m_szDirectory);
    ComputeBounds();
    BuildWaterPlane(255);
}

void CLandscapeSector::BuildWaterPlane(int opacity)
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (m_pWaterVB || !device)
        return;
    const float s = static_cast<float>(g_Landscape.m_nCellsPerSector) * g_Landscape.m_fCellSize;
    const float w = g_Landscape.m_fWorldSize, half = s / 2, level = LandscapeWaterLevel();
    LandscapeVertex v[16];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            LandscapeVertex& p = v[i * 4 + j];
            p.x = m_vMin.x + static_cast<float>(j) * (m_vMax.x - m_vMin.x) / 3;
            p.z = m_vMax.z + static_cast<float>(i) * (m_vMin.z - m_vMax.z) / 3;
            p.y = level;
            p.nx = p.nz = 0.0f;
            p.ny = 1.0f;
            p.u0 = 5.0f * p.x / s;
            p.v0 = 5.0f * p.z / s;
            p.u1 = 0.75f * p.x / s;
            p.v1 = 0.75f * p.z / s;
            int a = opacity;
            if (opacity < 255) {
                float f = 0.0f;
                if (p.x <= -w / 2 + half)
                    f = std::max(f, 1.0f - (p.x + w / 2) / half);
                if (p.x >= w / 2 - half)
                    f = std::max(f, 1.0f - (w / 2 - p.x) / half);
                if (p.z <= -w / 2 + half)
                    f = std::max(f, 1.0f - (p.z + w / 2) / half);
                if (p.z >= w / 2 - half)
                    f = std::max(f, 1.0f - (w / 2 - p.z) / half);
                a = std::clamp(static_cast<int>(static_cast<float>(opacity) + std::fabs(opacity - 255.0f) * f), 0,
                               255);
            }
            p.diffuse = static_cast<std::uint32_t>(a) << 24 | 0x00FFFFFFu;
        }
    if (FAILED(device->CreateVertexBuffer(sizeof v, 0, LANDSCAPE_FVF, D3DPOOL_MANAGED, &m_pWaterVB, nullptr)))
        return;
    void* data = nullptr;
    if (SUCCEEDED(m_pWaterVB->Lock(0, 0, &data, D3DLOCK_DISCARD))) {
        std::memcpy(data, v, sizeof v);
        m_pWaterVB->Unlock();
    }
}

void CLandscapeSector::BuildWaterIndices()
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (m_pWaterIB || !device)
        return;
    const int c = g_Landscape.m_nCellsPerSector, m = g_Landscape.m_nCells;
    const float level = LandscapeWaterLevel();
    std::vector<std::uint16_t> list;
    list.reserve(static_cast<std::size_t>(c) * c * 6);
    auto altitude = [&](int r, int k) {
        return g_Landscape.m_fAltitude[std::min(r, m - 1)][std::min(k, m - 1)];
    };
    for (int r = 0; r < c; ++r)
        for (int k = 0; k < c; ++k) {
            const int gr = m_nRow * c + r, gk = m_nCol * c + k;
            if (altitude(gr, gk) > level && altitude(gr + 1, gk) > level && altitude(gr, gk + 1) > level &&
                altitude(gr + 1, gk + 1) > level)
                continue;
            const int s = m + 1;
            const int quad[6] = {r * s + k, (r + 1) * s + k, r * s + k + 1, r * s + k + 1, (r + 1) * s + k,
                                 (r + 1) * s + k + 1};
            for (int q : quad)
                list.push_back(static_cast<std::uint16_t>(q));
        }
    if (list.empty())
        return;
    const UINT bytes = static_cast<UINT>(list.size() * 2);
    if (FAILED(device->CreateIndexBuffer(bytes, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &m_pWaterIB, nullptr)))
        return;
    void* data = nullptr;
    if (SUCCEEDED(m_pWaterIB->Lock(0, 0, &data, D3DLOCK_DISCARD))) {
        std::memcpy(data, list.data(), bytes);
        m_pWaterIB->Unlock();
    }
    m_nWaterTris = static_cast<std::uint32_t>(list.size() / 3);
}

void CLandscapeSector::SetPropsAwake(int awake)
{
    if (g_bEditorMode)
        return;
    for (std::uint32_t i = 0; i < m_nProps; ++i)
        if (m_pProps[i] && (m_pProps[i]->m_nType & (GTYPE_DECORS | GTYPE_LAMPPOST)))
            m_pProps[i]->SetActive(awake != 0);
}

void CreateSectorMeshBuffers(SectorMesh* mesh);

void CLandscapeSector::SetActive(int active)
{
    if (active == m_bActive)
        return;
    m_bActive = active;
    if (active) {
        CreateSectorMeshBuffers(&m_Roads);
        CreateSectorMeshBuffers(&m_Sectoring);
        CreateSectorMeshBuffers(&m_Walks);
        if (IsMapSector())
            BuildWaterIndices();
        if (m_pWaterIB)
            BuildWaterPlane(220);
        // Queued during play, the field objects follow over the next frames.
        if (!g_SectorFieldQueue.Take(this)) {
            for (int kind = FIELD_GRASS; kind <= FIELD_STONES; ++kind)
                BuildFieldObjects(kind);
            g_FieldObjects.SetSectorActive(true, this);
        }
        if (!g_bEditorMode)
            for (std::uint32_t i = 0; i < m_nProps; ++i)
                g_PropManager.LinkProp(m_pProps[i], true);
    } else {
        // Finished first, so the later sectors are built as they would be.
        g_SectorFieldQueue.FinishThrough(this);
        g_FieldObjects.SetSectorActive(false, this);
        if (m_pWaterIB)
            m_pWaterIB->Release();
        if (m_pWaterVB)
            m_pWaterVB->Release();
        m_pWaterIB = nullptr;
        m_pWaterVB = nullptr;
        m_nWaterTris = 0;
        for (int kind = FIELD_GRASS; kind <= FIELD_STONES; ++kind)
            g_FieldObjects.ReleaseSectorCells(kind, this, 1);
        if (!g_bEditorMode)
            for (std::uint32_t i = 0; i < m_nProps; ++i)
                g_PropManager.UnlinkProp(m_pProps[i], true);
    }
    SetPropsAwake(0);
    m_bPropsAwake = 0;
}

void CLandscapeSector::Update()
{
    if (m_nFirstVertex == -1 && !m_pWaterVB) {
        m_bVisible = 0;
        return;
    }
    const CWorldCamera* camera = g_Game.m_pCamera;
    D3DXVECTOR3 eye = camera ? camera->m_vEye : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    eye.y = g_Landscape.m_fHeight / 2;
    m_fDistance = Distance(m_vCentre, eye) - m_fRadius;
    if (m_bVisible) {
        g_SceneLights.GatherNearLights(&m_vCentre, m_fRadius, &m_LightSet);
        ++g_Landscape.m_nInnerParts;
        const int n = g_Landscape.m_nSectorsPerSide;
        if (m_nCol >= 1 && m_nCol <= n - 1 && m_nRow >= 1 && m_nRow <= n - 1 && m_fDistance < m_fRadius && m_pWaterIB)
            ++g_Landscape.m_nClosedWaterParts;
    }
    btDiscreteDynamicsWorld* world = g_Game.m_pDynamicsWorld;
    if (m_pBody && world) {
        if (!m_bBodyInWorld && m_fDistance < kBodyDistance) {
            world->addRigidBody(m_pBody);
            m_bBodyInWorld = 1;
        } else if (m_bBodyInWorld && m_fDistance > kBodyDistance) {
            world->getBroadphase()->getOverlappingPairCache()->cleanProxyFromPairs(m_pBody->getBroadphaseHandle(),
                                                                                   world->getDispatcher());
            world->removeRigidBody(m_pBody);
            m_bBodyInWorld = 0;
        }
    }
    if (m_bPropsAwake && m_fDistance > kPropsAwakeDistance) {
        SetPropsAwake(0);
        m_bPropsAwake = 0;
    } else if (!m_bPropsAwake && m_fDistance < kPropsAwakeDistance) {
        SetPropsAwake(1);
        m_bPropsAwake = 1;
    }
}

void CLandscapeSector::Release()
{
    g_SectorFieldQueue.Drop(this);
    FreeSectorMesh(&m_Roads);
    FreeSectorMesh(&m_Sectoring);
    FreeSectorMesh(&m_Walks);
    for (std::uint32_t i = 0; i < m_nProps; ++i)
        g_PropManager.RemoveProp(m_pProps[i]);
    std::fill(std::begin(m_pProps), std::end(m_pProps), nullptr);
    m_nProps = 0;
    // The field-object records name their sector: none may outlive it.
    for (int kind = FIELD_GRASS; kind <= FIELD_STONES; ++kind)
        g_FieldObjects.ReleaseSectorCells(kind, this, 1);
    if (m_pWaterIB)
        m_pWaterIB->Release();
    if (m_pWaterVB)
        m_pWaterVB->Release();
    m_pWaterIB = nullptr;
    m_pWaterVB = nullptr;
    m_nWaterTris = 0;
    ReleaseBody();
}

int CLandscapeSector::IntersectProps(const D3DXVECTOR3* from, const D3DXVECTOR3* to, D3DXVECTOR3* hitPoint,
                                     int wantPoint)
{
    for (std::uint32_t i = 0; i < m_nProps; ++i)
        if (m_pProps[i] && m_pProps[i]->IntersectRay(from, to, hitPoint, wantPoint))
            return 1;
    return 0;
}
