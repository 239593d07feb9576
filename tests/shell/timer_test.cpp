#include "game/PlayerStats.h"
#include "platform/Win32Time.h"
#include "shell/FileManager.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"
#include "shell/Settings.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::SetFakeClock(1000);
        g_bDebugOut = 0;
        g_PlayerStats = {};
        timer.Reset();
    }
    void TearDown() override
    {
        plat::UseRealClock();
        g_bDebugOut = 0;
        g_bKeyPageUp = g_bKeyPageDown = 0;
    }
    void Step(DWORD ms)
    {
        plat::AdvanceFakeClock(ms);
        timer.Update();
    }
    CGameTimer timer{};
};

TEST_F(TimerTest, ResetPutsBothClocksAMinuteIn)
{
    EXPECT_FLOAT_EQ(timer.m_fGameTime, 60000.0f);
    EXPECT_FLOAT_EQ(timer.m_fRealTime, 60000.0f);
    EXPECT_FLOAT_EQ(timer.GetGameTimeSince(0), 60.0f);
    EXPECT_FLOAT_EQ(timer.m_fTimeScale, 1.0f);
}

TEST_F(TimerTest, StepsAreCappedAt50Milliseconds)
{
    Step(20);
    EXPECT_FLOAT_EQ(timer.m_fRealDelta, 0.02f);
    EXPECT_FLOAT_EQ(timer.m_fDelta, 0.02f);
    Step(200);
    EXPECT_FLOAT_EQ(timer.m_fRealDelta, 0.05f);
    EXPECT_FLOAT_EQ(timer.m_fDelta, 0.05f);
    EXPECT_FLOAT_EQ(timer.m_fRealTime, 60070.0f);
    EXPECT_FLOAT_EQ(g_PlayerStats.m_fPlayTime, 0.07f);
}

TEST_F(TimerTest, WrappedClockGivesTheTrueStep)
{
    plat::SetFakeClock(0xFFFFFFF0u);
    timer.Reset();
    Step(0x20); // the clock passes 0
    EXPECT_FLOAT_EQ(timer.m_fRealDelta, 0.032f);
}

TEST_F(TimerTest, PauseStopsTheGameClockWhileTheRealOneRuns)
{
    Step(10);
    timer.Pause();
    Step(30);
    EXPECT_FLOAT_EQ(timer.m_fDelta, 0.0f);
    EXPECT_FLOAT_EQ(timer.m_fRealDelta, 0.03f);
    EXPECT_FLOAT_EQ(timer.m_fGameTime, 60010.0f);

    timer.m_fGameTime = 99999.0f; // anything that moved the clock while paused is undone
    plat::AdvanceFakeClock(5000);
    timer.Resume();
    EXPECT_FLOAT_EQ(timer.m_fGameTime, 60010.0f);
    Step(10);
    EXPECT_FLOAT_EQ(timer.m_fRealDelta, 0.01f) << "time spent paused is not counted";
}

TEST_F(TimerTest, ResumeWithoutPauseKeepsTheGameClock)
{
    Step(40);
    timer.Resume();
    EXPECT_FLOAT_EQ(timer.m_fGameTime, 60040.0f);
}

TEST_F(TimerTest, DeveloperKeysScaleTimeOncePerPressWithinBounds)
{
    g_bDebugOut = 1;
    for (int i = 0; i < 10; ++i) {
        g_bKeyPageUp = 1;
        Step(10);
        EXPECT_EQ(g_bKeyPageUp, 0);
    }
    EXPECT_FLOAT_EQ(timer.m_fTimeScale, 32.0f);
    for (int i = 0; i < 12; ++i) {
        g_bKeyPageDown = 1;
        Step(10);
    }
    EXPECT_FLOAT_EQ(timer.m_fTimeScale, 0.125f);
    EXPECT_FLOAT_EQ(timer.m_fDelta, 0.00125f);
    timer.Pause();
    timer.Resume();
    EXPECT_FLOAT_EQ(timer.m_fTimeScale, 1.0f) << "any resume ends slow motion";

    g_bDebugOut = 0;
    g_bKeyPageUp = 1;
    Step(10);
    EXPECT_FLOAT_EQ(timer.m_fTimeScale, 1.0f);
    EXPECT_EQ(g_bKeyPageUp, 1) << "without the developer switch the key is left alone";
}

} // namespace

namespace {

class TimerFileTest : public TimerTest {
protected:
    test::ScopedTempDir dir;
};

void WriteTimer(const CGameTimer& t, const char* path)
{
    const FileHandle f = g_FileManager.OpenForWrite(path, FILE_MODE_BINARY);
    ASSERT_NE(f, INVALID_FILE_HANDLE);
    t.Save(f);
    g_FileManager.Close(f);
}

TEST_F(TimerFileTest, SaveAndLoadRoundTripWithTheSavedClockRule)
{
    Step(30);
    timer.m_fSavedGameTime = 1.0f; // whatever the file holds here is replaced
    timer.m_fTimeScale = 0.5f;
    WriteTimer(timer, "timer.bin");

    CGameTimer loaded{};
    const FileHandle f = g_FileManager.Open("timer.bin", FILE_MODE_BINARY);
    ASSERT_EQ(loaded.Load(f), 1);
    g_FileManager.Close(f);
    EXPECT_FLOAT_EQ(loaded.m_fGameTime, 60030.0f);
    EXPECT_FLOAT_EQ(loaded.m_fSavedGameTime, 60030.0f);
    EXPECT_FLOAT_EQ(loaded.m_fTimeScale, 0.5f);
    EXPECT_EQ(loaded.m_nLastTick, timer.m_nLastTick);
}

TEST_F(TimerFileTest, ASaveThatCannotBeWrittenReportsIt)
{
    test::WriteWholeFile("timer.bin", "");
    const FileHandle f = g_FileManager.Open("timer.bin", FILE_MODE_BINARY);
    ASSERT_NE(f, INVALID_FILE_HANDLE);
    EXPECT_EQ(timer.Save(f), 0) << "a file open for reading takes no bytes";
    g_FileManager.Close(f);
    EXPECT_EQ(timer.Save(INVALID_FILE_HANDLE), 0);
}

TEST_F(TimerFileTest, ShortOrImpossibleRecordsAreNotTakenAsTheyAre)
{
    test::WriteWholeFile("short.bin", std::string(20, '\0'));
    CGameTimer loaded = timer;
    FileHandle f = g_FileManager.Open("short.bin", FILE_MODE_BINARY);
    EXPECT_EQ(loaded.Load(f), 0);
    g_FileManager.Close(f);
    EXPECT_FLOAT_EQ(loaded.m_fGameTime, 60000.0f);

    CGameTimer bad = timer;
    bad.m_fTimeScale = std::numeric_limits<float>::quiet_NaN();
    bad.m_fGameTime = std::numeric_limits<float>::infinity();
    WriteTimer(bad, "bad.bin");
    f = g_FileManager.Open("bad.bin", FILE_MODE_BINARY);
    ASSERT_EQ(loaded.Load(f), 1);
    g_FileManager.Close(f);
    EXPECT_FLOAT_EQ(loaded.m_fTimeScale, 1.0f);
    EXPECT_FLOAT_EQ(loaded.m_fGameTime, 60000.0f);
}

} // namespace

namespace {

// A profile played for days carries its clocks across saves: a frame's step
// must still count in full, and the saved record stays 32 bytes.
TEST_F(TimerFileTest, ClocksOfALongPlayedProfileStillAdvanceByEveryFrame)
{
    const double longPlayed = 75.0 * 3600.0 * 1000.0 + 0.5;
    for (const double start : {longPlayed, 4.0 * longPlayed}) {
        timer.Reset();
        timer.m_fGameTime = timer.m_fRealTime = start;
        for (int frame = 0; frame < 10; ++frame)
            Step(20);
        EXPECT_DOUBLE_EQ(timer.m_fGameTime - start, 200.0) << start;
        EXPECT_DOUBLE_EQ(timer.m_fRealTime - start, 200.0) << start;
        const double stamp = std::floor(start);
        EXPECT_NEAR(timer.GetGameTimeSince(static_cast<std::uint32_t>(stamp)), (start - stamp + 200.0) * 0.001, 1e-5)
            << start;
    }
    WriteTimer(timer, "long.bin");
    EXPECT_EQ(test::ReadWholeFile("long.bin").size(), 32u);
    CGameTimer loaded{};
    const FileHandle f = g_FileManager.Open("long.bin", FILE_MODE_BINARY);
    ASSERT_EQ(loaded.Load(f), 1);
    g_FileManager.Close(f);
    EXPECT_NEAR(loaded.m_fGameTime, timer.m_fGameTime, 64.0) << "the file holds the clock as f32";
}

} // namespace
