// A camera of the world renderer: eye, look-at point and up vector, the
// left-handed view and projection built from them, the six clip planes of
// the view volume, and the conversions to and from the 800x600 screen space.
#pragma once

#include "graphics/GameFont.h"
#include "platform/D3DX9.h"

#include <cstdint>

class CVehicle;

class CWorldCamera {
public:
    void Init(const D3DXVECTOR3* eye, const D3DXVECTOR3* target, float fov, float aspect, float nearPlane,
              float farPlane, int mode);
    void Release();
    void SetProjection(float fov, float aspect, float nearPlane, float farPlane);
    void UpdateView();
    void SetView(const D3DXVECTOR3* eye, const D3DXVECTOR3* target, const D3DXVECTOR3* up);
    void SetEffectMatrices();
    void BuildFrustumPlanes();
    std::uint32_t IsSphereInFrustum(const D3DXVECTOR3* centre, float radius) const;
    std::uint32_t IsBoxInFrustum(const D3DXVECTOR3 corners[8]) const;
    std::uint32_t IsSphereVisible(const D3DXVECTOR3* centre, float radius) const;
    void SetViewport(float x1, float y1, float x2, float y2);
    std::uint32_t ProjectToScreen(float* outX, float* outY, const D3DXVECTOR3* point, float* outDepth);
    void UnprojectScreenPoint(float x, float y, D3DXVECTOR3* out, const D3DXMATRIX* world);

    // The camera's motion.
    void Update();
    void SetMode(int mode, CVehicle* car);
    void NextView();
    void SetTargetVehicle(CVehicle* car);
    // The motion of a session back to a fresh start's: free flight without
    // a car, no driving view remembered, no transition or fly-by, and no
    // speed measured. The eye, the projection and a running fade stay.
    void ResetMotion();
    void ComputeChaseOffsets(D3DXVECTOR3* eyeOffset, D3DXVECTOR3* targetOffset, D3DXVECTOR3* up);
    void ResetChaseOffsets();
    void StartTransition(const D3DXVECTOR3* goalEye, const D3DXVECTOR3* goalTarget, float duration,
                         const D3DXVECTOR3* orbitAxis, float orbitRate, int relative);
    void StartFadeOut(float seconds, int withSound);
    void StartFadeIn(float seconds, int withSound);
    void DrawFade();
    // True while a fade runs; a finished fade keeps its kind.
    bool IsFading() const;
    void UpdateAverageSpeed(const D3DXVECTOR3* displacement);
    // Sets the renderer's motion blur from the player's speed.
    void UpdateSpeedBlur();
    void DrawDebugInfo();

    D3DXPLANE m_Planes[6]; // right, left, bottom, top, far, near
    float m_fFov;
    float m_fAspect;
    float m_fFarPlane;
    float m_fNearPlane;
    D3DXVECTOR3 m_vEye;
    D3DXVECTOR3 m_vTarget;
    D3DXVECTOR3 m_vUp;
    D3DXMATRIX m_matView;
    D3DXMATRIX m_matInvView;
    D3DXMATRIX m_matProj;
    int m_nMode;
    int m_nLastView;
    D3DXVECTOR3 m_vFlyVelocity;
    D3DXVECTOR3 m_vFlyTurn;
    CVehicle* m_pTarget = nullptr;
    int m_nFadeKind = -1; // -1 none, 0 to black, 1 from black
    float m_fFadeTime;
    float m_fFadeElapsed;
    int m_bFadeSound;
    D3DXVECTOR3 m_vEyeOffset;
    D3DXVECTOR3 m_vTargetOffset;
    D3DXVECTOR3 m_vChaseUp;
    float m_fSpeedSamples[40];
    float m_fAverageSpeed;
    int m_bRelative;
    int m_bOrbit;
    int m_nStartStamp;
    float m_fDuration;
    D3DXVECTOR3 m_vGoalEye;
    D3DXVECTOR3 m_vGoalTarget;
    D3DXVECTOR3 m_vOrbitAxis;
    float m_fOrbitRate;
    D3DXVECTOR3 m_vStartEye;
    D3DXVECTOR3 m_vStartTarget;
    D3DXVECTOR3* m_pRoute = nullptr; // owned
    std::uint32_t m_nRoutePoints = 0;
    D3DXVECTOR3 m_vPrevEye;
    CGameFont m_DebugFont; // the statistics overlay's text

private:
    void KeepDrivingView();
    float FadePercent() const;
    void DrawFadeRect(unsigned alpha);
    bool MoveByMode(float dt);
    void FlyFree(float dt);
    bool HasTargetCar();
    bool FollowInCar();
    bool FollowChase(float dt);
    void RunTransition(float dt);
    void PlanRoute();
    void FlyAlongRoute(float dt);
    void KeepAboveGround();
    void KeepOutOfBuildings();
    void PlaceListener();
};

// Near and far planes of the main camera and the far plane of the cube camera.
extern float g_fNearPlane;
extern float g_fFarPlane;
extern float g_fCubeFarPlane;

// Small vector operations used with the camera throughout the game.
D3DXVECTOR3* Vec3Set(D3DXVECTOR3* v, float x, float y, float z);
D3DXVECTOR3* Vec3Add(const D3DXVECTOR3* v, D3DXVECTOR3* out, const D3DXVECTOR3* b);
D3DXVECTOR3* Vec3Subtract(const D3DXVECTOR3* v, D3DXVECTOR3* out, const D3DXVECTOR3* b);
