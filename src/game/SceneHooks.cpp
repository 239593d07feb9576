// Stand-ins for what is not built yet, and the links to what is: the race
// panels are the interface's; the shop screens and dents do nothing; the
// re-stream is the landscape's own.
#include "game/SceneHooks.h"

#include "game/GameInterface.h"
#include "game/GameMenu.h"
#include "roadusers/Vehicle.h"
#include "world/Landscape.h"

#include <BulletDynamics/Dynamics/btRigidBody.h>

namespace {

void StopCar(CVehicle* car)
{
    car->m_fSpeed = 0.0f;
    car->m_fEngineForce = 0.0f;
    car->m_fThrottleTarget = 0.0f;
    car->m_fBrakeTarget = 0.0f;
    car->m_vLinearVelocity = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    car->m_vAngularVelocity = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    if (car->m_pRigidBody) {
        car->m_pRigidBody->setLinearVelocity(btVector3(0, 0, 0));
        car->m_pRigidBody->setAngularVelocity(btVector3(0, 0, 0));
    }
}

void ParkCar(CVehicle* car)
{
    StopCar(car);
    car->SetControlMode(1);
    car->m_bHandBrake = 1;
}

// Mean dent, engine damage and mean tyre wear, each 0..1.
float GetDamageRatio(const CVehicle* car)
{
    float dents = 0.0f;
    if (car->m_pDeform && car->m_nBodyVertices) {
        for (std::uint32_t i = 0; i < car->m_nBodyVertices; ++i)
            dents += car->m_pDeform[i].fAmount;
        dents /= static_cast<float>(car->m_nBodyVertices);
    }
    const float wear = (car->m_WheelWear[0] + car->m_WheelWear[1] + car->m_WheelWear[2] + car->m_WheelWear[3]) / 4.0f;
    return (dents + car->m_fBodyDamage + wear) / 3.0f;
}

void DentCar(CVehicle*, int, float) {}
void OpenRaceOffer() { g_GameInterface.SetRaceState(1); }
int IsRaceOfferOpen() { return g_GameInterface.m_bRaceOfferOpen != 0; }
int IsRaceOfferAccepted() { return g_GameInterface.m_nRaceOfferChoice == 1; }
void OpenRaceResult() { g_GameInterface.ShowRaceResult(1); }
int IsRaceResultOpen() { return g_GameInterface.m_bRaceResultOpen != 0; }
void OpenWorkshop() {}
void OpenCarShop(CProp*) {}

void OpenGameMenu(int screen)
{
    g_GameMenu.Show(screen);
}

void RestreamLandscape()
{
    g_Landscape.ForceRestream();
}

} // namespace

const CSceneHooks g_DefaultSceneHooks = {StopCar,       ParkCar,          GetDamageRatio,    DentCar,
                                         OpenRaceOffer, IsRaceOfferOpen,  IsRaceOfferAccepted, OpenRaceResult,
                                         IsRaceResultOpen, OpenWorkshop,  OpenCarShop,       OpenGameMenu,
                                         RestreamLandscape};
CSceneHooks g_SceneHooks = g_DefaultSceneHooks;
