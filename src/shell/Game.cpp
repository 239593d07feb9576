#include "shell/Game.h"

#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/GameMenu.h"
#include "game/MenuBackground.h"
#include "graphics/D3DRender.h"
#include "graphics/ScreenDraw.h"
#include "graphics/SceneLights.h"
#include "objects/BloodEffect.h"
#include "objects/ParticleEffects.h"
#include "objects/WaterCircles.h"
#include "roadusers/HumanManager.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/AudioManager.h"
#include "shell/GameSteps.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"
#include "shell/RayHitInfo.h"
#include "shell/Settings.h"
#include "shell/WinMain.h"
#include "world/FieldObjectManager.h"
#include "world/InfoScreenManager.h"
#include "world/Landscape.h"
#include "world/PropManager.h"
#include "world/Sky.h"

#include <cstring>

char g_szPlayerName[16];
GameStepObserver g_pGameStepObserver = nullptr;
GameStepRefusal g_pGameStepRefusal = nullptr;

namespace {

bool HasCamera(const CGame& game)
{
    return game.m_pCamera != nullptr;
}

bool HasPlayerCar(const CGame&)
{
    return g_pPlayerVehicle != nullptr;
}

} // namespace

CGame::CGame()
    : m_pCamera(nullptr), m_pCollisionConfig(nullptr), m_pBroadphase(nullptr), m_pDispatcher(nullptr), m_pSolver(nullptr),
      m_pDynamicsWorld(nullptr), m_pVehicleRaycaster(nullptr), m_nManifolds(0), m_nActiveBodies(0), m_nCubeFace(0),
      m_vShadowCenter{0.0f, 0.0f, 0.0f}, m_fVisibilityTimer(0.5f)
{
}

// Camera 1 (the water reflection) starts as a copy of camera 0 and is never
// released on its own; the shadow camera looks through an 80 x 80 box.
void CGame::InitCameras()
{
    const D3DXVECTOR3 mainEye(225.0f, 20.0f, -740.0f);
    const D3DXVECTOR3 mainTarget(225.0f, 20.0f, -700.0f);
    const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 ahead(0.0f, 0.0f, 1.0f);
    const float quarterTurn = D3DX_PI / 2.0f;
    m_Cameras[0].Init(&mainEye, &mainTarget, quarterTurn, 1.1f, g_fNearPlane, g_fFarPlane, 0);
    m_Cameras[2].Init(&origin, &ahead, quarterTurn, 1.0f, g_fNearPlane, g_fCubeFarPlane, 0);
    m_Cameras[3].Init(&origin, &ahead, quarterTurn, 1.0f, g_fNearPlane, 2.0f * g_fFarPlane, 0);
    D3DXMatrixOrthoOffCenterLH(&m_Cameras[3].m_matProj, -40.0f, 40.0f, -40.0f, 40.0f, g_fNearPlane,
                               2.0f * g_fFarPlane);
    m_Cameras[1] = m_Cameras[0];
    m_pCamera = &m_Cameras[0];
}

int CGame::Init()
{
    static constexpr GameStep<CGame> kSteps[] = {
        {"g_GameTimer.Init()", [](CGame&) { g_GameTimer.Init(); }},
        {nullptr, [](CGame& game) { game.InitCameras(); }},
        {nullptr, [](CGame&) { std::strcpy(g_szPlayerName, "Player"); }},
        {.name = "InitPhysics()", .check = [](CGame& game) { return game.InitPhysics() == 1; }},
        {nullptr, [](CGame&) { InstallVehicleContactHook(); }},
    };
    if (!RunGameSteps(kSteps, *this))
        return 0;
    return InitManagers();
}

// Each manager must start; the first that fails ends start-up, and what was
// already made stays (the program ends at once).
int CGame::InitManagers()
{
    static constexpr GameStep<CGame> kSteps[] = {
        {.name = "g_GameInterface.Init()", .check = [](CGame&) { return g_GameInterface.Init() == 1; }},
        {.name = "g_GameMenu.Init()", .check = [](CGame&) { return g_GameMenu.Init() == 1; }},
        {.name = "g_InfoScreens.Init()", .check = [](CGame&) { return g_InfoScreens.Init() == 1; }},
        {.name = "g_MenuBackground.OnGameInit()", .check = [](CGame&) { return g_MenuBackground.OnGameInit() == 1; }},
        {.name = "g_SceneLights.Init()", .check = [](CGame&) { return g_SceneLights.Init() == 1; }},
        // Any non-zero result is a loaded landscape.
        {.name = "g_Landscape.Init()", .check = [](CGame&) { return g_Landscape.Init() != 0; }},
        {.name = "g_PropManager.Init()", .check = [](CGame&) { return g_PropManager.Init() == 1; }},
        {.name = "g_FieldObjects.Init()", .check = [](CGame&) { return g_FieldObjects.Init() == 1; }},
        {.name = "g_VehicleManager.Init()", .check = [](CGame&) { return g_VehicleManager.Init() == 1; }},
        {.name = "g_HumanManager.Init()", .check = [](CGame&) { return g_HumanManager.Init() == 1; }},
        {.name = "g_ParticleEffects.Init()", .check = [](CGame&) { return g_ParticleEffects.Init() == 1; }},
        {.name = "g_BloodEffect.Init()", .check = [](CGame&) { return g_BloodEffect.Init() == 1; }},
        {.name = "g_WaterCircles.Init()", .check = [](CGame&) { return g_WaterCircles.Init() == 1; }},
        {.name = "g_Sky.Init()", .check = [](CGame&) { return g_Sky.Init() == 1; }},
        {.name = "g_RayHit.Init()", .check = [](CGame&) { return g_RayHit.Init() == 1; }},
        {.name = "g_CityLogic.Init()", .check = [](CGame&) { return g_CityLogic.Init() == 1; }},
    };
    return RunGameSteps(kSteps, *this) ? 1 : 0;
}

void CGame::Release()
{
    static constexpr GameStep<CGame> kSteps[] = {
        {"g_GameInterface.Release()", [](CGame&) { g_GameInterface.Release(); }},
        {"g_GameMenu.Release()", [](CGame&) { g_GameMenu.Release(); }},
        {"g_MenuBackground.Release()", [](CGame&) { g_MenuBackground.Release(); }},
        {"g_SceneLights.Release()", [](CGame&) { g_SceneLights.Release(); }},
        {"g_VehicleManager.Release()", [](CGame&) { g_VehicleManager.Release(); }},
        {"g_HumanManager.Release()", [](CGame&) { g_HumanManager.Release(); }},
        {"g_Landscape.Release()", [](CGame&) { g_Landscape.Release(); }},
        {"g_PropManager.Release()", [](CGame&) { g_PropManager.Release(); }},
        {"g_FieldObjects.Release()", [](CGame&) { g_FieldObjects.Release(); }},
        {"g_ParticleEffects.Release()", [](CGame&) { g_ParticleEffects.Release(); }},
        {"g_BloodEffect.Release()", [](CGame&) { g_BloodEffect.Release(); }},
        {"g_WaterCircles.Release()", [](CGame&) { g_WaterCircles.Release(); }},
        {"g_Sky.Release()", [](CGame&) { g_Sky.Release(); }},
        {"g_CityLogic.Release()", [](CGame&) { g_CityLogic.Release(); }},
        {"g_InfoScreens.Release()", [](CGame&) { g_InfoScreens.Release(); }},
        {nullptr, [](CGame& game) { game.ReleaseCameras(); }},
        {"ReleasePhysics()", [](CGame& game) { game.ReleasePhysics(); }},
    };
    RunGameSteps(kSteps, *this);
}

void CGame::ReleaseCameras()
{
    m_Cameras[0].Release();
    m_Cameras[2].Release();
    m_Cameras[3].Release();
    m_pCamera = nullptr;
}

void CGame::Tick()
{
    if (!g_bActive)
        return;
    static constexpr GameStep<CGame> kSteps[] = {
        {"g_GameTimer.Update()", [](CGame&) { g_GameTimer.Update(); }},
        {nullptr, [](CGame& game) { game.DrawScene(); }},
        {nullptr, [](CGame& game) { game.UpdateWorld(); }},
        {"g_D3DRender.PresentFrame()", [](CGame&) { g_D3DRender.PresentFrame(); }},
        {"g_AudioManager.Update()", [](CGame&) { g_AudioManager.Update(); }},
    };
    RunGameSteps(kSteps, *this);
}

void CGame::DrawScene()
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (device && SUCCEEDED(device->BeginScene())) {
        DrawFrame();
        device->EndScene();
    }
}

// Outside a game only the menu runs; a game runs while its time moves.
void CGame::UpdateWorld()
{
    if (!g_bInGame)
        UpdateMenuOnly();
    else if (g_GameTimer.m_fDelta != 0.0f)
        UpdateRunningGame();
}

void CGame::DrawFrame()
{
    static constexpr GameStep<CGame> kMenuOnly[] = {
        {"g_GameMenu.Render()", [](CGame&) { g_GameMenu.Render(); }},
    };
    static constexpr GameStep<CGame> kWorld[] = {
        {"RenderWorld()", [](CGame& game) { game.RenderWorld(); }},
        {"g_GameMenu.Render()", [](CGame&) { g_GameMenu.Render(); }},
        {"g_GameInterface.Render()", [](CGame&) { g_GameInterface.Render(); }},
    };
    static constexpr GameStep<CGame> kOverlays[] = {
        {"g_GameInterface.m_Cursor.Draw()", [](CGame&) { g_GameInterface.m_Cursor.Draw(); }},
        {"m_pCamera->DrawFade()", [](CGame& game) { game.m_pCamera->DrawFade(); }, HasCamera},
        {"m_pCamera->DrawDebugInfo()", [](CGame& game) { game.m_pCamera->DrawDebugInfo(); }, HasCamera},
        // Developer view of the smoothed shadow map in the top right corner:
        // the map with the moving casters while Shift is held, else the
        // static casters' map.
        {"CScreenDraw::DrawTexturePointerRect(580.0f, 0.0f, 800.0f, 170.0f, 0xFFFFFFFF, map)",
         [](CGame&) {
             IDirect3DTexture9* map = g_bKeyShift ? g_D3DRender.m_pShadowTexture2 : g_D3DRender.m_pShadowTexture;
             CScreenDraw::DrawTexturePointerRect(580.0f, 0.0f, 800.0f, 170.0f, 0xFFFFFFFF, map);
         },
         [](const CGame&) { return g_bDebugOut && g_bKeyTab && g_bKeyControl; }},
    };
    if (g_GameMenu.m_bOpen)
        RunGameSteps(kMenuOnly, *this);
    else
        RunGameSteps(kWorld, *this);
    RunGameSteps(kOverlays, *this);
}

void CGame::UpdateMenuOnly()
{
    static constexpr GameStep<CGame> kSteps[] = {
        {"m_pCamera->Update()", [](CGame& game) { game.m_pCamera->Update(); }, HasCamera},
        {"g_GameMenu.Update()", [](CGame&) { g_GameMenu.Update(); }},
        {"g_GameInterface.Update()", [](CGame&) { g_GameInterface.Update(); }},
        {"g_CityLogic.Update()", [](CGame&) { g_CityLogic.Update(); }},
    };
    RunGameSteps(kSteps, *this);
}

void CGame::UpdateRunningGame()
{
    static constexpr GameStep<CGame> kSteps[] = {
        {"StepPhysics()", [](CGame& game) { game.StepPhysics(); }},
        {"g_pPlayerVehicle->Update()", [](CGame&) { g_pPlayerVehicle->Update(); }, HasPlayerCar},
        {"m_pCamera->Update()", [](CGame& game) { game.m_pCamera->Update(); }, HasCamera},
        {"g_GameInterface.Update()", [](CGame&) { g_GameInterface.Update(); }},
        {"g_GameMenu.Update()", [](CGame&) { g_GameMenu.Update(); }},
        {"g_Sky.Update()", [](CGame&) { g_Sky.Update(); }},
        {"g_SceneLights.Update()", [](CGame&) { g_SceneLights.Update(); }},
        {"g_Landscape.Update()", [](CGame&) { g_Landscape.Update(); }},
        {"g_FieldObjects.Update()", [](CGame&) { g_FieldObjects.Update(); }},
        {"g_PropManager.Update()", [](CGame&) { g_PropManager.Update(); }},
        {"g_VehicleManager.Update()", [](CGame&) { g_VehicleManager.Update(); }},
        {"g_HumanManager.Update()", [](CGame&) { g_HumanManager.Update(); }},
        {"g_ParticleEffects.Update()", [](CGame&) { g_ParticleEffects.Update(); }},
        {"g_BloodEffect.Update()", [](CGame&) { g_BloodEffect.Update(); }},
        {"g_WaterCircles.Update()", [](CGame&) { g_WaterCircles.Update(); }},
        {"g_CityLogic.Update()", [](CGame&) { g_CityLogic.Update(); }},
        {nullptr, [](CGame& game) { game.UpdateVisibility(0); }},
    };
    RunGameSteps(kSteps, *this);
}

void CGame::UpdateVisibility(int force)
{
    m_fVisibilityTimer += g_GameTimer.m_fRealDelta;
    if (m_fVisibilityTimer <= 0.1f && force == 0)
        return;
    m_fVisibilityTimer = 0.0f;
    static constexpr GameStep<CGame> kSteps[] = {
        {"g_Landscape.UpdateSectorVisibility()", [](CGame&) { g_Landscape.UpdateSectorVisibility(); }},
        {"g_PropManager.RefreshVisibility()", [](CGame&) { g_PropManager.RefreshVisibility(); }},
        {"g_FieldObjects.RefreshVisibility()", [](CGame&) { g_FieldObjects.RefreshVisibility(); }},
        {"g_VehicleManager.Refresh()", [](CGame&) { g_VehicleManager.Refresh(); }},
        {"g_HumanManager.Refresh()", [](CGame&) { g_HumanManager.Refresh(); }},
        {"g_PropManager.ApplyBuildingOcclusion()", [](CGame&) { g_PropManager.ApplyBuildingOcclusion(); }},
    };
    RunGameSteps(kSteps, *this);
}

void CGame::NewGame()
{
    static constexpr GameStep<CGame> kSteps[] = {
        {nullptr, [](CGame& game) { game.Reset(); }},
        {"g_GameInterface.ResetMessageHistory()", [](CGame&) { g_GameInterface.ResetMessageHistory(); }},
        {"g_Landscape.BuildSectors()", [](CGame&) { g_Landscape.BuildSectors(); }},
        // A new game from the menu creates the player's car itself.
        {"g_VehicleManager.CreatePlayerCar(nullptr, nullptr, nullptr)",
         [](CGame&) { g_VehicleManager.CreatePlayerCar(nullptr, nullptr, nullptr); },
         [](const CGame&) { return !g_bEditorMode && !g_bGameMenu; }},
        {"g_HumanManager.LoadFigures()", [](CGame&) { g_HumanManager.LoadFigures(); }},
        {nullptr, [](CGame& game) { game.WarmUpPrograms(); }},
    };
    RunGameSteps(kSteps, *this);
}

void CGame::Reset()
{
    static constexpr GameStep<CGame> kSteps[] = {
        {"g_Landscape.ReleaseSectors()", [](CGame&) { g_Landscape.ReleaseSectors(); }},
        {"g_FieldObjects.Clear()", [](CGame&) { g_FieldObjects.Clear(); }},
        {"g_VehicleManager.Clear()", [](CGame&) { g_VehicleManager.Clear(); }},
        {"g_HumanManager.Clear()", [](CGame&) { g_HumanManager.Clear(); }},
        {"g_PropManager.Clear()", [](CGame&) { g_PropManager.Clear(); }},
        {"g_ParticleEffects.Reset()", [](CGame&) { g_ParticleEffects.Reset(); }},
        {"g_BloodEffect.Reset()", [](CGame&) { g_BloodEffect.Reset(); }},
        {"g_WaterCircles.Reset()", [](CGame&) { g_WaterCircles.Reset(); }},
        {"g_CityLogic.Reset()", [](CGame&) { g_CityLogic.Reset(); }},
        {"g_AudioManager.StopCarSounds()", [](CGame&) { g_AudioManager.StopCarSounds(); }},
        {"m_pCamera->SetTargetVehicle(nullptr)", [](CGame& game) { game.m_pCamera->SetTargetVehicle(nullptr); },
         HasCamera},
        // Bodies no owner removed go with their motion states, as at shut-down.
        {nullptr, [](CGame& game) { game.RemoveAllCollisionObjects(); }},
        {"ResetSession()", [](CGame& game) { game.ResetSession(); }},
    };
    RunGameSteps(kSteps, *this);
}
