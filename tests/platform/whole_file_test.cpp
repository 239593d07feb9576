// Whole-file reads of the loaders: a cap on the length, and a folder given
// as a file (it reports a length of its own) never allocates that length.
#include "platform/Win32Shell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(WholeFileRead, ReadsWithinTheCapAndRefusesTheRest)
{
    test::ScopedTempDir dir;
    test::WriteWholeFile("Data/sub/file.bin", "abcdef");
    std::filesystem::create_directories("Data/folder.wav");
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(plat::ReadWholeFile("Data\\sub\\file.bin", &bytes, 6));
    EXPECT_EQ(bytes.size(), 6u);
    EXPECT_FALSE(plat::ReadWholeFile("Data/sub/file.bin", &bytes, 5));
    EXPECT_FALSE(plat::ReadWholeFile("Data/missing.bin", &bytes, 100));
    EXPECT_FALSE(plat::ReadWholeFile("Data/folder.wav", &bytes, 1u << 20));
    EXPECT_TRUE(bytes.empty());
}

} // namespace
