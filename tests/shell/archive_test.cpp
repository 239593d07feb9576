#include "archive_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using test::ArchiveTest;
using LineList = std::vector<std::string>;

TEST_F(ArchiveTest, PackedAndLooseServeTheSameBytes)
{
    for (bool packed : {true, false}) {
        Start(packed);
        for (const test::SampleFile& f : test::SampleTree()) {
            if (f.archive == ARCHIVE_OBJECTS)
                continue;
            std::uint32_t size = 0;
            const FileHandle h = g_FileManager.Open(f.name, f.archive, &size);
            ASSERT_NE(h, INVALID_FILE_HANDLE) << f.name << (packed ? " packed" : " loose");
            if (packed)
                EXPECT_TRUE(h >= f.archive && h < f.archive + FILE_SLOT_COUNT) << h;
            else
                EXPECT_LT(h, static_cast<FileHandle>(FILE_SLOT_COUNT));
            ASSERT_EQ(size, f.bytes.size());
            std::string bytes(size, '\0');
            EXPECT_EQ(g_FileManager.Read(bytes.data(), 1, size, h), size);
            EXPECT_EQ(bytes, f.bytes) << f.name;
            g_FileManager.Close(h);
        }
    }
}

TEST_F(ArchiveTest, PackedAndLooseServeTheSameLines)
{
    const LineList expected = {"first line", "second", "third line", "////"};
    for (bool packed : {true, false}) {
        Start(packed);
        std::uint32_t size = 0;
        const FileHandle h = g_FileManager.Open("Data/Misc/Sample.obj", ARCHIVE_OBJECTS, &size);
        ASSERT_NE(h, INVALID_FILE_HANDLE);
        EXPECT_EQ(size, test::SampleTree()[0].bytes.size());
        EXPECT_EQ(ReadLines(h, 4), expected) << (packed ? "packed" : "loose");
        g_FileManager.Close(h);
    }
}

TEST_F(ArchiveTest, BlankLineIsPartOfTheLineEndOnlyWhenPacked)
{
    Start(true);
    FileHandle h = g_FileManager.Open("Data/Misc/Gap.obj", ARCHIVE_OBJECTS);
    EXPECT_EQ(ReadLines(h, 3), (LineList{"A", "B", ""}));
    Start(false);
    h = g_FileManager.Open("Data/Misc/Gap.obj", ARCHIVE_OBJECTS);
    EXPECT_EQ(ReadLines(h, 3), (LineList{"A", "", "B"}));
}

TEST_F(ArchiveTest, EveryLineEndEndsOnePackedLineAndTheEntryEndStaysPut)
{
    Start(true);
    const FileHandle h = g_FileManager.Open("Data/Misc/Ends.obj", ARCHIVE_OBJECTS);
    EXPECT_EQ(ReadLines(h, 6), (LineList{"a", "b", "c", "d", "", ""}));
}

TEST_F(ArchiveTest, LongLinesAreSplit)
{
    for (bool packed : {true, false}) {
        Start(packed);
        const FileHandle h = g_FileManager.Open("Data/Misc/Long.obj", ARCHIVE_OBJECTS);
        EXPECT_EQ(ReadLines(h, 4, 5), (LineList{"abcd", "efgh", "ij", "k"})) << (packed ? "packed" : "loose");
        g_FileManager.Close(h);
    }
}

TEST_F(ArchiveTest, LooseCrLfLineSplitJustBeforeTheLineFeed)
{
    test::WriteWholeFile("Data/Misc/Crlf.obj", "abc\r\nd\r\n");
    Start(false);
    const FileHandle h = g_FileManager.Open("Data/Misc/Crlf.obj", ARCHIVE_OBJECTS);
    EXPECT_EQ(ReadLines(h, 2, 5), (LineList{"abc", "d"}));
    g_FileManager.Close(h);
}

TEST_F(ArchiveTest, CloseResetsTheObjectsReadPosition)
{
    Start(true);
    FileHandle h = g_FileManager.Open("Data/Misc/Sample.obj", ARCHIVE_OBJECTS);
    EXPECT_EQ(ReadLines(h, 2), (LineList{"first line", "second"}));
    h = g_FileManager.Open("Data/Misc/Sample.obj", ARCHIVE_OBJECTS);
    EXPECT_EQ(ReadLines(h, 1), (LineList{"third line"}));
    g_FileManager.Close(h);
    h = g_FileManager.Open("Data/Misc/Sample.obj", ARCHIVE_OBJECTS);
    EXPECT_EQ(ReadLines(h, 1), (LineList{"first line"}));
}

TEST_F(ArchiveTest, ArchiveNamesMatchExactly)
{
    Start(true);
    struct Case {
        const char* name;
        std::uint32_t mode;
    };
    const Case cases[] = {
        {"data/misc/sample.obj", ARCHIVE_OBJECTS},  {"Data/Misc/Sample.OBJ", ARCHIVE_OBJECTS},
        {"Data\\Misc\\Sample.obj", ARCHIVE_OBJECTS}, {"Data/Misc\\Sample.obj", ARCHIVE_OBJECTS},
        {"Data/Misc/Sample.obj ", ARCHIVE_OBJECTS}, {"Data/Misc/Sample.obj", ARCHIVE_WORLD},
        {"Data\\World\\Blob.dat", ARCHIVE_WORLD},   {"Data/World/Blob.dat", ARCHIVE_TEXTURES},
        {"Data/World/Blob.dat", 2000},              {"Data/World/Blob.dat", 4001},
    };
    for (const Case& c : cases)
        EXPECT_EQ(g_FileManager.Open(c.name, c.mode), INVALID_FILE_HANDLE) << c.name << " in " << c.mode;
    EXPECT_NE(g_FileManager.Open("Data/Misc/Sample.obj", ARCHIVE_OBJECTS), INVALID_FILE_HANDLE);
}

TEST_F(ArchiveTest, LooseOnlyOpensObjectsAsTextSlots)
{
    Start(false);
    std::uint32_t size = 0;
    const FileHandle h = g_FileManager.Open("Data/Misc/Sample.obj", ARCHIVE_OBJECTS, &size);
    EXPECT_LT(h, static_cast<FileHandle>(FILE_SLOT_COUNT));
    EXPECT_EQ(size, test::SampleTree()[0].bytes.size());
    EXPECT_EQ(g_FileManager.GetFileSize(h), size);
    g_FileManager.Close(h);
    EXPECT_EQ(g_FileManager.Open("Data/Misc/Absent.obj", ARCHIVE_OBJECTS), INVALID_FILE_HANDLE);
}

TEST_F(ArchiveTest, SlotsRunOutAtOneHundredTwentyEight)
{
    Start(true);
    std::vector<FileHandle> open;
    for (int i = 0; i < FILE_SLOT_COUNT; ++i) {
        open.push_back(g_FileManager.Open("Data/World/Blob.dat", ARCHIVE_WORLD));
        ASSERT_EQ(open.back(), static_cast<FileHandle>(ARCHIVE_WORLD + i));
    }
    EXPECT_EQ(g_FileManager.FindFreeSlot(), INVALID_FILE_HANDLE);
    EXPECT_EQ(g_FileManager.Open("Data/Textures/Road.dds", ARCHIVE_TEXTURES), INVALID_FILE_HANDLE);
    EXPECT_EQ(g_FileManager.Open("Game.ini", FILE_MODE_BINARY), INVALID_FILE_HANDLE);
    EXPECT_EQ(g_FileManager.OpenForWrite("out.bin", FILE_MODE_BINARY), INVALID_FILE_HANDLE);
    // Objects entries are served from memory and take no slot.
    EXPECT_NE(g_FileManager.Open("Data/Misc/Gap.obj", ARCHIVE_OBJECTS), INVALID_FILE_HANDLE);
    g_FileManager.Close(open[5]);
    EXPECT_EQ(g_FileManager.Open("Data/Textures/Road.dds", ARCHIVE_TEXTURES), static_cast<FileHandle>(ARCHIVE_TEXTURES + 5));
}

TEST_F(ArchiveTest, BadHandlesDoNothing)
{
    Start(true);
    char buffer[16] = "untouched";
    const FileHandle objects = g_FileManager.Open("Data/Misc/Gap.obj", ARCHIVE_OBJECTS);
    const FileHandle world = g_FileManager.Open("Data/World/Blob.dat", ARCHIVE_WORLD);
    const FileHandle bad[] = {INVALID_FILE_HANDLE, 7, 500, 3999, 4127, 9000};
    for (FileHandle h : bad) {
        EXPECT_EQ(g_FileManager.Read(buffer, 1, 4, h), 0u) << h;
        EXPECT_EQ(g_FileManager.GetFileSize(h), 0u) << h;
        g_FileManager.Write("x", 1, 1, h);
        g_FileManager.Close(h);
    }
    g_FileManager.ReadLine(buffer, sizeof(buffer), INVALID_FILE_HANDLE);
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(g_FileManager.Read(buffer, 1, 4, objects), 0u);
    EXPECT_EQ(g_FileManager.GetFileSize(world), 0u);
    g_FileManager.ReadLine(buffer, sizeof(buffer), world);
    EXPECT_STREQ(buffer, "");
}

TEST_F(ArchiveTest, WritesLooseFiles)
{
    Start(true);
    EXPECT_NE(g_FileManager.MakeDirectory("Save"), 0);
    EXPECT_NE(g_FileManager.MakeDirectory("Save"), 0) << "an existing folder is fine";
    test::WriteWholeFile("NotAFolder", "x");
    EXPECT_EQ(g_FileManager.MakeDirectory("NotAFolder"), 0);
    const FileHandle w = g_FileManager.OpenForWrite("Save/Profile01.sav", FILE_MODE_BINARY);
    ASSERT_LT(w, static_cast<FileHandle>(FILE_SLOT_COUNT));
    const char record[] = "Player\0\1\2";
    g_FileManager.Write(record, 1, sizeof(record), w);
    g_FileManager.Close(w);
    std::uint32_t size = 0;
    const FileHandle r = g_FileManager.Open("Save\\Profile01.sav", FILE_MODE_BINARY, &size);
    ASSERT_EQ(size, sizeof(record));
    char back[sizeof(record)] = {};
    EXPECT_EQ(g_FileManager.Read(back, 1, sizeof(back), r), sizeof(back));
    EXPECT_EQ(std::memcmp(back, record, sizeof(record)), 0);
    g_FileManager.Close(r);
    EXPECT_NE(g_FileManager.RemoveFile("Save/Profile01.sav"), 0);
    EXPECT_EQ(g_FileManager.Open("Save/Profile01.sav", FILE_MODE_BINARY), INVALID_FILE_HANDLE);
}

// The C library holds a small write in its buffer: a full disk shows only
// when the file is closed, so Close must say so.
TEST_F(ArchiveTest, CloseReportsAWriteTheDiskRefused)
{
    Start(true);
    const char record[20] = "Player";
    for (const unsigned long room : {100ul, 10ul}) {
        const FileHandle w = g_FileManager.OpenForWrite("out.bin", FILE_MODE_BINARY);
        ASSERT_LT(w, static_cast<FileHandle>(FILE_SLOT_COUNT));
        int closed = -1;
        {
            test::ScopedFileSizeLimit limit(room);
            EXPECT_EQ(g_FileManager.Write(record, sizeof(record), 1, w), 1u) << "buffered, not yet on disk";
            closed = g_FileManager.Close(w);
        }
        EXPECT_EQ(closed, room >= sizeof(record) ? 1 : 0) << room;
        EXPECT_EQ(g_FileManager.m_Slots[w], nullptr) << "the slot is free either way";
    }
}

TEST_F(ArchiveTest, MissingFilesEmptyTheirArchive)
{
    std::remove("Data/World.hdr");
    std::remove("Data/Objects.pak");
    Start(true);
    EXPECT_EQ(g_FileManager.m_EntryCount[0], 0u);
    EXPECT_EQ(g_FileManager.m_EntryCount[1], 0u);
    EXPECT_EQ(g_FileManager.Open("Data/Misc/Gap.obj", ARCHIVE_OBJECTS), INVALID_FILE_HANDLE);
    EXPECT_EQ(g_FileManager.Open("Data/World/Blob.dat", ARCHIVE_WORLD), INVALID_FILE_HANDLE);
    EXPECT_NE(g_FileManager.Open("Data/Audio/Horn.wav", ARCHIVE_SD), INVALID_FILE_HANDLE);
}

} // namespace
