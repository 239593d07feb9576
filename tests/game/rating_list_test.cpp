// The racers' rating list and the driver information panel without a
// renderer: the player's row, the list's own closing, the congratulations,
// the play time rows and the bars.
#include "message_fixture.h"
#include "shop_fixture.h"

namespace {

using test::MessageTest;
using test::ShopTest;

TEST(RatingList, PlayerRowClimbsWithThePoints)
{
    const int rows[][2] = {{0, 29}, {140, 1}, {143, 1}, {144, 0}, {1000, 0}, {5, 28}, {-50, 29}};
    for (const auto& r : rows)
        EXPECT_EQ(PlayerRatingRow(r[0]), r[1]) << r[0];
}

TEST(DriverInfo, PlayTimeSplitsIntoDaysHoursAndMinutes)
{
    const struct {
        float seconds;
        int days, hours, minutes;
    } cases[] = {
        {0.0f, 0, 0, 0}, {59.0f, 0, 0, 0}, {3599.0f, 0, 0, 59}, {86400.0f + 3661.0f, 1, 1, 1}, {-5.0f, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const PlayTimeSplit t = SplitPlayTime(c.seconds);
        EXPECT_EQ(t.days, c.days) << c.seconds;
        EXPECT_EQ(t.hours, c.hours) << c.seconds;
        EXPECT_EQ(t.minutes, c.minutes) << c.seconds;
    }
}

class RatingListTest : public MessageTest {
protected:
    void Step(int ScreenKeys::*key, float seconds)
    {
        ScreenKeys k;
        if (key)
            k.*key = 1;
        m_ui->m_RatingListPanel.Step(*m_ui, k, seconds);
    }
};

TEST_F(RatingListTest, TabTogglesAndTheListClosesAfterTenSecondsOfGameTime)
{
    Step(&ScreenKeys::ratingList, 0.05f);
    ASSERT_TRUE(m_ui->m_RatingListPanel.m_bRatingOpen);
    for (int i = 0; i < 198; ++i)
        Step(nullptr, 0.05f);
    EXPECT_TRUE(m_ui->m_RatingListPanel.m_bRatingOpen) << "about 9.95 s";
    EXPECT_FLOAT_EQ(m_ui->m_RatingListPanel.m_fRatingFade, 1.0f);
    Step(nullptr, 0.1f);
    EXPECT_FALSE(m_ui->m_RatingListPanel.m_bRatingOpen);

    Step(&ScreenKeys::ratingList, 0.05f);
    Step(&ScreenKeys::ratingList, 0.05f);
    EXPECT_FALSE(m_ui->m_RatingListPanel.m_bRatingOpen) << "Tab closes it again";
    Step(&ScreenKeys::ratingList, 0.05f);
    ScreenKeys k;
    k.escape = 1;
    m_ui->m_RatingListPanel.Step(*m_ui, k, 0.05f);
    EXPECT_FALSE(m_ui->m_RatingListPanel.m_bRatingOpen);
    EXPECT_EQ(k.escape, 0) << "Esc taken";
    ScreenKeys closed;
    closed.escape = 1;
    m_ui->m_RatingListPanel.Step(*m_ui, closed, 0.05f);
    EXPECT_EQ(closed.escape, 1) << "a closed list leaves Esc alone";
}

TEST_F(RatingListTest, ClosingWithTheWinningPointsCongratulatesOnce)
{
    for (int points : {143, 144}) {
        g_PlayerStats.m_nRatingPoints = points;
        g_PlayerStats.m_nMoney = 0;
        m_ui->ShowRatingList(1);
        m_ui->ShowRatingList(0);
        EXPECT_EQ(m_ui->m_nMessageId == MSG_CONGRATULATIONS, points >= 144) << points;
    }
    EXPECT_EQ(g_PlayerStats.m_nMoney, 50000);
    m_ui->ShowRatingList(1);
    m_ui->ShowRatingList(0);
    EXPECT_EQ(g_PlayerStats.m_nMoney, 50000) << "only once per profile";
}

TEST_F(ShopTest, DriverInformationRowsAndBars)
{
    g_PlayerStats.m_nMoney = 1234;
    g_PlayerStats.m_nRatingPoints = 140;
    g_PlayerStats.m_fPlayTime = 86400.0f + 3661.0f;
    m_car->m_fDrivingTime = 59.0f;
    m_ui->SetDriverInfo(1);
    EXPECT_STREQ(m_ui->m_DriverInfoPanel.m_szDriverInfoRows[1], "1d 1h 1m");
    EXPECT_STREQ(m_ui->m_DriverInfoPanel.m_szDriverInfoRows[2], "2-st");
    EXPECT_STREQ(m_ui->m_DriverInfoPanel.m_szDriverInfoRows[3], "1234$");
    EXPECT_STREQ(m_ui->m_DriverInfoPanel.m_szDriverInfoRows[11], "0d 0h 0m ");
    EXPECT_STREQ(m_ui->m_DriverInfoPanel.m_szDriverInfoRows[12], "0%");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(m_ui->m_DriverInfoPanel.m_fDriverInfoBars[i], m_ui->m_DriverInfoPanel.m_fDriverInfoBars[3 + i])
            << "no red for an undamaged car";
        EXPECT_GE(m_ui->m_DriverInfoPanel.m_fDriverInfoBars[i], 0.05f);
        EXPECT_LE(m_ui->m_DriverInfoPanel.m_fDriverInfoBars[i], 1.0f);
    }
    EXPECT_GT(m_ui->m_DriverInfoPanel.m_fDriverInfoBars[0], 0.05f) << "the speed bar reads the engine power";

    // The rows wait half a second of game time between rebuilds.
    g_PlayerStats.m_nMoney = 99;
    ScreenKeys none;
    m_ui->m_DriverInfoPanel.Step(*m_ui, none, 0.3f);
    EXPECT_STREQ(m_ui->m_DriverInfoPanel.m_szDriverInfoRows[3], "1234$");
    m_ui->m_DriverInfoPanel.Step(*m_ui, none, 0.3f);
    EXPECT_STREQ(m_ui->m_DriverInfoPanel.m_szDriverInfoRows[3], "99$");

    m_car->m_fBaseTransmission = -10.0f;
    m_ui->RebuildDriverInfo();
    EXPECT_EQ(m_ui->m_DriverInfoPanel.m_fDriverInfoBars[1], 0.05f) << "a figure below its minimum";

    ScreenKeys info;
    info.driverInfo = 1;
    m_ui->m_DriverInfoPanel.Step(*m_ui, info, 0.05f);
    EXPECT_FALSE(m_ui->m_DriverInfoPanel.m_bDriverInfoOpen);
}

} // namespace
