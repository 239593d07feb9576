// Which messages may open when, what an open box refuses, and the history
// that keeps the rationing across a save.
#include "message_fixture.h"
#include "shell/Game.h"
#include "shell/SaveRecord.h"

namespace {

using test::MessageTest;

TEST_F(MessageTest, RationingByIdShowingsAndGameTime)
{
    struct Case {
        int id;
        unsigned shownBefore;
        float secondsSince;
        bool opens;
    } cases[] = {
        {1, 0, 60.0f, true},    {1, 1, 19.9f, false},  {1, 2, 20.0f, true},  {1, 3, 500.0f, false},
        {2, 0, 10.0f, false},   {2, 2, 25.0f, true},   {2, 3, 500.0f, false}, {7, 2, 0.0f, true},
        {7, 3, 500.0f, false},  {8, 2, 0.0f, true},    {8, 3, 500.0f, false}, {4, 9, 59.9f, false},
        {4, 9, 60.0f, true},    {10, 0, 0.0f, true},   {10, 1, 500.0f, false}, {0, 50, 0.0f, true},
        {6, 50, 0.0f, true},
    };
    for (const Case& c : cases) {
        SetUp();
        m_ui->m_nMessageShown[c.id] = c.shownBefore;
        m_ui->m_nMessageLastShown[c.id] = static_cast<std::uint32_t>(60000.0f - c.secondsSince * 1000.0f);
        Show(c.id);
        EXPECT_EQ(m_ui->m_bMessageVisible != 0, c.opens) << "id " << c.id << " shown " << c.shownBefore;
        EXPECT_EQ(m_ui->m_nMessageShown[c.id], c.shownBefore + (c.opens ? 1u : 0u)) << "id " << c.id;
        if (c.opens) {
            EXPECT_EQ(m_ui->m_nMessageId, c.id);
            EXPECT_EQ(m_ui->m_nMessageLastShown[c.id], 60000u);
        }
        TearDown();
    }
}

TEST_F(MessageTest, OpenBoxRefusesOthersButNotItselfOrCongratulations)
{
    Show(MSG_CONTROLS);
    Show(MSG_DAMAGE_LIMIT);
    EXPECT_EQ(m_ui->m_nMessageId, MSG_CONTROLS);
    EXPECT_EQ(m_ui->m_nMessageShown[MSG_DAMAGE_LIMIT], 0u);
    Show(MSG_CONTROLS);
    EXPECT_EQ(m_ui->m_nMessageShown[MSG_CONTROLS], 2u);
    Show(MSG_CONGRATULATIONS);
    EXPECT_EQ(m_ui->m_nMessageId, MSG_CONGRATULATIONS);
    EXPECT_TRUE(m_ui->m_bMessageVisible);
}

TEST_F(MessageTest, ThreeShowingsAndNeverAgainAcrossSaveAndLoad)
{
    for (int i = 0; i < 3; ++i) {
        Show(MSG_CRIMINAL_LEVEL);
        EXPECT_TRUE(m_ui->m_bMessageVisible) << i;
        Close();
        Advance(5.0f);
        Show(MSG_CRIMINAL_LEVEL); // within 20 s: refused
        EXPECT_FALSE(m_ui->m_bMessageVisible) << i;
        Advance(20.0f);
    }
    CSaveWriter out;
    m_ui->SaveMessageHistory(out);
    ASSERT_EQ(out.Size(), MESSAGE_HISTORY_RECORD_SIZE);

    auto loaded = std::make_unique<CGameInterface>();
    CSaveReader in(out.Data(), out.Size());
    loaded->LoadMessageHistory(in);
    EXPECT_TRUE(in.Ok());
    EXPECT_EQ(loaded->m_nMessageShown[MSG_CRIMINAL_LEVEL], 3u);
    Advance(1000.0f);
    loaded->ShowMessage(MSG_CRIMINAL_LEVEL, 20.0f, nullptr, 0.0f);
    EXPECT_FALSE(loaded->m_bMessageVisible);
}

// Counts first, then stamps, each a little-endian u32 indexed by id.
TEST_F(MessageTest, HistoryRecordLayoutAndShortRecord)
{
    m_ui->m_nMessageShown[2] = 0x01020304u;
    m_ui->m_nMessageLastShown[31] = 0xA0B0C0D0u;
    CSaveWriter out;
    m_ui->SaveMessageHistory(out);
    const std::uint8_t* b = out.Data();
    EXPECT_EQ(b[8], 0x04);
    EXPECT_EQ(b[11], 0x01);
    EXPECT_EQ(b[252], 0xD0);
    EXPECT_EQ(b[255], 0xA0);

    // A record cut short replaces nothing.
    auto other = std::make_unique<CGameInterface>();
    other->m_nMessageShown[5] = 7;
    CSaveReader shortRecord(out.Data(), 255);
    other->LoadMessageHistory(shortRecord);
    EXPECT_FALSE(shortRecord.Ok());
    EXPECT_EQ(other->m_nMessageShown[5], 7u);
    EXPECT_EQ(other->m_nMessageShown[2], 0u);
}

// After a loaded profile a new game starts clean: the one-time message shows
// again and a stamp from the old game's later clock refuses nothing.
TEST_F(MessageTest, NewGameStartsWithAnEmptyHistory)
{
    CSaveWriter out;
    m_ui->m_nMessageShown[MSG_CONGRATULATIONS] = 1;
    m_ui->m_nMessageLastShown[MSG_TRICK_BONUS] = 900000u;
    m_ui->SaveMessageHistory(out);
    CSaveReader in(out.Data(), out.Size());
    g_GameInterface.LoadMessageHistory(in);
    ASSERT_EQ(g_GameInterface.m_nMessageShown[MSG_CONGRATULATIONS], 1u);

    g_Game.NewGame();
    g_GameTimer.m_fGameTime = 60000.0f;
    g_GameInterface.ShowMessage(MSG_CONGRATULATIONS, 20.0f, nullptr, 0.0f);
    EXPECT_TRUE(g_GameInterface.m_bMessageVisible);
    g_GameInterface.ShowMessage(-1, 0.0f, nullptr, 0.0f);
    g_GameInterface.ShowMessage(MSG_TRICK_BONUS, 5.0f, nullptr, 0.0f);
    EXPECT_TRUE(g_GameInterface.m_bMessageVisible);
    EXPECT_EQ(g_GameInterface.m_nMessageId, MSG_TRICK_BONUS);
    g_GameInterface.ShowMessage(-1, 0.0f, nullptr, 0.0f);
    g_GameInterface.ResetMessageHistory();
}

} // namespace
