// The statistics record of the save file: 52 bytes, the fields in order,
// little-endian, exactly as the record lies in memory.
#include "game/PlayerStats.h"
#include "game/PlayerStatsRecord.h"
#include "shell/SaveRecord.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

CPlayerStats DistinctStats()
{
    CPlayerStats s;
    s.m_nMoney = 1000;
    s.m_fPlayTime = 12.5f;
    s.m_nRacesPlaced = 3;
    s.m_nRoadIncidents = -4;
    s.m_nPedestriansHit = 5;
    s.m_nArrests = 6;
    s.m_nFinesTotal = 70000;
    s.m_nEarningsTotal = 0x12345678;
    s.m_fDamageTotal = 0.125f;
    s.m_nRatingPoints = RATING_POINTS_TO_WIN;
    s.m_bPursuit = 1;
    s.m_fCriminalLevel = 0.75f;
    s.m_fArrestTimer = 2.5f;
    return s;
}

TEST(PlayerStats, SaveRecordIsTheMemoryImageAndReadsBack)
{
    const CPlayerStats stats = DistinctStats();
    CSaveWriter out;
    WritePlayerStats(out, stats);
    ASSERT_EQ(out.Size(), 52u);
    EXPECT_EQ(std::memcmp(out.Data(), &stats, 52), 0);
    CPlayerStats back;
    std::memset(&back, 0xCD, sizeof back);
    CSaveReader in(out.Data(), out.Size());
    ASSERT_TRUE(ReadPlayerStats(in, &back));
    EXPECT_EQ(std::memcmp(&back, &stats, 52), 0);
}

TEST(PlayerStats, ShortRecordLeavesTheStatisticsAlone)
{
    const CPlayerStats stats = DistinctStats();
    CSaveWriter out;
    WritePlayerStats(out, stats);
    CPlayerStats kept = DistinctStats();
    kept.m_nMoney = 5;
    CSaveReader in(out.Data(), 51);
    EXPECT_FALSE(ReadPlayerStats(in, &kept));
    EXPECT_EQ(kept.m_nMoney, 5);
}

} // namespace
