// Files held in memory stand in for the disk under their path: every read
// through the file layer sees them, a whole-file save replaces them in
// memory, and a write opened on one leaves the disk file to later reads.
#include "platform/MemoryFiles.h"
#include "platform/Win32Files.h"
#include "platform/Win32Shell.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

struct HeldFiles {
    test::ScopedTempDir dir;
    ~HeldFiles() { plat::ClearMemoryFiles(); }
};

std::string ReadAll(const char* path)
{
    std::vector<std::uint8_t> bytes;
    if (!plat::ReadWholeFile(path, &bytes, 1u << 20))
        return "<none>";
    return std::string(bytes.begin(), bytes.end());
}

TEST(MemoryFiles, ReadsSeeTheHeldBytesInsteadOfTheDisk)
{
    HeldFiles held;
    test::WriteWholeFile("Data/Misc/a.obj", "on disk");
    ASSERT_TRUE(plat::SetMemoryFile("Data/Misc/a.obj", "held\r\nline 2", 12));
    ASSERT_TRUE(plat::SetMemoryFile("Data/Misc/empty.obj", nullptr, 0));
    const struct {
        const char* path;
        const char* expected;
    } cases[] = {
        {"Data/Misc/a.obj", "held\r\nline 2"},
        {"Data\\Misc\\a.obj", "held\r\nline 2"},
        {"./Data/Misc/a.obj", "held\r\nline 2"},
        {"Data//Misc/../Misc/a.obj", "held\r\nline 2"},
        {"Data/Misc/a.obj/..", "<none>"},
        {"Data/Misc/empty.obj", ""},
        {"Data/Misc/other.obj", "<none>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadAll(c.path), c.expected) << c.path;
    // The settings and the saves reach their files by the full path.
    EXPECT_EQ(ReadAll(held.dir.File("Data/Misc/a.obj").c_str()), "held\r\nline 2");

    // The file manager's loose text reading runs over the held bytes as over a file.
    g_bFileManager = 0;
    g_FileManager.Init();
    std::uint32_t size = 0;
    const FileHandle f = g_FileManager.Open("Data/Misc/a.obj", ARCHIVE_OBJECTS, &size);
    ASSERT_NE(f, INVALID_FILE_HANDLE);
    EXPECT_EQ(size, 12u);
    char line[16];
    g_FileManager.ReadLine(line, sizeof line, f);
    EXPECT_STREQ(line, "held");
    g_FileManager.ReadLine(line, sizeof line, f);
    EXPECT_STREQ(line, "line 2");
    EXPECT_TRUE(g_FileManager.IsAtEnd(f));
    g_FileManager.Close(f);
}

TEST(MemoryFiles, SavesAndWritesKeepReadsConsistent)
{
    HeldFiles held;
    ASSERT_TRUE(plat::SetMemoryFile("Save/Profile01.sav", "old", 3));
    EXPECT_TRUE(plat::ReplaceFileWhole(held.dir.File("Save/Profile01.sav").c_str(), "new bytes", 9));
    EXPECT_EQ(ReadAll("Save/Profile01.sav"), "new bytes");
    EXPECT_FALSE(std::filesystem::exists("Save/Profile01.sav"));

    // A file opened for writing goes to disk, and the held copy is dropped.
    ASSERT_TRUE(plat::SetMemoryFile("Game.ini", "[held]", 6));
    std::FILE* out = plat::OpenFile("Game.ini", "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("[disk]", out);
    std::fclose(out);
    EXPECT_EQ(ReadAll("Game.ini"), "[disk]");
}

TEST(MemoryFiles, TheTableRefusesOneFileTooMany)
{
    HeldFiles held;
    for (int i = 0; i < plat::MEMORY_FILE_COUNT; ++i)
        ASSERT_TRUE(plat::SetMemoryFile(("f" + std::to_string(i)).c_str(), "x", 1));
    EXPECT_FALSE(plat::SetMemoryFile("one more", "x", 1));
    EXPECT_TRUE(plat::SetMemoryFile("f0", "again", 5));
    EXPECT_EQ(ReadAll("f0"), "again");
}

} // namespace
