// A replay runs on the settings its tape pinned without touching the
// player's own "Game.ini", and a tape that cannot be used ends the run.
#include "platform/Backend.h"
#include "platform/InputTape.h"
#include "shell/Settings.h"
#include "shell/WinMain.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const std::string kPlayersIni = "[Video]\r\nMode=2\r\n; the player's own comment\r\n";

class TapeSettings : public ::testing::Test {
protected:
    void SetUp() override { plat::SetHeadless(true); }
    void TearDown() override
    {
        plat::StopTape();
        unsetenv("MORVAINE_TAPE");
        g_nVideoMode = m_mode;
    }
    int m_mode = g_nVideoMode;
    test::ScopedTempDir m_dir;
};

TEST_F(TapeSettings, ReplayReadsThePinnedSettingsAndLeavesThePlayersFileAsItWas)
{
    test::WriteWholeFile("Game.ini", kPlayersIni);
    plat::Tape tape;
    tape.ini = {"[Video]", "Mode=0"};
    tape.end = 1;
    plat::StartReplay(tape);
    LoadSettings("Game.ini");
    EXPECT_EQ(g_nVideoMode, 0) << "the tape's settings are the ones played";
    g_nVideoMode = 1;
    EXPECT_EQ(SaveSettings(), 1) << "an options change during the replay";
    EXPECT_EQ(test::ReadWholeFile("Game.ini"), kPlayersIni);

    plat::StopTape();
    EXPECT_EQ(test::ReadWholeFile("Game.ini"), kPlayersIni);
    EXPECT_FALSE(std::filesystem::exists("Game.ini.tmp"));
    LoadSettings("Game.ini");
    EXPECT_EQ(g_nVideoMode, 2) << "after the tape the player's own file is read again";
}

TEST_F(TapeSettings, ATapeThatCannotBeUsedEndsTheRunWithStatusOne)
{
    test::WriteWholeFile("bad.tape", "morvaine-tape 1\nstep 0\nend 5\n");
    test::WriteWholeFile("good.tape", "morvaine-tape 1\nend 5\n");
    const struct {
        const char* tape;
        bool usable;
    } cases[] = {{"missing.tape", false}, {"bad.tape", false}, {"good.tape", true}};
    for (const auto& c : cases) {
        setenv("MORVAINE_TAPE", c.tape, 1);
        EXPECT_EQ(plat::StartTapeFromEnvironment(), c.usable) << c.tape;
        EXPECT_EQ(plat::ActiveTapeMode() == plat::TapeMode::Replay, c.usable) << c.tape;
        plat::StopTape();
    }
    setenv("MORVAINE_TAPE", "bad.tape", 1);
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 1), START_UP_FAILED);
}

} // namespace
