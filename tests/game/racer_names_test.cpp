// The racer-name file: names never shift, short and missing files leave
// empty names, and the racers table takes its points by place.
#include "game/GameInterface.h"
#include "game/RacerNames.h"
#include "objects/StaticObject.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"
#include "support/TempDir.h"
#include "writers/ArchiveWriter.h"
#include "writers/InterfaceData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Names = char[RACER_NAME_LISTS][RACER_NAMES_PER_LIST][RACER_NAME_SIZE];

// Each case runs on the packed archive (1) and on the loose file (0).
class RacerNamesTest : public ::testing::TestWithParam<int> {
protected:
    void TearDown() override
    {
        g_bFileManager = 1;
        g_FileManager.Init();
    }

    void Read(const std::string& text, Names* names)
    {
        test::WriteWholeFile(dir.File("Data/Misc/RacersName.obj"), text);
        ASSERT_TRUE(tools::PackDataTree(dir.Path().string()));
        g_bFileManager = GetParam();
        g_FileManager.Init();
        const FileHandle file = g_FileManager.Open("Data/Misc/RacersName.obj", ARCHIVE_OBJECTS);
        ASSERT_NE(file, INVALID_FILE_HANDLE);
        ReadRacerNames(file, *names);
        g_FileManager.Close(file);
    }

    test::ScopedTempDir dir;
};

TEST_P(RacerNamesTest, SampleFileFillsBothListsInOrder)
{
    const std::vector<std::string> first = tools::SampleRacerNames(0);
    const std::vector<std::string> second = tools::SampleRacerNames(1);
    static Names names;
    Read(tools::RacerNamesText(first, second), &names);
    for (int i = 0; i < RACER_NAMES_PER_LIST; ++i) {
        EXPECT_EQ(names[0][i], first[i]) << i;
        EXPECT_EQ(names[1][i], second[i]) << i;
    }
}

// A long line keeps 15 characters and shifts nothing after it; a blank-only
// name is empty; trailing blanks and a CR LF line end go.
TEST_P(RacerNamesTest, OddNameLinesNeverShiftLaterNames)
{
    std::vector<std::string> first = tools::SampleRacerNames(0);
    const std::vector<std::string> second = tools::SampleRacerNames(1);
    first[0] = std::string(400, 'L') + " tail";
    first[1] = "      ";
    first[2] = "Ann   \r";
    first[3] = "Fifteen chars!!and more";
    static Names names;
    Read(tools::RacerNamesText(first, second), &names);
    EXPECT_EQ(std::string(names[0][0]), std::string(15, 'L'));
    EXPECT_STREQ(names[0][1], "");
    EXPECT_STREQ(names[0][2], "Ann");
    EXPECT_STREQ(names[0][3], "Fifteen chars!!");
    EXPECT_EQ(names[0][4], first[4]);
    EXPECT_EQ(names[0][63], first[63]);
    EXPECT_EQ(names[1][0], second[0]);
    EXPECT_EQ(names[1][63], second[63]);
}

TEST_P(RacerNamesTest, FileEndingEarlyLeavesTheRestEmpty)
{
    const std::string full = tools::RacerNamesText(tools::SampleRacerNames(0), tools::SampleRacerNames(1));
    // Header and ten entries of the first list.
    std::string cut;
    int lines = 0;
    for (char c : full) {
        cut += c;
        if (c == '\n' && ++lines == 3 + 2 * 10)
            break;
    }
    static Names names;
    std::memset(names, 'x', sizeof(names));
    Read(cut, &names);
    EXPECT_EQ(names[0][9], tools::SampleRacerNames(0)[9]);
    EXPECT_STREQ(names[0][10], "");
    EXPECT_STREQ(names[0][63], "");
    EXPECT_STREQ(names[1][0], "");
    EXPECT_STREQ(names[1][63], "");
}

INSTANTIATE_TEST_SUITE_P(PackedAndLoose, RacerNamesTest, ::testing::Values(1, 0));

TEST(RacersTable, TakesListedNamesCarsAndPointsByPlace)
{
    static Names names;
    const std::vector<std::string> lists[2] = {tools::SampleRacerNames(0), tools::SampleRacerNames(1)};
    for (int l = 0; l < 2; ++l)
        for (int i = 0; i < RACER_NAMES_PER_LIST; ++i)
            std::snprintf(names[l][i], RACER_NAME_SIZE, "%s", lists[l][i].c_str());
    static RacerRecord racers[RACER_COUNT];
    FillRacers(names, racers);
    for (int i = 0; i < RACER_COUNT; ++i) {
        EXPECT_EQ(racers[i].nPoints, 144 - 5 * i);
        bool listed = false;
        for (int l = 0; l < 2; ++l)
            for (const std::string& n : lists[l])
                listed = listed || n == racers[i].szName;
        EXPECT_TRUE(listed) << racers[i].szName;
        bool known = false;
        for (const char* car : g_CarNames)
            known = known || std::string(car) == racers[i].szCarName;
        EXPECT_TRUE(known) << racers[i].szCarName;
    }
    EXPECT_EQ(racers[29].nPoints, -1);
}

TEST(RacersTable, MissingFileGivesThirtyEmptyRacersAndInitSucceeds)
{
    test::ScopedTempDir dir;
    g_bFileManager = 0;
    g_FileManager.Init();
    CGameInterface* ui = new CGameInterface();
    EXPECT_EQ(ui->Init(), 1);
    for (const RacerRecord& r : ui->m_Racers) {
        EXPECT_STREQ(r.szName, "");
        EXPECT_EQ(r.nPoints, 0);
    }
    EXPECT_EQ(ui->m_pArrow, nullptr); // no description file: no arrow to draw
    ui->Release();
    delete ui;
    g_bFileManager = 1;
    g_FileManager.Init();
}

// Start-up on the sample data set: the racers come from its name file and
// the arrow from its description, with the self-illuminated head.
TEST(RacersTable, SampleDataFillsTheTableAndLoadsTheArrow)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::string(MORVAINE_BUILD_DIR) + "/run");
    g_bFileManager = 0;
    g_FileManager.Init();
    auto ui = std::make_unique<CGameInterface>();
    EXPECT_EQ(ui->Init(), 1);
    const std::vector<std::string> first = tools::SampleRacerNames(0);
    const std::vector<std::string> second = tools::SampleRacerNames(1);
    for (const RacerRecord& r : ui->m_Racers) {
        const bool listed = std::find(first.begin(), first.end(), r.szName) != first.end() ||
                            std::find(second.begin(), second.end(), r.szName) != second.end();
        EXPECT_TRUE(listed) << r.szName;
    }
    ASSERT_NE(ui->m_pArrow, nullptr);
    EXPECT_NE(ui->m_pArrow->m_pSelfIllum, nullptr);
    EXPECT_EQ(ui->m_pArrow->m_Material.Power, 16.0f);
    ui->Release();
    EXPECT_EQ(ui->m_pArrow, nullptr);
    g_bFileManager = 1;
    g_FileManager.Init();
    std::filesystem::current_path(previous);
}

} // namespace
