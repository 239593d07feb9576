// Drawing the pedestrians: the clothing layers composed on the texture
// stages over the body texture, lit, and darkened by the shadow map; a
// knocked-down pedestrian drawn part by part at its ragdoll's bodies.
#include "roadusers/Human.h"
#include "roadusers/HumanManager.h"
#include "roadusers/HumanRagdoll.h"

#include "graphics/D3DRender.h"
#include "graphics/SceneLights.h"
#include "shell/Game.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"

#include <algorithm>

#include <btBulletDynamicsCommon.h>

namespace {

constexpr float kDrawDistance = 50.0f;
constexpr float kShadowDistance = 25.0f;
constexpr DWORD kHumanFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
constexpr DWORD kShadowStage = 6;

IDirect3DDevice9* Device()
{
    return g_D3DRender.m_pDevice;
}

D3DTRANSFORMSTATETYPE TextureTransform(DWORD stage)
{
    return static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + stage);
}

DWORD TintByte(float channel)
{
    return static_cast<DWORD>(channel * 255.0f) & 0xFF;
}

void SetStageTable(bool perStageConstants)
{
    CD3DRender& r = g_D3DRender;
    r.SetColorStage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_TEMP, D3DTA_TEMP, D3DTA_TEMP);
    for (DWORD stage = 1; stage <= 3; ++stage) {
        if (perStageConstants)
            r.SetColorStage(stage, D3DTOP_MULTIPLYADD, D3DTA_TEXTURE, D3DTA_CONSTANT, D3DTA_TEMP, D3DTA_TEMP);
        else
            r.SetColorStage(stage, D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_TEMP, D3DTA_TEMP, D3DTA_TEMP);
    }
    // The model's own texture shows where the layers leave the figure clear.
    r.SetColorStage(4, D3DTOP_MODULATEINVALPHA_ADDCOLOR, D3DTA_TEMP, D3DTA_TEXTURE, D3DTA_TEMP, D3DTA_TEMP);
    r.SetColorStage(5, D3DTOP_MODULATE, D3DTA_TEMP, D3DTA_DIFFUSE, D3DTA_TEMP, D3DTA_CURRENT);
    r.SetColorStage(6, D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_TEMP, D3DTA_CURRENT);
}

} // namespace

void CHumanManager::Render()
{
    if (g_bEditorMode || !Device())
        return;
    g_SceneLights.EnableHeadlightSpot();
    g_D3DRender.SetZEnable(1);
    g_D3DRender.SetZWriteEnable(1);
    g_D3DRender.SetLighting(1);
    g_D3DRender.SetTexturePointer(g_D3DRender.m_pShadowTexture, 1, kShadowStage);
    Device()->SetTextureStageState(kShadowStage, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION | 2);
    Device()->SetTextureStageState(kShadowStage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3);
    Device()->SetFVF(kHumanFvf);
    SetStageTable(g_D3DRender.m_bPerStageConstant != 0);
    for (std::uint32_t i = 0; i < m_nHumans && i < HUMAN_MANAGER_CAPACITY; ++i)
        if (m_pHumans[i])
            m_pHumans[i]->Render();
    Device()->SetTransform(TextureTransform(kShadowStage), &g_matIdentity);
    Device()->SetTextureStageState(kShadowStage, D3DTSS_TEXCOORDINDEX, 0);
    Device()->SetTextureStageState(kShadowStage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    g_D3DRender.SetColorStage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP, D3DTA_CURRENT);
    for (DWORD stage = 1; stage <= 6; ++stage)
        g_D3DRender.SetColorStage(stage, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP, D3DTA_CURRENT);
    g_SceneLights.DisableHeadlightSpot();
}

void CHumanManager::RenderShadows()
{
    if (g_bEditorMode || !Device())
        return;
    g_D3DRender.SetZEnable(1);
    g_D3DRender.SetZWriteEnable(0);
    g_D3DRender.SetLighting(0);
    for (std::uint32_t i = 0; i < m_nHumans && i < HUMAN_MANAGER_CAPACITY; ++i)
        if (m_pHumans[i])
            m_pHumans[i]->RenderShadow();
}

void CHuman::Render()
{
    if (!m_bAlive || !m_bVisible || m_fCameraDistance > kDrawDistance || !Device())
        return;
    const int alpha = static_cast<int>(std::clamp(m_Material.Diffuse.a, 0.0f, 1.0f) * 255.0f);
    const int blend = alpha < 255 ? 1 : 0;
    g_D3DRender.SetMaterial(&m_Material);
    g_SceneLights.ApplyLightSet(&m_LightSet);
    g_D3DRender.SetTexture(static_cast<TextureId>(m_nBodyTexture), blend, 0, 0);
    for (DWORD slot = 0; slot < HUMAN_CLOTHING_SLOTS; ++slot) {
        const HumanClothing& c = m_Clothing[slot];
        if (g_D3DRender.m_bPerStageConstant) {
            g_D3DRender.SetTexture(static_cast<TextureId>(c.texture), blend, slot + 1, 0);
            Device()->SetTextureStageState(slot + 1, D3DTSS_CONSTANT,
                                           0xFF000000u | TintByte(c.r) << 16 | TintByte(c.g) << 8 | TintByte(c.b));
        } else {
            g_D3DRender.SetTexturePointer(c.pTinted, blend, slot + 1);
        }
    }
    g_D3DRender.SetTexture(m_nTextureIds[0], blend, 4, 0);
    D3DXMATRIX shadow;
    Device()->SetTransform(TextureTransform(kShadowStage), g_Game.GetShadowMapMatrix(&shadow, &m_matWorld));
    if (m_pRagdoll)
        DrawRagdoll();
    else
        DrawPart(0);
}

void CHuman::RenderShadow()
{
    if (!m_bAlive || !m_bVisible || m_fCameraDistance > kShadowDistance || !Device())
        return;
    if (!m_pRagdoll) {
        DrawPart(0);
        return;
    }
    if (m_pMesh && m_nFrame < m_pMesh->m_nFrames[0] && m_pMesh->m_ppMeshes[0][m_nFrame])
        Device()->SetFVF(m_pMesh->m_ppMeshes[0][m_nFrame]->GetFVF());
    DrawRagdoll();
}

// Each body part of the first animation frame at its ragdoll body. Ranges
// that do not lie inside that mesh are not drawn.
void CHuman::DrawRagdoll()
{
    if (!m_pMesh || m_pMesh->m_nFrames[0] == 0 || !m_pMesh->m_ppMeshes[0] || !m_pMesh->m_ppMeshes[0][0])
        return;
    ID3DXMesh* mesh = m_pMesh->m_ppMeshes[0][0];
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    if (FAILED(mesh->GetVertexBuffer(&vertices)) || FAILED(mesh->GetIndexBuffer(&indices))) {
        if (vertices)
            vertices->Release();
        return;
    }
    const std::int64_t vertexCount = mesh->GetNumVertices(), faceCount = mesh->GetNumFaces();
    Device()->SetStreamSource(0, vertices, 0, D3DXGetFVFVertexSize(m_pMesh->m_dwFVF[0]));
    Device()->SetIndices(indices);
    for (int i = 0; i < HUMAN_BODY_PARTS && i < RAGDOLL_BODIES; ++i) {
        const btRigidBody* body = m_pRagdoll->m_pBodies[i];
        const HumanRange v = m_PartVertices[i], t = m_PartTriangles[i];
        if (!body || !body->getMotionState() || v.first < 0 || v.count <= 0 || t.first < 0 || t.count <= 0 ||
            std::int64_t(v.first) + v.count > vertexCount || std::int64_t(t.first) + t.count > faceCount)
            continue;
        btTransform transform;
        body->getMotionState()->getWorldTransform(transform);
        D3DXMATRIX world;
        BtTransformToMatrix(&transform, &world);
        Device()->SetTransform(D3DTS_WORLD, &world);
        Device()->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, UINT(v.first), UINT(v.count), UINT(t.first) * 3,
                                       UINT(t.count));
        g_D3DRender.AddDrawnFaces(DWORD(t.count));
    }
    vertices->Release();
    indices->Release();
}
