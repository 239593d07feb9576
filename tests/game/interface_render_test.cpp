// The interface frame as the device sees it: sprite vertices, the cursor's
// pulse, the direction arrow's target, and the order in which panels draw
// and take the Enter and Esc keys.
#include "game/DirectionArrow.h"
#include "graphics/screen_fixture.h"
#include "graphics/WorldCamera.h"
#include "message_fixture.h"
#include "roadusers/Human.h"
#include "shell/Game.h"
#include "shell/GameSteps.h"

#include <string>
#include <vector>

namespace {

using test::ScreenDrawTest;

TEST(InterfaceSprite, SetRectPutsUvsOnTexelCentres)
{
    struct Case {
        float size, u, v, w, h;
        float left, right, top, bottom;
    } cases[] = {
        {256.0f, 0.0f, 0.0f, 256.0f, 256.0f, 0.5f / 256, 255.5f / 256, 0.5f / 256, 255.5f / 256},
        {128.0f, 32.0f, 0.0f, 32.0f, 32.0f, 32.5f / 128, 63.5f / 128, 0.5f / 128, 31.5f / 128},
        {128.0f, 64.0f, 32.0f, 32.0f, 32.0f, 64.5f / 128, 95.5f / 128, 32.5f / 128, 63.5f / 128},
    };
    for (const Case& c : cases) {
        CInterfaceSprite s;
        s.SetRect(7, c.size, c.u, c.v, c.w, c.h);
        EXPECT_EQ(s.m_nTexture, 7u);
        EXPECT_FLOAT_EQ(s.m_fWidth, c.w - 1.0f);
        EXPECT_FLOAT_EQ(s.m_Vertices[0].u, c.left);
        EXPECT_FLOAT_EQ(s.m_Vertices[1].u, c.left);
        EXPECT_FLOAT_EQ(s.m_Vertices[2].u, c.right);
        EXPECT_FLOAT_EQ(s.m_Vertices[3].u, c.right);
        EXPECT_FLOAT_EQ(s.m_Vertices[0].v, c.top);
        EXPECT_FLOAT_EQ(s.m_Vertices[2].v, c.top);
        EXPECT_FLOAT_EQ(s.m_Vertices[1].v, c.bottom);
        EXPECT_FLOAT_EQ(s.m_Vertices[3].v, c.bottom);
        for (const CScreenVertex& v : s.m_Vertices)
            EXPECT_EQ(v.rhw, 2.0f);
    }
}

TEST(InterfaceCursor, PulsesInSizeAndColour)
{
    struct Case {
        unsigned t;
        float size;
        DWORD colour;
    } cases[] = {
        {0, 32.0f, 0xFFFFFFFFu},    {240, 35.5f, 0xFFFFF4EAu},  {450, 32.0f, 0xFFFFE8D1u},
        {2500, 33.5f, 0xFFFF8205u}, {4950, 34.5f, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        float size = 0.0f;
        DWORD colour = 0;
        CursorPulse(c.t, &size, &colour);
        EXPECT_FLOAT_EQ(size, c.size) << c.t;
        EXPECT_EQ(colour, c.colour) << c.t;
    }
}

TEST_F(ScreenDrawTest, SpriteDrawsOneScaledStripWithItsTexels)
{
    Attach(1024, 768);
    ClearLog();
    CInterfaceSprite s;
    s.SetRect(INVALID_TEXTURE_ID, 256.0f, 0.0f, 0.0f, 256.0f, 256.0f);
    s.Draw(100.0f, 50.0f, 356.0f, 306.0f, 0x80FFFFFFu);
    const std::vector<plat::D3DCall> draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].a, DWORD(D3DPT_TRIANGLESTRIP));
    EXPECT_EQ(draws[0].c, 2u);
    const std::vector<CScreenVertex> v = VerticesOf<CScreenVertex>(draws[0]);
    ASSERT_EQ(v.size(), 4u);
    const float expected[4][2] = {{128.0f, 64.0f}, {128.0f, 391.68f}, {455.68f, 64.0f}, {455.68f, 391.68f}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(v[i].x, expected[i][0]) << i;
        EXPECT_FLOAT_EQ(v[i].y, expected[i][1]) << i;
        EXPECT_EQ(v[i].rhw, 2.0f);
        EXPECT_EQ(v[i].colour, 0x80FFFFFFu);
    }
    EXPECT_EQ(DrawnFaces(), 2u);

    ClearLog();
    s.DrawAdditive(0.0f, 0.0f, 10.0f, 10.0f, 0xFFFFFFFFu);
    DWORD src = 0;
    DWORD dst = 0;
    ASSERT_TRUE(StateSet(D3DRS_SRCBLEND, &src));
    ASSERT_TRUE(StateSet(D3DRS_DESTBLEND, &dst));
    EXPECT_EQ(src, DWORD(D3DBLEND_ONE));
    EXPECT_EQ(dst, DWORD(D3DBLEND_ONE));
}

// The bubble hangs above its speaker: none without one or off screen.
TEST_F(ScreenDrawTest, DialogueBubbleDrawsOnlyForASpeakerInView)
{
    CWorldCamera camera;
    camera.SetProjection(D3DX_PI / 3.0f, 4.0f / 3.0f, 0.2f, 600.0f);
    camera.m_vEye = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    camera.m_vTarget = D3DXVECTOR3(0.0f, 0.0f, 10.0f);
    camera.m_vUp = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    camera.UpdateView();
    CWorldCamera* saved = g_Game.m_pCamera;
    g_Game.m_pCamera = &camera;
    g_D3DRender.m_fScreenWidth = 800.0f;
    g_D3DRender.m_fScreenHeight = 600.0f;
    g_GameTimer.m_fRealDelta = 0.05f;
    struct Case {
        bool speaker;
        float z;
        bool drawn;
    } cases[] = {{true, 20.0f, true}, {true, -20.0f, false}, {false, 20.0f, false}};
    for (const Case& c : cases) {
        auto ui = std::make_unique<CGameInterface>();
        CHuman speaker;
        speaker.m_vPosition = D3DXVECTOR3(0.0f, 0.0f, c.z);
        ui->SetDialogue(0, c.speaker ? &speaker : nullptr, "Mechanical engineer", 20.0f);
        ClearLog();
        ui->DrawDialogue();
        EXPECT_EQ(!Draws().empty(), c.drawn) << c.speaker << " " << c.z;
    }
    g_Game.m_pCamera = saved;
}

TEST(DirectionArrow, ShownOnlyWhenItHasSomethingToPointAt)
{
    struct Case {
        ArrowState state;
        bool shown;
    } cases[] = {
        {{1, 1, 0, 2, 0.0f}, true},   {{0, 1, 0, 2, 0.0f}, false},  {{1, 0, 0, 2, 0.0f}, false},
        {{1, 0, 1, 1, 16.0f}, true},  {{1, 0, 1, 3, 15.9f}, false}, {{1, 1, 0, 0, 0.0f}, false},
        {{1, 1, 0, 4, 0.0f}, false},  {{1, 1, 0, 6, 0.0f}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ArrowShown(c.state), c.shown) << c.state.nCameraMode << " " << c.state.fLandingDistance;
}

TEST(DirectionArrow, RaceTargetLooksAheadBySpeedAndSmooths)
{
    D3DXVECTOR3 route[40];
    for (int i = 0; i < 40; ++i)
        route[i] = D3DXVECTOR3(static_cast<float>(i), 0.0f, 1.0f);
    struct Case {
        int count, index;
        float speed;
        float x;
    } cases[] = {
        {40, 5, 0.0f, 6.0f},    {40, 5, -50.0f, 6.0f},  {40, 5, 30.0f, 10.0f}, {40, 5, 112.5f, 21.0f},
        {40, 5, 500.0f, 21.0f}, {40, 38, 100.0f, 39.0f}, {10, 0, 200.0f, 9.0f}, {40, -3, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        D3DXVECTOR3 target(0.0f, 0.0f, 0.0f);
        StepRaceArrowTarget(&target, route, c.count, c.index, c.speed, 0.02f);
        EXPECT_FLOAT_EQ(target.x, c.x) << c.index << " " << c.speed;
    }

    // A set target moves a share of frame time x 5 towards the point.
    D3DXVECTOR3 target(2.0f, 0.0f, 1.0f);
    StepRaceArrowTarget(&target, route, 40, 5, 0.0f, 0.1f);
    EXPECT_FLOAT_EQ(target.x, 4.0f);
    // An empty route keeps the last target.
    StepRaceArrowTarget(&target, route, 0, 5, 0.0f, 0.1f);
    EXPECT_FLOAT_EQ(target.x, 4.0f);
    StepRaceArrowTarget(&target, nullptr, 0, 0, 0.0f, 0.1f);
    EXPECT_FLOAT_EQ(target.x, 4.0f);
}

// Records the panels' turns and what each found of the keys.
std::vector<std::string> g_Turns;
void RecordTurn(const char* panel)
{
    g_Turns.push_back(std::string(panel) + (g_bKeyEscape ? "+esc" : ""));
}

class InterfaceRenderTest : public test::MessageTest {
protected:
    void SetUp() override
    {
        MessageTest::SetUp();
        g_Turns.clear();
        g_pGameStepObserver = RecordTurn;
    }
    void TearDown() override
    {
        g_pGameStepObserver = nullptr;
        MessageTest::TearDown();
    }
};

TEST_F(InterfaceRenderTest, PanelsDrawInOrderAndTheBoxTakesEscBeforeThePopup)
{
    // Closed box and bubble leave Esc to the panels after them: the pop-up
    // takes it and opens.
    g_bKeyEscape = 1;
    m_ui->Render();
    const std::vector<std::string> closed = {"hud+esc",         "driver info+esc", "race info+esc", "race result+esc",
                                             "rating list+esc", "message box+esc", "dialogue+esc",  "workshop+esc",
                                             "car shop+esc",    "popup+esc",       "info screens"};
    EXPECT_EQ(g_Turns, closed);
    EXPECT_TRUE(m_ui->m_PopupMenuPanel.m_bPopupOpen);
    m_ui->SetPopupMenu(POPUP_NONE);

    g_Turns.clear();
    Show(MSG_CONTROLS);
    g_bKeyEscape = 1;
    m_ui->Render();
    // The box takes Esc on its turn: no panel after it sees the key.
    const std::vector<std::string> open = {"hud+esc",         "driver info+esc", "race info+esc", "race result+esc",
                                           "rating list+esc", "message box+esc", "dialogue",      "workshop",
                                           "car shop",        "popup",           "info screens"};
    EXPECT_EQ(g_Turns, open);
    EXPECT_FALSE(m_ui->m_bMessageVisible);
}

TEST_F(InterfaceRenderTest, WithThePopupOpenOnlyItAndTheInfoScreensDraw)
{
    Show(MSG_CONTROLS);
    m_ui->SetPopupMenu(POPUP_PAUSE);
    g_bKeyEscape = 1;
    m_ui->Render();
    // The pop-up's own Esc closes it.
    const std::vector<std::string> expected = {"popup+esc", "info screens"};
    EXPECT_EQ(g_Turns, expected);
    EXPECT_TRUE(m_ui->m_bMessageVisible);
    EXPECT_EQ(m_ui->m_fMessageFade, 0.0f);
}

} // namespace
