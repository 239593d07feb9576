// Saving and loading a profile through the real file system.
#include "game/PlayerStats.h"
#include "game/TaxiJob.h"
#include "platform/Win32.h"
#include "roadusers/Vehicle.h"
#include "shell/FileFailures.h"
#include "shell/Game.h"
#include "shell/GameSteps.h"
#include "shell/GameTimer.h"
#include "shell/Profile.h"
#include "shell/ProfileFile.h"
#include "shell/SaveRecord.h"
#include "support/TempDir.h"
#include "writers/ProfileWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const char kSavePath[] = "Save/Profile01.sav";
const char kModelPath[] = "Data/Vehicles/02/Main.obj"; // 25 characters

std::vector<std::string> s_loadSteps;
bool s_carLoads = true;
CVehicle s_standInCar;

// The vehicle manager makes no car yet: a car that "loads" stands in for it.
void RecordStep(const char* step)
{
    s_loadSteps.push_back(step);
    if (s_carLoads && std::strncmp(step, "g_VehicleManager.CreatePlayerCar", 32) == 0)
        g_pPlayerVehicle = &s_standInCar;
}

long StepIndex(const char* prefix)
{
    const auto it = std::find_if(s_loadSteps.begin(), s_loadSteps.end(),
                                 [prefix](const std::string& s) { return s.rfind(prefix, 0) == 0; });
    return it == s_loadSteps.end() ? -1 : static_cast<long>(it - s_loadSteps.begin());
}

// What the game holds in memory for the writer's SampleProfile-like save.
tools::ProfileSave ExpectedSave()
{
    tools::ProfileSave save;
    save.name = "Ann";
    save.modelPath = kModelPath;
    // A car without a body saves its default look and no dent records.
    CSaveWriter car;
    CVehicle().Save(car);
    save.carBlocks.assign(reinterpret_cast<const char*>(car.Data()), VEHICLE_RECORD_COUNT_OFFSET);
    for (int i = 0; i < 13; ++i)
        save.stats[i] = 100u + static_cast<std::uint32_t>(i);
    save.stats[1] = tools::FloatBits(321.5f);
    save.stats[11] = tools::FloatBits(0.75f);
    save.stats[12] = tools::FloatBits(2.5f);
    save.lastView = 3;
    const float timer[6] = {0.016f, 0.017f, 90000.0f, 95000.0f, 80000.0f, 0.5f};
    save.timer[0] = 7;
    save.timer[1] = 123456;
    for (int i = 0; i < 6; ++i)
        save.timer[2 + i] = tools::FloatBits(timer[i]);
    return save;
}

void SetGameState(const tools::ProfileSave& s)
{
    std::strcpy(g_szPlayerName, s.name.c_str());
    static_assert(sizeof(CPlayerStats) == sizeof s.stats);
    std::memcpy(&g_PlayerStats, s.stats, sizeof s.stats);
    float timer[6];
    std::memcpy(timer, s.timer + 2, sizeof timer);
    g_GameTimer.m_nReserved = s.timer[0];
    g_GameTimer.m_nLastTick = s.timer[1];
    g_GameTimer.m_fDelta = timer[0];
    g_GameTimer.m_fRealDelta = timer[1];
    g_GameTimer.m_fGameTime = timer[2];
    g_GameTimer.m_fRealTime = timer[3];
    g_GameTimer.m_fSavedGameTime = timer[4];
    g_GameTimer.m_fTimeScale = timer[5];
    g_Game.m_pCamera->m_nLastView = static_cast<int>(s.lastView);
    std::strcpy(s_standInCar.m_szPath, s.modelPath.c_str());
}

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::SetHeadless(true);
        g_Game.m_pCamera = &g_Game.m_Cameras[0];
        g_nProfile = 0;
        g_pPlayerVehicle = &s_standInCar;
        g_pWriteSaveFile = plat::ReplaceFileWhole;
        s_carLoads = true;
        s_loadSteps.clear();
        // A missing file is reported once per opening of the data: each test
        // here counts the boxes of its own.
        ForgetFileFailures();
        g_pGameStepObserver = RecordStep;
        SetGameState(ExpectedSave());
    }
    void TearDown() override
    {
        g_pGameStepObserver = nullptr;
        g_pWriteSaveFile = plat::ReplaceFileWhole;
        g_pPlayerVehicle = nullptr;
        g_nProfile = -1;
        g_Game.m_pCamera = nullptr;
    }

    std::string SavedBytes() const { return test::ReadWholeFile(kSavePath); }

    test::ScopedTempDir dir;
};

TEST_F(ProfileTest, SaveWritesEachFieldInItsPlace)
{
    std::strcpy(g_szPlayerName, "Fifteen chars!!");
    SaveGame();
    std::strcpy(g_szPlayerName, "Ann");
    SaveGame();
    const std::string bytes = SavedBytes();
    ASSERT_EQ(bytes.size(), 550u);
    EXPECT_EQ(bytes.substr(0, 16), std::string("Ann") + std::string(13, '\0')) << "no trace of the longer name";
    EXPECT_EQ(bytes, tools::EncodeProfile(ExpectedSave()));
    EXPECT_FALSE(std::filesystem::exists(std::string(kSavePath) + ".tmp"));

    g_nProfile = 11;
    SaveGame();
    EXPECT_EQ(test::ReadWholeFile("Save/Profile12.sav"), bytes);
}

TEST_F(ProfileTest, OnlyTheDrivingViewsAreSavedAsTheyAre)
{
    const int views[][2] = {{0, 2}, {1, 1}, {2, 2}, {3, 3}, {4, 2}, {-1, 2}};
    for (const auto& v : views) {
        g_Game.m_pCamera->m_nLastView = v[0];
        SaveGame();
        const std::string bytes = SavedBytes();
        ASSERT_EQ(bytes.size(), 550u);
        EXPECT_EQ(static_cast<unsigned char>(bytes[550 - 292]), v[1]) << "view " << v[0];
    }
}

TEST_F(ProfileTest, NothingIsSavedWithoutAProfileOrACar)
{
    const unsigned boxes = plat::MessageBoxCount();
    g_nProfile = -1;
    SaveGame();
    g_nProfile = 0;
    g_pPlayerVehicle = nullptr;
    SaveGame();
    EXPECT_FALSE(std::filesystem::exists("Save"));
    EXPECT_EQ(plat::MessageBoxCount(), boxes);
}

TEST_F(ProfileTest, LoadAppliesEverySectionInOrder)
{
    for (std::uint32_t dents : {0u, 3u}) {
        SCOPED_TRACE(dents);
        tools::ProfileSave save = ExpectedSave();
        save.name = "Bea";
        save.stats[0] = 777;
        save.stats[10] = 1; // in a pursuit when saved
        save.dentCount = dents;
        save.lastView = 1;
        test::WriteWholeFile(kSavePath, tools::EncodeProfile(save));
        std::strcpy(g_szPlayerName, "Other");
        g_Game.m_pCamera->m_nLastView = 3;
        g_TaxiJob.m_bOnBoard = 1;
        g_TaxiJob.m_fFare = 12.0f;
        s_loadSteps.clear();

        ASSERT_EQ(g_Game.LoadGame(), 1);
        EXPECT_STREQ(g_szPlayerName, "Bea");
        EXPECT_EQ(g_PlayerStats.m_nMoney, 777);
        EXPECT_FLOAT_EQ(g_PlayerStats.m_fPlayTime, 321.5f);
        EXPECT_EQ(g_PlayerStats.m_nRatingPoints, 109);
        EXPECT_EQ(g_PlayerStats.m_bPursuit, 0);
        EXPECT_EQ(g_PlayerStats.m_fCriminalLevel, 0.0f);
        EXPECT_EQ(g_PlayerStats.m_fArrestTimer, 0.0f);
        EXPECT_EQ(g_Game.m_pCamera->m_nLastView, 1);
        EXPECT_FLOAT_EQ(g_GameTimer.m_fGameTime, 90000.0f);
        EXPECT_FLOAT_EQ(g_GameTimer.m_fSavedGameTime, 90000.0f) << "the saved clock follows the loaded one";
        EXPECT_FLOAT_EQ(g_GameTimer.m_fTimeScale, 0.5f);
        EXPECT_EQ(g_TaxiJob.m_bOnBoard, 0);
        EXPECT_EQ(g_TaxiJob.m_fFare, 0.0f);
        EXPECT_EQ(g_pPlayerVehicle, &s_standInCar);

        const long build = StepIndex("g_Landscape.BuildSectors");
        EXPECT_LT(StepIndex("g_Landscape.ReleaseSectors"), build);
        EXPECT_LT(build, StepIndex("g_VehicleManager.CreatePlayerCar"));
        EXPECT_LT(StepIndex("g_VehicleManager.CreatePlayerCar"), StepIndex("g_pPlayerVehicle->Load"));
        EXPECT_LT(StepIndex("g_pPlayerVehicle->Load"), StepIndex("g_GameTimer.Load"));
        EXPECT_LT(StepIndex("g_GameTimer.Load"), StepIndex("g_GameInterface.LoadMessageHistory"));
        EXPECT_LT(StepIndex("g_GameInterface.LoadMessageHistory"), StepIndex("g_VehicleManager.ResetRace"));
        EXPECT_LT(StepIndex("g_VehicleManager.ResetRace"), StepIndex("g_pPlayerVehicle->RepairBody"));
    }
}

TEST_F(ProfileTest, ASavedGameLoadsAndSavesAgainUnchanged)
{
    SaveGame();
    const std::string first = SavedBytes();
    SetGameState(tools::ProfileSave{});
    g_PlayerStats.m_nMoney = -5;
    ASSERT_EQ(g_Game.LoadGame(), 1);
    EXPECT_STREQ(g_szPlayerName, "Ann");
    std::strcpy(s_standInCar.m_szPath, kModelPath);
    SaveGame();
    tools::ProfileSave expected = ExpectedSave();
    expected.stats[10] = expected.stats[11] = expected.stats[12] = 0; // no pursuit survives a load
    expected.timer[6] = expected.timer[4];       // nor a stale saved clock
    EXPECT_EQ(SavedBytes(), tools::EncodeProfile(expected));
    EXPECT_EQ(first.substr(0, 16), SavedBytes().substr(0, 16));
}

// Every file that is not exactly one save shows the load box, applies
// nothing and leaves the game without a car.
TEST_F(ProfileTest, BadFilesApplyNothing)
{
    const std::string good = tools::EncodeProfile(ExpectedSave());
    tools::ProfileSave dents = ExpectedSave();
    dents.dentCount = 2;
    const std::string withDents = tools::EncodeProfile(dents);
    tools::ProfileSave longPath = ExpectedSave();
    longPath.modelPath = std::string(256, 'p');
    std::string hugeLength = good;
    hugeLength.replace(72, 4, "\xff\xff\xff\xff");
    std::string dentCountTooBig = good;
    dentCountTooBig[77 + 25 + 152] = 1;

    struct Case {
        std::string name;
        std::string bytes;
    };
    std::vector<Case> cases = {
        {"header of a new profile", tools::EncodeNewProfile("Ann")},
        {"empty", ""},
        {"one byte too many", good + '\0'},
        {"path of 256 characters", tools::EncodeProfile(longPath)},
        {"path length beyond the file", hugeLength},
        {"dent count without its records", dentCountTooBig},
        {"dent records cut", withDents.substr(0, withDents.size() - 1)},
    };
    for (std::size_t cut = 1; cut < good.size(); ++cut)
        cases.push_back({"cut at " + std::to_string(cut), good.substr(0, cut)});

    std::strcpy(g_szPlayerName, "Keep");
    g_PlayerStats.m_nMoney = 55;
    g_GameTimer.m_fGameTime = 61000.0f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteWholeFile(kSavePath, c.bytes);
        s_loadSteps.clear();
        const unsigned boxes = plat::MessageBoxCount();
        EXPECT_EQ(g_Game.LoadGame(), 0);
        ASSERT_EQ(plat::MessageBoxCount(), boxes + 1);
        EXPECT_STREQ(plat::LastMessageBoxText(), "Could't load profile!");
        EXPECT_STREQ(plat::LastMessageBoxCaption(), "LoadProfile() error!");
        EXPECT_EQ(plat::LastMessageBoxStyle(), static_cast<UINT>(MB_OK));
        EXPECT_GE(StepIndex("g_Landscape.BuildSectors"), 0) << "the world is rebuilt first";
        EXPECT_EQ(StepIndex("g_VehicleManager.CreatePlayerCar"), -1);
        EXPECT_STREQ(g_szPlayerName, "Keep");
        EXPECT_EQ(g_PlayerStats.m_nMoney, 55);
        EXPECT_FLOAT_EQ(g_GameTimer.m_fGameTime, 61000.0f);
        EXPECT_EQ(g_pPlayerVehicle, nullptr);
    }
}

TEST_F(ProfileTest, MissingFileOrCarThatNoLongerLoadsFails)
{
    std::strcpy(g_szPlayerName, "Keep");
    g_PlayerStats.m_nMoney = 55;
    EXPECT_EQ(g_Game.LoadGame(), 0) << "no file";
    EXPECT_STREQ(plat::LastMessageBoxCaption(), "LoadProfile() error!");

    test::WriteWholeFile(kSavePath, tools::EncodeProfile(ExpectedSave()));
    s_carLoads = false;
    const unsigned boxes = plat::MessageBoxCount();
    EXPECT_EQ(g_Game.LoadGame(), 0);
    // The missing car description shows its own box before the load's.
    EXPECT_EQ(plat::MessageBoxCount(), boxes + 2);
    EXPECT_STREQ(plat::LastMessageBoxCaption(), "LoadProfile() error!");
    EXPECT_STREQ(g_szPlayerName, "Keep");
    EXPECT_EQ(g_PlayerStats.m_nMoney, 55);
    EXPECT_EQ(g_pPlayerVehicle, nullptr);

    g_nProfile = -1;
    s_loadSteps.clear();
    EXPECT_EQ(g_Game.LoadGame(), 0);
    EXPECT_TRUE(s_loadSteps.empty()) << "without a profile the world is left alone";
}

TEST(ProfileParse, NameAndPathComeOutTerminatedAndTheViewInRange)
{
    tools::ProfileSave save = ExpectedSave();
    save.name = "";
    save.lastView = 0x10003;
    std::string bytes = tools::EncodeProfile(save);
    bytes.replace(0, 16, std::string(16, 'N'));
    bytes[76 + 25] = 'X'; // the path's terminator
    CProfileContents c{};
    ASSERT_TRUE(ParseProfile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &c));
    EXPECT_STREQ(c.szName, std::string(15, 'N').c_str());
    EXPECT_STREQ(c.szModelPath, kModelPath);
    EXPECT_EQ(c.nLastView, 2);
    EXPECT_EQ(c.nCarRecordSize, 156u);
}

// The save is interrupted after each section reached the temporary file,
// and once more when all of it is there but cannot be put in place.
std::size_t s_interruptAt = 0;

bool InterruptedWrite(const char* path, const void* data, std::size_t size)
{
    const std::string bytes(static_cast<const char*>(data), std::min(size, s_interruptAt));
    test::WriteWholeFile(plat::NativePath(path) + ".tmp", bytes);
    return false;
}

TEST_F(ProfileTest, AnInterruptedSaveKeepsThePreviousFile)
{
    const std::string previous = tools::EncodeProfile(tools::SampleProfile());
    test::WriteWholeFile(kSavePath, previous);
    g_pWriteSaveFile = InterruptedWrite;
    for (std::size_t at : {0u, 16u, 20u, 72u, 76u, 102u, 258u, 262u, 294u, 550u}) {
        SCOPED_TRACE(at);
        s_interruptAt = at;
        const unsigned boxes = plat::MessageBoxCount();
        SaveGame();
        ASSERT_EQ(plat::MessageBoxCount(), boxes + 1);
        EXPECT_STREQ(plat::LastMessageBoxText(), "Could't save game!");
        EXPECT_STREQ(plat::LastMessageBoxCaption(), "SaveGame() error!");
        EXPECT_EQ(plat::LastMessageBoxStyle(), static_cast<UINT>(MB_ICONEXCLAMATION));
        EXPECT_EQ(SavedBytes(), previous);
        EXPECT_FALSE(std::filesystem::exists(std::string(kSavePath) + ".tmp"));
    }
}

// Real failures of the file system: the folder or the temporary file cannot be made.
TEST_F(ProfileTest, AFileSystemThatRefusesTheSaveShowsTheBox)
{
    test::WriteWholeFile("Save", "a file where the folder belongs");
    unsigned boxes = plat::MessageBoxCount();
    SaveGame();
    EXPECT_EQ(plat::MessageBoxCount(), boxes + 1);
    EXPECT_STREQ(plat::LastMessageBoxCaption(), "SaveGame() error!");
    EXPECT_EQ(test::ReadWholeFile("Save"), "a file where the folder belongs");

    std::filesystem::remove("Save");
    const std::string previous = tools::EncodeProfile(tools::SampleProfile());
    test::WriteWholeFile(kSavePath, previous);
    std::filesystem::create_directory(std::string(kSavePath) + ".tmp");
    boxes = plat::MessageBoxCount();
    SaveGame();
    EXPECT_EQ(plat::MessageBoxCount(), boxes + 1);
    EXPECT_EQ(SavedBytes(), previous);
}

} // namespace
