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
    GAME_STEP(g_GameTimer.Init());
    InitCameras();
    std::strcpy(g_szPlayerName, "Player");
    if (GAME_INIT_STEP(InitPhysics()) != 1)
        return 0;
    InstallVehicleContactHook();
    return InitManagers();
}

// Each manager must start; the first that fails ends start-up, and what was
// already made stays (the program ends at once).
int CGame::InitManagers()
{
    if (GAME_INIT_STEP(g_GameInterface.Init()) != 1 || GAME_INIT_STEP(g_GameMenu.Init()) != 1 ||
        GAME_INIT_STEP(g_InfoScreens.Init()) != 1 || GAME_INIT_STEP(g_MenuBackground.OnGameInit()) != 1 ||
        GAME_INIT_STEP(g_SceneLights.Init()) != 1)
        return 0;
    if (GAME_INIT_STEP(g_Landscape.Init()) == 0) // any non-zero result is a loaded landscape
        return 0;
    if (GAME_INIT_STEP(g_PropManager.Init()) != 1 || GAME_INIT_STEP(g_FieldObjects.Init()) != 1 ||
        GAME_INIT_STEP(g_VehicleManager.Init()) != 1 || GAME_INIT_STEP(g_HumanManager.Init()) != 1 ||
        GAME_INIT_STEP(g_ParticleEffects.Init()) != 1 || GAME_INIT_STEP(g_BloodEffect.Init()) != 1 ||
        GAME_INIT_STEP(g_WaterCircles.Init()) != 1 || GAME_INIT_STEP(g_Sky.Init()) != 1 ||
        GAME_INIT_STEP(g_RayHit.Init()) != 1)
        return 0;
    return GAME_INIT_STEP(g_CityLogic.Init());
}

void CGame::Release()
{
    GAME_STEP(g_GameInterface.Release());
    GAME_STEP(g_GameMenu.Release());
    GAME_STEP(g_MenuBackground.Release());
    GAME_STEP(g_SceneLights.Release());
    GAME_STEP(g_VehicleManager.Release());
    GAME_STEP(g_HumanManager.Release());
    GAME_STEP(g_Landscape.Release());
    GAME_STEP(g_PropManager.Release());
    GAME_STEP(g_FieldObjects.Release());
    GAME_STEP(g_ParticleEffects.Release());
    GAME_STEP(g_BloodEffect.Release());
    GAME_STEP(g_WaterCircles.Release());
    GAME_STEP(g_Sky.Release());
    GAME_STEP(g_CityLogic.Release());
    GAME_STEP(g_InfoScreens.Release());
    m_Cameras[0].Release();
    m_Cameras[2].Release();
    m_Cameras[3].Release();
    m_pCamera = nullptr;
    GAME_STEP(ReleasePhysics());
}

void CGame::Tick()
{
    if (!g_bActive)
        return;
    GAME_STEP(g_GameTimer.Update());
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (device && SUCCEEDED(device->BeginScene())) {
        DrawFrame();
        device->EndScene();
    }
    if (!g_bInGame)
        UpdateMenuOnly();
    else if (g_GameTimer.m_fDelta != 0.0f)
        UpdateRunningGame();
    GAME_STEP(g_D3DRender.PresentFrame());
    GAME_STEP(g_AudioManager.Update());
}

void CGame::DrawFrame()
{
    if (g_GameMenu.m_bOpen) {
        GAME_STEP(g_GameMenu.Render());
    } else {
        GAME_STEP(RenderWorld());
        GAME_STEP(g_GameMenu.Render());
        GAME_STEP(g_GameInterface.Render());
    }
    GAME_STEP(g_GameInterface.m_Cursor.Draw());
    if (m_pCamera) {
        GAME_STEP(m_pCamera->DrawFade());
        GAME_STEP(m_pCamera->DrawDebugInfo());
    }
    if (g_bDebugOut && g_bKeyTab && g_bKeyControl)
        DrawShadowMapView();
}

// Developer view of the smoothed shadow map in the top right corner: the map
// with the moving casters while Shift is held, else the static casters' map.
void CGame::DrawShadowMapView()
{
    IDirect3DTexture9* map = g_bKeyShift ? g_D3DRender.m_pShadowTexture2 : g_D3DRender.m_pShadowTexture;
    GAME_STEP(CScreenDraw::DrawTexturePointerRect(580.0f, 0.0f, 800.0f, 170.0f, 0xFFFFFFFF, map));
}

void CGame::UpdateMenuOnly()
{
    if (m_pCamera)
        GAME_STEP(m_pCamera->Update());
    GAME_STEP(g_GameMenu.Update());
    GAME_STEP(g_GameInterface.Update());
    GAME_STEP(g_CityLogic.Update());
}

void CGame::UpdateRunningGame()
{
    GAME_STEP(StepPhysics());
    if (g_pPlayerVehicle)
        GAME_STEP(g_pPlayerVehicle->Update());
    if (m_pCamera)
        GAME_STEP(m_pCamera->Update());
    GAME_STEP(g_GameInterface.Update());
    GAME_STEP(g_GameMenu.Update());
    GAME_STEP(g_Sky.Update());
    GAME_STEP(g_SceneLights.Update());
    GAME_STEP(g_Landscape.Update());
    GAME_STEP(g_FieldObjects.Update());
    GAME_STEP(g_PropManager.Update());
    GAME_STEP(g_VehicleManager.Update());
    GAME_STEP(g_HumanManager.Update());
    GAME_STEP(g_ParticleEffects.Update());
    GAME_STEP(g_BloodEffect.Update());
    GAME_STEP(g_WaterCircles.Update());
    GAME_STEP(g_CityLogic.Update());
    UpdateVisibility(0);
}

void CGame::UpdateVisibility(int force)
{
    m_fVisibilityTimer += g_GameTimer.m_fRealDelta;
    if (m_fVisibilityTimer <= 0.1f && force == 0)
        return;
    m_fVisibilityTimer = 0.0f;
    GAME_STEP(g_Landscape.UpdateSectorVisibility());
    GAME_STEP(g_PropManager.RefreshVisibility());
    GAME_STEP(g_FieldObjects.RefreshVisibility());
    GAME_STEP(g_VehicleManager.Refresh());
    GAME_STEP(g_HumanManager.Refresh());
    GAME_STEP(g_PropManager.ApplyBuildingOcclusion());
}

void CGame::NewGame()
{
    Reset();
    GAME_STEP(g_GameInterface.ResetMessageHistory());
    GAME_STEP(g_Landscape.BuildSectors());
    // A new game from the menu creates the player's car itself.
    if (!g_bEditorMode && !g_bGameMenu)
        GAME_STEP(g_VehicleManager.CreatePlayerCar(nullptr, nullptr, nullptr));
    WarmUpPrograms();
}

void CGame::Reset()
{
    GAME_STEP(g_Landscape.ReleaseSectors());
    GAME_STEP(g_FieldObjects.Clear());
    GAME_STEP(g_VehicleManager.Clear());
    GAME_STEP(g_HumanManager.Clear());
    GAME_STEP(g_PropManager.Clear());
    GAME_STEP(g_ParticleEffects.Reset());
    GAME_STEP(g_BloodEffect.Reset());
    GAME_STEP(g_WaterCircles.Reset());
    GAME_STEP(g_CityLogic.Reset());
    GAME_STEP(g_AudioManager.StopCarSounds());
    if (m_pCamera)
        GAME_STEP(m_pCamera->SetTargetVehicle(nullptr));
    // Bodies no owner removed go with their motion states, as at shut-down.
    RemoveAllCollisionObjects();
    GAME_STEP(ResetSession());
}
