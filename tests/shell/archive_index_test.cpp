#include "shell/FileManager.h"
#include "shell/Log.h"
#include "shell/Settings.h"
#include "support/TempDir.h"
#include "writers/ArchiveWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using tools::IndexRecord;

// A damaged index must give a shorter (or empty) table and a log line.
class CorruptIndex : public ::testing::Test {
protected:
    void SetUp() override { g_bDebugLog = 1; }
    void TearDown() override
    {
        g_bDebugLog = 0;
        g_bFileManager = 0;
        g_FileManager.Init();
        g_bFileManager = 1;
    }

    std::uint32_t LoadWorld(const std::string& index, std::size_t bodySize = 100)
    {
        test::WriteWholeFile("Data/World.hdr", index);
        test::WriteWholeFile("Data/World.pak", std::string(bodySize, 'w'));
        std::remove("debug.txt");
        g_bFileManager = 1;
        g_FileManager.Init();
        return g_FileManager.m_EntryCount[1];
    }

    bool Logged() { return test::ReadWholeFile("debug.txt").find("Data/World.hdr") != std::string::npos; }

    test::ScopedTempDir m_dir;
};

std::string WithCount(std::string index, std::uint32_t count)
{
    for (int i = 0; i < 4; ++i)
        index[index.size() - 4 + i] = static_cast<char>((count >> (8 * i)) & 0xFF);
    return index;
}

const std::vector<IndexRecord> kGood = {{"Data/a.dat", 10, 0}, {"Data/b.dat", 20, 80}};

TEST_F(CorruptIndex, EachDamageEndsTheTableCleanly)
{
    struct Case {
        const char* what;
        std::string index;
        std::uint32_t entries;
        bool logged;
    };
    const std::string longName(256, 'n');
    const std::string good = tools::EncodeIndex(kGood);
    const Case cases[] = {
        {"intact", good, 2, false},
        {"empty", tools::EncodeIndex({}), 0, false},
        {"shorter than its count", std::string("\x01\x00", 2), 0, true},
        {"count beyond the index", WithCount(good, 1000), 2, true},
        {"count of all bits", WithCount(good, 0xFFFFFFFFu), 2, true},
        {"count of one less", WithCount(good, 1), 1, false},
        {"name without terminator", WithCount("\xC4\xE1\xF4\xE1", 1), 0, true},
        {"name of 256 bytes", tools::EncodeIndex({{longName, 1, 0}}), 0, true},
        {"name of 255 bytes", tools::EncodeIndex({{longName.substr(1), 1, 0}}), 1, false},
        {"size and offset cut short", WithCount(tools::EncodeIndex({{"Data/a.dat", 1, 0}}).substr(0, 14) + "0000", 1), 0, true},
        {"body past the end", tools::EncodeIndex({kGood[0], {"Data/c.dat", 21, 80}}), 1, true},
        {"offset past the end", tools::EncodeIndex({kGood[0], {"Data/c.dat", 0, 101}}), 1, true},
        {"offset and size wrap", tools::EncodeIndex({{"Data/c.dat", 0x20, 0xFFFFFFF0u}}), 0, true},
        {"empty name", tools::EncodeIndex({{"", 1, 0}}), 0, true},
        {"empty name after a good one", tools::EncodeIndex({kGood[0], {"", 1, 0}, kGood[1]}), 1, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LoadWorld(c.index), c.entries) << c.what;
        EXPECT_EQ(Logged(), c.logged) << c.what;
    }
}

// A zeroed index reads as entries with empty names: a count of 1.86 million
// of them took half a gigabyte and a slow start, and every look-up scanned
// them. None is a file anyone opens.
TEST_F(CorruptIndex, AZeroedIndexGivesNoEntries)
{
    const std::size_t size = 16u << 20;
    std::string zeros(size, '\0');
    const std::uint32_t count = static_cast<std::uint32_t>((size - 4) / 9);
    EXPECT_EQ(LoadWorld(WithCount(zeros, count)), 0u);
    EXPECT_TRUE(Logged());
    EXPECT_EQ(g_FileManager.m_pEntries[1], nullptr);
    EXPECT_EQ(g_FileManager.Open("", ARCHIVE_WORLD), INVALID_FILE_HANDLE);
}

// One entry pointing outside the body must not take the intact entries after
// it down with it: the game would not start for want of a technique file.
TEST_F(CorruptIndex, AnEntryOutsideTheBodyIsSkippedAndTheRestKept)
{
    ASSERT_EQ(LoadWorld(tools::EncodeIndex({kGood[0], {"Data/c.dat", 500, 0}, kGood[1]})), 2u);
    EXPECT_TRUE(Logged());
    for (const char* name : {"Data/a.dat", "Data/b.dat"}) {
        const FileHandle h = g_FileManager.Open(name, ARCHIVE_WORLD);
        EXPECT_NE(h, INVALID_FILE_HANDLE) << name;
        g_FileManager.Close(h);
    }
    EXPECT_EQ(g_FileManager.Open("Data/c.dat", ARCHIVE_WORLD), INVALID_FILE_HANDLE);
}

// A folder or an enormous file where the index belongs empties the archive
// with a log line instead of ending the game out of memory.
TEST_F(CorruptIndex, AFolderOrAHugeFileAsIndexEmptiesTheArchive)
{
    const std::string good = tools::EncodeIndex(kGood);
    for (const bool folder : {true, false}) {
        LoadWorld(good);
        std::remove("Data/World.hdr");
        if (folder) {
            std::filesystem::create_directory("Data/World.hdr");
        } else {
            test::WriteWholeFile("Data/World.hdr", good);
            std::filesystem::resize_file("Data/World.hdr", 3ull << 30); // sparse: no disk used
        }
        std::remove("debug.txt");
        g_FileManager.Init();
        EXPECT_EQ(g_FileManager.m_EntryCount[1], 0u) << folder;
        EXPECT_TRUE(Logged()) << folder;
        std::filesystem::remove_all("Data/World.hdr");
    }
}

// Overlapping entries may each lie inside the body and still add up to far
// more memory than the body's size.
TEST_F(CorruptIndex, ObjectsWhoseEntriesAddUpBeyondTheCapAreRefused)
{
    ASSERT_TRUE(tools::WriteArchive("Data", "Objects", {{"Data/t.obj", "x"}}, true));
    const std::uint32_t bodySize = 1u << 20;
    test::WriteWholeFile("Data/Objects.pak", std::string(bodySize, '\x80'));
    std::vector<IndexRecord> overlapping;
    for (int i = 0; i < 300; ++i)
        overlapping.push_back({"Data/" + std::to_string(i) + ".obj", bodySize, 0});
    test::WriteWholeFile("Data/Objects.hdr", tools::EncodeIndex(overlapping));
    std::remove("debug.txt");
    g_bFileManager = 1;
    g_FileManager.Init();
    EXPECT_EQ(g_FileManager.m_EntryCount[0], 0u);
    EXPECT_NE(test::ReadWholeFile("debug.txt").find("Data/Objects.hdr"), std::string::npos);

    overlapping.resize(3);
    test::WriteWholeFile("Data/Objects.hdr", tools::EncodeIndex(overlapping));
    g_FileManager.Init();
    EXPECT_EQ(g_FileManager.m_EntryCount[0], 3u) << "a few overlapping entries are still read";
}

TEST_F(CorruptIndex, ObjectsKeepsAtMostThreeThousandEntries)
{
    std::vector<tools::PackEntry> entries;
    for (int i = 0; i < 3001; ++i)
        entries.push_back({"Data/" + std::to_string(i) + ".obj", "x"});
    ASSERT_TRUE(tools::WriteArchive("Data", "Objects", entries, true));
    g_bFileManager = 1;
    g_FileManager.Init();
    EXPECT_EQ(g_FileManager.m_EntryCount[0], 3000u);
    EXPECT_EQ(g_FileManager.Open("Data/2999.obj", ARCHIVE_OBJECTS), 3999u);
    EXPECT_EQ(g_FileManager.Open("Data/3000.obj", ARCHIVE_OBJECTS), INVALID_FILE_HANDLE);
    EXPECT_NE(test::ReadWholeFile("debug.txt").find("Data/Objects.hdr"), std::string::npos);
}

TEST_F(CorruptIndex, ObjectsBodiesAreUnscrambledIntoMemory)
{
    ASSERT_TRUE(tools::WriteArchive("Data", "Objects", {{"Data/t.obj", "Top\xC3\n"}}, true));
    EXPECT_EQ(test::ReadWholeFile("Data/Objects.pak"), "\xD4\xEF\xF0\x43\x8A");
    g_bFileManager = 1;
    g_FileManager.Init();
    const FileHandle h = g_FileManager.Open("Data/t.obj", ARCHIVE_OBJECTS);
    std::remove("Data/Objects.pak");
    char line[16];
    g_FileManager.ReadLine(line, sizeof(line), h);
    EXPECT_STREQ(line, "Top\xC3");
}

} // namespace
