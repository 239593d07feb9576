// Drawing a prop: its own mesh through the static object, then its loose
// sub-parts fading out between 64 and 80 from the camera, and their shadow
// geometry in the shadow pass.
#include "world/Prop.h"

#include "graphics/D3DRender.h"
#include "graphics/WorldCamera.h"
#include "objects/SpotsEffect.h"
#include "shell/Game.h"
#include "shell/RenderPasses.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"

namespace {

constexpr float kPartFadeStart = 64.0f;
constexpr float kPartFadeEnd = 80.0f;
constexpr float kPartShadowDistance = 30.0f;

bool HasFrames(const CModelInstance* model, int part)
{
    return model && model->m_pMesh && model->m_pMesh->m_nFrames[part] > 0;
}

} // namespace

// The sub-part's alpha at a camera distance (minus its radius): opaque up to
// 64, fading to nothing at 80.
float PropPartAlpha(float distance)
{
    if (distance > kPartFadeEnd)
        return 0.0f;
    if (distance > kPartFadeStart)
        return 1.0f - (distance - kPartFadeStart) / (kPartFadeEnd - kPartFadeStart);
    return 1.0f;
}

void CProp::Render(int pass)
{
    if (!m_pMesh)
        return; // a prop whose mesh did not load draws nothing
    CStaticObject::Render(static_cast<std::uint32_t>(pass));
    if (!m_bActive || m_nParts == 0 || g_WaterPassActive || g_CubePassActive)
        return;
    const CWorldCamera* camera = g_Game.m_pCamera;
    if (!camera)
        return;
    g_SceneLights.ApplyLightSet(&m_LightSet);
    g_D3DRender.SetFogEnable(TRUE);
    g_D3DRender.SetZEnable(TRUE);
    g_D3DRender.SetZWriteEnable(TRUE);
    g_D3DRender.SetLighting(TRUE);
    for (std::uint32_t j = 0; j < m_nParts; ++j) {
        CModelInstance* model = m_pPartModels[j];
        if (!HasFrames(model, pass))
            continue;
        if (g_bEditorMode) {
            model->m_matWorld = m_matWorld;
            m_pPartPositions[j] = D3DXVECTOR3(m_matWorld._41, m_matWorld._42, m_matWorld._43);
        }
        const float e = Vec3Distance(&m_pPartPositions[j], &camera->m_vEye) - model->m_fSphereRadius;
        if (e > kPartFadeEnd || !camera->IsSphereVisible(&m_pPartPositions[j], model->m_fSphereRadius))
            continue;
        const float alpha = PropPartAlpha(e);
        if (alpha <= 0.0f)
            continue;
        model->m_Material = m_Material;
        model->m_Material.Diffuse.a = alpha;
        g_D3DRender.SetMaterial(&model->m_Material);
        g_D3DRender.SetTexture(m_nTextureIds[0], alpha < 1.0f ? 1 : 0);
        model->DrawPart(static_cast<std::uint32_t>(pass));
    }
}

void CProp::RenderShadow()
{
    if (m_pShadow)
        m_pShadow->Render();
    if (!m_bActive || m_nParts == 0 || g_nShadows != 3 || !g_ShadowPassActive)
        return;
    const CWorldCamera& main = g_Game.m_Cameras[0];
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (!device)
        return;
    for (std::uint32_t j = 0; j < m_nParts; ++j) {
        CModelInstance* model = m_pPartModels[j];
        if (!HasFrames(model, 11))
            continue;
        if (g_bEditorMode) {
            model->m_matWorld = m_matWorld;
            m_pPartPositions[j] = D3DXVECTOR3(m_matWorld._41, m_matWorld._42, m_matWorld._43);
        }
        const float e = Vec3Distance(&m_pPartPositions[j], &main.m_vEye) - model->m_fSphereRadius;
        if (e > kPartShadowDistance || !main.IsSphereVisible(&m_pPartPositions[j], model->m_fSphereRadius))
            continue;
        ID3DXMesh* mesh = model->m_pMesh->m_ppMeshes[11][0];
        if (!mesh)
            continue;
        device->SetTransform(D3DTS_WORLD, &model->m_matWorld);
        device->SetFVF(mesh->GetFVF());
        mesh->DrawSubset(0);
        g_D3DRender.AddDrawnFaces(mesh->GetNumFaces());
    }
}
