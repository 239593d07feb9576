#include "game/InterfaceLinks.h"

#include "roadusers/Human.h"
#include "roadusers/HumanManager.h"
#include "shell/Keywords.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"

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
