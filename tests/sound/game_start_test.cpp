// The game binary on the sample data with the OpenAL output: with OpenAL's
// null device it runs with sound; with no device it stops at start-up after
// its "Sound error!" box, before the game object starts.
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {

struct RunResult {
    int exitCode;
    std::string output; // what the game wrote to stdout and stderr
    std::string log;    // its "debug.txt"
};

// Runs the game in a copy of the sample data with the log on and the given
// OpenAL drivers.
RunResult RunWithOpenAL(const test::ScopedTempDir& dir, const std::string& drivers)
{
    const std::string build = MORVAINE_BUILD_DIR;
    std::filesystem::copy(build + "/run", dir.Path(), std::filesystem::copy_options::recursive);
    std::string ini = test::ReadWholeFile(dir.File("Game.ini"));
    const std::size_t at = ini.find("Debug out=0");
    if (at != std::string::npos)
        ini.replace(at, 11, "Debug out=1");
    test::WriteWholeFile(dir.File("Game.ini"), ini);
    const std::string cmd = "cd '" + dir.Path().string() +
                            "' && MORVAINE_HEADLESS=1 MORVAINE_FRAMES=3 MORVAINE_SOUND=openal ALSOFT_DRIVERS=" +
                            drivers + " '" + build + "/morvaine' > game.out 2>&1";
    const int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadWholeFile(dir.File("game.out")),
            test::ReadWholeFile(dir.File("debug.txt"))};
}

TEST(GameStart, RunsWithSoundOnOpenALsNullDevice)
{
    test::ScopedTempDir dir;
    const RunResult r = RunWithOpenAL(dir, "null");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(r.output.find("Sound error!"), std::string::npos) << r.output;
    EXPECT_NE(r.log.find("CGameSound OK!"), std::string::npos) << "the pools were loaded";
    EXPECT_NE(r.log.find("CAudioManager::Release() done!"), std::string::npos);
}

TEST(GameStart, NoSoundDeviceEndsTheGameAfterItsSoundErrorBox)
{
    test::ScopedTempDir dir;
    const RunResult r = RunWithOpenAL(dir, "no-such-driver");
    EXPECT_EQ(r.exitCode, 1) << "a failed start is not a good run: " << r.output;
    EXPECT_NE(r.output.find("[Sound error!] DirectSoundCreate8() failed!"), std::string::npos) << r.output;
    // The box's message is the last thing logged: nothing else started.
    const std::string last = "DirectSoundCreate8() failed!\n";
    ASSERT_GE(r.log.size(), last.size()) << r.log;
    EXPECT_EQ(r.log.substr(r.log.size() - last.size()), last) << r.log;
    EXPECT_EQ(r.log.find("CGameSound OK!"), std::string::npos);
    EXPECT_EQ(r.log.find("CAudioManager::Release()"), std::string::npos) << "the program ended at once";
}

} // namespace
