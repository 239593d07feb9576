// The race result's reward, rating points, texts and booking.
#include "game/RaceResult.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

RaceResultInput Finished(int place, int level)
{
    RaceResultInput in{};
    in.place = place;
    in.level = level;
    in.prizes[0] = 1000;
    in.prizes[1] = 500;
    in.prizes[2] = 250;
    in.money = 300;
    return in;
}

TEST(RaceResult, RatingPointsAndPrizeByPlaceAndLevel)
{
    // Clean finish: +100 without incidents, +100 without pedestrians.
    const struct {
        int place, level, points, reward;
    } cases[] = {
        {-1, 0, 0, 0},       {-1, 2, 0, 0},       {0, 0, 3, 1200}, {0, 2, 5, 1200}, {1, 1, 3, 700},
        {2, 0, 1, 450},      {2, 2, 3, 450},      {3, 0, 0, 200},  {3, 2, 0, 200},
    };
    for (const auto& c : cases) {
        const RaceResultFigures f = ComputeRaceResult(Finished(c.place, c.level));
        EXPECT_EQ(f.points, c.points) << c.place << "/" << c.level;
        EXPECT_EQ(f.reward, c.reward) << c.place << "/" << c.level;
    }
}

TEST(RaceResult, IncidentsPedestriansAndDamageTakeFromTheReward)
{
    const struct {
        int place, incidents, pedestrians;
        float damage;
        int reward;
    } cases[] = {
        {3, 1, 0, 0.0f, 100},   {3, 0, 3, 0.0f, -50},  {-1, 0, 3, 0.0f, -150}, {3, 0, 0, 0.9f, 200},
        {3, 0, 0, 2.5f, 175},   {-1, 2, 0, 2.5f, -25}, {0, 1, 1, 0.0f, 950},
    };
    for (const auto& c : cases) {
        RaceResultInput in = Finished(c.place, 0);
        in.incidents = c.incidents;
        in.pedestrians = c.pedestrians;
        in.damageRise = c.damage;
        EXPECT_EQ(ComputeRaceResult(in).reward, c.reward) << c.place << " " << c.incidents << " " << c.pedestrians;
    }
}

TEST(RaceResult, BookingFloorsMoneyAndClampsSums)
{
    const struct {
        int money, reward, pedestrians, incidents, place;
        int moneyAfter, fines, earnings;
    } cases[] = {
        {300, -150, 3, 0, -1, 150, 60, 0},
        {100, -500, 0, 0, 2, 0, 0, 40},
        {INT_MAX - 5, 1000, 0, 1, 0, INT_MAX, 0, 20},
        {50, 0, 0, 1, -1, 50, 0, 0},
    };
    for (const auto& c : cases) {
        CPlayerStats stats{};
        stats.m_nMoney = c.money;
        stats.m_nRatingPoints = 10;
        BookRaceResult(&stats, RaceResultFigures{2, c.reward}, c.place, c.incidents, c.pedestrians);
        EXPECT_EQ(stats.m_nMoney, c.moneyAfter) << c.money << " " << c.reward;
        EXPECT_EQ(stats.m_nRatingPoints, 12);
        EXPECT_EQ(stats.m_nFinesTotal, c.fines);
        EXPECT_EQ(stats.m_nEarningsTotal, c.earnings);
    }
    // Sums past the 32-bit range stay at its top instead of wrapping.
    CPlayerStats stats{};
    stats.m_nFinesTotal = INT_MAX - 10;
    stats.m_nEarningsTotal = INT_MAX;
    BookRaceResult(&stats, RaceResultFigures{0, 0}, 0, 0, 1000000);
    EXPECT_EQ(stats.m_nFinesTotal, INT_MAX);
    BookRaceResult(&stats, RaceResultFigures{0, 0}, 0, 0, 0);
    EXPECT_EQ(stats.m_nEarningsTotal, INT_MAX);
}

TEST(RaceResult, RowTextsForFinishedLeftAndHugeFigures)
{
    char values[RESULT_ROWS][RESULT_VALUE_SIZE];
    char notes[RESULT_ROWS][RESULT_NOTE_SIZE];

    RaceResultInput in = Finished(1, 0);
    in.damageRise = 2.5f;
    in.damagePercentRise = 7;
    in.carDamagePercent = 31;
    RaceResultFigures f = ComputeRaceResult(in);
    FormatRaceResult(in, f, values, notes);
    const char* expectValues[RESULT_ROWS] = {"2-st", "0", "0", "2", "7%", "+2", "+675$"};
    const char* expectNotes[RESULT_ROWS] = {"(bonus +500$)",     "(bonus +100$)", "(bonus +100$)", "(treatment -25$)",
                                            "(overall 31%)", "",             " (overall 975$)"};
    for (int i = 0; i < RESULT_ROWS; ++i) {
        EXPECT_STREQ(values[i], expectValues[i]) << i;
        EXPECT_STREQ(notes[i], expectNotes[i]) << i;
    }

    // Given up with pedestrians: no place, LEFT, the penalty and no bonuses.
    in = Finished(-1, 1);
    in.pedestrians = 3;
    f = ComputeRaceResult(in);
    FormatRaceResult(in, f, values, notes);
    EXPECT_STREQ(values[0], "");
    EXPECT_STREQ(notes[0], "LEFT");
    EXPECT_STREQ(notes[1], "");
    EXPECT_STREQ(notes[2], "(penalty -150$)");
    EXPECT_STREQ(values[6], "-150$");
    EXPECT_STREQ(notes[6], " (overall 150$)");

    // A time race shows its clock; ten-digit money and extreme figures fit whole.
    in = Finished(0, 0);
    in.timeRace = 1;
    in.clock = 83.456f;
    in.money = INT_MAX;
    in.prizes[0] = INT_MAX;
    in.pedestrians = INT_MAX;
    in.incidents = INT_MIN;
    in.damageRise = 3.0e9f;
    in.damagePercentRise = INT_MIN;
    f = ComputeRaceResult(in);
    FormatRaceResult(in, f, values, notes);
    EXPECT_STREQ(values[0], "83.46");
    EXPECT_EQ(std::string(values[1]), "-2147483648");
    EXPECT_EQ(std::string(values[2]), "2147483647");
    EXPECT_EQ(std::string(values[4]), "-2147483648%");
    EXPECT_EQ(std::string(notes[2]), "(penalty -107374182350$)");
    EXPECT_EQ(std::string(values[6]).back(), '$');
    for (int i = 0; i < RESULT_ROWS; ++i) {
        EXPECT_LT(std::string(values[i]).size(), static_cast<size_t>(RESULT_VALUE_SIZE)) << i;
        EXPECT_LT(std::string(notes[i]).size(), static_cast<size_t>(RESULT_NOTE_SIZE)) << i;
    }
}

} // namespace
