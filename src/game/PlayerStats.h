// The player's career record: 13 32-bit fields stored whole in the save file.
#pragma once

#include <cstddef>
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
// Saved files hold the fields at these offsets.
static_assert(offsetof(CPlayerStats, m_nMoney) == 0 && offsetof(CPlayerStats, m_fPlayTime) == 4 &&
              offsetof(CPlayerStats, m_nRacesPlaced) == 8 && offsetof(CPlayerStats, m_nRoadIncidents) == 12 &&
              offsetof(CPlayerStats, m_nPedestriansHit) == 16 && offsetof(CPlayerStats, m_nArrests) == 20 &&
              offsetof(CPlayerStats, m_nFinesTotal) == 24 && offsetof(CPlayerStats, m_nEarningsTotal) == 28 &&
              offsetof(CPlayerStats, m_fDamageTotal) == 32 && offsetof(CPlayerStats, m_nRatingPoints) == 36 &&
              offsetof(CPlayerStats, m_bPursuit) == 40 && offsetof(CPlayerStats, m_fCriminalLevel) == 44 &&
              offsetof(CPlayerStats, m_fArrestTimer) == 48,
              "statistics field offsets");

// Closing the racers' rating list with this many rating points wins the game.
constexpr std::int32_t RATING_POINTS_TO_WIN = 144;

extern CPlayerStats g_PlayerStats;
// Copy taken when a race starts; the race result measures against it.
extern CPlayerStats g_RaceStartStats;
