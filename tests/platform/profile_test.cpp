#include "platform/Win32Profile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Get(const char* section, const char* key, const char* fallback, const char* file, DWORD size = 64)
{
    char buffer[64] = "untouched";
    const DWORD n = GetPrivateProfileStringA(section, key, fallback, buffer, size, file);
    EXPECT_EQ(n, std::string(buffer).size());
    return buffer;
}

const char* const kSample = "; options\n"
                            "[Video]\n"
                            "Mode=2\n"
                            "  distance  =  1  \n"
                            "Name=\"quoted value\"\n"
                            "\n"
                            "[audio]\n"
                            "Master=80\n";

TEST(Profile, ReadsKeysWithoutRegardToCase)
{
    test::ScopedTempDir dir;
    test::WriteWholeFile("p.ini", kSample);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"Video", "Mode", "2"},       {"VIDEO", "mode", "2"},     {"Video", "Distance", "1"},
        {"Video", "Name", "quoted value"}, {"Audio", "MASTER", "80"}, {"Video", "Master", "def"},
        {"Misc", "Mode", "def"},      {"Video", "Mod", "def"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Get(c.section, c.key, "def", "p.ini"), c.expected) << c.section << "/" << c.key;
}

TEST(Profile, MissingFileGivesDefaultAndLongValuesAreCut)
{
    test::ScopedTempDir dir;
    EXPECT_EQ(Get("Video", "Mode", "7", "absent.ini"), "7");
    EXPECT_EQ(Get("Video", "Mode", nullptr, "absent.ini"), "");
    test::WriteWholeFile("p.ini", "[Game]\nVersion=1.0.1-long-text\n");
    EXPECT_EQ(Get("Game", "Version", "", "p.ini", 10), "1.0.1-lon");
    EXPECT_EQ(Get("Game", "Other", "0123456789abc", "p.ini", 10), "012345678");
}

TEST(Profile, WriteChangesOnlyItsOwnKey)
{
    test::ScopedTempDir dir;
    test::WriteWholeFile("p.ini", kSample);
    ASSERT_TRUE(WritePrivateProfileStringA("VIDEO", "DISTANCE", "0", "p.ini"));
    EXPECT_EQ(test::ReadWholeFile("p.ini"), "; options\n"
                                            "[Video]\n"
                                            "Mode=2\n"
                                            "distance=0\n"
                                            "Name=\"quoted value\"\n"
                                            "\n"
                                            "[audio]\n"
                                            "Master=80\n");
}

TEST(Profile, WriteAddsMissingKeySectionAndFile)
{
    test::ScopedTempDir dir;
    test::WriteWholeFile("p.ini", kSample);
    ASSERT_TRUE(WritePrivateProfileStringA("Video", "Water", "2", "p.ini"));
    ASSERT_TRUE(WritePrivateProfileStringA("Misc", "Debug out", "1", "p.ini"));
    EXPECT_EQ(test::ReadWholeFile("p.ini"), "; options\n"
                                            "[Video]\n"
                                            "Mode=2\n"
                                            "  distance  =  1  \n"
                                            "Name=\"quoted value\"\n"
                                            "Water=2\n"
                                            "\n"
                                            "[audio]\n"
                                            "Master=80\n"
                                            "\n"
                                            "[Misc]\n"
                                            "Debug out=1\n");
    ASSERT_TRUE(WritePrivateProfileStringA("Audio", "Music", "50", "new.ini"));
    EXPECT_EQ(Get("Audio", "Music", "", "new.ini"), "50");
}

TEST(Profile, WriteKeepsCrLfLineEnds)
{
    test::ScopedTempDir dir;
    test::WriteWholeFile("p.ini", "[Audio]\r\nMaster=80\r\nMusic=70\r\n");
    EXPECT_EQ(Get("Audio", "Master", "", "p.ini"), "80");
    ASSERT_TRUE(WritePrivateProfileStringA("Audio", "Master", "60", "p.ini"));
    EXPECT_EQ(test::ReadWholeFile("p.ini"), "[Audio]\r\nMaster=60\r\nMusic=70\r\n");
}

TEST(Profile, BackslashPathsLandOnSlashes)
{
    test::ScopedTempDir dir;
    const std::string path = dir.Path().string() + "\\Game.ini";
    ASSERT_TRUE(WritePrivateProfileStringA("Video", "Mode", "3", path.c_str()));
    EXPECT_EQ(test::ReadWholeFile(dir.File("Game.ini")), "[Video]\nMode=3\n");
    EXPECT_EQ(Get("Video", "Mode", "", path.c_str()), "3");
}

TEST(Profile, NullArgumentsWriteNothing)
{
    test::ScopedTempDir dir;
    EXPECT_FALSE(WritePrivateProfileStringA("Video", nullptr, "1", "p.ini"));
    EXPECT_FALSE(WritePrivateProfileStringA("Video", "Mode", nullptr, "p.ini"));
    EXPECT_EQ(test::ReadWholeFile("p.ini"), "");
}

} // namespace
