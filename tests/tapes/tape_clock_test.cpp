// The tape's clock and its messages on a bare window: each frame moves the
// clock by the step, a replay hands each message to the window procedure in
// its frame and closes the window at the end, and a recording keeps what the
// player did and nothing the layer made of it.
#include "platform/Backend.h"
#include "platform/InputTape.h"
#include "platform/Win32.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Seen {
    unsigned frame;
    UINT message;
    WPARAM wParam;
};
std::vector<Seen> s_seen;
unsigned s_endCalls = 0;

LRESULT NoteProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    s_seen.push_back({plat::TapeFrameNumber(), message, wParam});
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void CountEnd(unsigned)
{
    ++s_endCalls;
}

class TapeClock : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::SetHeadless(true);
        plat::ResetWindowing();
        WNDCLASSA wc{};
        wc.lpfnWndProc = NoteProc;
        wc.lpszClassName = "tape";
        RegisterClassA(&wc);
        m_window = CreateWindowExA(0, "tape", "tape", 0, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
        s_seen.clear();
        s_endCalls = 0;
    }
    void TearDown() override
    {
        plat::g_pTapeEndObserver = nullptr;
        plat::StopTape();
        plat::ResetWindowing();
    }
    // One pass of a main loop: the tape's frame, then the drain.
    void Pass()
    {
        plat::TapeFrame(m_window);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    HWND m_window = nullptr;
    test::ScopedTempDir m_dir;
};

TEST_F(TapeClock, ReplayStepsTheClockAndDeliversEachMessageInItsFrameThenCloses)
{
    plat::Tape tape;
    tape.step = 16;
    tape.seed = 0xFFFFFFF0u; // the clock wraps on the way
    tape.events = {{2, WM_KEYDOWN, 38, 0}, {2, WM_KEYUP, 38, 0}, {4, WM_MOUSEMOVE, 0, 5}};
    tape.end = 5;
    plat::g_pTapeEndObserver = CountEnd;
    plat::StartReplay(tape);
    std::vector<DWORD> clock;
    for (int i = 0; i < 7; ++i) {
        Pass();
        clock.push_back(timeGetTime());
    }
    EXPECT_EQ(clock, (std::vector<DWORD>{0xFFFFFFF0u, 0u, 16u, 32u, 48u, 64u, 80u}));
    const std::vector<std::pair<unsigned, UINT>> expected = {
        {2, WM_KEYDOWN}, {2, WM_KEYUP}, {4, WM_MOUSEMOVE}, {5, WM_CLOSE}};
    std::vector<std::pair<unsigned, UINT>> got;
    for (const Seen& s : s_seen)
        got.push_back({s.frame, s.message});
    EXPECT_EQ(got, expected);
    EXPECT_EQ(s_endCalls, 1u) << "the end is reported once, however long the loop runs on";
}

TEST_F(TapeClock, RecordingKeepsThePlayersMessagesAndNotTheTranslatedCharacters)
{
    plat::StartRecording(m_dir.File("out.tape"), 20, 1234);
    Pass();
    PostMessageA(m_window, WM_KEYDOWN, VK_RETURN, 0); // translated into a WM_CHAR as well
    PostMessageA(m_window, WM_CHAR, 'q', 1);
    PostMessageA(m_window, WM_SETFOCUS, 0, 0);        // the window system's, not the player's
    Pass();
    Pass();
    plat::StopTape();
    plat::Tape back;
    std::string error;
    ASSERT_TRUE(plat::ParseTape(test::ReadWholeFile(m_dir.File("out.tape")), &back, &error)) << error;
    EXPECT_EQ(back.seed, 1234u);
    EXPECT_EQ(back.end, 3u);
    ASSERT_EQ(back.events.size(), 2u);
    EXPECT_EQ(back.events[0].message, UINT(WM_KEYDOWN));
    EXPECT_EQ(back.events[0].frame, 2u);
    EXPECT_EQ(back.events[1].message, UINT(WM_CHAR));
    EXPECT_EQ(back.events[1].wParam, WPARAM('q'));
}

} // namespace
