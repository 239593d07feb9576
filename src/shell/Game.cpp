#include "shell/Game.h"

#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/GameMenu.h"
#include "game/MenuBackground.h"
#include "graphics/D3DRender.h"
#include "graphics/SceneLights.h"
#include "objects/BloodEffect.h"
#include "objects/ParticleEffects.h"
#include "objects/WaterCircles.h"
#include "shell/AudioManager.h"
#include "shell/GameSteps.h"
#include "shell/GameTimer.h"
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

CGame::CGame()
    : m_pCollisionConfig(nullptr), m_pBroadphase(nullptr), m_pDispatcher(nullptr), m_pSolver(nullptr),
      m_pDynamicsWorld(nullptr), m_pVehicleRaycaster(nullptr), m_nManifolds(0), m_nActiveBodies(0), m_nCubeFace(0),
      m_vShadowCenter{0.0f, 0.0f, 0.0f}, m_fVisibilityTimer(0.5f)
{
}

int CGame::Init()
{
    GAME_STEP(g_GameTimer.Init());
    std::strcpy(g_szPlayerName, "Player");
    if (GAME_STEP(InitPhysics()) != 1)
        return 0;
    return InitManagers();
}

// Each manager must start; the first that fails ends start-up, and what was
// already made stays (the program ends at once).
int CGame::InitManagers()
{
    if (GAME_STEP(g_GameInterface.Init()) != 1 || GAME_STEP(g_GameMenu.Init()) != 1 ||
        GAME_STEP(g_InfoScreens.Init()) != 1 || GAME_STEP(g_MenuBackground.OnGameInit()) != 1 ||
        GAME_STEP(g_SceneLights.Init()) != 1)
        return 0;
    if (GAME_STEP(g_Landscape.Init()) == 0) // any non-zero result is a loaded landscape
        return 0;
    if (GAME_STEP(g_PropManager.Init()) != 1 || GAME_STEP(g_FieldObjects.Init()) != 1 ||
        GAME_STEP(g_ParticleEffects.Init()) != 1 || GAME_STEP(g_BloodEffect.Init()) != 1 ||
        GAME_STEP(g_WaterCircles.Init()) != 1 || GAME_STEP(g_Sky.Init()) != 1 || GAME_STEP(g_RayHit.Init()) != 1)
        return 0;
    return GAME_STEP(g_CityLogic.Init());
}

void CGame::Release()
{
    GAME_STEP(g_GameInterface.Release());
    GAME_STEP(g_GameMenu.Release());
    GAME_STEP(g_MenuBackground.Release());
    GAME_STEP(g_SceneLights.Release());
    GAME_STEP(g_Landscape.Release());
    GAME_STEP(g_PropManager.Release());
    GAME_STEP(g_FieldObjects.Release());
    GAME_STEP(g_ParticleEffects.Release());
    GAME_STEP(g_BloodEffect.Release());
    GAME_STEP(g_WaterCircles.Release());
    GAME_STEP(g_Sky.Release());
    GAME_STEP(g_CityLogic.Release());
    GAME_STEP(g_InfoScreens.Release());
    GAME_STEP(ReleasePhysics());
}

void CGame::Tick()
{
    if (!g_bActive)
        return;
    GAME_STEP(g_GameTimer.Update());
    DrawFrame();
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
        GAME_STEP(g_GameMenu.Render());
        GAME_STEP(g_GameInterface.Render());
    }
    GAME_STEP(g_GameInterface.m_Cursor.Draw());
}

void CGame::UpdateMenuOnly()
{
    GAME_STEP(g_GameMenu.Update());
    GAME_STEP(g_GameInterface.Update());
    GAME_STEP(g_CityLogic.Update());
}

void CGame::UpdateRunningGame()
{
    GAME_STEP(StepPhysics());
    GAME_STEP(g_GameInterface.Update());
    GAME_STEP(g_GameMenu.Update());
    GAME_STEP(g_Sky.Update());
    GAME_STEP(g_SceneLights.Update());
    GAME_STEP(g_Landscape.Update());
    GAME_STEP(g_FieldObjects.Update());
    GAME_STEP(g_PropManager.Update());
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
    GAME_STEP(g_PropManager.ApplyBuildingOcclusion());
}

void CGame::NewGame()
{
    Reset();
    GAME_STEP(g_Landscape.BuildSectors());
}

void CGame::Reset()
{
    GAME_STEP(g_Landscape.ReleaseSectors());
    GAME_STEP(g_FieldObjects.Clear());
    GAME_STEP(g_PropManager.Clear());
    GAME_STEP(g_ParticleEffects.Reset());
    GAME_STEP(g_BloodEffect.Reset());
    GAME_STEP(g_WaterCircles.Reset());
    GAME_STEP(g_CityLogic.Reset());
    RemoveAllCollisionObjects(false);
}
