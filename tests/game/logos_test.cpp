// The start-up logo sequence: its phases on a fake clock, the skips, and
// the loop that plays it.
#include "game/StartLogos.h"
#include "menu_fixture.h"
#include "shell/AudioManager.h"

namespace {

// Times in ms after the start; each row: when, skip, expected phase after,
// drawn or not.
TEST(StartLogos, PhasesFollowTheClockWithPausesBetween)
{
    struct Row {
        std::uint32_t at;
        bool skip;
        int phase;
        bool drawn;
    };
    const Row plain[] = {
        {500, false, LOGO_PARTNER_IN, false},    // the first second is a pause
        {1000, false, LOGO_PARTNER_IN, true},
        {2500, false, LOGO_PARTNER_IN, true},
        {4000, false, LOGO_PARTNER_OUT, true},   // 3 s shown, then a 2 s pause
        {5500, false, LOGO_PARTNER_OUT, false},
        {6000, false, LOGO_PARTNER_OUT, true},
        {8000, false, LOGO_STUDIO_IN, true},
        {10000, false, LOGO_STUDIO_OUT, true},
        {10500, false, LOGO_STUDIO_OUT, false},
        {11000, false, LOGO_STUDIO_OUT, true},
        {13000, false, LOGO_DONE, true},
        {13100, false, LOGO_DONE, false},        // a last short pause
        {13250, false, LOGO_DONE, false},
    };
    CStartLogos logos;
    logos.Start(0);
    for (const Row& r : plain) {
        EXPECT_FALSE(logos.Done()) << r.at;
        float alpha = -1.0f;
        EXPECT_EQ(logos.Step(r.at, r.skip, &alpha), r.drawn) << r.at;
        EXPECT_EQ(logos.m_nPhase, r.phase) << r.at;
        if (r.drawn) {
            EXPECT_GE(alpha, 0.0f) << r.at;
            EXPECT_LE(alpha, 255.0f) << r.at;
        }
    }
}

TEST(StartLogos, SkipsJumpToTheStudioLogoThenEnd)
{
    const std::pair<std::uint32_t, int> cases[] = {
        {500, LOGO_STUDIO_IN}, {3000, LOGO_STUDIO_IN}, {7000, LOGO_STUDIO_IN}, {9000, LOGO_DONE}, {12000, LOGO_DONE},
    };
    for (const auto& [at, phase] : cases) {
        CStartLogos logos;
        logos.Start(0);
        float alpha = 0.0f;
        for (std::uint32_t t = 0; t < at; t += 100)
            logos.Step(t, false, &alpha);
        logos.Step(at, true, &alpha);
        EXPECT_EQ(logos.m_nPhase, phase) << at;
        EXPECT_EQ(logos.m_nStamp, at) << "the stamp restarts";
        EXPECT_EQ(logos.Done(), phase == LOGO_DONE) << at;
    }
}

TEST(StartLogos, FadeAlphasStayInRange)
{
    CStartLogos logos;
    logos.Start(0);
    float alpha = 0.0f;
    logos.Step(1000, false, &alpha);
    EXPECT_EQ(alpha, 0.0f);
    logos.Step(3000, false, &alpha);
    EXPECT_NEAR(alpha, 170.0f, 0.5f);
    logos.Step(3990, false, &alpha);
    EXPECT_LE(alpha, 255.0f);
}

class LogoLoopTest : public test::MenuTest {
protected:
    void SetUp() override
    {
        test::MenuTest::SetUp();
        plat::ResetWindowing();
        plat::SetFrameBudget(0);
        plat::SetFakeClock(50000);
        m_boxes = plat::MessageBoxCount();
    }
    void TearDown() override
    {
        plat::UseRealClock();
        plat::ResetWindowing();
        test::MenuTest::TearDown();
    }
};

// The loop keeps its own clock (moved on by its short sleeps here) and
// reads the keys from the message queue: Esc during the partner logo plays
// only the studio logo.
TEST_F(LogoLoopTest, EscapeSkipsThePartnerLogoAndTheLoopEnds)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = WndProc;
    wc.lpszClassName = "LogoTest";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "LogoTest", "", 0, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    m_device->Log().Clear();
    const DWORD start = timeGetTime();
    g_GameMenu.PlayStartLogos();
    const DWORD took = timeGetTime() - start;
    // Studio logo: 1 s pause, 2 s in, 1 s pause, 2 s out, 0.25 s pause.
    EXPECT_GE(took, 6250u);
    EXPECT_LT(took, 6500u);
    // A frame a millisecond while a logo shows (4 s), none in the pauses.
    const std::size_t presents = m_device->Log().Count(plat::D3DOp::Present);
    EXPECT_GE(presents, 3990u);
    EXPECT_LE(presents, 4010u);
    EXPECT_EQ(g_bKeyEscape, 0);
    EXPECT_EQ(g_D3DRender.m_TextureManager.FindTexture("Data/Interface/GameMenu/Logo_Tarnhollow.bmp"),
              INVALID_TEXTURE_ID);
    EXPECT_EQ(g_AudioManager.m_pMusic, nullptr);
    EXPECT_EQ(NewBoxes(), 0u);
}

TEST_F(LogoLoopTest, AScriptedRunShowsNoLogos)
{
    plat::SetFrameBudget(5);
    const DWORD start = timeGetTime();
    g_GameMenu.PlayStartLogos();
    EXPECT_EQ(timeGetTime(), start);
    plat::SetFrameBudget(0);
}

} // namespace
