// The game started headless on the sample data: the renderer comes up with
// the technique file compiled, presents frames and gives every texture back.
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

namespace {

TEST(RenderHeadlessRun, SampleDataStartsRendersAndReleasesCleanly)
{
    test::ScopedTempDir dir;
    const std::string build = MORVAINE_BUILD_DIR;
    std::filesystem::copy(build + "/run", dir.Path(), std::filesystem::copy_options::recursive);
    std::string ini = test::ReadWholeFile("Game.ini");
    const size_t debug = ini.find("Debug out=0");
    ASSERT_NE(debug, std::string::npos);
    ini.replace(debug, 11, "Debug out=1");
    test::WriteWholeFile("Game.ini", ini);

    const std::string cmd = "MORVAINE_HEADLESS=1 MORVAINE_FRAMES=5 '" + build + "/morvaine' > game.out 2>&1";
    const int status = std::system(cmd.c_str());
    const std::string out = test::ReadWholeFile("game.out");
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << out;
    EXPECT_EQ(out.find("[Morvaine]"), std::string::npos) << "no error box: " << out;
    const std::string log = test::ReadWholeFile("debug.txt");
    EXPECT_NE(log.find("CD3DRender::FreeD3DRender() done!"), std::string::npos) << log;
    EXPECT_EQ(log.find("Texture lost!"), std::string::npos) << log;
}

} // namespace
