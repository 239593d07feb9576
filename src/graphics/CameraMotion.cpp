// The camera's motion: free flight, the in-car and chase views that follow a
// car, scripted transitions, the fixed eye, the road fly-by, and the screen
// fades. Everything moves on the real frame time, so slow motion does not
// slow the camera.
#include "graphics/WorldCamera.h"

#include "graphics/D3DRender.h"
#include "graphics/MeshRecord.h"
#include "graphics/ScreenDraw.h"
#include "platform/Win32.h"
#include "roadusers/Vehicle.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"
#include "shell/Log.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"
#include "shell/WinMain.h"
#include "world/Landscape.h"

#include <cmath>
#include <cstdlib>

namespace {

const float kFlySpeed = 200.0f;
const float kFlyTurn = 5.0f;
const int kRouteCapacity = 2048;
int s_bLastBackView = 0; // one value for the whole program

D3DXVECTOR3 MatrixRow(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

D3DXVECTOR3 CarPosition(const CVehicle* car)
{
    return car->m_vPosition;
}

// Moves v toward 0 by step, stopping at 0.
float Damp(float v, float step)
{
    if (v > 0.0f)
        return v > step ? v - step : 0.0f;
    return v < -step ? v + step : 0.0f;
}

void LimitLength(D3DXVECTOR3* v, float limit)
{
    const float length = Vec3Length(v);
    if (length > limit)
        *v = *v * (limit / length);
}

D3DXVECTOR3 Normalized(const D3DXVECTOR3& v)
{
    D3DXVECTOR3 out;
    Vec3Normalize(&out, &v);
    return out;
}

// The in-car camera point: the first attachment point of the mesh's first
// part; a car without one looks from its own origin.
D3DXVECTOR3 InCarCameraPoint(const CVehicle* car)
{
    const CMeshRecord* mesh = car->m_pMesh;
    if (!mesh || mesh->m_nPoints[0] == 0 || !mesh->m_pPoints[0])
        return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    return mesh->m_pPoints[0][0];
}

} // namespace

// Black over the whole screen, one pixel beyond each edge.
void CWorldCamera::DrawFadeRect(unsigned alpha)
{
    CScreenDraw::DrawRect(-1.0f, -1.0f, 801.0f, 601.0f, alpha << 24, INVALID_TEXTURE_ID);
}

void CWorldCamera::KeepDrivingView()
{
    if (m_nMode >= 1 && m_nMode <= 3)
        m_nLastView = m_nMode;
}

void CWorldCamera::SetMode(int mode, CVehicle* car)
{
    KeepDrivingView();
    m_nMode = mode;
    SetTargetVehicle(car);
    if (mode == 6) {
        if (!m_pRoute)
            m_pRoute = new D3DXVECTOR3[kRouteCapacity];
        m_nRoutePoints = 0;
    } else if (m_pRoute) {
        delete[] m_pRoute;
        m_pRoute = nullptr;
        m_nRoutePoints = 0;
    }
}

void CWorldCamera::NextView()
{
    KeepDrivingView();
    int mode = m_nMode == 3 ? 0 : m_nMode + 1;
    if (mode == 0 && !g_bDebugOut)
        mode = 1;
    m_nMode = mode;
    if (mode >= 1 && mode <= 3)
        SetTargetVehicle(g_pPlayerVehicle);
}

void CWorldCamera::SetTargetVehicle(CVehicle* car)
{
    m_pTarget = car;
    if (!car)
        return;
    const D3DXVECTOR3 pos = CarPosition(car);
    m_vEyeOffset = m_vEye - pos;
    m_vTargetOffset = m_vTarget - pos;
    m_vChaseUp = m_vUp;
}

void CWorldCamera::ComputeChaseOffsets(D3DXVECTOR3* eyeOffset, D3DXVECTOR3* targetOffset, D3DXVECTOR3* up)
{
    if (!m_pTarget)
        return;
    const D3DXVECTOR3 fwd = MatrixRow(m_pTarget->m_matWorld, 2);
    const D3DXVECTOR3 carUp = MatrixRow(m_pTarget->m_matWorld, 1);
    const float d = static_cast<float>(m_nMode) * m_pTarget->m_fSphereRadius * 0.85f;
    float s = (m_pTarget->m_fSpeed > 0.0f ? m_pTarget->m_fSpeed : 0.0f) / 200.0f;
    if (s > 1.0f)
        s = 1.0f;
    *eyeOffset = -fwd * (d * (1.0f + s / 2.0f)) + D3DXVECTOR3(0.0f, d / 2.0f, 0.0f);
    *targetOffset = fwd * (d * (1.0f - s / 2.0f)) + D3DXVECTOR3(0.0f, 0.3333f * d, 0.0f);
    *up = Normalized(carUp + D3DXVECTOR3(0.0f, 3.0f, 0.0f));
}

void CWorldCamera::ResetChaseOffsets()
{
    if (m_pTarget)
        ComputeChaseOffsets(&m_vEyeOffset, &m_vTargetOffset, &m_vChaseUp);
}

void CWorldCamera::StartTransition(const D3DXVECTOR3* goalEye, const D3DXVECTOR3* goalTarget, float duration,
                                   const D3DXVECTOR3* orbitAxis, float orbitRate, int relative)
{
    KeepDrivingView();
    m_vGoalEye = goalEye ? *goalEye : m_vEye;
    m_vGoalTarget = goalTarget ? *goalTarget : m_vTarget;
    m_nMode = 4;
    m_bRelative = relative;
    m_bOrbit = orbitAxis ? 1 : 0;
    m_vOrbitAxis = orbitAxis ? *orbitAxis : D3DXVECTOR3();
    m_fOrbitRate = orbitAxis ? orbitRate : 0.0f;
    m_nStartStamp = static_cast<int>(g_GameTimer.m_fRealTime);
    m_fDuration = duration;
    m_vStartEye = m_vEye;
    m_vStartTarget = m_vTarget;
}

void CWorldCamera::StartFadeOut(float seconds, int withSound)
{
    m_nFadeKind = 0;
    m_fFadeTime = seconds;
    m_fFadeElapsed = 0.0f;
    m_bFadeSound = withSound;
}

void CWorldCamera::StartFadeIn(float seconds, int withSound)
{
    m_nFadeKind = 1;
    m_fFadeTime = seconds;
    m_fFadeElapsed = 0.0f;
    m_bFadeSound = withSound;
}

// Percent of the fade gone by. A fade of no length is over at once (100 %)
// instead of dividing by zero.
float CWorldCamera::FadePercent() const
{
    if (!(m_fFadeTime > 0.0f))
        return 100.0f;
    const float p = m_fFadeElapsed / m_fFadeTime * 100.0f;
    return p < 100.0f ? p : 100.0f;
}

bool CWorldCamera::IsFading() const
{
    return m_nFadeKind != -1 && FadePercent() < 100.0f;
}

void CWorldCamera::DrawFade()
{
    if (m_nFadeKind == -1)
        return;
    const float elapsedBefore = m_fFadeElapsed;
    m_fFadeElapsed += g_GameTimer.m_fRealDelta;
    const float p = FadePercent();
    if (m_nFadeKind == 0 && p > 0.0f)
        DrawFadeRect(static_cast<unsigned>(2.55f * p) & 0xFF);
    else if (m_nFadeKind == 1 && p < 100.0f)
        DrawFadeRect(static_cast<unsigned>(255.0f - 2.55f * p) & 0xFF);
    // The frame that passes the fade's end still sets the sound, at the end
    // value (p is 100 there): a fade out ends silent, a fade in at full.
    if (m_bFadeSound && elapsedBefore <= m_fFadeTime)
        g_AudioManager.SetMasterVolume(m_nFadeKind == 0 ? 100.0f - p : p);
}

void CWorldCamera::UpdateAverageSpeed(const D3DXVECTOR3* displacement)
{
    const float dt = g_GameTimer.m_fDelta;
    if (dt == 0.0f)
        return;
    for (int i = 39; i > 0; --i)
        m_fSpeedSamples[i] = m_fSpeedSamples[i - 1];
    m_fSpeedSamples[0] = Vec3Length(displacement) / dt / 1000.0f * 3600.0f;
    float sum = 0.0f;
    for (float s : m_fSpeedSamples)
        sum += s;
    m_fAverageSpeed = sum / 40.0f;
}

// No blur up to 70 km/h, full blur from 120 km/h, in the driving views only.
void CWorldCamera::UpdateSpeedBlur()
{
    float amount = 0.0f;
    if (g_pPlayerVehicle && m_nMode >= 1 && m_nMode <= 3) {
        amount = (std::fabs(g_pPlayerVehicle->m_fSpeed) - 70.0f) / 50.0f;
        amount = amount < 0.0f ? 0.0f : (amount > 1.0f ? 1.0f : amount);
    }
    g_D3DRender.m_fMotionBlur = amount;
}

void CWorldCamera::Update()
{
    const float dt = g_GameTimer.m_fRealDelta;
    if (dt == 0.0f)
        return;
    m_vPrevEye = m_vEye;
    if (g_bActChangeView && m_nMode <= 3) {
        NextView();
        g_bActChangeView = 0;
    }
    if (!MoveByMode(dt))
        return; // a driving view without a car to follow
    KeepOutOfBuildings();
    KeepAboveGround();
    UpdateView();
    if (g_bActBackView != s_bLastBackView && g_pPlayerVehicle && g_pPlayerVehicle->m_nControlMode == 2)
        g_Game.UpdateVisibility(1);
    s_bLastBackView = g_bActBackView;
    const D3DXVECTOR3 moved = m_vEye - m_vPrevEye;
    UpdateAverageSpeed(&moved);
    PlaceListener();
}

bool CWorldCamera::MoveByMode(float dt)
{
    switch (m_nMode) {
    case 0:
        FlyFree(dt);
        return true;
    case 1:
        return FollowInCar();
    case 2:
    case 3:
        return FollowChase(dt);
    case 4:
        RunTransition(dt);
        return true;
    case 5:
        if (m_pTarget)
            m_vTarget = CarPosition(m_pTarget);
        return true;
    case 6:
        FlyAlongRoute(dt);
        return true;
    default:
        return true;
    }
}

void CWorldCamera::FlyFree(float dt)
{
    const float f = kFlySpeed * dt;
    const float t = kFlyTurn * dt;
    if (g_bKeyA)
        m_vFlyVelocity.z += f;
    if (g_bKeyZ)
        m_vFlyVelocity.z -= f;
    if (g_bKeyShift) {
        m_vFlyVelocity.x += (g_bKeyRight ? f : 0.0f) - (g_bKeyLeft ? f : 0.0f);
        m_vFlyVelocity.y += (g_bKeyUp ? f : 0.0f) - (g_bKeyDown ? f : 0.0f);
    } else if (!g_bKeyControl) {
        m_vFlyTurn.y += (g_bKeyRight ? t : 0.0f) - (g_bKeyLeft ? t : 0.0f);
        m_vFlyTurn.x += (g_bKeyDown ? t : 0.0f) - (g_bKeyUp ? t : 0.0f);
    }
    m_vFlyVelocity = D3DXVECTOR3(Damp(m_vFlyVelocity.x, f / 2), Damp(m_vFlyVelocity.y, f / 2),
                                 Damp(m_vFlyVelocity.z, f / 2));
    LimitLength(&m_vFlyVelocity, 100.0f);
    m_vFlyTurn = D3DXVECTOR3(Damp(m_vFlyTurn.x, t / 2), Damp(m_vFlyTurn.y, t / 2), Damp(m_vFlyTurn.z, t / 2));
    LimitLength(&m_vFlyTurn, 2.0f);
    D3DXVECTOR3 worldVelocity;
    D3DXVec3TransformNormal(&worldVelocity, &m_vFlyVelocity, &m_matInvView);
    m_vUp = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    if (m_vFlyTurn.x != 0.0f || m_vFlyTurn.y != 0.0f) {
        const D3DXVECTOR3 v = m_vTarget - m_vEye;
        const D3DXVECTOR3 right = MatrixRow(m_matInvView, 0);
        const D3DXVECTOR3 yAxis(0.0f, 1.0f, 0.0f);
        D3DXMATRIX pitch;
        D3DXMATRIX yaw;
        D3DXMATRIX r;
        D3DXMatrixRotationAxis(&pitch, &right, dt * m_vFlyTurn.x);
        D3DXMatrixRotationAxis(&yaw, &yAxis, dt * m_vFlyTurn.y);
        D3DXMatrixMultiply(&r, &pitch, &yaw);
        D3DXVECTOR3 turned;
        D3DXVec3TransformNormal(&turned, &v, &r);
        m_vTarget = m_vEye + turned;
    }
    m_vEye += worldVelocity * dt;
    m_vTarget += worldVelocity * dt;
}

bool CWorldCamera::HasTargetCar()
{
    if (!m_pTarget)
        SetTargetVehicle(g_pPlayerVehicle);
    return m_pTarget != nullptr;
}

bool CWorldCamera::FollowInCar()
{
    if (!HasTargetCar())
        return false;
    const CVehicle* car = m_pTarget;
    const D3DXVECTOR3 local = InCarCameraPoint(car);
    D3DXVECTOR3 point;
    D3DXVec3TransformCoord(&point, &local, &car->m_matWorld);
    m_vEye = point;
    const D3DXVECTOR3 fwd = MatrixRow(car->m_matWorld, 2) * (car->m_fSphereRadius * 2.0f);
    m_vTarget = g_bActBackView ? m_vEye - fwd : m_vEye + fwd;
    m_vUp = MatrixRow(car->m_matWorld, 1);
    return true;
}

bool CWorldCamera::FollowChase(float dt)
{
    if (!HasTargetCar())
        return false;
    const CVehicle* car = m_pTarget;
    const float offsetLength = Vec3Length(&m_vEyeOffset);
    if (offsetLength != 0.0f && offsetLength < car->m_fSphereRadius)
        m_vEyeOffset = Normalized(m_vEyeOffset) * car->m_fSphereRadius;
    D3DXVECTOR3 goalEye;
    D3DXVECTOR3 goalTarget;
    D3DXVECTOR3 goalUp;
    ComputeChaseOffsets(&goalEye, &goalTarget, &goalUp);
    D3DXVECTOR3 eyeGap = goalEye - m_vEyeOffset;
    D3DXVECTOR3 targetGap = goalTarget - m_vTargetOffset;
    D3DXVECTOR3 upGap = goalUp - m_vChaseUp;
    const float k = ((car->m_fSpeed > 0.0f ? car->m_fSpeed : 0.0f) * 0.1f + 1.0f) * dt;
    if (k > 1.0f) {
        eyeGap = eyeGap / k;
        targetGap = targetGap / k;
        upGap = upGap / k;
    }
    m_vEyeOffset += eyeGap * (k * 0.75f);
    m_vTargetOffset += targetGap * (k * 2.0f);
    m_vChaseUp += upGap * k;
    D3DXVECTOR3 eyeOffset = m_vEyeOffset;
    D3DXVECTOR3 targetOffset = m_vTargetOffset;
    if (g_bActBackView) {
        // Half a turn about the car's up axis: in front of the car, looking back.
        const D3DXVECTOR3 carUp = MatrixRow(car->m_matWorld, 1);
        D3DXMATRIX turn;
        D3DXMatrixRotationAxis(&turn, &carUp, D3DX_PI);
        D3DXVec3TransformNormal(&eyeOffset, &m_vEyeOffset, &turn);
        D3DXVec3TransformNormal(&targetOffset, &m_vTargetOffset, &turn);
    }
    const D3DXVECTOR3 pos = CarPosition(car);
    m_vEye = pos + eyeOffset;
    m_vTarget = pos + targetOffset;
    m_vUp = m_vChaseUp;
    return true;
}

void CWorldCamera::RunTransition(float dt)
{
    D3DXVECTOR3 goalEye = m_vGoalEye;
    D3DXVECTOR3 goalTarget = m_vGoalTarget;
    if (m_pTarget) {
        if (m_bRelative)
            goalEye = CarPosition(m_pTarget) + m_vGoalEye;
        goalTarget = CarPosition(m_pTarget);
    }
    if (m_bOrbit) {
        D3DXMATRIX r;
        D3DXMatrixRotationAxis(&r, &m_vOrbitAxis, dt * m_fOrbitRate);
        const D3DXVECTOR3 arm = goalEye - goalTarget;
        D3DXVECTOR3 v;
        D3DXVec3TransformCoord(&v, &arm, &r);
        D3DXVECTOR3 up = m_vUp;
        D3DXVec3TransformCoord(&m_vUp, &up, &r);
        m_vGoalEye = m_bRelative ? v : goalTarget + v;
        goalEye = goalTarget + v;
    }
    if (m_fDuration == 0.0f) {
        m_vEye = goalEye;
        m_vTarget = goalTarget;
    } else {
        const float t = g_GameTimer.GetRealTimeSince(static_cast<std::uint32_t>(m_nStartStamp));
        if (t < m_fDuration) {
            const float w = (1.0f - std::cos(D3DX_PI * t / m_fDuration)) / 2.0f;
            m_vEye = m_vStartEye + (goalEye - m_vStartEye) * w;
            m_vTarget = m_pTarget ? CarPosition(m_pTarget) : m_vStartTarget + (goalTarget - m_vStartTarget) * w;
        } else {
            m_vEye = goalEye;
            m_vTarget = goalTarget;
            m_fDuration = 0.0f;
        }
    }
    if (!g_bInGame)
        g_Game.UpdateVisibility(0);
}

// A random destination on the roads, reached along the route grid. With no
// world loaded (size 0) there is no destination to draw, so no route either.
void CWorldCamera::PlanRoute()
{
    std::srand(timeGetTime());
    const float w = g_Landscape.m_fWorldSize;
    const int span = static_cast<int>(w);
    if (span <= 0)
        return;
    D3DXVECTOR3 destination;
    destination.z = w / 2.0f - static_cast<float>(std::rand() % span);
    destination.x = static_cast<float>(std::rand() % span) - w / 2.0f;
    destination.y = 0.0f;
    D3DXVECTOR3 start;
    g_Landscape.FindNearestRoutePoint(&m_vTarget, &m_vTarget, &start, 3, 3, 20);
    g_Landscape.FindNearestRoutePoint(&destination, &destination, &destination, 3, 3, 20);
    g_Landscape.FindRoutePath(m_pRoute, &m_nRoutePoints, &start, &destination, 3, 3, 0, 0, 2, 0.0f, kRouteCapacity);
    if (m_nRoutePoints > 0)
        g_Landscape.RemovePathPoint(m_pRoute, &m_nRoutePoints, 0);
}

void CWorldCamera::FlyAlongRoute(float dt)
{
    if (!m_pRoute)
        m_pRoute = new D3DXVECTOR3[kRouteCapacity];
    if (m_nRoutePoints == 0)
        PlanRoute();
    if (m_nRoutePoints == 0) {
        ErrorBox("Can't get camera path!", "CWorldCamera error!", MB_OK);
        return;
    }
    const D3DXVECTOR3 p = m_pRoute[0] + D3DXVECTOR3(0.0f, 4.0f, 0.0f);
    const D3DXVECTOR3 d = p - m_vTarget;
    const float gap = Vec3Length(&d);
    if (gap >= 0.5f) {
        D3DXVECTOR3 step = Normalized(d) * (dt * 100.0f * 0.3f);
        if (Vec3Length(&step) >= gap)
            step = d;
        m_vTarget += step;
        const D3DXVECTOR3 e = m_vTarget - m_vEye;
        const float leash = Vec3Length(&e);
        if (leash > 5.0f)
            m_vEye += e * (dt * (leash - 5.0f) * 0.3f);
    } else {
        g_Landscape.RemovePathPoint(m_pRoute, &m_nRoutePoints, 0);
    }
    m_vUp = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
}

void CWorldCamera::KeepAboveGround()
{
    if (g_bDebugOut)
        return;
    float floor = GetExactAltitude(&m_vEye);
    const float water = LandscapeWaterLevel();
    if (water > floor)
        floor = water;
    if (m_vEye.y <= floor + 1.0f)
        m_vEye.y = floor + 1.0f;
}

void CWorldCamera::PlaceListener()
{
    g_AudioManager.SetListenerPosition(m_vEye);
    g_AudioManager.SetListenerOrientation(Normalized(m_vTarget - m_vEye), m_vUp);
    const bool driving = g_pPlayerVehicle && m_nMode >= 1 && m_nMode <= 3;
    g_AudioManager.SetListenerVelocity(driving ? g_pPlayerVehicle->m_vLinearVelocity : D3DXVECTOR3());
}
