// Key names read from the Objects archive and from a loose file.
#include "shell/FileManager.h"
#include "shell/Input.h"
#include "shell/Settings.h"
#include "support/TempDir.h"
#include "writers/ArchiveWriter.h"
#include "writers/KeyNamesWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class KeyNamesTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { g_nKeyNames = -1; }
    void TearDown() override
    {
        g_bFileManager = 1;
        g_FileManager.Init(); // drops the fixture's tables and files
        g_nKeyNames = 0;
    }

    // Writes the file loose and packed, then opens the layer in the mode
    // of the test's parameter (1 packed, 0 loose).
    void Load(const std::string& text)
    {
        test::WriteWholeFile(dir.File("Data/Misc/KeyScanCodes.obj"), text);
        ASSERT_TRUE(tools::PackDataTree(dir.Path().string()));
        g_bFileManager = GetParam();
        g_FileManager.Init();
        LoadKeyScanCodes();
    }
    test::ScopedTempDir dir;
};

TEST_P(KeyNamesTest, SampleFileGivesItsKeys)
{
    const auto keys = tools::SampleKeyNames();
    Load(tools::KeyNamesText(keys));
    ASSERT_EQ(g_nKeyNames, static_cast<int>(keys.size()));
    EXPECT_EQ(g_KeyNames[0].nCode, keys[0].code);
    EXPECT_STREQ(g_KeyNames[0].szName, keys[0].name.c_str());
    EXPECT_STREQ(g_KeyNames[g_nKeyNames - 1].szName, keys.back().name.c_str());
}

TEST_P(KeyNamesTest, MalformedFilesStayInsideTheTable)
{
    struct Case {
        const char* what;
        std::string text;
        int count;
        const char* lastName;
    };
    std::string many = "h\nh\nh\n";
    for (int i = 0; i < 120; ++i)
        many += std::to_string(i) + "\nKey" + std::to_string(i) + "\n";
    many += "////\n";
    const Case cases[] = {
        {"marker right after the header", "h\nh\nh\n////\n1\nA\n", 0, nullptr},
        {"no marker at all", "h\nh\nh\n65\nA\n66\nB\n", 2, "B"},
        {"more records than the table holds", many, MAX_KEY_NAMES, "Key91"},
        {"overlong name is cut", "h\nh\nh\n65\nAVeryLongKeyNameIndeed\n////\n", 1, "AVeryLongKeyNam"},
        {"CR LF line ends", "h\r\nh\r\nh\r\n32\r\nSpace\r\n////\r\n", 1, "Space"},
        {"empty file", "", 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Load(c.text);
        EXPECT_EQ(g_nKeyNames, c.count);
        if (c.lastName) {
            EXPECT_STREQ(g_KeyNames[g_nKeyNames - 1].szName, c.lastName);
        }
    }
}

TEST_P(KeyNamesTest, MissingFileLeavesTheTableAlone)
{
    ASSERT_TRUE(tools::PackDataTree(dir.Path().string()));
    g_bFileManager = GetParam();
    g_FileManager.Init();
    LoadKeyScanCodes();
    EXPECT_EQ(g_nKeyNames, -1);
}

INSTANTIATE_TEST_SUITE_P(PackedAndLoose, KeyNamesTest, ::testing::Values(1, 0));

} // namespace
