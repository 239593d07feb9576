// A small data tree written loose and packed into the four archives, and the
// file manager started on either.
#pragma once

#include "shell/FileManager.h"
#include "shell/Settings.h"
#include "support/TempDir.h"
#include "writers/ArchiveWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace test {

struct SampleFile {
    const char* name;
    std::string bytes;
    std::uint32_t archive;
};

inline std::string BinaryBytes(int count, int step)
{
    std::string s;
    for (int i = 0; i < count; ++i)
        s.push_back(static_cast<char>((i * step) & 0xFF));
    return s;
}

inline const std::vector<SampleFile>& SampleTree()
{
    static const std::vector<SampleFile> files = {
        {"Data/Misc/Sample.obj", "first line\r\nsecond\nthird line\r\n////\n", ARCHIVE_OBJECTS},
        {"Data/Misc/Gap.obj", "A\n\nB", ARCHIVE_OBJECTS},
        {"Data/Misc/Long.obj", "abcdefghij\nk\n", ARCHIVE_OBJECTS},
        {"Data/Misc/Ends.obj", "a\rb\n\rc\r\nd", ARCHIVE_OBJECTS},
        {"Data/World/Blob.dat", BinaryBytes(300, 7), ARCHIVE_WORLD},
        {"Data/Textures/Road.dds", BinaryBytes(64, 13), ARCHIVE_TEXTURES},
        {"Data/Audio/Horn.wav", BinaryBytes(90, 31), ARCHIVE_SD},
    };
    return files;
}

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const SampleFile& f : SampleTree())
            WriteWholeFile(f.name, f.bytes);
        ASSERT_TRUE(tools::PackDataTree("."));
    }
    void TearDown() override
    {
        // Drops the tables and closes every file before the folder goes.
        g_bFileManager = 0;
        g_FileManager.Init();
        g_bFileManager = 1;
    }
    void Start(bool packed)
    {
        g_bFileManager = packed ? 1 : 0;
        g_FileManager.Init();
    }
    // n - 1 characters at most per line, as the readers pass it.
    std::vector<std::string> ReadLines(FileHandle h, int count, std::uint32_t n = 256)
    {
        std::vector<std::string> lines;
        std::vector<char> buffer(n);
        for (int i = 0; i < count; ++i) {
            g_FileManager.ReadLine(buffer.data(), n, h);
            lines.emplace_back(buffer.data());
        }
        return lines;
    }

    ScopedTempDir m_dir;
};

} // namespace test
