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

// Puts a mesh's CPU copy through the vertex-cache optimisation into device
// buffers and frees the copy; a mesh without a copy keeps what it has.
void CreateSectorMeshBuffers(SectorMesh* mesh)
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (!mesh->verts || !device)
        return;
    if (mesh->numVerts > 0 && mesh->numTris > 0) {
        ID3DXMesh* d3dx = nullptr;
        if (SUCCEEDED(D3DXCreateMeshFVF(mesh->numTris, mesh->numVerts, D3DXMESH_SYSTEMMEM, LANDSCAPE_FVF, device,
                                        &d3dx))) {
            void* data = nullptr;
            if (SUCCEEDED(d3dx->LockVertexBuffer(0, &data))) {
                std::memcpy(data, mesh->verts, mesh->numVerts * sizeof(LandscapeVertex));
                d3dx->UnlockVertexBuffer();
            }
            if (SUCCEEDED(d3dx->LockIndexBuffer(0, &data))) {
                std::memcpy(data, mesh->indices, mesh->numTris * 6u);
                d3dx->UnlockIndexBuffer();
            }
            DWORD* adjacency = new DWORD[mesh->numTris * 3u];
            d3dx->GenerateAdjacency(0.01f, adjacency);
            d3dx->OptimizeInplace(D3DXMESHOPT_VERTEXCACHE, adjacency, nullptr, nullptr, nullptr);
            delete[] adjacency;
            const UINT vbytes = mesh->numVerts * sizeof(LandscapeVertex), ibytes = mesh->numTris * 6u;
            device->CreateVertexBuffer(vbytes, 0, LANDSCAPE_FVF, D3DPOOL_MANAGED, &mesh->vb, nullptr);
            device->CreateIndexBuffer(ibytes, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &mesh->ib, nullptr);
            void* src = nullptr;
            void* dst = nullptr;
            if (mesh->vb && SUCCEEDED(d3dx->LockVertexBuffer(0, &src))) {
                if (SUCCEEDED(mesh->vb->Lock(0, 0, &dst, D3DLOCK_DISCARD))) {
                    std::memcpy(dst, src, vbytes);
                    mesh->vb->Unlock();
                }
                d3dx->UnlockVertexBuffer();
            }
            if (mesh->ib && SUCCEEDED(d3dx->LockIndexBuffer(0, &src))) {
                if (SUCCEEDED(mesh->ib->Lock(0, 0, &dst, D3DLOCK_DISCARD))) {
                    std::memcpy(dst, src, ibytes);
                    mesh->ib->Unlock();
                }
                d3dx->UnlockIndexBuffer();
            }
            d3dx->Release();
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

void CLandscapeSector::RenderWater()
{
    if (!m_bVisible || (!m_pWaterIB && !m_pWaterVB))
        return;
    const CLandscape& land = g_Landscape;
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    const float nearWater = 0.4f * static_cast<float>(g_SettingMax[1]);
    if (m_pWaterIB && m_fDistance <= nearWater && land.m_pWaterVB && m_nFirstVertex >= 0) {
        device->SetStreamSource(0, land.m_pWaterVB, 0, sizeof(LandscapeVertex));
        device->SetIndices(m_pWaterIB);
        DrawWaterCall(m_nFirstVertex, static_cast<UINT>((land.m_nCells + 1) * (land.m_nCells + 1)), m_nWaterTris);
    } else if (m_pWaterVB && land.m_pWaterPatchIB) {
        device->SetStreamSource(0, m_pWaterVB, 0, sizeof(LandscapeVertex));
        device->SetIndices(land.m_pWaterPatchIB);
        DrawWaterCall(0, 16, 18);
    }
}
