// The real game binary, started headless with a frame budget, runs its frames
// and ends by itself.
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {

std::string BuildDir()
{
    return MORVAINE_BUILD_DIR;
}

int RunGame(const std::string& workDir, int frames)
{
    const std::string cmd = "cd '" + workDir + "' && MORVAINE_HEADLESS=1 MORVAINE_FRAMES=" + std::to_string(frames) +
                            " '" + BuildDir() + "/morvaine' > game.out 2>&1";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(HeadlessRun, SampleDataRunsItsFrameBudgetAndExitsCleanly)
{
    test::ScopedTempDir dir;
    const std::string run = BuildDir() + "/run";
    ASSERT_TRUE(std::filesystem::exists(run + "/Game.ini")) << "the sample data is written by the build";
    std::filesystem::copy(run, dir.Path(), std::filesystem::copy_options::recursive);
    EXPECT_EQ(RunGame(dir.Path().string(), 5), 0) << test::ReadWholeFile(dir.File("game.out"));
}

TEST(HeadlessRun, StartsWithoutAnySettingsFile)
{
    test::ScopedTempDir dir;
    EXPECT_EQ(RunGame(dir.Path().string(), 2), 0) << test::ReadWholeFile(dir.File("game.out"));
}

} // namespace
