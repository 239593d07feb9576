// Fading, closing by time and key, the world pause and camera swing of the
// pausing messages, and the dialogue bubble.
#include "graphics/WorldCamera.h"
#include "message_fixture.h"
#include "roadusers/Human.h"
#include "roadusers/Vehicle.h"
#include "shell/Game.h"

namespace {

class MessagePauseTest : public test::MessageTest {
protected:
    void SetUp() override
    {
        MessageTest::SetUp();
        // Tests run SetUp again for each case: only the first call sees the
        // camera to give back.
        if (!m_camera)
            m_savedCamera = g_Game.m_pCamera;
        m_camera = std::make_unique<CWorldCamera>();
        m_camera->m_nMode = 2;
        m_camera->m_nLastView = 2;
        g_Game.m_pCamera = m_camera.get();
        m_car = std::make_unique<CVehicle>();
        g_pPlayerVehicle = m_car.get();
    }
    void TearDown() override
    {
        g_pPlayerVehicle = nullptr;
        g_Game.m_pCamera = m_savedCamera;
        MessageTest::TearDown();
    }

    std::unique_ptr<CWorldCamera> m_camera;
    // Taken when the fixture is made: the table tests run SetUp again.
    CWorldCamera* m_savedCamera = g_Game.m_pCamera;
    std::unique_ptr<CVehicle> m_car;
};

TEST_F(MessagePauseTest, PausingIdsStopTheWorldOnlyOnceFadedIn)
{
    for (int id : {MSG_CRIMINAL_LEVEL, MSG_CRIMINAL_EXCEEDED, MSG_PASSENGER}) {
        SetUp();
        m_ui->ShowMessage(id, 20.0f, nullptr, 0.0f);
        Frames(4); // fade 0.8
        EXPECT_FALSE(g_GameTimer.IsPaused()) << id;
        EXPECT_EQ(m_camera->m_nMode, 2) << id;
        Frames(1);
        EXPECT_TRUE(g_GameTimer.IsPaused()) << id;
        EXPECT_EQ(g_bInGame, 0) << id;
        EXPECT_EQ(m_camera->m_nMode, 4) << id;

        // Esc closes; the next frame gives the clock and the camera back once.
        g_bKeyEscape = 1;
        Frames(1);
        EXPECT_EQ(g_bKeyEscape, 0);
        EXPECT_FALSE(m_ui->m_bMessageVisible);
        Frames(1);
        EXPECT_FALSE(g_GameTimer.IsPaused()) << id;
        EXPECT_EQ(g_bInGame, 1) << id;
        EXPECT_EQ(m_camera->m_nMode, 2) << id;
        m_camera->m_nMode = 1;
        Frames(10);
        EXPECT_EQ(m_camera->m_nMode, 1) << id;
        EXPECT_EQ(m_ui->m_fMessageFade, 0.0f);
        TearDown();
    }
}

TEST_F(MessagePauseTest, OtherIdsNeitherPauseNorSwing)
{
    Show(MSG_CONTROLS);
    Frames(10);
    EXPECT_FALSE(g_GameTimer.IsPaused());
    EXPECT_EQ(m_camera->m_nMode, 2);
}

// A pause someone else made (the pop-up menu, the shell) stays when the box closes.
TEST_F(MessagePauseTest, TheBoxResumesOnlyItsOwnPause)
{
    g_GameTimer.m_fTimeScale = 0.0f;
    g_bInGame = 0;
    m_ui->ShowMessage(MSG_CRIMINAL_LEVEL, 20.0f, nullptr, 0.0f);
    Frames(6);
    EXPECT_EQ(m_camera->m_nMode, 2);
    Close();
    Frames(6);
    EXPECT_TRUE(g_GameTimer.IsPaused());
    EXPECT_EQ(g_bInGame, 0);
}

TEST_F(MessagePauseTest, TheBoxClosesOnItsRealTime)
{
    m_ui->ShowMessage(MSG_DAMAGE_LIMIT, 0.5f, nullptr, 0.0f);
    Frames(9);
    EXPECT_TRUE(m_ui->m_bMessageVisible);
    Frames(2);
    EXPECT_FALSE(m_ui->m_bMessageVisible);
}

TEST_F(MessagePauseTest, DialogueShowsOneLineAtATime)
{
    CHuman speaker;
    m_ui->SetDialogue(0, &speaker, "Mechanical engineer", 20.0f);
    EXPECT_TRUE(m_ui->m_bDialogueVisible);
    EXPECT_EQ(m_ui->m_nDialogueRows, 3u);
    EXPECT_STREQ(m_ui->m_szDialogueRows[1], "Where did you crush you car?");
    m_ui->SetDialogue(1, &speaker, "Player", 20.0f);
    EXPECT_EQ(m_ui->m_nDialogueLine, 0);
    EXPECT_STREQ(m_ui->m_szDialogueSpeaker, "Mechanical engineer");

    // Drawn off screen or without a speaker: no bubble, still closed by Enter.
    m_ui->m_pDialogueSpeaker = nullptr;
    m_ui->DrawDialogue();
    g_bKeyEnter = 1;
    m_ui->DrawDialogue();
    EXPECT_FALSE(m_ui->m_bDialogueVisible);
    EXPECT_EQ(g_bKeyEnter, 0);
    m_ui->SetDialogue(1, &speaker, "Player", 20.0f);
    EXPECT_EQ(m_ui->m_nDialogueLine, 1);
    m_ui->SetDialogue(-1, nullptr, nullptr, 0.0f);
    EXPECT_FALSE(m_ui->m_bDialogueVisible);
}

// A box or a dialogue still up as a game ends (raised during the exit's fade,
// say) is gone when the next game starts, and a pausing box it closed does
// not keep the next one from pausing.
TEST_F(MessagePauseTest, ASessionResetClosesTheBoxAndTheDialogue)
{
    CHuman speaker;
    m_ui->ShowMessage(MSG_CRIMINAL_LEVEL, 20.0f, nullptr, 0.0f);
    m_ui->SetDialogue(0, &speaker, "Mechanical engineer", 20.0f);
    Frames(5);
    ASSERT_TRUE(g_GameTimer.IsPaused());

    m_ui->ResetScreenPanels();
    EXPECT_FALSE(m_ui->m_bMessageVisible);
    EXPECT_EQ(m_ui->m_nMessageId, -1);
    EXPECT_FALSE(m_ui->m_bDialogueVisible);
    EXPECT_EQ(m_ui->m_pDialogueSpeaker, nullptr);

    // The exit resumes the clock itself; the next game's box pauses anew.
    g_GameTimer.Resume();
    g_bInGame = 1;
    m_ui->ShowMessage(MSG_PASSENGER, 20.0f, nullptr, 0.0f);
    Frames(5);
    EXPECT_TRUE(m_ui->m_bMessageVisible);
    EXPECT_TRUE(g_GameTimer.IsPaused());
}

} // namespace
