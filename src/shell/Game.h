// The game object: it owns the physics world and conducts every manager's
// start-up, per-frame tick, reset and shut-down.
#pragma once

#include "graphics/WorldCamera.h"

class btDefaultCollisionConfiguration;
class btBroadphaseInterface;
class btCollisionDispatcher;
class btSequentialImpulseConstraintSolver;
class btDiscreteDynamicsWorld;
class btVehicleRaycaster;

// Bodies the physics world holds at once: the streamed city's props, trees
// and terrain, 64 cars and the ragdolls of knocked-down pedestrians, with
// room to spare. A full world refuses a further body with a log line.
enum { PHYSICS_MAX_BODIES = 16384 };

class CGame {
public:
    CGame();

    int Init();
    void Release();
    void Tick();
    void NewGame();
    void Reset();
    // What one session of play leaves outside the world back to a fresh
    // start's: the input, the shops, the camera's motion and the refresh
    // phase. The game reset ends with it (so a new game, a continue and the
    // exit to the menu all run it) and the start-up runs it once the
    // managers stand. A manager's own session state goes in its reset step.
    void ResetSession();
    // Loads the current profile's save into a freshly reset world: 1 when
    // loaded, 0 without a profile or after the load error box.
    int LoadGame();
    void UpdateVisibility(int force);
    // Compiles the programs the world's views need before play starts.
    void WarmUpPrograms();
    // The world's render passes.
    void RenderWorld();
    void RenderWaterPass();
    void RenderCubePass();
    void RenderShadowPass();
    // From a view-space position of the current camera to shadow-map
    // texture coordinates.
    D3DXMATRIX* GetShadowMapMatrix(D3DXMATRIX* out, const D3DXMATRIX* world) const;

    // The physics world.
    int InitPhysics();
    void StepPhysics();
    void ProcessContacts();
    void ReleasePhysics();

    // 0 main view, 1 water reflection, 2 cube map, 3 orthographic shadow.
    CWorldCamera m_Cameras[4];
    CWorldCamera* m_pCamera;
    btDefaultCollisionConfiguration* m_pCollisionConfig;
    btBroadphaseInterface* m_pBroadphase;
    btCollisionDispatcher* m_pDispatcher;
    btSequentialImpulseConstraintSolver* m_pSolver;
    btDiscreteDynamicsWorld* m_pDynamicsWorld;
    btVehicleRaycaster* m_pVehicleRaycaster;
    int m_nManifolds;
    int m_nActiveBodies;
    int m_nCubeFace;
    // Set while the loading screen warms the programs up: every pass draws,
    // whatever is in view, so none compiles a program later in play.
    int m_bDrawEveryPass = 0;
    float m_vShadowCenter[3];
    float m_fVisibilityTimer;

private:
    void InitCameras();
    int InitManagers();
    void ReleaseCameras();
    void DrawScene();
    void DrawFrame();
    void UpdateWorld();
    void UpdateMenuOnly();
    void UpdateRunningGame();
    void RemoveAllCollisionObjects();
    void RenderMainPass();
    void BeginTargetPass(float size);
    void EndTargetPass();
    void ReflectCamera(float waterLevel);
    void PlaceShadowCamera();
    void DrawShadowCasters();
    void DrawMovingShadowCasters();
};

extern CGame g_Game;

// The player's name, "Player" until a profile is chosen.
extern char g_szPlayerName[16];
