// Replacing a file whole: the old contents survive every failure, and no
// temporary file is left behind.
#include "platform/Win32Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(ReplaceFileWhole, ReplacesAndLeavesNoTemporary)
{
    test::ScopedTempDir dir;
    test::WriteWholeFile("Save/Profile01.sav", "old contents");
    ASSERT_TRUE(plat::ReplaceFileWhole("Save\\Profile01.sav", "new", 3));
    EXPECT_EQ(test::ReadWholeFile("Save/Profile01.sav"), "new");
    EXPECT_FALSE(std::filesystem::exists("Save/Profile01.sav.tmp"));
    ASSERT_TRUE(plat::ReplaceFileWhole("empty.bin", nullptr, 0));
    EXPECT_TRUE(std::filesystem::exists("empty.bin"));
}

TEST(ReplaceFileWhole, FailureKeepsTheOldFile)
{
    test::ScopedTempDir dir;
    test::WriteWholeFile("Game.ini", "[Video]\nMode=1\n");
    // A folder in the temporary file's place makes the write fail.
    std::filesystem::create_directories("Game.ini.tmp");
    EXPECT_FALSE(plat::ReplaceFileWhole("Game.ini", "x", 1));
    EXPECT_EQ(test::ReadWholeFile("Game.ini"), "[Video]\nMode=1\n");
    // A missing folder for the target fails without creating anything.
    EXPECT_FALSE(plat::ReplaceFileWhole("NoSuchFolder/file.bin", "x", 1));
    EXPECT_FALSE(std::filesystem::exists("NoSuchFolder"));
    EXPECT_FALSE(plat::ReplaceFileWhole(nullptr, "x", 1));
}

} // namespace
