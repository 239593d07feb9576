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

// With "File manager" 0 the same data is read as loose files: the run needs
// none of the archives and shows no error box.
TEST(HeadlessRun, LooseSampleDataRunsWithoutTheArchives)
{
    test::ScopedTempDir dir;
    const std::string run = BuildDir() + "/run";
    std::filesystem::copy(run, dir.Path(), std::filesystem::copy_options::recursive);
    for (const char* archive : {"Objects", "World", "Textures", "SD"})
        for (const char* ext : {".hdr", ".pak"})
            std::filesystem::remove(dir.Path() / "Data" / (std::string(archive) + ext));
    std::string ini = test::ReadWholeFile(dir.File("Game.ini"));
    const std::size_t at = ini.find("File manager=1");
    ASSERT_NE(at, std::string::npos);
    ini.replace(at, 14, "File manager=0");
    test::WriteWholeFile(dir.File("Game.ini"), ini);
    EXPECT_EQ(RunGame(dir.Path().string(), 5), 0);
    const std::string out = test::ReadWholeFile(dir.File("game.out"));
    EXPECT_TRUE(out.rfind("[", 0) == std::string::npos && out.find("\n[") == std::string::npos)
        << "a message box was shown:\n" << out;
}

TEST(HeadlessRun, StartsWithoutAnySettingsFile)
{
    test::ScopedTempDir dir;
    std::filesystem::copy(BuildDir() + "/run", dir.Path(), std::filesystem::copy_options::recursive);
    std::filesystem::remove(dir.File("Game.ini"));
    EXPECT_EQ(RunGame(dir.Path().string(), 2), 0) << test::ReadWholeFile(dir.File("game.out"));
}

// Without its data the game shows its box, names the file it lacks, and ends
// with a status a script can tell from a good run.
TEST(HeadlessRun, MissingOrDamagedDataEndsWithAFailureStatusAndNamesTheFile)
{
    struct Case {
        const char* what;
        bool copyData;
        const char* damage; // file cut to nothing, or null
        const char* named;
    };
    const Case cases[] = {
        {"no Data folder", false, nullptr, "Data/World.hdr"},
        {"empty World index", true, "Data/World.hdr", "Data/World.hdr"},
    };
    for (const Case& c : cases) {
        test::ScopedTempDir dir;
        if (c.copyData)
            std::filesystem::copy(BuildDir() + "/run", dir.Path(), std::filesystem::copy_options::recursive);
        if (c.damage)
            test::WriteWholeFile(dir.File(c.damage), "");
        EXPECT_EQ(RunGame(dir.Path().string(), 2), 1) << c.what;
        const std::string out = test::ReadWholeFile(dir.File("game.out"));
        EXPECT_NE(out.find("Could not create render technique!"), std::string::npos) << c.what << "\n" << out;
        EXPECT_NE(out.find(c.named), std::string::npos) << c.what << "\n" << out;
    }
}

} // namespace
