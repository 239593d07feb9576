// The workshop screen's steps without a renderer: repair, upgrades, the
// paint editor's colours and the closing rules.
#include "shop_fixture.h"

#include <cmath>

namespace {

using test::ShopTest;

TEST(WorkshopPaint, HueRingAndShadesFollowTheSpectrum)
{
    const struct {
        float hue;
        D3DXCOLOR4 colour;
    } hues[] = {
        {0.0f, {1, 0, 0, 1}},
        {16.7f, {1, 0, 1, 1}},
        {50.0f, {0, 0.995f, 1, 1}},
        {100.0f, {1, 0.01f, 0, 1}},
    };
    for (const auto& c : hues) {
        const D3DXCOLOR4 got = PaintHueColour(c.hue);
        EXPECT_NEAR(got.r, c.colour.r, 1e-3f) << c.hue;
        EXPECT_NEAR(got.g, c.colour.g, 1e-3f) << c.hue;
        EXPECT_NEAR(got.b, c.colour.b, 1e-3f) << c.hue;
    }
    const D3DXCOLOR4 hue{0.9f, 0.45f, 0.0f, 1.0f};
    const struct {
        int cell;
        float r, g, b;
    } shades[] = {
        {0, 0, 0, 0},
        {9, 0.9f, 0.45f, 0},
        {10, 0.9f, 0.45f, 0},
        {19, 1, 1, 1}, // every channel capped at 1
        {15, 1, 1, 5.0f / 9.0f},
    };
    for (const auto& s : shades) {
        const D3DXCOLOR4 got = PaintShadeColour(hue, s.cell);
        EXPECT_NEAR(got.r, s.r, 1e-5f) << s.cell;
        EXPECT_NEAR(got.g, s.g, 1e-5f) << s.cell;
        EXPECT_NEAR(got.b, s.b, 1e-5f) << s.cell;
    }
    const int gloss[][2] = {{0, 0}, {48, 0}, {104, 1}, {160, 2}, {300, 2}};
    for (const auto& g : gloss)
        EXPECT_EQ(PaintTypeOfGloss(g[0]), g[1]) << g[0];
}

TEST_F(ShopTest, RepairPaysTheWholeOrTheShareTheMoneyCovers)
{
    const struct {
        const char* name;
        int money, price;
        float damage;
        int aiState;
        bool repairs;
        float fraction;
        int moneyAfter;
    } cases[] = {
        {"enough money", 1000, 770, 40.0f, 0, true, 1.0f, 230},
        {"no money", 0, 770, 40.0f, 0, false, 0.0f, 0},
        {"half the price", 385, 770, 40.0f, 0, true, 0.5f, 0},
        // 13 / 22 in single precision times 22 truncates to 12.
        {"a share takes exactly all the money", 13, 22, 40.0f, 0, true, 13.0f / 22.0f, 0},
        {"no damage", 1000, 0, 0.0f, 0, false, 0.0f, 1000},
        {"already repairing", 1000, 770, 40.0f, 6, false, 0.0f, 1000},
    };
    for (const auto& c : cases) {
        OpenWorkshopAt(WORKSHOP_REPAIR, 3);
        g_PlayerStats.m_nMoney = c.money;
        m_ui->m_WorkshopPanel.m_nRepairPrice = c.price;
        m_ui->m_WorkshopPanel.m_fRepairDamage = c.damage;
        m_car->m_nAIState = c.aiState;
        m_car->m_fRepairFraction = 0.0f;
        Workshop(&ScreenKeys::enter);
        EXPECT_EQ(g_PlayerStats.m_nMoney, c.moneyAfter) << c.name;
        EXPECT_EQ(m_ui->m_WorkshopPanel.m_nWorkshopPage, WORKSHOP_MAIN) << c.name;
        if (c.repairs) {
            EXPECT_EQ(m_car->m_nAIState, 6) << c.name;
            EXPECT_NEAR(m_car->m_fRepairFraction, c.fraction, 1e-3f) << c.name;
            EXPECT_NEAR(m_ui->m_WorkshopPanel.m_fRepairDamage, c.damage * (1.0f - c.fraction), 1e-3f) << c.name;
        } else {
            EXPECT_EQ(m_car->m_nAIState, c.aiState) << c.name;
            EXPECT_EQ(m_car->m_fRepairFraction, 0.0f) << c.name;
        }
        m_ui->SetWorkshop(0);
    }
}

TEST_F(ShopTest, RepairPageShowsTheCarsPriceAndDamage)
{
    m_car->m_fBodyDamage = 0.5f;
    OpenWorkshopAt(WORKSHOP_MAIN, 0);
    g_PlayerStats.m_nMoney = 100;
    Workshop(&ScreenKeys::enter);
    EXPECT_EQ(m_ui->m_WorkshopPanel.m_nWorkshopPage, WORKSHOP_REPAIR);
    EXPECT_EQ(m_ui->m_WorkshopPanel.m_nShopItem, 3);
    EXPECT_EQ(m_ui->m_WorkshopPanel.m_nRepairPrice, m_car->GetRepairPrice(1));
    EXPECT_GT(m_ui->m_WorkshopPanel.m_nRepairPrice, 100);
    EXPECT_FLOAT_EQ(m_ui->m_WorkshopPanel.m_fRepairDamage, m_car->GetDamageRatio() * 100.0f);
    EXPECT_STREQ(m_ui->m_WorkshopPanel.m_szRepairTexts[2], "100");
    // Down and Up stay on TO REPAIR and BACK.
    Workshop(&ScreenKeys::down);
    EXPECT_EQ(m_ui->m_WorkshopPanel.m_nShopItem, 4);
    Workshop(&ScreenKeys::down);
    EXPECT_EQ(m_ui->m_WorkshopPanel.m_nShopItem, 3);
}

TEST_F(ShopTest, UpgradeChargesItsLevelsPriceAndRebuildsOnlyChassisAndTires)
{
    for (int part = ENGINE; part <= TIRES; ++part) {
        std::memset(m_car->m_UpgradeLevels, 0, sizeof(m_car->m_UpgradeLevels));
        m_car->m_UpgradeLevels[part] = 1;
        m_car->SetAIState(0);
        const int rating = m_car->GetPerformanceRating(1, 1);
        const int price = static_cast<int>(rating * 0.25f * 2 * g_UpgradePriceFactors[part]);
        const void* chassis = m_car->m_pChassisShape;

        OpenWorkshopAt(WORKSHOP_PART, part);
        g_PlayerStats.m_nMoney = price - 1;
        Workshop(&ScreenKeys::enter);
        ASSERT_EQ(m_ui->m_WorkshopPanel.m_nWorkshopPage, WORKSHOP_LEVEL);
        EXPECT_EQ(m_ui->m_WorkshopPanel.m_nShopItem, 4) << "opens on BACK";
        EXPECT_FLOAT_EQ(m_ui->m_WorkshopPanel.m_fLevelPrices[2], 2 * rating * 0.25f * g_UpgradePriceFactors[part]);
        Workshop(&ScreenKeys::up);
        EXPECT_EQ(m_ui->m_WorkshopPanel.m_nShopItem, 2) << "only the next level";
        Workshop(&ScreenKeys::enter);
        EXPECT_EQ(m_car->m_UpgradeLevels[part], 1) << "refused when short";
        EXPECT_EQ(g_PlayerStats.m_nMoney, price - 1);

        g_PlayerStats.m_nMoney = price;
        Workshop(&ScreenKeys::enter);
        EXPECT_EQ(m_car->m_UpgradeLevels[part], 2);
        EXPECT_EQ(g_PlayerStats.m_nMoney, 0);
        EXPECT_EQ(m_car->m_nAIState, 6);
        EXPECT_EQ(m_car->m_fRepairFraction, 0.0f) << "work show only";
        EXPECT_EQ(m_ui->m_WorkshopPanel.m_nWorkshopPage, WORKSHOP_PART);
        EXPECT_EQ(m_ui->m_WorkshopPanel.m_nShopItem, part);
        const bool rebuilt = m_car->m_pChassisShape != chassis;
        EXPECT_EQ(rebuilt, part == CHASSIS || part == TIRES) << part;
        m_ui->SetWorkshop(0);
    }
}

TEST_F(ShopTest, UpgradeDuringARepairKeepsThePaidShare)
{
    m_car->SetAIState(6);
    m_car->m_fRepairFraction = 0.5f;
    g_PlayerStats.m_nMoney = 100000;
    OpenWorkshopAt(WORKSHOP_PART, ENGINE);
    Workshop(&ScreenKeys::enter);
    Workshop(&ScreenKeys::up);
    Workshop(&ScreenKeys::enter);
    EXPECT_EQ(m_car->m_UpgradeLevels[ENGINE], 1);
    EXPECT_EQ(m_car->m_fRepairFraction, 0.5f);
}

TEST_F(ShopTest, LevelPageCursorRestsOnTheNextLevelOrBack)
{
    // A save may hold a level beyond the workshop's three.
    const int levels[][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {7, 4}, {-2, 1}};
    for (const auto& l : levels) {
        m_car->m_UpgradeLevels[ENGINE] = l[0];
        OpenWorkshopAt(WORKSHOP_PART, ENGINE);
        Workshop(&ScreenKeys::enter);
        for (auto key : {&ScreenKeys::up, &ScreenKeys::up, &ScreenKeys::down, &ScreenKeys::down}) {
            Workshop(key);
            const int item = m_ui->m_WorkshopPanel.m_nShopItem;
            EXPECT_TRUE(item == l[1] || item == 4) << l[0] << " at " << item;
        }
        Workshop(&ScreenKeys::up);
        EXPECT_EQ(m_ui->m_WorkshopPanel.m_nShopItem, l[1]) << l[0];
        m_ui->SetWorkshop(0);
    }
}

TEST_F(ShopTest, PaintEditorWritesTheCarLiveAndStartsThePaintJob)
{
    g_nPaintHue[0] = 0;
    g_nPaintShade[0] = 9;
    m_car->m_nPaintGloss = 104;
    OpenWorkshopAt(WORKSHOP_PAINT, 0);
    Workshop(&ScreenKeys::enter);
    ASSERT_EQ(m_ui->m_WorkshopPanel.m_nWorkshopPage, WORKSHOP_COLOUR);
    EXPECT_EQ(g_nPaintType, 1);
    Workshop(&ScreenKeys::right); // hue 1
    EXPECT_EQ(g_nPaintHue[0], 1);
    EXPECT_FLOAT_EQ(m_car->m_PaintColor[0], 1.0f);
    EXPECT_NEAR(m_car->m_PaintColor[2], 0.0599f, 1e-4f);
    Workshop(&ScreenKeys::down);
    Workshop(&ScreenKeys::down); // paint type
    Workshop(&ScreenKeys::right);
    EXPECT_EQ(m_car->m_nPaintGloss, 160);
    Workshop(&ScreenKeys::enter);
    EXPECT_EQ(m_car->m_nAIState, 7);
    EXPECT_EQ(m_car->m_fStuckTimer, 0.0f) << "first colour";
    EXPECT_EQ(m_ui->m_WorkshopPanel.m_nWorkshopPage, WORKSHOP_PAINT);
    EXPECT_EQ(m_ui->m_WorkshopPanel.m_nShopItem, 0);
    EXPECT_EQ(g_nPaintHue[0], 1) << "kept for the next visit";
}

TEST_F(ShopTest, ClosingClearsTheCriminalLevelOnlyForANewFirstColour)
{
    for (int slot : {0, 1}) {
        g_PlayerStats.m_fCriminalLevel = 0.6f;
        g_nPaintHue[slot] = 30;
        g_nPaintShade[slot] = 12;
        OpenWorkshopAt(WORKSHOP_PAINT, slot);
        Workshop(&ScreenKeys::enter);
        Workshop(&ScreenKeys::escape); // leave the editor: the paint job starts
        Workshop(&ScreenKeys::escape); // back to the main page
        EXPECT_EQ(m_ui->m_WorkshopPanel.m_nWorkshopPage, WORKSHOP_MAIN);
        const int saves = test::g_nSaves;
        m_car->SetControlMode(1);
        m_car->m_bHandBrake = 1;
        Workshop(&ScreenKeys::escape);
        EXPECT_FALSE(m_ui->m_WorkshopPanel.m_bWorkshopOpen);
        EXPECT_EQ(g_PlayerStats.m_fCriminalLevel, slot == 0 ? 0.0f : 0.6f) << slot;
        EXPECT_EQ(g_PropManager.m_fShopTimer, -4.0f);
        EXPECT_EQ(test::g_nSaves, saves + 1);
        EXPECT_EQ(m_ui->m_nMessageId, MSG_MAP_LEGEND);
        EXPECT_EQ(m_car->m_nControlMode, 2);
        EXPECT_EQ(m_car->m_bHandBrake, 0);
    }
}

TEST_F(ShopTest, EnterOnTheLastSelectableRowActsAsEscape)
{
    const struct {
        int page, row, pageAfter;
    } cases[] = {
        {WORKSHOP_REPAIR, 4, WORKSHOP_MAIN},
        {WORKSHOP_PART, 4, WORKSHOP_MAIN},
        {WORKSHOP_LEVEL, 4, WORKSHOP_PART},
        {WORKSHOP_PAINT, 2, WORKSHOP_MAIN},
    };
    for (const auto& c : cases) {
        OpenWorkshopAt(c.page, c.row);
        Workshop(&ScreenKeys::enter);
        EXPECT_EQ(m_ui->m_WorkshopPanel.m_nWorkshopPage, c.pageAfter) << c.page;
        m_ui->SetWorkshop(0);
    }
    OpenWorkshopAt(WORKSHOP_MAIN, 3);
    Workshop(&ScreenKeys::enter);
    EXPECT_FALSE(m_ui->m_WorkshopPanel.m_bWorkshopOpen) << "EXIT closes";
}

} // namespace
