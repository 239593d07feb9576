// The player's keys, the criminal level with the arrest timer, and the race
// progress of the player's car.
#include "roadusers/Vehicle.h"

#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/MessageIds.h"
#include "game/PlayerStats.h"
#include "graphics/WorldCamera.h"
#include "roadusers/DriverSteps.h"
#include "roadusers/VehicleManager.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

void CVehicle::UpdatePlayerInput()
{
    if (m_nControlMode != 2)
        return;
    m_fThrottleTarget = g_bActAccelerate ? 2000.0f : 0.0f;
    m_fBrakeTarget = g_bActBrake || g_bActHandBrake ? 100.0f : 0.0f;
    m_bHandBrake = g_bActHandBrake ? 1 : 0;
    m_fSteerInput = 0.0f;
    if (g_bActTurnLeft)
        m_fSteerInput = -0.8f;
    if (g_bActTurnRight)
        m_fSteerInput = 0.8f;
    if (g_bActRestore)
        ResetToRoad(nullptr, nullptr);
    if (g_VehicleManager.IsRaceRunning()) {
        UpdateRaceProgress();
        UpdateRemainingDistance();
    }
    UpdateCriminalLevel();
    if (g_bDebugOut && g_bKeyShift && g_bKeyInsert) {
        const int kind = m_nKind;
        Spawn(nullptr, nullptr, nullptr, 1, kind, 1);
        SetControlMode(2);
        g_bKeyInsert = 0;
    }
    if (g_Game.m_pCamera)
        g_Game.m_pCamera->UpdateSpeedBlur();
    if (g_bKeyF1) {
        const D3DXCOLOR4 white{1.0f, 1.0f, 1.0f, 1.0f};
        g_GameInterface.ShowMessage(MSG_CONTROLS, 10.0f, &white, 0.35f);
        g_bKeyF1 = 0;
    }
}

// The criminal level fades while no police car chases the player; a chaser
// close to a car that barely moves counts towards the arrest.
void CVehicle::UpdateCriminalLevel()
{
    const float dt = g_GameTimer.m_fDelta;
    CPlayerStats& stats = g_PlayerStats;
    stats.m_bPursuit = 0;
    if (stats.m_fCriminalLevel <= 0.0f) {
        stats.m_fArrestTimer = 0.0f;
    } else {
        const CVehicle* police = g_VehicleManager.FindPursuingPolice(&m_vPosition, 60.0f);
        if (stats.m_fCriminalLevel > 0.25f && police && Vec3Distance(&police->m_vPosition, &m_vPosition) < 8.0f &&
            std::fabs(m_fSpeed) < 10.0f)
            stats.m_fArrestTimer += dt;
        else
            stats.m_fArrestTimer = 0.0f;
        if (!police)
            stats.m_fCriminalLevel = std::max(0.0f, stats.m_fCriminalLevel - dt * 0.025f);
        else
            stats.m_bPursuit = 1;
    }
    if (stats.m_fArrestTimer > 5.0f) {
        g_CityLogic.SetScene(SCENE_ARREST, this, nullptr);
        ++stats.m_nArrests;
    } else if (stats.m_bPursuit) {
        m_fPoliceVoiceTimer -= dt;
        if (m_fPoliceVoiceTimer < 0.0f) {
            g_AudioManager.PlayVoice(3, 1);
            m_fPoliceVoiceTimer = static_cast<float>(std::rand() % 101) / 10.0f + 3.0f;
        }
    }
}

// Route points are passed while the car stays within the road's reach of
// them; a car that leaves the route during a race is put back on it.
void CVehicle::UpdateRaceProgress()
{
    const std::uint32_t count = std::min<std::uint32_t>(m_nRoutePoints, VEHICLE_ROUTE_SIZE);
    if (count < 2) {
        m_nRouteIndex = 0;
        return;
    }
    if (m_nRouteIndex >= count - 1) {
        m_nRouteIndex = count - 1;
        return;
    }
    const D3DXVECTOR3 local = InRouteFrame(m_vPosition, m_Route[m_nRouteIndex], m_Route[m_nRouteIndex + 1]);
    if (std::fabs(local.x) < 16.0f && local.z > -m_fSphereRadius)
        ++m_nRouteIndex;
    m_vSteerTarget = m_Route[m_nRouteIndex];
    if (!g_VehicleManager.IsRaceRunning())
        return;
    if (Vec3Distance(&m_vPosition, &m_vSteerTarget) > 24.0f) {
        StopImmediately();
        m_bHandBrake = 0;
        SetControlMode(2);
        const std::uint32_t i = std::min(m_nRouteIndex, count - 2);
        const D3DXVECTOR3 lift(0.0f, 2.5f, 0.0f);
        const D3DXVECTOR3 at = m_Route[i] + lift, look = m_Route[i + 1] + lift;
        ResetToRoad(&at, &look);
    }
    if (static_cast<std::int64_t>(m_nRouteIndex) > std::int64_t{g_VehicleManager.m_nRaceRoutePoints} - 5 &&
        g_CityLogic.m_nScene == SCENE_IDLE) {
        g_VehicleManager.CarFinished(this);
        g_CityLogic.SetScene(SCENE_RACE_END, this, nullptr);
    }
}
