// The three render-to-texture passes: the water reflection, one face of the
// environment cube and the shadow map. Each moves the current camera to its
// own for its duration and raises its pass flag; between passes the current
// camera is always the main one.
#include "graphics/D3DRender.h"
#include "graphics/ReleaseAndClear.h"
#include "roadusers/HumanManager.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/GameSteps.h"
#include "shell/Input.h"
#include "shell/RenderPasses.h"
#include "shell/Settings.h"
#include "world/FieldObjectManager.h"
#include "world/Landscape.h"
#include "world/PropManager.h"
#include "world/Sky.h"

#include <cmath>

namespace {

constexpr float kReflectionSize = 512.0f;
constexpr float kCubeFaceSize = 256.0f;
// The smoothing taps sit this far apart on the largest map; a smaller map
// spreads them as far on the ground, so its shadows stay as soft.
constexpr float kShadowMapTexel = 0.001f;
constexpr float kLargestShadowMap = 1024.0f;
constexpr int kCubeViewDistance = 100;

IDirect3DDevice9* Device()
{
    return g_D3DRender.m_pDevice;
}

// Level 0 of a texture becomes render target 0.
void DrawInto(IDirect3DTexture9* texture)
{
    IDirect3DSurface9* surface = nullptr;
    if (SUCCEEDED(texture->GetSurfaceLevel(0, &surface))) {
        Device()->SetRenderTarget(0, surface);
        surface->Release();
    }
}

void SetWaterClipPlane(float height)
{
    const D3DXVECTOR3 point(0.0f, height, 0.0f);
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXPLANE plane;
    D3DXPlaneFromPointNormal(&plane, &point, &up);
    Device()->SetClipPlane(0, &plane.a);
}

void SetTextureFactor(DWORD grey)
{
    Device()->SetRenderState(D3DRS_TEXTUREFACTOR, D3DCOLOR_ARGB(255, grey, grey, grey));
}

void SetDefaultColorStage()
{
    g_D3DRender.SetColorStage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP, D3DTA_CURRENT);
}

void SetClipPlaneEnabled(DWORD enabled)
{
    Device()->SetRenderState(D3DRS_CLIPPLANEENABLE, enabled);
}

// The city above closed water in the reflection: the terrain clipped a
// little above the water, the rest a little below (exactly at it with the
// finest water setting).
void RenderReflectedCity(CGame& game)
{
    static constexpr GameStep<CGame> kSteps[] = {
        {nullptr, [](CGame&) { SetClipPlaneEnabled(1); }},
        {"g_Landscape.Render()", [](CGame&) { g_Landscape.Render(); }},
        {nullptr,
         [](CGame&) {
             const float w = LandscapeWaterLevel();
             SetWaterClipPlane(g_nWater < 2 ? w - 1.0f : w);
         }},
        {"g_PropManager.Render(PROPS_BRIDGES_AND_BUILDINGS)",
         [](CGame&) { g_PropManager.Render(PROPS_BRIDGES_AND_BUILDINGS); }},
        {"g_PropManager.RenderReflectiveEffects(PROPS_BRIDGES_AND_BUILDINGS)",
         [](CGame&) { g_PropManager.RenderReflectiveEffects(PROPS_BRIDGES_AND_BUILDINGS); }},
        {"g_PropManager.RenderLightEffects(PROPS_BRIDGES_AND_BUILDINGS)",
         [](CGame&) { g_PropManager.RenderLightEffects(PROPS_BRIDGES_AND_BUILDINGS); }},
        {"g_FieldObjects.RenderTreeBranches()", [](CGame&) { g_FieldObjects.RenderTreeBranches(); }},
        {nullptr, [](CGame&) { SetClipPlaneEnabled(0); }},
    };
    RunGameSteps(kSteps, game);
}

// The shadow setting adds casters bar by bar: buildings from 2, decors,
// lampposts and pedestrians from 3.
bool BuildingsCastShadows(const CGame&)
{
    return g_nShadows > 1;
}

bool SmallPropsCastShadows(const CGame&)
{
    return g_nShadows > 2;
}

} // namespace

// Screen-space drawing inside a pass covers the target: scale 1 and the
// target's size until the pass ends.
void CGame::BeginTargetPass(float size)
{
    CD3DRender& r = g_D3DRender;
    r.SaveRenderTarget();
    r.SaveDepthStencil();
    r.m_fSavedScaleX = r.m_fScaleX;
    r.m_fSavedScaleY = r.m_fScaleY;
    r.m_fSavedScreenWidth = r.m_fScreenWidth;
    r.m_fSavedScreenHeight = r.m_fScreenHeight;
    r.m_fScaleX = r.m_fScaleY = 1.0f;
    r.m_fScreenWidth = r.m_fScreenHeight = size;
}

void CGame::EndTargetPass()
{
    CD3DRender& r = g_D3DRender;
    r.RestoreRenderTarget();
    r.RestoreDepthStencil();
    r.m_fScaleX = r.m_fSavedScaleX;
    r.m_fScaleY = r.m_fSavedScaleY;
    r.m_fScreenWidth = r.m_fSavedScreenWidth;
    r.m_fScreenHeight = r.m_fSavedScreenHeight;
    m_pCamera = &m_Cameras[0];
    m_pCamera->UpdateView();
    const float sx = r.m_fScaleX > 0.0f ? r.m_fScaleX : 1.0f;
    const float sy = r.m_fScaleY > 0.0f ? r.m_fScaleY : 1.0f;
    m_pCamera->SetViewport(0.0f, 0.0f, r.m_fScreenWidth / sx + 1.0f, r.m_fScreenHeight / sy + 1.0f);
}

// The reflection camera mirrors the current one in the water plane; the
// mirrored view is not a look-at, so the matrices are set here.
void CGame::ReflectCamera(float waterLevel)
{
    const CWorldCamera& from = *m_pCamera;
    CWorldCamera& mirror = m_Cameras[1];
    const D3DXVECTOR3 point(0.0f, waterLevel, 0.0f);
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXPLANE plane;
    D3DXPlaneFromPointNormal(&plane, &point, &up);
    D3DXMATRIX reflect;
    D3DXMatrixReflect(&reflect, &plane);
    D3DXVec3TransformCoord(&mirror.m_vEye, &from.m_vEye, &reflect);
    D3DXVec3TransformCoord(&mirror.m_vTarget, &from.m_vTarget, &reflect);
    D3DXVec3TransformNormal(&mirror.m_vUp, &from.m_vUp, &reflect);
    D3DXMatrixMultiply(&mirror.m_matView, &reflect, &from.m_matView);
    mirror.m_matProj = from.m_matProj;
    Device()->SetTransform(D3DTS_VIEW, &mirror.m_matView);
    Device()->SetTransform(D3DTS_PROJECTION, &mirror.m_matProj);
    mirror.SetEffectMatrices();
    mirror.BuildFrustumPlanes();
    D3DXMatrixInverse(&mirror.m_matInvView, nullptr, &mirror.m_matView);
}

void CGame::RenderWaterPass()
{
    CD3DRender& r = g_D3DRender;
    if (!Device() || !r.m_pReflectionTexture || !r.m_pDepthSurface512 || !m_pCamera)
        return;
    // Only the water shows the reflection: with none in view the target
    // would be filled for nobody.
    if (!m_bDrawEveryPass && !g_Landscape.IsWaterInView()) {
        g_Sky.SkipRender();
        return;
    }
    const float w = LandscapeWaterLevel();
    r.SetMipLodBias(2.0f, -1);
    SetWaterClipPlane(g_nWater < 2 ? w + 1.0f : w);
    ReflectCamera(w);
    BeginTargetPass(kReflectionSize);
    r.SetCullMode(D3DCULL_CCW); // the mirror flips the winding
    DrawInto(r.m_pReflectionTexture);
    Device()->SetDepthStencilSurface(r.m_pDepthSurface512);
    m_pCamera = &m_Cameras[1];
    m_pCamera->SetViewport(0.0f, 0.0f, kReflectionSize, kReflectionSize);

    static constexpr GameStep<CGame> kSteps[] = {
        {"r.LockBatchBuffers()", [](CGame&) { g_D3DRender.LockBatchBuffers(); }},
        {"g_Sky.Render()", [](CGame&) { g_Sky.Render(); }},
        {nullptr, RenderReflectedCity,
         [](const CGame&) { return g_nWater > 0 && g_Landscape.m_nClosedWaterParts > 1; }},
        {"g_Sky.RenderSunFlare()", [](CGame&) { g_Sky.RenderSunFlare(); }},
        {"r.UnlockBatchBuffers()", [](CGame&) { g_D3DRender.UnlockBatchBuffers(); }},
        {"r.DrawShaderLightBatch()", [](CGame&) { g_D3DRender.DrawShaderLightBatch(); }},
    };
    g_WaterPassActive = 1;
    RunGameSteps(kSteps, *this);
    g_WaterPassActive = 0;

    EndTargetPass();
    r.SetCullMode(D3DCULL_CW);
    r.SetMipLodBias(0.0f, -1);
}

// One face per frame, from the player's car, with a short view distance.
void CGame::RenderCubePass()
{
    CD3DRender& r = g_D3DRender;
    if (!Device() || g_bReflect <= 0 || !r.m_pCubeTexture || !r.m_pDepthSurface512 || !m_pCamera)
        return;
    if (m_nCubeFace < 0 || m_nCubeFace > 5)
        m_nCubeFace = 0;
    const D3DXVECTOR3 position = g_pPlayerVehicle ? g_pPlayerVehicle->m_vPosition : m_pCamera->m_vEye;
    D3DXMATRIX faceView;
    D3DXMATRIX axes;
    r.GetCubeMapViewMatrix(&faceView, DWORD(m_nCubeFace));
    D3DXMatrixInverse(&axes, nullptr, &faceView);
    const D3DXVECTOR3 up(axes.m[1][0], axes.m[1][1], axes.m[1][2]);
    const D3DXVECTOR3 forward(axes.m[2][0], axes.m[2][1], axes.m[2][2]);
    CWorldCamera& face = m_Cameras[2];
    face.m_vEye = position;
    face.m_vTarget = position + forward;
    face.m_vUp = up;
    m_pCamera = &face;
    face.UpdateView();

    r.SetMipLodBias(2.0f, -1);
    BeginTargetPass(kCubeFaceSize);
    const int viewDistance = g_nViewDistance;
    g_nViewDistance = kCubeViewDistance;
    IDirect3DSurface9* surface = nullptr;
    if (SUCCEEDED(r.m_pCubeTexture->GetCubeMapSurface(D3DCUBEMAP_FACES(m_nCubeFace), 0, &surface))) {
        Device()->SetRenderTarget(0, surface);
        surface->Release();
    }
    Device()->SetDepthStencilSurface(r.m_pDepthSurface512);
    face.SetViewport(0.0f, 0.0f, kCubeFaceSize, kCubeFaceSize);

    static constexpr GameStep<CGame> kSteps[] = {
        {"r.LockBatchBuffers()", [](CGame&) { g_D3DRender.LockBatchBuffers(); }},
        {"g_Sky.Render()", [](CGame&) { g_Sky.Render(); }},
        {"g_Landscape.Render()", [](CGame&) { g_Landscape.Render(); }},
        {"g_PropManager.Render(PROPS_SEEN_IN_CUBE)", [](CGame&) { g_PropManager.Render(PROPS_SEEN_IN_CUBE); }},
        {"g_PropManager.RenderReflectiveEffects(PROPS_SEEN_IN_CUBE)",
         [](CGame&) { g_PropManager.RenderReflectiveEffects(PROPS_SEEN_IN_CUBE); }},
        {"g_PropManager.RenderLightEffects(PROPS_SEEN_IN_CUBE)",
         [](CGame&) { g_PropManager.RenderLightEffects(PROPS_SEEN_IN_CUBE); }},
        {"g_FieldObjects.RenderTreeBranches()", [](CGame&) { g_FieldObjects.RenderTreeBranches(); }},
        {"r.UnlockBatchBuffers()", [](CGame&) { g_D3DRender.UnlockBatchBuffers(); }},
        {"r.DrawFixedLightBatch()", [](CGame&) { g_D3DRender.DrawFixedLightBatch(); }},
        {"r.DrawShaderLightBatch()", [](CGame&) { g_D3DRender.DrawShaderLightBatch(); }},
    };
    g_CubePassActive = 1;
    RunGameSteps(kSteps, *this);
    g_CubePassActive = 0;

    g_nViewDistance = viewDistance;
    EndTargetPass();
    r.SetMipLodBias(0.0f, -1);
    m_nCubeFace = m_nCubeFace == 5 ? 0 : m_nCubeFace + 1;
}

// The shadow camera looks at a point 40 units ahead of the main camera from
// 500 units towards the light. A light straight overhead (or none) would
// make its up vector meet the view direction, so it then looks along z.
void CGame::PlaceShadowCamera()
{
    const CWorldCamera& main = m_Cameras[0];
    D3DXVECTOR3 d;
    const D3DXVECTOR3 ahead = main.m_vTarget - main.m_vEye;
    D3DXVec3Normalize(&d, &ahead);
    D3DXVECTOR3 centre(main.m_vEye.x + 40.0f * d.x, 0.0f, main.m_vEye.z + 40.0f * d.z);
    centre.y = GetExactAltitude(&centre) + 2.0f;
    m_vShadowCenter[0] = centre.x;
    m_vShadowCenter[1] = centre.y;
    m_vShadowCenter[2] = centre.z;

    const D3DXVECTOR3 steep(g_Sky.m_vLightDir.x, 2.0f * g_Sky.m_vLightDir.y, g_Sky.m_vLightDir.z);
    D3DXVECTOR3 light;
    D3DXVec3Normalize(&light, &steep);
    if (D3DXVec3LengthSq(&light) == 0.0f || !std::isfinite(light.x + light.y + light.z))
        light = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    const bool overhead = light.x * light.x + light.z * light.z < 1e-6f;
    const D3DXVECTOR3 up = overhead ? D3DXVECTOR3(0.0f, 0.0f, 1.0f) : D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    CWorldCamera& shadow = m_Cameras[3];
    shadow.m_vEye = centre + light * 500.0f;
    shadow.m_vTarget = centre;
    shadow.m_vUp = up;
    shadow.UpdateView();
}

// The static casters, each group in its own grey so the smoothed map keeps
// the terrain darkest. The ground casts no shadow of its own: it only hides
// what lies under it, so it writes depth alone over the map cleared to black.
void CGame::DrawShadowCasters()
{
    static constexpr GameStep<CGame> kSteps[] = {
        {nullptr, [](CGame&) { SetTextureFactor(0); }},
        {nullptr, [](CGame&) { Device()->SetRenderState(D3DRS_COLORWRITEENABLE, 0); }},
        {"g_Landscape.RenderShadowCasters()", [](CGame&) { g_Landscape.RenderShadowCasters(); }},
        {nullptr, [](CGame&) { Device()->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF); }},
        {nullptr, [](CGame&) { SetTextureFactor(159); }, BuildingsCastShadows},
        {"g_PropManager.RenderShadowCasters(PROPS_BUILDINGS)",
         [](CGame&) { g_PropManager.RenderShadowCasters(PROPS_BUILDINGS); }, BuildingsCastShadows},
        {nullptr, [](CGame&) { SetTextureFactor(223); }, SmallPropsCastShadows},
        {"g_PropManager.RenderShadowCasters(PROPS_DECORS_AND_LAMPPOSTS)",
         [](CGame&) { g_PropManager.RenderShadowCasters(PROPS_DECORS_AND_LAMPPOSTS); }, SmallPropsCastShadows},
        {nullptr, [](CGame&) { SetTextureFactor(191); }},
        {"g_FieldObjects.RenderShadowCasters()", [](CGame&) { g_FieldObjects.RenderShadowCasters(); }},
    };
    g_ShadowPassActive = 1;
    RunGameSteps(kSteps, *this);
    g_ShadowPassActive = 0;
}

void CGame::DrawMovingShadowCasters()
{
    static constexpr GameStep<CGame> kSteps[] = {
        {nullptr, [](CGame&) { SetTextureFactor(255); }},
        {"g_VehicleManager.RenderShadows()", [](CGame&) { g_VehicleManager.RenderShadows(); }},
        {nullptr, [](CGame&) { SetTextureFactor(223); }, SmallPropsCastShadows},
        {"g_HumanManager.RenderShadows()", [](CGame&) { g_HumanManager.RenderShadows(); }, SmallPropsCastShadows},
    };
    g_ShadowPassActive = 1;
    RunGameSteps(kSteps, *this);
    g_ShadowPassActive = 0;
}

// The map with the moving casters is read only by the bridges (and the
// developer's view of it): with none of them in sight this frame, drawing
// and smoothing it would change nothing on the screen.
static bool MovingCasterMapSeen()
{
    const bool developerView = g_bDebugOut && g_bKeyTab && g_bKeyControl && g_bKeyShift;
    return g_Game.m_bDrawEveryPass || developerView || g_PropManager.AnyDrawn(PROPS_BRIDGES);
}

// Two maps: the static casters alone, then with the cars and pedestrians
// drawn over them. Both are smoothed with four taps whose weights add up
// to 0.7 of the sky's shadow strength.
void CGame::RenderShadowPass()
{
    CD3DRender& r = g_D3DRender;
    if (!Device() || g_nShadows <= 0 || !r.m_pShadowTarget || !r.m_pShadowTexture || !r.m_pShadowTexture2 ||
        !r.m_pDepthSurface)
        return;
    D3DSURFACE_DESC desc{};
    r.m_pShadowTarget->GetLevelDesc(0, &desc);
    const float size = desc.Width > 0 ? float(desc.Width) : kLargestShadowMap;
    const float texel = kShadowMapTexel * kLargestShadowMap / size;
    // A tap one smoothed texel out lands on a corner of the map's texels
    // when the smoothed map is the smaller one, and so averages four.
    D3DSURFACE_DESC smoothedDesc{};
    r.m_pShadowTexture->GetLevelDesc(0, &smoothedDesc);
    const float smoothedTexel =
        kShadowMapTexel * kLargestShadowMap / (smoothedDesc.Width > 0 ? float(smoothedDesc.Width) : size);
    m_pCamera = &m_Cameras[3];
    PlaceShadowCamera();
    BeginTargetPass(size);
    const float offsets[16] = {0, -texel, 0, 0, -texel, 0, 0, 0, texel, 0, 0, 0, 0, texel, 0, 0};
    Device()->SetVertexShaderConstantF(32, offsets, 4);
    const float k = g_Sky.m_fShadowFactor * 0.7f * 0.25f;
    const float weight[4] = {k, k, k, 0.0f};
    Device()->SetPixelShaderConstantF(0, weight, 1);
    r.SetMipLodBias(2.0f, -1);

    DrawInto(r.m_pShadowTarget);
    Device()->SetDepthStencilSurface(r.m_pDepthSurface);
    m_pCamera->SetViewport(0.0f, 0.0f, size, size);
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    r.SetColorStage(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_TEMP, D3DTA_CURRENT);
    DrawShadowCasters();
    r.SmoothSurface(r.m_pShadowTarget, r.m_pShadowTexture, smoothedTexel, k);

    if (MovingCasterMapSeen()) {
        DrawInto(r.m_pShadowTarget);
        DrawMovingShadowCasters();
        SetDefaultColorStage();
        r.SmoothSurface(r.m_pShadowTarget, r.m_pShadowTexture2, smoothedTexel, k);
    }

    EndTargetPass();
    r.SetMipLodBias(0.0f, -1);
    SetDefaultColorStage();
}

// The world matrix cancels out of inverse(world x view) x world, so the
// inverse view is used directly: no inverse of a world matrix that may be
// singular (a flattened object).
D3DXMATRIX* CGame::GetShadowMapMatrix(D3DXMATRIX* out, const D3DXMATRIX* world) const
{
    (void)world;
    const CWorldCamera* camera = m_pCamera ? m_pCamera : &m_Cameras[0];
    const CWorldCamera& shadow = m_Cameras[3];
    D3DXMATRIX scale;
    D3DXMATRIX offset;
    D3DXMatrixScaling(&scale, 0.5f, -0.5f, 1.0f);
    D3DXMatrixTranslation(&offset, 0.5f, 0.5f, 0.0f);
    *out = camera->m_matInvView * shadow.m_matView * shadow.m_matProj * scale * offset;
    return out;
}
