// A sector's device buffers and draw calls. The landscape's render passes set
// the textures, stages and stream before calling these.
#include "world/LandscapeSector.h"

#include "graphics/D3DRender.h"
#include "shell/RenderPasses.h"
#include "shell/Settings.h"
#include "world/Landscape.h"

#include <cstring>

namespace {

bool InMainPass()
{
    return !g_WaterPassActive && !g_CubePassActive;
}

void DrawMesh(const SectorMesh& mesh)
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetStreamSource(0, mesh.vb, 0, sizeof(LandscapeVertex));
    device->SetIndices(mesh.ib);
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, mesh.numVerts, 0, mesh.numTris);
    g_D3DRender.AddDrawnFaces(mesh.numTris);
}

// Issues one draw, enclosed in the effect's pass when the water shader is on.
void DrawWaterCall(INT base, UINT vertices, UINT tris)
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    ID3DXEffect* effect = g_nWater >= 2 ? g_D3DRender.m_pEffect : nullptr;
    UINT passes = 0;
    if (effect) {
        effect->Begin(&passes, 0);
        effect->Pass(0);
    }
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, base, 0, vertices, 0, tris);
    if (effect)
        effect->End();
    g_D3DRender.AddDrawnFaces(tris);
}

} // namespace

// Copies a mesh's CPU copy into managed device buffers and frees the copy;
// a mesh without a copy keeps what it has. The files store the triangles in
// vertex-cache order already, so a sector streaming in costs only the copy.
void CreateSectorMeshBuffers(SectorMesh* mesh)
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (!mesh->verts || !device)
        return;
    if (mesh->numVerts > 0 && mesh->numTris > 0) {
        const UINT vbytes = mesh->numVerts * sizeof(LandscapeVertex), ibytes = mesh->numTris * 6u;
        device->CreateVertexBuffer(vbytes, 0, LANDSCAPE_FVF, D3DPOOL_MANAGED, &mesh->vb, nullptr);
        device->CreateIndexBuffer(ibytes, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &mesh->ib, nullptr);
        void* dst = nullptr;
        if (mesh->vb && SUCCEEDED(mesh->vb->Lock(0, 0, &dst, D3DLOCK_DISCARD))) {
            std::memcpy(dst, mesh->verts, vbytes);
            mesh->vb->Unlock();
        }
        if (mesh->ib && SUCCEEDED(mesh->ib->Lock(0, 0, &dst, D3DLOCK_DISCARD))) {
            std::memcpy(dst, mesh->indices, ibytes);
            mesh->ib->Unlock();
        }
    }
    delete[] mesh->verts;
    delete[] mesh->indices;
    mesh->verts = nullptr;
    mesh->indices = nullptr;
}

void CLandscapeSector::RenderTerrain()
{
    if (!m_bVisible || m_nFirstVertex < 0 || (g_CubePassActive && m_fDistance > 60.0f))
        return;
    const CLandscape& land = g_Landscape;
    const float d = static_cast<float>(g_nViewDistance);
    int level = 0;
    if ((m_fDistance > 0.4f * d || !InMainPass()) && land.m_pDetailIB[2])
        level = 2;
    else if (m_fDistance > 0.2f * d && land.m_pDetailIB[1])
        level = 1;
    level = land.GroundDetailLevel(this, level);
    if (!land.m_pDetailIB[level])
        return;
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    const UINT vertices = static_cast<UINT>((land.m_nCells + 1) * (land.m_nCells + 1));
    device->SetIndices(land.m_pDetailIB[level]);
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, m_nFirstVertex, 0, vertices, 0, land.m_nDetailTris[level]);
    g_D3DRender.AddDrawnFaces(land.m_nDetailTris[level]);
}

void CLandscapeSector::RenderRoads()
{
    if (m_bVisible && m_Roads.vb && m_Roads.ib && InMainPass())
        DrawMesh(m_Roads);
}

void CLandscapeSector::RenderRoadsSectoring()
{
    if (m_bVisible && m_Sectoring.vb && m_Sectoring.ib && InMainPass() && m_fDistance <= 40.0f)
        DrawMesh(m_Sectoring);
}

void CLandscapeSector::RenderSideWalks()
{
    if (m_bVisible && m_Walks.vb && m_Walks.ib && InMainPass() && m_fDistance <= 80.0f)
        DrawMesh(m_Walks);
}

// Near water is drawn from the landscape's water grid, far water as a patch.
CLandscapeSector::WaterDraw CLandscapeSector::WaterDrawn() const
{
    if (!m_bVisible || (!m_pWaterIB && !m_pWaterVB))
        return WaterDraw::None;
    const CLandscape& land = g_Landscape;
    const float nearWater = 0.4f * static_cast<float>(g_SettingMax[1]);
    if (m_pWaterIB && m_fDistance <= nearWater && land.m_pWaterVB && m_nFirstVertex >= 0)
        return WaterDraw::Grid;
    if (m_pWaterVB && land.m_pWaterPatchIB)
        return WaterDraw::Patch;
    return WaterDraw::None;
}

void CLandscapeSector::RenderWater()
{
    const WaterDraw draw = WaterDrawn();
    if (draw == WaterDraw::None)
        return;
    const CLandscape& land = g_Landscape;
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (draw == WaterDraw::Grid) {
        device->SetStreamSource(0, land.m_pWaterVB, 0, sizeof(LandscapeVertex));
        device->SetIndices(m_pWaterIB);
        DrawWaterCall(m_nFirstVertex, static_cast<UINT>((land.m_nCells + 1) * (land.m_nCells + 1)), m_nWaterTris);
    } else {
        device->SetStreamSource(0, m_pWaterVB, 0, sizeof(LandscapeVertex));
        device->SetIndices(land.m_pWaterPatchIB);
        DrawWaterCall(0, 16, 18);
    }
}
