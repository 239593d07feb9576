// The tape file: what a replay accepts, what it refuses with the line, and a
// recording read back unchanged.
#include "platform/InputTape.h"
#include "platform/Win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const kHeader = "morvaine-tape 1\nstep 20\nseed 77\nsound silent\n";

TEST(TapeFormat, ARecordedTapeReadsBackUnchanged)
{
    plat::Tape tape;
    tape.step = 16;
    tape.seed = 4000000000u;
    tape.ini = {"[Video]", "Mode=0", "", "Name=with spaces = and more"};
    tape.events = {{3, WM_KEYDOWN, 38, 0}, {3, WM_CHAR, 97, 0}, {9, WM_MOUSEMOVE, 0, 300 << 16 | 400}};
    tape.end = 12;
    plat::Tape back;
    std::string error;
    ASSERT_TRUE(plat::ParseTape(plat::FormatTape(tape), &back, &error)) << error;
    EXPECT_EQ(back.step, 16u);
    EXPECT_EQ(back.seed, 4000000000u);
    EXPECT_EQ(back.ini, tape.ini);
    ASSERT_EQ(back.events.size(), 3u);
    EXPECT_EQ(back.events[2].message, UINT(WM_MOUSEMOVE));
    EXPECT_EQ(back.events[2].lParam, LPARAM(300 << 16 | 400));
    EXPECT_EQ(back.end, 12u);
}

TEST(TapeFormat, CrLfLinesAndCommentsAreRead)
{
    plat::Tape tape;
    std::string error;
    ASSERT_TRUE(plat::ParseTape("# made by hand\r\nmorvaine-tape 1\r\nseed 5\r\n2 keydown 13 0\r\nend 4\r\n", &tape,
                                &error))
        << error;
    EXPECT_EQ(tape.seed, 5u);
    EXPECT_EQ(tape.step, 20u) << "the default step";
    ASSERT_EQ(tape.events.size(), 1u);
    EXPECT_EQ(tape.events[0].wParam, WPARAM(13));
}

// However many CRs end a line, the settings line reads the same, and a tape
// printed again reads as it did (each print and read once lost one CR).
TEST(TapeFormat, SettingsLinesReadTheSameAfterEveryPrint)
{
    const struct {
        const char* line;
        const char* value;
    } cases[] = {
        {"ini Mode=0\n", "Mode=0"},
        {"ini Mode=0\r\n", "Mode=0"},
        {"ini Mode=0\r\r\r\n", "Mode=0"},
        {"ini\r\r\n", ""},
        {"ini Name=a\rb\r\r\n", "Name=a\rb"},
    };
    for (const auto& c : cases) {
        plat::Tape tape;
        std::string error;
        ASSERT_TRUE(plat::ParseTape(std::string(kHeader) + c.line + "end 1\n", &tape, &error)) << error;
        EXPECT_EQ(tape.ini, std::vector<std::string>{c.value}) << c.line;
        const std::string printed = plat::FormatTape(tape);
        plat::Tape again;
        ASSERT_TRUE(plat::ParseTape(printed, &again, &error)) << error;
        EXPECT_EQ(again.ini, tape.ini) << c.line;
        EXPECT_EQ(plat::FormatTape(again), printed) << c.line;
    }
}

TEST(TapeFormat, DamagedTapesAreRefusedWithTheirLine)
{
    struct Case {
        const char* body; // after the header
        const char* reason;
    };
    const Case cases[] = {
        {"", "no end frame"},
        {"5 keydown 13 0\n", "no end frame"},
        {"end 4\n5 keyup 13 0\n", "nothing may follow"},
        {"6 keydown 13 0\nend 4\n", "after the end"},
        {"6 keydown 13 0\n5 keyup 13 0\nend 9\n", "frame order"},
        {"0 keydown 13 0\nend 9\n", "from 1"},
        {"x keydown 13 0\nend 9\n", "from 1"},
        {"3 paint 0 0\nend 9\n", "unknown message"},
        {"3 keydown 13\nend 9\n", "wParam and lParam"},
        {"3 keydown 1x 0\nend 9\n", "wParam and lParam"},
        {"step 0\nend 9\n", "step"},
        {"step 99999999999999999999999\nend 9\n", "step"},
        {"seed 4294967296\nend 9\n", "32 bits"},
        {"sound loud\nend 9\n", "silent or openal"},
        {"end -1\n", "end needs a frame"},
    };
    for (const Case& c : cases) {
        plat::Tape tape;
        std::string error;
        EXPECT_FALSE(plat::ParseTape(std::string(kHeader) + c.body, &tape, &error)) << c.body;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.body << " gave: " << error;
        EXPECT_EQ(error.rfind("tape line ", 0), 0u) << error;
    }
    plat::Tape tape;
    std::string error;
    EXPECT_FALSE(plat::ParseTape("morvaine-tape 2\nend 1\n", &tape, &error));
    EXPECT_FALSE(plat::ParseTape("", &tape, &error));
}

} // namespace
