// The car shop's steps without a renderer: opening on a shop with its
// showroom, browsing, the affordability of each car, the trade and closing;
// and the figures both shops and the driver information show.
#include "shop_fixture.h"

#include "world/Prop.h"
#include "writers/PropDescriptions.h"

namespace {

class CarShopTest : public test::ShopTest {
protected:
    // A car shop facing west with its three places filled with the sample
    // cars, then all but `cars` of them sold off.
    CProp* Shop(int cars)
    {
        std::vector<tools::MeshVec3> points = {{0.0f, 0.7f, 14.0f}};
        for (int i = 0; i < PROP_SHOWROOM_CARS; ++i)
            points.push_back({-10.0f + 10.0f * static_cast<float>(i), 0.7f, 22.0f});
        Write("Data/Test/CarShop.msh", tools::ShopMesh(30.0f, 16.0f, 8.0f, points));
        tools::PropText text;
        text.head = {"Test", "GCLASS_LANDSCAPE", "GTYPE_BUILDING", "", "Data/Test/CarShop.msh", "Data/Test/Tex.dds"};
        WriteRaw("Data/Static/Buildings/AvtoShops/T/Main.obj", tools::EncodePropDescription(text));
        m_shop = std::make_unique<CProp>();
        m_shop->Load("Data/Static/Buildings/AvtoShops/T/Main.obj", 0);
        const D3DXVECTOR3 at(0, 0, 0), target(-50, 0, 0), up(0, 1, 0);
        m_shop->Place(&at, &target, &up);
        m_shop->CreateShowroomCars();
        while (m_shop->m_nCars > static_cast<std::uint32_t>(cars)) {
            CVehicle* car = m_shop->m_pCars[m_shop->m_nCars - 1];
            m_shop->RemoveCar(car);
            car->Release();
            delete car;
        }
        return m_shop.get();
    }
    void TearDown() override
    {
        TearDownShop();
        if (g_pPlayerVehicle && g_pPlayerVehicle != m_car) {
            g_pPlayerVehicle->Release();
            delete g_pPlayerVehicle;
            g_pPlayerVehicle = m_car;
        }
        ShopTest::TearDown();
    }
    void TearDownShop()
    {
        if (m_shop) {
            // Cars the fixture owns are not the shop's to delete.
            for (CVehicle*& car : m_shop->m_pCars)
                for (auto& own : m_cars)
                    if (car == own.get())
                        car = nullptr;
            m_shop->ReleaseCars();
            m_shop->Release();
            m_shop.reset();
        }
    }
    // Money that makes the budget the price plus `spare`.
    void AffordWith(CVehicle* showroom, int spare)
    {
        const int price = showroom->GetPerformanceRating(1, 1);
        g_PlayerStats.m_nMoney = price - m_car->GetPerformanceRating(1, 1) + spare;
    }
    std::unique_ptr<CProp> m_shop;
};

TEST(CarFigures, SharesOfTheBarsAreClamped)
{
    CVehicle car;
    const struct {
        float power, transmission, grip;
        float speed, powerShare, control;
    } cases[] = {
        {750.0f, 0.5f, 0.25f, 0.05f, 0.05f, 0.05f},   // at the minimum
        {5000.0f, 5.0f, 2.5f, 1.0f, 1.0f, 1.0f},      // at the top
        {2875.0f, 2.75f, 1.375f, 0.5f, 0.5f, 0.5f},   // half way
        {9000.0f, 9.0f, 9.0f, 1.0f, 1.0f, 1.0f},      // beyond
        {0.0f, 0.0f, 0.0f, 0.05f, 0.05f, 0.05f},      // below
    };
    for (const auto& c : cases) {
        car.m_fPower = c.power;
        car.m_fTopSpeedFigure = c.power * 0.06f;
        car.m_fTransmission = c.transmission;
        car.m_fFrontGrip = car.m_fRearGrip = c.grip;
        const CarFigureShares s = ClampShares(FigureShares(car), 0.05f);
        EXPECT_NEAR(s.speed, c.speed, 1e-5f) << c.power;
        EXPECT_NEAR(s.power, c.powerShare, 1e-5f) << c.transmission;
        EXPECT_NEAR(s.control, c.control, 1e-5f) << c.grip;
    }
    car.m_fPower = 0.0f;
    EXPECT_FLOAT_EQ(ClampShares(FigureShares(car), 0.025f).speed, 0.025f) << "the shop's own lower bound";
}

TEST_F(CarShopTest, BrowsingShowsWhetherEachCarIsAffordable)
{
    CProp* shop = Shop(3);
    ASSERT_EQ(shop->m_nCars, 3u);
    for (int spare : {0, -1}) {
        AffordWith(shop->m_pCars[0], spare);
        m_ui->SetCarShop(shop);
        EXPECT_EQ(m_ui->m_CarShopPanel.m_pCarAtShopEntry, m_car);
        CarShop(&ScreenKeys::enter); // CHANGE AUTO
        ASSERT_EQ(m_ui->m_CarShopPanel.m_nCarShopPage, 1);
        EXPECT_EQ(m_ui->m_CarShopPanel.m_nShowroomIndex, 0);
        EXPECT_EQ(m_ui->m_CarShopPanel.m_nCarPrice, shop->m_pCars[0]->GetPerformanceRating(1, 1));
        const bool affordable = spare >= 0;
        EXPECT_STREQ(m_ui->m_CarShopPanel.m_szCarShopRows[1][CARSHOP_CHANGE_ROW],
                     affordable ? "CHANGE" : "COMES SHORT MONEY!");
        EXPECT_EQ(m_ui->m_CarShopPanel.m_nCarShopItem, affordable ? CARSHOP_CHANGE_ROW : CARSHOP_BACK_ROW);
        EXPECT_EQ(m_ui->m_CarShopPanel.m_CarShopItemColours[1][CARSHOP_CHANGE_ROW].g, affordable ? 0.6f : 0.3f);
        CarShop(&ScreenKeys::down);
        EXPECT_EQ(m_ui->m_CarShopPanel.m_nCarShopItem, CARSHOP_BACK_ROW) << "BACK after CHANGE, or alone";
        CarShop(&ScreenKeys::down);
        EXPECT_EQ(m_ui->m_CarShopPanel.m_nCarShopItem, affordable ? CARSHOP_CHANGE_ROW : CARSHOP_BACK_ROW);
        CarShop(&ScreenKeys::escape);
        EXPECT_EQ(m_ui->m_CarShopPanel.m_nCarShopPage, 0);
        m_ui->SetCarShop(nullptr);
    }
}

TEST_F(CarShopTest, BrowsingStopsAtTheFirstAndLastCar)
{
    for (int places : {1, 3}) {
        CProp* shop = Shop(places);
        m_ui->SetCarShop(shop);
        CarShop(&ScreenKeys::enter);
        const struct {
            int ScreenKeys::*key;
            int index;
        } steps[] = {{&ScreenKeys::left, 0},  {&ScreenKeys::right, std::min(1, places - 1)},
                     {&ScreenKeys::right, places - 1}, {&ScreenKeys::right, places - 1},
                     {&ScreenKeys::left, std::max(0, places - 2)}};
        for (const auto& s : steps) {
            CarShop(s.key);
            EXPECT_EQ(m_ui->m_CarShopPanel.m_nShowroomIndex, s.index) << places;
            EXPECT_EQ(m_ui->m_CarShopPanel.m_nCarPrice, shop->m_pCars[s.index]->GetPerformanceRating(1, 1));
        }
        m_ui->SetCarShop(nullptr);
        TearDownShop();
    }
}

TEST_F(CarShopTest, AShopWithoutShowroomCarsRefusesToChange)
{
    CProp* shop = Shop(0);
    m_ui->SetCarShop(shop);
    CarShop(&ScreenKeys::enter);
    EXPECT_EQ(m_ui->m_CarShopPanel.m_nCarShopPage, 0);
    EXPECT_TRUE(m_ui->m_CarShopPanel.m_bCarShopOpen);
}

TEST_F(CarShopTest, OwnCarsBarsAreBuiltWhenBrowsingBeginsWithoutTheDriverInformation)
{
    CProp* shop = Shop(1);
    m_car->m_fBodyDamage = 0.5f;
    m_ui->SetCarShop(shop);
    CarShop(&ScreenKeys::enter);
    EXPECT_FALSE(m_ui->m_DriverInfoPanel.m_bDriverInfoOpen);
    m_car->UpdatePerformance(1, 1);
    const CarFigureShares now = ClampShares(FigureShares(*m_car), 0.05f);
    m_car->UpdatePerformance(0, 1);
    const CarFigureShares whole = ClampShares(FigureShares(*m_car), 0.05f);
    const float* bars = m_ui->m_DriverInfoPanel.m_fDriverInfoBars;
    EXPECT_FLOAT_EQ(bars[0], now.speed);
    EXPECT_FLOAT_EQ(bars[3], whole.speed);
    EXPECT_LT(bars[0], bars[3]) << "damage costs speed";
    EXPECT_GT(bars[0], 0.05f);
    EXPECT_EQ(m_ui->m_CarShopPanel.m_nCarBudget, m_car->GetPerformanceRating(1, 1) + g_PlayerStats.m_nMoney);
}

TEST_F(CarShopTest, TradeMakesTheShowroomCarThePlayersAndShowsTheOldOne)
{
    CProp* shop = Shop(3);
    CVehicle* bought = shop->m_pCars[1];
    AffordWith(bought, 250);
    g_PlayerStats.m_fCriminalLevel = 0.7f;
    m_ui->SetCarShop(shop);
    CarShop(&ScreenKeys::enter);
    CarShop(&ScreenKeys::right);
    ASSERT_EQ(m_ui->m_CarShopPanel.m_nShowroomIndex, 1);
    const int budget = m_ui->m_CarShopPanel.m_nCarBudget, price = m_ui->m_CarShopPanel.m_nCarPrice;
    CarShop(&ScreenKeys::enter); // CHANGE
    EXPECT_EQ(g_PlayerStats.m_nMoney, budget - price);
    EXPECT_EQ(g_PlayerStats.m_nMoney, 250);
    EXPECT_EQ(g_pPlayerVehicle, bought);
    EXPECT_EQ(g_VehicleManager.m_Cars[0], bought);
    EXPECT_EQ(shop->m_pCars[1], m_car) << "the old car stands in the showroom";
    for (std::uint32_t i = 0; i < shop->m_nCars; ++i)
        EXPECT_NE(shop->m_pCars[i], bought);
    EXPECT_EQ(g_PlayerStats.m_fCriminalLevel, 0.0f);
    EXPECT_EQ(m_ui->m_CarShopPanel.m_nCarShopPage, 0) << "back on the main page";

    g_PlayerStats.m_fCriminalLevel = 0.4f;
    const int saves = test::g_nSaves;
    CarShop(&ScreenKeys::down);
    CarShop(&ScreenKeys::enter); // COMPLETE
    EXPECT_FALSE(m_ui->m_CarShopPanel.m_bCarShopOpen);
    EXPECT_EQ(g_PlayerStats.m_fCriminalLevel, 0.0f) << "the car changed";
    EXPECT_EQ(test::g_nSaves, saves + 1);
    EXPECT_EQ(g_PropManager.m_fShopTimer, -4.0f);
    EXPECT_EQ(bought->m_nControlMode, 2);
}

// After a trade the player's car belongs to no showroom, so a reset, which
// deletes the shop before it clears the cars, never reaches the shop.
TEST_F(CarShopTest, TheBoughtCarLeavesTheShopBehind)
{
    CProp* shop = Shop(3);
    CVehicle* bought = shop->m_pCars[0];
    AffordWith(bought, 0);
    m_ui->SetCarShop(shop);
    CarShop(&ScreenKeys::enter); // CHANGE AUTO
    CarShop(&ScreenKeys::enter); // CHANGE
    ASSERT_EQ(g_pPlayerVehicle, bought);
    EXPECT_EQ(bought->m_pShowroom, nullptr);
    for (const CVehicle* car : shop->m_pCars)
        EXPECT_NE(car, bought);
    EXPECT_EQ(m_car->m_pShowroom, shop) << "the old car stands in the showroom";
    CarShop(&ScreenKeys::down);
    CarShop(&ScreenKeys::enter); // COMPLETE
    ASSERT_FALSE(m_ui->m_CarShopPanel.m_bCarShopOpen);
    ASSERT_EQ(g_VehicleManager.m_nCars, 1u);

    TearDownShop();
    g_VehicleManager.Clear();
    EXPECT_EQ(g_pPlayerVehicle, nullptr);
}

TEST_F(CarShopTest, ClosingWithTheSameCarKeepsTheCriminalLevel)
{
    CProp* shop = Shop(1);
    g_PlayerStats.m_fCriminalLevel = 0.4f;
    m_ui->SetCarShop(shop);
    CarShop(&ScreenKeys::escape);
    EXPECT_FALSE(m_ui->m_CarShopPanel.m_bCarShopOpen);
    EXPECT_EQ(g_PlayerStats.m_fCriminalLevel, 0.4f);
    EXPECT_EQ(m_ui->m_nMessageId, MSG_MAP_LEGEND);
}

} // namespace
