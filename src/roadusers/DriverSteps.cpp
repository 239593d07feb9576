#include "roadusers/DriverSteps.h"

#include "roadusers/Vehicle.h"
#include "shell/AudioManager.h"
#include "shell/GameSound.h"
#include "shell/GameTimer.h"
#include "shell/VectorHelpers.h"

#include <algorithm>
#include <cmath>

D3DXVECTOR3 LocalTarget(CVehicle& car, const D3DXVECTOR3& target)
{
    D3DXVECTOR3 local;
    car.WorldToLocal(&local, &target);
    local.y = 0.0f;
    Vec3Normalize(&local, &local);
    car.m_vLocalTarget = local;
    return local;
}

// Divides only by a positive speed or target, so a target of 0 never
// divides by nothing.
void ApplySpeedLaw(CVehicle& car, float s, float v, float throttle, float brake)
{
    if (v < s && s > 0.0f)
        car.m_fThrottleTarget = (1.0f - v / s) * throttle;
    else
        car.m_fThrottleTarget = 0.0f;
    if (v > s && v > 0.0f)
        car.m_fBrakeTarget = (1.0f - s / v) * brake;
}

void LimitOverSteer(CVehicle& car, const D3DXVECTOR3& local)
{
    if (local.z <= 0.0f)
        return;
    const float limit = 0.8f * local.x;
    if ((local.x < 0.0f && car.m_fSteering < limit) || (local.x > 0.0f && car.m_fSteering > limit)) {
        car.m_fSteering = limit;
        car.m_fSteerInput = 0.0f;
    }
}

D3DXVECTOR3 InRouteFrame(const D3DXVECTOR3& point, const D3DXVECTOR3& from, const D3DXVECTOR3& to)
{
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX frame;
    BuildLookAtMatrix(&frame, &from, &to, &up);
    const D3DXVECTOR3 d = point - from;
    return D3DXVECTOR3(d.x * frame._11 + d.y * frame._12 + d.z * frame._13, 0.0f,
                       d.x * frame._31 + d.y * frame._32 + d.z * frame._33);
}

D3DXVECTOR3 RouteFrameRight(const D3DXVECTOR3& from, const D3DXVECTOR3& to)
{
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX frame;
    BuildLookAtMatrix(&frame, &from, &to, &up);
    return D3DXVECTOR3(frame._11, frame._12, frame._13);
}

std::uint32_t RouteCount(const CVehicle& car)
{
    return std::min<std::uint32_t>(car.m_nRoutePoints, VEHICLE_ROUTE_SIZE);
}

std::uint32_t ClampIndex(const CVehicle& car, std::uint64_t index)
{
    const std::uint32_t count = RouteCount(car);
    if (count == 0)
        return 0;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(index, count - 1));
}

bool PassRoutePoint(CVehicle& car, std::uint32_t ahead)
{
    const std::uint32_t index = ClampIndex(car, car.m_nRouteIndex);
    const D3DXVECTOR3 local = InRouteFrame(car.m_vPosition, car.m_Route[index], car.m_Route[ClampIndex(car, ahead)]);
    if (local.z < -car.m_fSphereRadius)
        return false;
    car.m_nRouteIndex = ClampIndex(car, std::uint64_t{index} + 1);
    return true;
}

void UpdateStuckTimer(CVehicle& car, bool more)
{
    if (more && std::fabs(car.m_fSpeed) < 5.0f && car.m_fEngineForce > 0.0f)
        car.m_fStuckTimer += g_GameTimer.m_fDelta;
    else
        car.m_fStuckTimer = 0.0f;
}

// The pool lends a horn for as long as it sounds, then may give it away.
bool HornSounding(const CVehicle& car)
{
    CGameSound* sound = car.m_pHornSound;
    if (!sound || !sound->IsPlaying())
        return false;
    for (const PooledSound<CVehicle>& entry : g_AudioManager.m_HornSounds)
        if (entry.pSound == sound && entry.pOwner == &car)
            return true;
    return false;
}

void SoundHorn(CVehicle& car)
{
    if (!HornSounding(car))
        car.m_pHornSound = g_AudioManager.PlayHornSound(&car);
}
