// The batched passes of the field objects: grass tufts through their
// billboard technique, leaf clusters through the fixed pipeline.
#include "world/FieldObjectManager.h"

#include "graphics/D3DRender.h"
#include "graphics/SceneLights.h"
#include "shell/RenderPasses.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"
#include "world/LandscapeSector.h"

namespace {

constexpr float kBranchFar = 600.0f * 0.7f;          // 420
constexpr float kBranchCubeFar = 600.0f * 0.7f * 0.2f; // 84
constexpr float kBranchQuarter = 600.0f * 0.7f * 0.5f; // 210: every fourth quad beyond
constexpr float kBranchHalf = 600.0f * 0.7f * 0.3f;    // 126: every second quad beyond
constexpr float kShadowFar = 40.0f;

IDirect3DDevice9* Device()
{
    return g_D3DRender.m_pDevice;
}

} // namespace

void CFieldObjectManager::RenderGrass()
{
    if (g_WaterPassActive || g_CubePassActive || !g_D3DRender.m_bShader11 || !Device() || !g_D3DRender.m_pEffect)
        return;
    g_D3DRender.SetTechnique("techDirectVertex");
    ID3DXEffect* effect = g_D3DRender.m_pEffect;
    D3DXMATRIX viewProj;
    effect->SetMatrix("matViewProj", GetViewProjMatrix(&viewProj));
    // Tufts fade out between these distances instead of popping.
    const D3DXVECTOR4 fade(52.5f, 105.0f, 0.0f, 0.0f);
    effect->SetVector("AlphaFactor", &fade);
    g_D3DRender.SetEffectTexture("texBaseMap1", g_D3DRender.GetTexture(m_nGrassTexture));
    g_D3DRender.SetFogEnable(1);
    g_D3DRender.SetZEnable(1);
    g_D3DRender.SetZWriteEnable(1);
    g_D3DRender.SetLighting(0);
    g_D3DRender.SetAlphaBlendEnable(1);
    g_D3DRender.SetBlendMode(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    Device()->SetFVF(GRASS_FVF);
    Device()->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    m_nGrassFields[2] = 0;
    for (int i = 0; i < m_nGrassFields[0]; ++i) {
        GrassRecord* record = m_pGrass[0][i];
        const CLandscapeSector* sector = record->pSector;
        if (!sector || !sector->m_bVisible || sector->m_fDistance >= FIELD_GRASS_FAR || !MakeGrassBuffer(record))
            continue;
        Device()->SetStreamSource(0, record->pVB, 0, sizeof(CGrassVertex));
        Device()->SetIndices(m_pQuadIndices[0]);
        UINT passes = 0;
        effect->Begin(&passes, 0);
        effect->Pass(0);
        Device()->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, record->nCount * 4, 0, record->nCount * 2);
        effect->End();
        g_D3DRender.AddDrawnFaces(record->nCount * 2);
        ++m_nGrassFields[2];
    }
    Device()->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
}

// Neighbouring sectors alternate between the two branch atlases.
int CFieldObjectManager::BranchTextureIndex(const CLandscapeSector* sector) const
{
    const CLandscape& land = g_Landscape;
    const int halfSector = land.m_nCellsPerSector / 2;
    if (land.m_fCellSize <= 0.0f || halfSector <= 0)
        return 0;
    const float half = land.m_fWorldSize / 2;
    const int a = static_cast<int>((half + sector->m_vCentre.x) / land.m_fCellSize / static_cast<float>(halfSector));
    const int b = static_cast<int>((half + sector->m_vCentre.z) / land.m_fCellSize / static_cast<float>(halfSector));
    const int index = (a + 2 * b * land.m_nSectorsPerSide) % 2;
    return index < 0 ? -index : index;
}

void CFieldObjectManager::DrawBranches(TreeRecord* record, bool water, bool counted)
{
    const float distance = record->pSector->m_fDistance;
    IDirect3DIndexBuffer9* indices = m_pQuadIndices[0];
    UINT triangles = record->nBranchVertices / 2;
    if (distance > kBranchQuarter || water) {
        indices = m_pQuadIndices[2];
        triangles /= 4;
    } else if (distance > kBranchHalf) {
        indices = m_pQuadIndices[1];
        triangles /= 2;
    }
    g_D3DRender.SetMaterial(&m_BranchMaterial);
    Device()->SetStreamSource(0, record->pVB, 0, sizeof(CBranchVertex));
    Device()->SetIndices(indices);
    if (triangles > 0) {
        Device()->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, record->nBranchVertices, 0, triangles);
        g_D3DRender.AddDrawnFaces(triangles);
    }
    if (counted)
        ++m_nTreeFields[2];
}

void CFieldObjectManager::RenderTreeBranches()
{
    if (!Device())
        return;
    const bool water = g_WaterPassActive != 0, cube = g_CubePassActive != 0;
    const bool counted = !water && !cube && !g_ShadowPassActive;
    Device()->SetTransform(D3DTS_WORLD, &g_matIdentity);
    g_D3DRender.SetFogEnable(1);
    g_D3DRender.SetZEnable(1);
    g_D3DRender.SetZWriteEnable(1);
    g_D3DRender.SetLighting(1);
    Device()->SetFVF(BRANCH_FVF);
    Device()->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    g_D3DRender.SaveCullMode();
    g_D3DRender.SetCullMode(D3DCULL_NONE);
    if (water)
        Device()->SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
    if (counted)
        m_nTreeFields[2] = 0;
    for (int i = 0; i < m_nTreeFields[0]; ++i) {
        TreeRecord* record = m_pTrees[0][i];
        CLandscapeSector* sector = record->pSector;
        if (!record->pVB || !sector || sector->m_fDistance >= kBranchFar)
            continue;
        if (!(sector->m_bVisible || (cube && sector->m_fDistance < kBranchCubeFar)))
            continue;
        g_D3DRender.SetTexture(m_nBranchTextures[BranchTextureIndex(sector)], 0, 0);
        g_SceneLights.ApplyLightSet(&sector->m_LightSet);
        DrawBranches(record, water, counted);
    }
    Device()->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    g_D3DRender.RestoreCullMode();
    if (water)
        Device()->SetRenderState(D3DRS_CLIPPLANEENABLE, 1);
}

void CFieldObjectManager::RenderShadowCasters()
{
    if (!Device())
        return;
    g_D3DRender.SetZEnable(0);
    g_D3DRender.SetZWriteEnable(0);
    Device()->SetTransform(D3DTS_WORLD, &g_matIdentity);
    Device()->SetFVF(BRANCH_FVF);
    g_D3DRender.SaveCullMode();
    g_D3DRender.SetCullMode(D3DCULL_NONE);
    // The leaves' outline comes from the texture's alpha alone.
    g_D3DRender.SetAlphaStage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP);
    g_D3DRender.SetMipLodBias(0.0f, 0);
    g_D3DRender.SetMipLodBias(0.0f, 1);
    for (int i = 0; i < m_nTreeFields[0]; ++i) {
        TreeRecord* record = m_pTrees[0][i];
        const CLandscapeSector* sector = record->pSector;
        if (!record->pVB || !sector || sector->m_fDistance >= kShadowFar)
            continue;
        g_D3DRender.SetTexture(m_nBranchTextures[BranchTextureIndex(sector)], 1, 0);
        Device()->SetStreamSource(0, record->pVB, 0, sizeof(CBranchVertex));
        Device()->SetIndices(m_pQuadIndices[0]);
        const UINT triangles = record->nBranchVertices / 2;
        if (triangles > 0) {
            Device()->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, record->nBranchVertices, 0, triangles);
            g_D3DRender.AddDrawnFaces(triangles);
        }
    }
    g_D3DRender.SetMipLodBias(2.0f, 0);
    g_D3DRender.SetMipLodBias(2.0f, 1);
    g_D3DRender.SetTexture(INVALID_TEXTURE_ID, 0, 0);
    g_D3DRender.SetAlphaStage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP);
    g_D3DRender.RestoreCullMode();
}
