// Money booked by the fine, bonus, fare and congratulations messages, and
// the rows they show.
#include "message_fixture.h"

namespace {

using test::MessageTest;

TEST_F(MessageTest, ArrestTakesTheFineUpToTheMoney)
{
    struct Case {
        int money;
        float criminal;
        int moneyAfter;
        int finesAfter;
        const char* rows[4];
    } cases[] = {
        {0, 2.0f, 0, 0, {"YOU are ARRESTED!"}},
        {-40, 2.0f, 0, 0, {"YOU are ARRESTED!"}},
        {300, 2.0f, 0, 300, {"YOU are ARRESTED!", "Amount of the fine:", "300$", "  "}},
        {5000, 1.5f, 4250, 750, {"YOU are ARRESTED!", "Amount of the fine:", "750$", "  "}},
        {5000, 0.9999f, 4501, 499, {"YOU are ARRESTED!", "Amount of the fine:", "499$", "  "}},
    };
    for (const Case& c : cases) {
        SetUp();
        g_PlayerStats.m_nMoney = c.money;
        g_PlayerStats.m_fCriminalLevel = c.criminal;
        Show(MSG_ARRESTED);
        EXPECT_EQ(g_PlayerStats.m_nMoney, c.moneyAfter) << c.money;
        EXPECT_EQ(g_PlayerStats.m_nFinesTotal, c.finesAfter) << c.money;
        unsigned rows = 0;
        while (rows < 4 && c.rows[rows])
            ++rows;
        ASSERT_EQ(m_ui->m_nMessageRows, rows) << c.money;
        for (unsigned i = 0; i < rows; ++i)
            EXPECT_EQ(Row(static_cast<int>(i)), c.rows[i]) << c.money;
        TearDown();
    }
}

TEST_F(MessageTest, TrickBonusDependsOnThePursuit)
{
    for (int pursuit : {0, 1}) {
        SetUp();
        g_PlayerStats.m_nMoney = 100;
        g_PlayerStats.m_bPursuit = pursuit;
        Show(MSG_TRICK_BONUS);
        const int bonus = pursuit ? 1000 : 500;
        EXPECT_EQ(g_PlayerStats.m_nMoney, 100 + bonus);
        EXPECT_EQ(g_PlayerStats.m_nEarningsTotal, bonus);
        EXPECT_EQ(m_ui->m_nMessageRows, pursuit ? 8u : 6u);
        const int amountRow = pursuit ? 6 : 4;
        EXPECT_EQ(Row(amountRow), std::to_string(bonus) + "$");
        EXPECT_FLOAT_EQ(m_ui->m_fMessageRowScales[amountRow], 0.8f);
        EXPECT_FLOAT_EQ(m_ui->m_fMessageRowScales[amountRow - 1], 0.4f);
        TearDown();
    }
}

TEST_F(MessageTest, FareIsTruncatedAndBooked)
{
    g_TaxiJob.m_fFare = 123.9f;
    Show(MSG_PASSENGER_DELIVERED);
    EXPECT_EQ(g_PlayerStats.m_nMoney, 123);
    EXPECT_EQ(g_PlayerStats.m_nEarningsTotal, 123);
    EXPECT_EQ(Row(3), "123$");
}

TEST_F(MessageTest, CongratulationsPayOnceEvenOverAnOpenBox)
{
    Show(MSG_CONTROLS);
    Show(MSG_CONGRATULATIONS);
    Show(MSG_CONGRATULATIONS);
    Close();
    Show(MSG_CONGRATULATIONS);
    EXPECT_EQ(g_PlayerStats.m_nMoney, 50000);
}

// A money message kept from showing only by another open box still books;
// one refused by its own rationing books nothing.
TEST_F(MessageTest, MoneyIsBookedBehindAnOpenBox)
{
    g_PlayerStats.m_nMoney = 1000;
    g_PlayerStats.m_fCriminalLevel = 1.0f;
    g_TaxiJob.m_fFare = 40.5f;
    Show(MSG_CONTROLS);
    Show(MSG_ARRESTED);
    EXPECT_EQ(g_PlayerStats.m_nMoney, 500);
    Show(MSG_TRICK_BONUS);
    EXPECT_EQ(g_PlayerStats.m_nMoney, 1000);
    Show(MSG_PASSENGER_DELIVERED);
    EXPECT_EQ(g_PlayerStats.m_nMoney, 1040);
    EXPECT_EQ(m_ui->m_nMessageId, MSG_CONTROLS);

    // The bonus booked behind the box took its ration: another trick within
    // the minute pays nothing, one after it pays again.
    Advance(59.0f);
    Show(MSG_TRICK_BONUS);
    EXPECT_EQ(g_PlayerStats.m_nMoney, 1040);
    Advance(1.0f);
    Show(MSG_TRICK_BONUS);
    EXPECT_EQ(g_PlayerStats.m_nMoney, 1540);
    EXPECT_EQ(m_ui->m_nMessageId, MSG_CONTROLS);
}

TEST_F(MessageTest, StyledRowsIgnoreTheCallerAndExtraRowsTakeTheDefault)
{
    const D3DXCOLOR4 blue{0.0f, 0.0f, 1.0f, 1.0f};
    g_PlayerStats.m_nMoney = 10;
    g_PlayerStats.m_fCriminalLevel = 1.0f;
    Show(MSG_CONGRATULATIONS); // row 3 (1.0, 1.0, 0.5) at 0.5
    Close();
    m_ui->ShowMessage(MSG_ARRESTED, 5.0f, &blue, 0.9f);
    ASSERT_EQ(m_ui->m_nMessageRows, 4u);
    EXPECT_FLOAT_EQ(m_ui->m_MessageRowColors[0].g, 0.3f);
    EXPECT_FLOAT_EQ(m_ui->m_fMessageRowScales[0], 0.5f);
    EXPECT_FLOAT_EQ(m_ui->m_fMessageRowScales[2], 0.75f);
    EXPECT_FLOAT_EQ(m_ui->m_MessageRowColors[3].g, 0.75f);
    EXPECT_FLOAT_EQ(m_ui->m_MessageRowColors[3].b, 0.25f);
    EXPECT_FLOAT_EQ(m_ui->m_fMessageRowScales[3], 0.375f);

    // An unstyled id takes the caller's colour and scale on every row.
    Close();
    m_ui->ShowMessage(MSG_DAMAGE_LIMIT, 5.0f, &blue, 0.3f);
    for (unsigned i = 0; i < m_ui->m_nMessageRows; ++i) {
        EXPECT_FLOAT_EQ(m_ui->m_MessageRowColors[i].b, 1.0f) << i;
        EXPECT_FLOAT_EQ(m_ui->m_fMessageRowScales[i], 0.3f) << i;
    }
}

} // namespace
