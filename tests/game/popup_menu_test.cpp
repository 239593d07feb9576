// The pop-up menu's modes, items and keys, and the pause it holds over the
// world, stepped without a renderer.
#include "game/InterfaceLinks.h"
#include "panel_fixture.h"
#include "platform/Win32.h"
#include "roadusers/Human.h"
#include "shell/AudioManager.h"
#include "shell/Keywords.h"

namespace {

class PopupTest : public test::PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        g_pIsHumanListed = Listed;
        s_listed = true;
    }
    void TearDown() override
    {
        g_pIsHumanListed = m_savedListed;
        PanelTest::TearDown();
    }
    // One frame of a quarter second of real time with the given keys.
    void Frame(ScreenKeys keys = {})
    {
        m_keys = keys;
        m_ui->m_PopupMenuPanel.Step(*m_ui, m_keys, 0.25f);
    }
    void Press(int ScreenKeys::*key)
    {
        ScreenKeys k;
        k.*key = 1;
        Frame(k);
    }
    void OpenFully(int mode)
    {
        m_ui->SetPopupMenu(mode);
        for (int i = 0; i < 4; ++i)
            Frame();
    }
    void OfferTaxi()
    {
        m_passenger = std::make_unique<CHuman>();
        m_passenger->m_vPosition = D3DXVECTOR3(3.0f, 0.0f, 0.0f);
        g_TaxiJob.m_pPassenger = m_passenger.get();
        g_TaxiJob.m_fOfferedFare = 87.9f;
        OpenFully(POPUP_TAXI_OFFER);
    }
    static bool Listed(const CHuman*) { return s_listed; }

    static inline bool s_listed = true;
    bool (*m_savedListed)(const CHuman*) = g_pIsHumanListed;
    ScreenKeys m_keys;
    std::unique_ptr<CHuman> m_passenger;
};

TEST_F(PopupTest, ItemsAndSelectionByWhatIsGoingOn)
{
    const struct {
        const char* what;
        int mode;
        bool race, passenger;
        const char* row0;
        int topItem;
    } cases[] = {
        {"neither", POPUP_PAUSE, false, false, "", 1},
        {"race", POPUP_PAUSE, true, false, "TERMINATE RACE", 0},
        {"passenger wins over race", POPUP_PAUSE, true, true, "GET OUT PASSENGER", 0},
        {"taxi offer", POPUP_TAXI_OFFER, false, false, "DELIVER PASSENGER for 87$?", 1},
    };
    for (const auto& c : cases) {
        SetUp();
        g_VehicleManager.m_bRaceRunning = c.race;
        g_TaxiJob.m_bOnBoard = c.passenger;
        if (c.mode == POPUP_TAXI_OFFER)
            OfferTaxi();
        else
            OpenFully(c.mode);
        EXPECT_STREQ(m_ui->m_PopupMenuPanel.m_szPopupRows[c.mode][0], c.row0) << c.what;
        EXPECT_EQ(m_ui->m_PopupMenuPanel.m_nPopupItem, 2) << c.what;
        for (int i = 0; i < 3; ++i)
            Press(&ScreenKeys::up);
        EXPECT_EQ(m_ui->m_PopupMenuPanel.m_nPopupItem, c.topItem) << c.what;
        EXPECT_EQ(m_keys.up, 0) << c.what;
        for (int i = 0; i < 3; ++i)
            Press(&ScreenKeys::down);
        EXPECT_EQ(m_ui->m_PopupMenuPanel.m_nPopupItem, 2) << c.what;
        TearDown();
    }
}

TEST_F(PopupTest, EscOpensAndClosesOnlyWithoutAScene)
{
    Press(&ScreenKeys::escape);
    EXPECT_EQ(m_ui->m_PopupMenuPanel.m_nPopupMode, POPUP_PAUSE);
    EXPECT_EQ(m_keys.escape, 0);
    Press(&ScreenKeys::escape);
    EXPECT_EQ(m_ui->m_PopupMenuPanel.m_nPopupMode, POPUP_NONE);

    g_CityLogic.SetScene(60, m_car.get(), nullptr);
    Press(&ScreenKeys::escape);
    EXPECT_EQ(m_ui->m_PopupMenuPanel.m_bPopupOpen, 0u);
    EXPECT_EQ(m_keys.escape, 1) << "left for the scene";
}

TEST_F(PopupTest, PauseMenuHoldsTheWorldThroughAMessageAndAFocusLoss)
{
    Press(&ScreenKeys::escape);
    EXPECT_TRUE(g_GameTimer.IsPaused());
    EXPECT_EQ(g_bInGame, 0);
    EXPECT_EQ(m_camera->m_nMode, 4) << "the camera swings round the car";

    // A pausing message shown and closed under the menu gives back no pause.
    m_ui->ShowMessage(MSG_PASSENGER, 5.0f, nullptr, 0.0f);
    for (int i = 0; i < 10; ++i)
        m_ui->DrawMessageBox();
    Close();
    for (int i = 0; i < 10; ++i)
        m_ui->DrawMessageBox();
    EXPECT_TRUE(g_GameTimer.IsPaused());
    EXPECT_EQ(g_bInGame, 0);

    // Nor does a focus loss and regain.
    g_bActive = 1;
    g_nFocusPaused = 0;
    WndProc(nullptr, WM_KILLFOCUS, 0, 0);
    WndProc(nullptr, WM_SETFOCUS, 0, 0);
    EXPECT_TRUE(g_GameTimer.IsPaused());
    EXPECT_TRUE(g_AudioManager.m_bPaused) << "the sounds stay stopped too";

    // CONTINUE resumes once, with the camera back in its driving view.
    OpenFully(POPUP_PAUSE);
    Press(&ScreenKeys::enter);
    EXPECT_EQ(m_ui->m_PopupMenuPanel.m_bPopupOpen, 0u);
    EXPECT_FALSE(g_GameTimer.IsPaused());
    EXPECT_EQ(g_bInGame, 1);
    EXPECT_FALSE(g_AudioManager.m_bPaused);
    EXPECT_EQ(m_camera->m_nMode, 2);
}

TEST_F(PopupTest, AMenuOpenedOverAStoppedWorldLeavesItStopped)
{
    g_GameTimer.Pause();
    OpenFully(POPUP_PAUSE);
    Press(&ScreenKeys::escape);
    EXPECT_TRUE(g_GameTimer.IsPaused());
}

// The result is built after the race record has been cleared, and still
// names the kind of race that was given up.
TEST_F(PopupTest, TerminateRaceGivesUpAndOpensTheResult)
{
    const struct {
        int timeRace;
        const char* label;
    } cases[] = {{0, "Place: "}, {1, "Time: "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        OfferRoute(30);
        g_RaceInfo.m_bTimeRace = c.timeRace;
        g_VehicleManager.m_bRaceRunning = 1;
        m_car->m_nRacePlace = 1;
        OpenFully(POPUP_PAUSE);
        Press(&ScreenKeys::up);
        Press(&ScreenKeys::up);
        Press(&ScreenKeys::enter);
        EXPECT_EQ(m_ui->m_PopupMenuPanel.m_bPopupOpen, 0u);
        EXPECT_EQ(g_VehicleManager.m_bRaceRunning, 0);
        EXPECT_EQ(g_RaceInfo.m_bTimeRace, 0) << "the record is cleared";
        EXPECT_EQ(m_car->m_nRacePlace, -1);
        EXPECT_EQ(m_ui->m_RaceResultPanel.m_bRaceResultOpen, 1u);
        EXPECT_STREQ(m_ui->m_RaceResultPanel.m_szResultLabels[0], c.label);
        EXPECT_STREQ(m_ui->m_RaceResultPanel.m_szResultNotes[0], "LEFT");
        EXPECT_FALSE(g_GameTimer.IsPaused());
        m_ui->ShowRaceResult(0);
        m_ui->ShowRatingList(0);
    }
}

TEST_F(PopupTest, GetOutPassengerStartsItsScene)
{
    g_TaxiJob.m_bOnBoard = 1;
    OpenFully(POPUP_PAUSE);
    Press(&ScreenKeys::up);
    Press(&ScreenKeys::up);
    Press(&ScreenKeys::enter);
    EXPECT_EQ(g_TaxiJob.m_bOnBoard, 0);
    EXPECT_EQ(g_CityLogic.m_nScene, 71);
    EXPECT_EQ(g_CityLogic.m_pCar, m_car.get());
}

TEST_F(PopupTest, SaveAndExitQuitsOrLeavesForTheMenuStillPaused)
{
    for (int gameMenu : {0, 1}) {
        SetUp();
        g_bGameMenu = gameMenu;
        OpenFully(POPUP_PAUSE);
        Press(&ScreenKeys::up);
        Press(&ScreenKeys::enter);
        EXPECT_EQ(g_bQuit, gameMenu ? 0 : 1) << gameMenu;
        EXPECT_EQ(g_CityLogic.m_nScene, gameMenu ? 90 : 0) << gameMenu;
        EXPECT_EQ(m_ui->m_PopupMenuPanel.m_bPopupOpen, gameMenu ? 0u : 1u) << gameMenu;
        EXPECT_TRUE(g_GameTimer.IsPaused()) << gameMenu;
        TearDown();
    }
}

TEST_F(PopupTest, TaxiOfferParksTheCarAndAcceptKeepsItParked)
{
    OfferTaxi();
    EXPECT_EQ(m_car->m_nControlMode, 1);
    EXPECT_EQ(m_car->m_bHandBrake, 1);
    EXPECT_FALSE(g_GameTimer.IsPaused()) << "the world keeps running";
    EXPECT_EQ(m_camera->m_pTarget, nullptr);
    Press(&ScreenKeys::up);
    Press(&ScreenKeys::enter);
    EXPECT_EQ(m_ui->m_PopupMenuPanel.m_bPopupOpen, 0u);
    EXPECT_EQ(g_CityLogic.m_nScene, 70);
    EXPECT_EQ(m_car->m_nControlMode, 1);
    EXPECT_EQ(m_car->m_bHandBrake, 1);
    EXPECT_EQ(g_TaxiJob.m_pPassenger, m_passenger.get());
    EXPECT_NE(m_passenger->m_fActionTimer, -4.0f) << "the passenger is not released";
}

TEST_F(PopupTest, RefusingOrLosingThePassengerHandsTheCarBack)
{
    const struct {
        const char* what;
        ScreenKeys keys;
        bool knockedDown, listed;
    } cases[] = {
        {"Enter on the refusal", [] { ScreenKeys k; k.enter = 1; return k; }(), false, true},
        {"Esc", [] { ScreenKeys k; k.escape = 1; return k; }(), false, true},
        {"the pedestrian knocked down", {}, true, true},
        {"the pedestrian gone", {}, false, false},
    };
    for (const auto& c : cases) {
        SetUp();
        OfferTaxi();
        if (c.knockedDown)
            m_passenger->m_nAction = ACTION_DEAD;
        s_listed = c.listed;
        m_passenger->m_fActionTimer = 3.0f;
        Frame(c.keys);
        EXPECT_EQ(m_ui->m_PopupMenuPanel.m_bPopupOpen, 0u) << c.what;
        EXPECT_EQ(m_car->m_nControlMode, 2) << c.what;
        EXPECT_EQ(m_car->m_bHandBrake, 0) << c.what;
        EXPECT_EQ(g_CityLogic.m_nScene, 0) << c.what;
        EXPECT_EQ(g_TaxiJob.m_pPassenger, c.listed ? m_passenger.get() : nullptr) << c.what;
        // A listed pedestrian waits before offering again; a gone one is not written.
        EXPECT_EQ(m_passenger->m_fActionTimer, c.listed ? -4.0f : 3.0f) << c.what;
        TearDown();
    }
}

} // namespace
