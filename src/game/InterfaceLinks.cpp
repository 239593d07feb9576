#include "game/InterfaceLinks.h"

#include "roadusers/Human.h"
#include "roadusers/HumanManager.h"
#include "shell/Keywords.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"

#include <algorithm>

float CarMeanDeformation(const CVehicle* car)
{
    if (!car || !car->m_pDeform || car->m_nBodyVertices == 0)
        return 0.0f;
    double sum = 0.0;
    for (std::uint32_t i = 0; i < car->m_nBodyVertices; ++i)
        sum += car->m_pDeform[i].fAmount;
    return static_cast<float>(sum / car->m_nBodyVertices);
}

float CarDamageRatio(const CVehicle* car)
{
    if (!car)
        return 0.0f;
    const float wear = (car->m_WheelWear[0] + car->m_WheelWear[1] + car->m_WheelWear[2] + car->m_WheelWear[3]) * 0.25f;
    const float ratio = (CarMeanDeformation(car) + car->m_fBodyDamage + wear) / 3.0f;
    return std::clamp(ratio, 0.0f, 1.0f);
}

void ParkCar(CVehicle* car)
{
    if (!car)
        return;
    car->m_fThrottleTarget = 0.0f;
    car->m_fBrake = car->m_fBrakeTarget = 100.0f;
    car->m_bHandBrake = 1;
    car->SetControlMode(1);
    car->m_nAIState = 0;
}

void FinishRunningRace()
{
    g_VehicleManager.FinishRace();
}

namespace {

bool HumanInManager(const CHuman* human)
{
    if (!human)
        return false;
    for (std::uint32_t i = 0; i < g_HumanManager.m_nHumans && i < HUMAN_MANAGER_CAPACITY; ++i)
        if (g_HumanManager.m_pHumans[i] == human)
            return true;
    return false;
}

} // namespace

bool (*g_pIsHumanListed)(const CHuman* human) = HumanInManager;

bool IsHumanKnockedDown(const CHuman* human)
{
    return human && (human->m_nAction == ACTION_DEAD || human->m_pRagdoll != nullptr);
}

void ReleaseWaitingHuman(CHuman* human)
{
    // The waiting pedestrian offers again only after its timer climbs back past 2 s.
    if (human)
        human->m_fActionTimer = -4.0f;
}
