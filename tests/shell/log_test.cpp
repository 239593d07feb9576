#include "platform/Win32.h"
#include "shell/Log.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class LogTest : public ::testing::Test {
protected:
    void SetUp() override { plat::SetHeadless(true); }
    void TearDown() override { g_bDebugLog = 0; }
    test::ScopedTempDir dir;
};

TEST_F(LogTest, SwitchedOffTheLogTouchesNoFile)
{
    g_bDebugLog = 0;
    DebugLog(nullptr);
    DebugLog("line");
    EXPECT_FALSE(std::filesystem::exists("debug.txt"));

    test::WriteWholeFile("debug.txt", "from an earlier run\n");
    DebugLog(nullptr);
    EXPECT_EQ(test::ReadWholeFile("debug.txt"), "from an earlier run\n");
}

TEST_F(LogTest, StartUpTruncatesAndLinesAppendInOrder)
{
    test::WriteWholeFile("debug.txt", "from an earlier run\n");
    g_bDebugLog = 1;
    DebugLog(nullptr);
    EXPECT_EQ(test::ReadWholeFile("debug.txt"), "");
    DebugLog("first");
    DebugLog("second");
    EXPECT_EQ(test::ReadWholeFile("debug.txt"), "first\nsecond\n");
}

TEST_F(LogTest, ValuesAreFormattedOnlyWhenGiven)
{
    g_bDebugLog = 1;
    const int a = 7;
    const int b = -3;
    DebugLog("a=%d", &a);
    DebugLog("a=%d");
    DebugLog("a=%d b=%d", &a, &b);
    DebugLog("100% sure");
    DebugLog("name %s", &a); // a caller's mistake must not read a string
    EXPECT_EQ(test::ReadWholeFile("debug.txt"), "a=7\na=%d\na=7 b=-3\n100% sure\nname %s\n");
}

TEST_F(LogTest, OverlongLineIsCutToTheBuffer)
{
    g_bDebugLog = 1;
    const std::string longText(1000, 'x');
    DebugLog(longText.c_str());
    const int v = 12345;
    const std::string longFormat = std::string(600, 'y') + "%d";
    DebugLog(longFormat.c_str(), &v);
    const std::string log = test::ReadWholeFile("debug.txt");
    const std::string expected = std::string(254, 'x') + "\n" + std::string(254, 'y') + "\n";
    EXPECT_EQ(log, expected);
}

TEST_F(LogTest, ErrorBoxLogsAndShowsEvenWithTheLogOff)
{
    const unsigned before = plat::MessageBoxCount();
    g_bDebugLog = 0;
    EXPECT_EQ(ErrorBox("Mesh error!", "CWorldCamera error!", MB_ICONHAND), IDOK);
    EXPECT_EQ(plat::MessageBoxCount(), before + 1);
    EXPECT_STREQ(plat::LastMessageBoxCaption(), "CWorldCamera error!");
    EXPECT_FALSE(std::filesystem::exists("debug.txt"));

    g_bDebugLog = 1;
    ErrorBox("Sound error!", "Sound error!", MB_OK);
    EXPECT_EQ(test::ReadWholeFile("debug.txt"), "Sound error!\n");
}

} // namespace
