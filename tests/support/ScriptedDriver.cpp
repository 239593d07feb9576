#include "support/ScriptedDriver.h"

#include "game/CityLogic.h"
#include "platform/Win32Window.h"
#include "roadusers/Vehicle.h"
#include "shell/Input.h"

#include <algorithm>
#include <cmath>

namespace test {

namespace {

const float kSteerGain = 1.5f;   // wheel angle per radian of bearing
const float kSteerLimit = 0.8f;  // the wheels' full lock
const float kSteerBand = 0.04f;  // wheel angle left alone either side
const float kSharpTurn = 0.45f;  // radians: slow down for the turn
const float kBrakeMargin = 8.0f; // km/h over the wanted speed before braking
const float kStandKmh = 1.5f;

float Flat(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return std::hypot(b.x - a.x, b.z - a.z);
}

// The car has come past `point` in the direction of the route's next one.
bool Beyond(const D3DXVECTOR3& car, const D3DXVECTOR3& point, const D3DXVECTOR3& next)
{
    return (car.x - point.x) * (next.x - point.x) + (car.z - point.z) * (next.z - point.z) > 0.0f;
}

// Angle of the target off the car's nose, right positive.
float Bearing(const CarView& car, const D3DXVECTOR3& target)
{
    const float dx = target.x - car.position.x, dz = target.z - car.position.z;
    const float ahead = dx * car.forward.x + dz * car.forward.z;
    const float right = dx * car.forward.z - dz * car.forward.x;
    return std::atan2(right, ahead);
}

} // namespace

CarView ViewOf(const CVehicle& car)
{
    CarView view{car.m_vPosition, D3DXVECTOR3(car.m_matWorld._31, 0.0f, car.m_matWorld._33), car.m_fSpeed,
                 car.m_fSteering};
    const float length = std::hypot(view.forward.x, view.forward.z);
    if (length > 0.0f)
        view.forward *= 1.0f / length;
    return view;
}

bool PlayerInControl()
{
    return g_CityLogic.m_nScene == SCENE_IDLE && g_pPlayerVehicle && g_pPlayerVehicle->m_nControlMode == 2;
}

DriveKeys DecideKeys(const CarView& car, const D3DXVECTOR3& target, float wantedKmh)
{
    DriveKeys keys;
    if (wantedKmh <= 0.0f) {
        keys.down[DRIVE_BRAKE] = car.speedKmh > kStandKmh;
        keys.down[DRIVE_HAND_BRAKE] = !keys.down[DRIVE_BRAKE];
        return keys;
    }
    const float wheels = std::clamp(kSteerGain * Bearing(car, target), -kSteerLimit, kSteerLimit);
    keys.down[DRIVE_RIGHT] = car.steering < wheels - kSteerBand;
    keys.down[DRIVE_LEFT] = car.steering > wheels + kSteerBand;
    keys.down[DRIVE_ACCELERATE] = car.speedKmh < wantedKmh;
    keys.down[DRIVE_BRAKE] = car.speedKmh > wantedKmh + kBrakeMargin;
    return keys;
}

void ScriptedDriver::Follow(const D3DXVECTOR3* points, int count, bool stop)
{
    m_nCount = std::clamp(count, 0, int(DRIVER_MAX_POINTS));
    std::copy(points, points + m_nCount, m_Points);
    m_nNext = 0;
    m_bStop = stop;
    m_bArrived = false;
}

void ScriptedDriver::Halt(HWND window)
{
    m_nCount = m_nNext = 0;
    Press(window, DriveKeys{});
}

float ScriptedDriver::WantedSpeed(const CarView& car, const D3DXVECTOR3& target) const
{
    float wanted = std::fabs(Bearing(car, target)) > kSharpTurn ? m_fTurnKmh : m_fCruiseKmh;
    if (!m_bStop)
        return wanted;
    // The distance still to go along the route, near the end.
    const D3DXVECTOR3& last = m_Points[m_nCount - 1];
    if (Flat(car.position, last) > 80.0f)
        return wanted;
    float left = Flat(car.position, m_Points[m_nNext]);
    for (int i = m_nNext + 1; i < m_nCount; ++i)
        left += Flat(m_Points[i - 1], m_Points[i]);
    return std::min(wanted, 2.5f * std::max(0.0f, left - m_fArriveReach) + 4.0f);
}

void ScriptedDriver::Step(HWND window)
{
    const CVehicle* car = g_pPlayerVehicle;
    if (!car || m_nCount == 0) {
        Press(window, DriveKeys{});
        return;
    }
    const CarView view = ViewOf(*car);
    while (m_nNext < m_nCount - 1 && (Flat(view.position, m_Points[m_nNext]) < m_fPassReach ||
                                      Beyond(view.position, m_Points[m_nNext], m_Points[m_nNext + 1])))
        ++m_nNext;
    int aim = m_nNext;
    while (aim < m_nCount - 1 && Flat(view.position, m_Points[aim]) < m_fLookAhead)
        ++aim;
    const D3DXVECTOR3& last = m_Points[m_nCount - 1];
    const bool atEnd = m_bStop && m_nNext == m_nCount - 1 && Flat(view.position, last) < m_fArriveReach;
    const float wanted = atEnd ? 0.0f : WantedSpeed(view, m_Points[aim]);
    m_bArrived = atEnd && std::fabs(view.speedKmh) < kStandKmh;
    Press(window, DecideKeys(view, m_Points[aim], wanted));
}

// Posts a key-down or key-up for every key whose state changes, with the
// key the settings bind to that action.
void ScriptedDriver::Press(HWND window, const DriveKeys& keys)
{
    for (int i = 0; i < DRIVE_KEYS; ++i) {
        if (keys.down[i] == m_Held.down[i])
            continue;
        const WPARAM key = WPARAM(g_KeyBindings[i].nKey);
        PostMessageA(window, keys.down[i] ? WM_KEYDOWN : WM_KEYUP, key, 0);
        m_Held.down[i] = keys.down[i];
    }
}

void KeyTapper::Tap(int key)
{
    if (m_nCount < MAX_TAPS)
        m_Keys[m_nCount++] = key;
}

void KeyTapper::Step(HWND window)
{
    if (m_bDown) {
        PostMessageA(window, WM_KEYUP, WPARAM(m_Keys[m_nNext++]), 0);
        m_bDown = false;
        m_bRest = true;
    } else if (m_bRest) {
        m_bRest = false;
    } else if (m_nNext < m_nCount) {
        PostMessageA(window, WM_KEYDOWN, WPARAM(m_Keys[m_nNext]), 0);
        m_bDown = true;
    }
}

} // namespace test
