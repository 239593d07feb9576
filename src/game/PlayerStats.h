// The player's career record: 13 32-bit fields stored whole in the save file.
#pragma once

#include <cstdint>

struct CPlayerStats {
    std::int32_t m_nMoney;
    float m_fPlayTime;
    std::int32_t m_nRacesPlaced;
    std::int32_t m_nRoadIncidents;
    std::int32_t m_nPedestriansHit;
    std::int32_t m_nArrests;
    std::int32_t m_nFinesTotal;
    std::int32_t m_nEarningsTotal;
    float m_fDamageTotal;
    std::int32_t m_nRatingPoints;
    std::int32_t m_bPursuit;
    float m_fCriminalLevel;
    float m_fArrestTimer;
};
static_assert(sizeof(CPlayerStats) == 52, "the statistics are saved as 52 bytes");

extern CPlayerStats g_PlayerStats;
// Copy taken when a race starts; the race result measures against it.
extern CPlayerStats g_RaceStartStats;
