#include "support/PlayHooks.h"

#include "game/TaxiJob.h"
#include "roadusers/Human.h"
#include "roadusers/HumanManager.h"
#include "roadusers/RaceInfo.h"
#include "roadusers/RaceOffer.h"
#include "roadusers/VehicleManager.h"
#include "shell/Keywords.h"
#include "world/Landscape.h"
#include "world/RouteCell.h"

#include <algorithm>
#include <cstdint>

namespace test {

namespace {

const int kTries = 400;

std::uint32_t s_raceSeed = 0;

std::uint32_t ChosenSeed()
{
    return s_raceSeed;
}

} // namespace

CHuman* SpawnWaitingPassenger(const D3DXVECTOR3& near, float longestRide)
{
    for (std::uint32_t i = 0; i < g_HumanManager.m_nHumans; ++i)
        if (CHuman* other = g_HumanManager.m_pHumans[i]; other && other->m_nAction == ACTION_WAITCAR)
            other->SetAction(ACTION_WALK);
    const RouteCell* walkway = g_Landscape.FindNearestRouteCell(ROUTE_WALKWAY, &near, 4);
    if (!walkway)
        return nullptr;
    const D3DXVECTOR3 at = walkway->m_vPosition, facing = near;
    CHuman* human = g_HumanManager.CreateHuman(g_HumanModelPaths[0], &at, &facing, 0);
    if (!human)
        return nullptr;
    human->SetPosition(&at, &facing);
    // The ride's landing point is drawn at random and may find no route.
    for (int i = 0; i < kTries; ++i) {
        human->SetPosition(&at, &facing);
        human->SetAction(ACTION_WAITCAR);
        if (human->m_nAction == ACTION_WAITCAR && g_TaxiJob.m_pPassenger == human &&
            g_TaxiJob.m_fRouteLength <= longestRide)
            return human;
        human->SetAction(ACTION_WALK);
    }
    g_TaxiJob = CTaxiJob{};
    g_HumanManager.RemoveHuman(human);
    return nullptr;
}

bool OfferRace(int timeRace)
{
    std::uint32_t (*const clock)() = g_pRaceOfferSeed;
    g_pRaceOfferSeed = ChosenSeed;
    bool offered = false;
    for (s_raceSeed = 1; s_raceSeed <= std::uint32_t(kTries) && !offered; ++s_raceSeed) {
        g_VehicleManager.ResetRace();
        offered = g_VehicleManager.GenerateRace() && g_RaceInfo.m_bTimeRace == timeRace;
    }
    g_pRaceOfferSeed = clock;
    if (!offered)
        g_VehicleManager.ResetRace();
    return offered;
}

int PlanRoadRoute(const D3DXVECTOR3& from, const D3DXVECTOR3& to, D3DXVECTOR3* points, int capacity)
{
    static D3DXVECTOR3 s_points[ROUTE_MAX_POINTS];
    std::uint32_t count = 0;
    if (!g_Landscape.FindRoutePath(s_points, &count, &from, &to, 2, 3, 0, 0, 1, 0.0f, ROUTE_MAX_POINTS))
        return 0;
    const int kept = std::min<int>(int(std::min<std::uint32_t>(count, ROUTE_MAX_POINTS)), capacity);
    std::copy(s_points, s_points + kept, points);
    return kept;
}

} // namespace test
