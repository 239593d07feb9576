// Shop visit, trick bonus, arrest and the taxi passenger's two scenes.
#include "game/CityLogic.h"

#include "game/GameInterface.h"
#include "game/MessageIds.h"
#include "game/PlayerStats.h"
#include "game/TaxiJob.h"
#include "graphics/D3DRender.h"
#include "graphics/MeshRecord.h"
#include "roadusers/Human.h"
#include "roadusers/HumanManager.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"
#include "world/Prop.h"
#include "world/PropManager.h"

#include <BulletDynamics/Dynamics/btRigidBody.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

const D3DXVECTOR3 kUp(0.0f, 1.0f, 0.0f);
const D3DXCOLOR4 kNoticeColour{1.0f, 0.75f, 0.25f, 1.0f};
const float kNoticeScale = 0.375f;
const int kEntrancePart = 9;
const float kTrickRealLimit = 15.0f;

// A race stopped by an arrest or a shop: booked as it stands, with the
// result on screen.
void StopRunningRace()
{
    if (!g_VehicleManager.m_bRaceRunning)
        return;
    g_VehicleManager.FinishRace();
    g_GameInterface.ShowRaceResult(1);
}

D3DXVECTOR3 Axis(const D3DXMATRIX& m, int row)
{
    return row == 0 ? D3DXVECTOR3(m._11, m._12, m._13)
                    : row == 1 ? D3DXVECTOR3(m._21, m._22, m._23) : D3DXVECTOR3(m._31, m._32, m._33);
}

bool IsListedHuman(const CHuman* human)
{
    for (std::uint32_t i = 0; human && i < g_HumanManager.m_nHumans; ++i)
        if (g_HumanManager.m_pHumans[i] == human)
            return true;
    return false;
}

} // namespace

void CCityLogic::UpdateShopVisit()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    if (m_nPhase == 0) {
        m_pCar->StopImmediately();
        if (camera)
            camera->StartFadeOut(0.5f, 1);
        Stamp();
        Next();
    } else if (m_nPhase == 1 && After(0.5f)) {
        StopRunningRace();
        g_VehicleManager.RemovePoliceCars();
        PlaceCarInShop();
        const char* path = m_pObject ? m_pObject->m_szPath : "";
        if (std::strstr(path, "/WorkShops")) {
            g_GameInterface.SetWorkshop(1);
        } else if (std::strstr(path, "/AvtoShops")) {
            g_GameInterface.SetCarShop(m_pObject);
        } else {
            // No screen takes over: the player drives on, and the entrance
            // does not fire again at once.
            RestoreDrivingView();
            m_pCar->SetControlMode(2);
            m_pCar->m_bHandBrake = 0;
            g_PropManager.m_fShopTimer = -4.0f;
        }
        End();
    }
}

void CCityLogic::PlaceCarInShop()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    CProp* entrance = m_pObject;
    D3DXVECTOR3 at = entrance ? entrance->m_vPosition : m_pCar->m_vPosition;
    const CMeshRecord* mesh = entrance ? entrance->m_pMesh : nullptr;
    if (mesh && mesh->m_nPoints[kEntrancePart] > 0 && mesh->m_pPoints[kEntrancePart])
        D3DXVec3TransformCoord(&at, &mesh->m_pPoints[kEntrancePart][0], &entrance->m_matWorld);
    // Lifted off the floor by the car mesh's own depth below its centre.
    if (m_pCar->m_pMesh)
        at.y -= 1.5f * m_pCar->m_pMesh->m_vBoxMin.y;
    // The building's own forward axis points out of its entrance; the car
    // faces that way, ready to drive off when the screen closes.
    const D3DXVECTOR3 forward = Axis(entrance ? entrance->m_matWorld : m_pCar->m_matWorld, 2);
    const D3DXVECTOR3 facing = at + forward * 50.0f;
    m_pCar->Spawn(&at, &facing, &kUp, 1, VEHICLE_PLAYER, 1);
    if (camera) {
        camera->m_vUp = kUp;
        const D3DXVECTOR3 eye = at + forward * 5.0f + D3DXVECTOR3(0.0f, 4.0f, 0.0f);
        camera->StartTransition(&eye, &at, 0.0f, &kUp, 0.35f, 0);
        camera->StartFadeIn(0.5f, 1);
    }
}

// Slow motion around the car after a trick. Its waits all count real time:
// the game clock runs at 0.4 here.
void CCityLogic::UpdateTrickBonus()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    if (m_nPhase == 0) {
        const D3DXVECTOR3 at = m_pCar->m_vPosition;
        D3DXVECTOR3 offset(static_cast<float>(std::rand() % 201) / 100.0f - 1.0f, 0.0f,
                           static_cast<float>(std::rand() % 201) / 100.0f - 1.0f);
        offset *= static_cast<float>(std::rand() % 101) / 5.0f;
        D3DXVECTOR3 eye = at + m_pCar->m_vLinearVelocity * 1.5f + offset;
        const float ground = std::max(GetExactAltitude(&eye), LandscapeWaterLevel());
        eye.y = 2.0f + ground + static_cast<float>(std::rand() % 101) / 25.0f;
        if (camera) {
            camera->SetView(&eye, &at, &kUp);
            camera->SetMode(5, m_pCar);
            camera->SetTargetVehicle(m_pCar);
        }
        g_Game.UpdateVisibility(1);
        g_GameInterface.ShowMessage(MSG_TRICK_BONUS, 5.0f, &kNoticeColour, kNoticeScale);
        g_AudioManager.PlayVoice(2, 1);
        g_GameTimer.m_fTimeScale = 0.4f;
        StampReal();
        Next();
        return;
    }
    g_D3DRender.m_fMotionBlur = 1.0f;
    if (m_nPhase == 1) {
        if (m_pCar->m_nWheelsInContact < 4 && !AfterReal(kTrickRealLimit)) {
            UprightCar();
            return;
        }
        StampReal();
        m_fWait = 1.0f;
        Next();
    } else if (m_nPhase == 2 && AfterReal(m_fWait)) {
        RestoreDrivingView();
        if (camera)
            camera->ResetChaseOffsets();
        g_GameTimer.m_fTimeScale = 1.0f;
        End();
    }
}

// Turns the airborne car toward upright by an angular impulse, and keeps the
// road reset away while it does.
void CCityLogic::UprightCar()
{
    CVehicle* car = m_pCar;
    car->m_nResetStamp = ClockStamp(g_GameTimer.m_fGameTime) + 2000;
    btRigidBody* body = car->m_pRigidBody;
    if (!body)
        return;
    const D3DXMATRIX& m = car->m_matWorld;
    const D3DXVECTOR3 axes[3] = {Axis(m, 0), Axis(m, 1), Axis(m, 2)};
    const D3DXVECTOR3 miss = kUp - axes[1];
    const float gain = car->m_fLine4Value * g_GameTimer.m_fDelta * 5.0f;
    D3DXVECTOR3 impulse(0.0f, 0.0f, 0.0f);
    for (const D3DXVECTOR3& axis : axes)
        impulse += axis * (D3DXVec3Dot(&miss, &axis) * gain);
    const btVector3 turn = body->getInvInertiaTensorWorld() * btVector3(impulse.x, impulse.y, impulse.z);
    body->setAngularVelocity(body->getAngularVelocity() + turn);
}

void CCityLogic::UpdateArrest()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    if (m_nPhase == 0) {
        m_pCar->StopImmediately();
        if (camera)
            camera->StartFadeOut(1.0f, 1);
        Stamp();
        Next();
    } else if (m_nPhase == 1 && After(1.0f)) {
        g_GameInterface.ShowMessage(MSG_ARRESTED, 5.0f, &kNoticeColour, kNoticeScale);
        g_AudioManager.PlayMusic(0, nullptr, 0, 0.0f);
        g_AudioManager.PlayVoice(1, 1);
        g_GameTimer.m_fTimeScale = 1.0f;
        const float rate = std::rand() % 101 < 50 ? -0.5f : 0.5f;
        if (camera) {
            camera->m_vUp = kUp;
            camera->SetTargetVehicle(m_pCar);
            const D3DXVECTOR3 eye(5.0f, 5.0f, 5.0f);
            camera->StartTransition(&eye, &m_pCar->m_vPosition, 0.0f, &kUp, rate, 1);
            camera->StartFadeIn(1.0f, 1);
        }
        Stamp();
        Next();
    } else if (m_nPhase == 2) {
        if (g_GameInterface.m_bMessageVisible)
            return;
        if (camera)
            camera->StartFadeOut(1.0f, 1);
        Stamp();
        Next();
    } else if (m_nPhase == 3 && After(1.0f)) {
        StopRunningRace();
        if (camera)
            camera->StartFadeIn(1.0f, 1);
        g_PlayerStats.m_bPursuit = 0;
        g_PlayerStats.m_fCriminalLevel = 0.0f;
        g_VehicleManager.RemovePoliceCars();
        m_pCar->SetControlMode(2);
        m_pCar->ResetToRoad(nullptr, nullptr);
        End();
    }
}

void CCityLogic::UpdatePassengerIn()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    if (m_nPhase == 0) {
        if (camera)
            camera->StartFadeOut(1.0f, 0);
        g_AudioManager.SafeFreeSound(&m_pSound);
        Stamp();
        Next();
    } else if (m_nPhase == 1) {
        if (After(1.25f))
            PlayDoorSound();
        if (!After(2.0f))
            return;
        if (camera)
            camera->StartFadeIn(2.0f, 0);
        RestoreDrivingView();
        m_pCar->SetControlMode(2);
        // The passenger may have gone meanwhile (knocked down, culled).
        CHuman* passenger = g_TaxiJob.m_pPassenger;
        if (IsListedHuman(passenger)) {
            ForgetHuman(passenger);
            g_HumanManager.RemoveHuman(passenger);
        }
        g_TaxiJob.m_pPassenger = nullptr;
        // Counted until delivered, so no other pedestrian waits meanwhile.
        ++g_HumanManager.m_nWaitingPassengers;
        if (g_pTaxiMarker)
            g_PropManager.RemoveProp(g_pTaxiMarker);
        const D3DXVECTOR3 at = g_TaxiJob.m_vLandingPoint;
        const D3DXVECTOR3 facing = at + D3DXVECTOR3(0.0f, 0.0f, 100.0f);
        g_pTaxiMarker = g_PropManager.AddProp("Data/Static/TaxiPoint/Main.obj", &at, &facing, &kUp, 0);
        g_TaxiJob.m_bOnBoard = 1;
        Stamp();
        Next();
    } else if (m_nPhase == 2 && After(6.0f)) {
        g_GameInterface.ShowMessage(MSG_PASSENGER, 20.0f, &kNoticeColour, kNoticeScale);
        End();
    }
}

void CCityLogic::UpdatePassengerOut()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    if (m_nPhase == 0) {
        m_pCar->Park();
        if (camera)
            camera->StartFadeOut(1.0f, 0);
        g_AudioManager.SafeFreeSound(&m_pSound);
        Stamp();
        Next();
    } else if (m_nPhase == 1) {
        if (After(1.25f))
            PlayDoorSound();
        if (!After(2.0f))
            return;
        // Still on board means delivered; a passenger let out early pays nothing.
        if (g_TaxiJob.m_bOnBoard == 1)
            g_GameInterface.ShowMessage(MSG_PASSENGER_DELIVERED, 5.0f, &kNoticeColour, kNoticeScale);
        if (camera)
            camera->StartFadeIn(2.0f, 0);
        m_pCar->SetControlMode(2);
        g_TaxiJob = CTaxiJob{};
        if (g_HumanManager.m_nWaitingPassengers > 0)
            --g_HumanManager.m_nWaitingPassengers;
        if (g_pTaxiMarker)
            g_PropManager.RemoveProp(g_pTaxiMarker);
        g_pTaxiMarker = nullptr;
        End();
    }
}
