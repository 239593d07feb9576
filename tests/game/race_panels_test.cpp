// The race offer's keys and the race result's timing, rows and booking,
// stepped without a renderer.
#include "panel_fixture.h"

namespace {

class RacePanelTest : public test::PanelTest {
protected:
    void StepOffer(ScreenKeys keys, float dt = 0.05f)
    {
        m_keys = keys;
        m_ui->m_RaceOfferPanel.Step(*m_ui, m_keys, dt);
    }
    void StepResult(float dt, ScreenKeys keys = {})
    {
        m_keys = keys;
        m_ui->m_RaceResultPanel.Step(*m_ui, m_keys, dt);
    }
    ScreenKeys m_keys;
};

ScreenKeys Keys(int enter, int escape, int left, int right)
{
    ScreenKeys k;
    k.enter = enter;
    k.escape = escape;
    k.left = left;
    k.right = right;
    return k;
}

TEST_F(RacePanelTest, OfferKeysChooseAcceptDeclineAndRefuseADamagedCar)
{
    const struct {
        const char* what;
        ScreenKeys keys;
        float bodyDamage;
        std::uint32_t open, choice;
        bool damageMessage;
    } cases[] = {
        {"Left chooses decline", Keys(0, 0, 1, 0), 0.0f, 1, 0, false},
        {"Left then Right in one frame ends on accept", Keys(0, 0, 1, 1), 0.0f, 1, 1, false},
        {"Enter accepts", Keys(1, 0, 0, 0), 0.0f, 0, 1, false},
        {"Esc declines", Keys(0, 1, 0, 0), 0.0f, 0, 0, false},
        {"Enter and Esc together decline", Keys(1, 1, 0, 0), 0.0f, 0, 0, false},
        // Body damage 1.0 alone is a damage ratio of 33 %: within the limit.
        {"a car within the limit is taken", Keys(1, 0, 0, 0), 1.0f, 0, 1, false},
        {"a car above the limit is refused", Keys(1, 0, 0, 0), 1.0f, 0, 0, true},
    };
    for (const auto& c : cases) {
        SetUp();
        OfferRoute(30);
        m_car->m_fBodyDamage = c.bodyDamage;
        if (c.damageMessage)
            for (float& wear : m_car->m_WheelWear)
                wear = 1.0f;
        m_ui->SetRaceState(1);
        EXPECT_EQ(m_ui->m_RaceOfferPanel.m_nRaceOfferChoice, 1u) << c.what;
        StepOffer(c.keys);
        EXPECT_EQ(m_ui->m_RaceOfferPanel.m_bRaceOfferOpen, c.open) << c.what;
        EXPECT_EQ(m_ui->m_RaceOfferPanel.m_nRaceOfferChoice, c.choice) << c.what;
        EXPECT_EQ(m_ui->m_bMessageVisible != 0 && m_ui->m_nMessageId == MSG_DAMAGE_LIMIT, c.damageMessage) << c.what;
        // Every key the panel read is consumed.
        EXPECT_EQ(m_keys.left + m_keys.right, 0) << c.what;
        EXPECT_EQ(m_keys.enter + m_keys.escape, 0) << c.what;
        TearDown();
    }
}

TEST_F(RacePanelTest, OfferFadesOnGameTimeAndClosesAsDeclinedWhenItsRouteGoes)
{
    OfferRoute(30);
    m_ui->SetRaceState(1);
    StepOffer({}, 0.25f);
    EXPECT_FLOAT_EQ(m_ui->m_RaceOfferPanel.m_fRaceOfferFade, 0.5f);
    StepOffer({}, 0.0f); // a paused clock holds the fade
    EXPECT_FLOAT_EQ(m_ui->m_RaceOfferPanel.m_fRaceOfferFade, 0.5f);

    g_VehicleManager.m_nRaceRoutePoints = 0;
    StepOffer({});
    EXPECT_EQ(m_ui->m_RaceOfferPanel.m_bRaceOfferOpen, 0u);
    EXPECT_EQ(m_ui->m_RaceOfferPanel.m_nRaceOfferChoice, 0u);
    // Keys are left to the panels after it.
    StepOffer(Keys(1, 0, 0, 0));
    EXPECT_EQ(m_keys.enter, 1);
}

TEST_F(RacePanelTest, ResultClosesItselfAfterEightSecondsAndBooksOnce)
{
    OfferRoute(30);
    m_car->m_nRacePlace = 0;
    g_PlayerStats.m_nMoney = 100;
    m_ui->ShowRaceResult(1);
    EXPECT_STREQ(m_ui->m_RaceResultPanel.m_szResultLabels[0], "Place: ");
    EXPECT_EQ(m_ui->m_RaceResultPanel.m_nResultReward, 1200);
    for (int frame = 0; frame < 79; ++frame)
        StepResult(0.1f);
    EXPECT_EQ(m_ui->m_RaceResultPanel.m_bRaceResultOpen, 1u) << "still open at 7.9 s";
    EXPECT_EQ(g_PlayerStats.m_nMoney, 100);
    StepResult(0.11f);
    EXPECT_EQ(m_ui->m_RaceResultPanel.m_bRaceResultOpen, 0u);
    EXPECT_EQ(m_ui->m_RaceResultPanel.m_bRaceResultBooked, 1u);
    EXPECT_EQ(g_PlayerStats.m_nMoney, 1300);
    EXPECT_EQ(g_PlayerStats.m_nRatingPoints, 3);
    EXPECT_EQ(m_ui->m_RatingListPanel.m_bRatingOpen, 1u);

    // Nothing more is booked by a second close or a new offer.
    m_ui->ShowRaceResult(0);
    m_ui->SetRaceState(1);
    EXPECT_EQ(g_PlayerStats.m_nMoney, 1300);
    EXPECT_EQ(g_PlayerStats.m_nRatingPoints, 3);
}

TEST_F(RacePanelTest, ResultClosesByKeyAndANewOfferBooksAnOpenResult)
{
    m_car->m_nRacePlace = 2;
    g_PlayerStats.m_nPedestriansHit = 3;
    m_ui->ShowRaceResult(1);
    StepResult(0.1f, Keys(0, 1, 0, 0));
    EXPECT_EQ(m_ui->m_RaceResultPanel.m_bRaceResultOpen, 0u);
    EXPECT_EQ(m_keys.escape, 0);
    EXPECT_EQ(g_PlayerStats.m_nFinesTotal, 60);

    m_ui->ShowRaceResult(1);
    OfferRoute(30);
    m_ui->SetRaceState(1);
    EXPECT_EQ(m_ui->m_RaceResultPanel.m_bRaceResultOpen, 0u);
    EXPECT_EQ(g_PlayerStats.m_nFinesTotal, 120);
}

TEST_F(RacePanelTest, ResultRowsComeInOneAfterAnother)
{
    m_car->m_nRacePlace = -1;
    m_ui->ShowRaceResult(1);
    // Each column grows 1.0 a frame of 0.1 s and the next column follows
    // once it is full: label, value and note are full after four frames.
    StepResult(0.1f);
    EXPECT_FLOAT_EQ(m_ui->m_RaceResultPanel.m_fResultAnim[0][0], 1.0f);
    EXPECT_EQ(m_ui->m_RaceResultPanel.m_fResultAnim[1][0], 0.0f);
    StepResult(0.1f);
    StepResult(0.1f);
    EXPECT_FLOAT_EQ(m_ui->m_RaceResultPanel.m_fResultAnim[0][2], 1.0f);
    EXPECT_EQ(m_ui->m_RaceResultPanel.m_fResultAnim[1][0], 0.0f) << "row 1 waits for row 0's note";
    StepResult(0.1f);
    EXPECT_FLOAT_EQ(m_ui->m_RaceResultPanel.m_fResultAnim[0][2], 2.0f);
    EXPECT_FLOAT_EQ(m_ui->m_RaceResultPanel.m_fResultAnim[1][0], 1.0f);
    EXPECT_EQ(m_ui->m_RaceResultPanel.m_fResultAnim[2][0], 0.0f);
    for (int frame = 0; frame < 40; ++frame)
        StepResult(0.1f);
    for (int i = 0; i < RESULT_ROWS; ++i)
        EXPECT_FLOAT_EQ(m_ui->m_RaceResultPanel.m_fResultAnim[i][2], 2.0f) << i;
    EXPECT_STREQ(m_ui->m_RaceResultPanel.m_szResultNotes[0], "LEFT");
}

} // namespace
