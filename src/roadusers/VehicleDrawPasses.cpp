// The four vehicle passes: each sets the texture stages once and runs one
// car routine over every car of the list.
#include "roadusers/VehicleManager.h"

#include "graphics/D3DRender.h"
#include "graphics/SceneLights.h"
#include "graphics/WorldCamera.h"
#include "objects/DirectLightsEffect.h"
#include "objects/SpotsEffect.h"
#include "roadusers/Vehicle.h"
#include "shell/Game.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"

namespace {

enum { TEXTURE_SCRATCHES = 1, TEXTURE_BROKEN_GLASS = 2 };
constexpr int kPoliceFlasherState = 4;

IDirect3DDevice9* Device()
{
    return g_D3DRender.m_pDevice;
}

D3DTRANSFORMSTATETYPE TextureTransform(DWORD stage)
{
    return static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + stage);
}

void ForEachCar(void (CVehicle::*draw)())
{
    const CVehicleManager& m = g_VehicleManager;
    for (std::uint32_t i = 0; i < m.m_nCars && i < VEHICLE_MANAGER_CARS; ++i)
        if (CVehicle* car = m.m_Cars[i])
            (car->*draw)();
}

void SetManagerTexture(int slot, DWORD stage)
{
    const int id = g_VehicleManager.m_Textures[slot];
    g_D3DRender.SetTexture(id < 0 ? INVALID_TEXTURE_ID : static_cast<TextureId>(id), 0, stage);
}

// The dynamic cube once the cube pass has made it and reflections are on,
// else the static map shipped with the game.
void BindEnvironment(DWORD stage)
{
    IDirect3DBaseTexture9* cube = g_D3DRender.m_pStaticEnvMap;
    if (g_bReflect == 1 && g_D3DRender.m_pCubeTexture)
        cube = g_D3DRender.m_pCubeTexture;
    g_D3DRender.SetTexturePointer(cube, 0, stage);
}

// The shadow map read at the camera-space position; each car sets the
// projection itself.
void SetShadowCoordinates(DWORD stage)
{
    g_D3DRender.SetTexturePointer(g_D3DRender.m_pShadowTexture, 0, stage);
    Device()->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION);
    Device()->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3);
}

void ResetCoordinates(DWORD stage)
{
    Device()->SetTransform(TextureTransform(stage), &g_matIdentity);
    Device()->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, 0);
    Device()->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
}

// Stage 0 modulates the texture; the stages up to `last` pass it on.
void PassThrough(DWORD last)
{
    g_D3DRender.SetColorStage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP, D3DTA_CURRENT);
    g_D3DRender.SetAlphaStage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP);
    for (DWORD stage = 1; stage <= last; ++stage) {
        g_D3DRender.SetColorStage(stage, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_TEMP, D3DTA_CURRENT);
        g_D3DRender.SetAlphaStage(stage, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_TEMP);
    }
}

void SetPaintStages()
{
    g_D3DRender.SetColorStage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP, D3DTA_TEMP);
    g_D3DRender.SetAlphaStage(0, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_TEMP);
    // The mask of stage 1 mixes the paint colour into the body texture.
    g_D3DRender.SetColorStage(1, D3DTOP_LERP, D3DTA_TFACTOR, D3DTA_TEMP, D3DTA_TEXTURE, D3DTA_TEMP);
    BindEnvironment(2);
    SetVehicleReflectionCoordinates(2);
    g_D3DRender.SetColorStage(2, D3DTOP_BLENDFACTORALPHA, D3DTA_TEXTURE, D3DTA_TEMP, D3DTA_TEMP, D3DTA_TEMP);
    SetManagerTexture(TEXTURE_SCRATCHES, 3);
    // Without the scratches texture the stage keeps the painted colour
    // instead of handing on the unlit diffuse.
    if (g_VehicleManager.m_Textures[TEXTURE_SCRATCHES] >= 0)
        g_D3DRender.SetColorStage(3, D3DTOP_BLENDDIFFUSEALPHA, D3DTA_TEXTURE, D3DTA_TEMP, D3DTA_TEMP, D3DTA_TEMP);
    else
        g_D3DRender.SetColorStage(3, D3DTOP_SELECTARG1, D3DTA_TEMP, D3DTA_TEMP, D3DTA_TEMP, D3DTA_TEMP);
    g_D3DRender.SetColorStage(4, D3DTOP_MODULATE, D3DTA_TEMP, D3DTA_CURRENT, D3DTA_TEMP, D3DTA_CURRENT);
    SetShadowCoordinates(5);
    g_D3DRender.SetColorStage(5, D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_TEMP,
                              D3DTA_CURRENT);
    for (DWORD stage = 1; stage <= 4; ++stage)
        g_D3DRender.SetAlphaStage(stage, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_TEMP);
    g_D3DRender.SetAlphaStage(5, D3DTOP_SELECTARG1, D3DTA_CONSTANT, D3DTA_CURRENT, D3DTA_TEMP);
}

} // namespace

// Camera-space reflection vectors turned back into world directions: the
// view's rotation inverted, which for a rotation is its transpose.
void SetVehicleReflectionCoordinates(DWORD stage)
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    if (const CWorldCamera* camera = g_Game.m_pCamera)
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                m.m[r][c] = camera->m_matView.m[c][r];
    Device()->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
    Device()->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3);
    Device()->SetTransform(TextureTransform(stage), &m);
}

void CVehicleManager::RenderVehicles()
{
    if (!Device())
        return;
    g_SceneLights.EnableHeadlightSpot();
    g_D3DRender.SetZEnable(1);
    g_D3DRender.SetZWriteEnable(1);
    g_D3DRender.SetLighting(1);
    SetPaintStages();
    ForEachCar(&CVehicle::RenderBodyPaint);

    PassThrough(5);
    // The reflection and shadow coordinates must not leak into the passes
    // after this one.
    ResetCoordinates(2);
    ResetCoordinates(5);
    g_D3DRender.SetAlphaStage(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_TEMP);
    ForEachCar(&CVehicle::RenderBodyGroup1);

    g_D3DRender.SetAlphaStage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP);
    ForEachCar(&CVehicle::RenderWheels);
    g_SceneLights.DisableHeadlightSpot();
}

void CVehicleManager::RenderVehiclesSecondPass()
{
    if (!Device())
        return;
    g_SceneLights.EnableHeadlightSpot();
    g_D3DRender.SetFogEnable(1);
    g_D3DRender.SetZEnable(1);
    g_D3DRender.SetZWriteEnable(1);
    g_D3DRender.SetLighting(1);
    BindEnvironment(0);
    SetVehicleReflectionCoordinates(0);
    g_D3DRender.SetColorStage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP, D3DTA_CURRENT);
    g_D3DRender.SetAlphaStage(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_TEMP);
    g_D3DRender.SetColorStage(1, D3DTOP_BLENDDIFFUSEALPHA, D3DTA_CURRENT, D3DTA_TFACTOR, D3DTA_TEMP, D3DTA_CURRENT);
    ForEachCar(&CVehicle::RenderBodyGroup2);

    ResetCoordinates(0);
    g_D3DRender.SetAlphaStage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP);
    g_D3DRender.SetAlphaStage(1, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_TEMP);

    BindEnvironment(0);
    SetVehicleReflectionCoordinates(0);
    SetManagerTexture(TEXTURE_BROKEN_GLASS, 1);
    SetShadowCoordinates(3);
    g_D3DRender.SetColorStage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTA_TEMP, D3DTA_CURRENT);
    g_D3DRender.SetAlphaStage(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_TEMP);
    g_D3DRender.SetColorStage(1, D3DTOP_BLENDDIFFUSEALPHA, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP, D3DTA_CURRENT);
    g_D3DRender.SetColorStage(2, D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_DIFFUSE, D3DTA_TEMP, D3DTA_CURRENT);
    g_D3DRender.SetColorStage(3, D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_TEMP,
                              D3DTA_CURRENT);
    ForEachCar(&CVehicle::RenderBodyReflective);

    ResetCoordinates(0);
    ResetCoordinates(3);
    PassThrough(3);
    ForEachCar(&CVehicle::RenderWheelChrome);
    g_SceneLights.DisableHeadlightSpot();
}

void CVehicleManager::RenderLights()
{
    if (!Device())
        return;
    g_D3DRender.SetFogEnable(1);
    g_D3DRender.SetZEnable(1);
    g_D3DRender.SetZWriteEnable(1);
    g_D3DRender.SetLighting(1);
    g_D3DRender.SetColorStage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTA_TEMP, D3DTA_CURRENT);
    g_D3DRender.SetAlphaStage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTA_TEMP);
    g_D3DRender.SetColorStage(1, D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE, D3DTA_TEMP,
                              D3DTA_CURRENT);
    ForEachCar(&CVehicle::RenderGlass);
    PassThrough(1);
    for (std::uint32_t i = 0; i < m_nCars && i < VEHICLE_MANAGER_CARS; ++i) {
        CVehicle* car = m_Cars[i];
        if (!car)
            continue;
        if (car->m_pDirectLights) {
            car->m_pDirectLights->Render();
            car->m_pDirectLights->RenderVehicleLights();
        }
        if (car->m_nAIState == kPoliceFlasherState)
            car->RenderPoliceFlasher();
    }
}

void CVehicleManager::RenderShadows()
{
    if (!Device())
        return;
    g_D3DRender.SetZEnable(1);
    g_D3DRender.SetZWriteEnable(0);
    g_D3DRender.SetLighting(0);
    for (std::uint32_t i = 0; i < m_nCars && i < VEHICLE_MANAGER_CARS; ++i)
        if (m_Cars[i] && m_Cars[i]->m_pShadow)
            m_Cars[i]->m_pShadow->Render();
}
