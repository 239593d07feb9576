// The shop screens and the two panels drawn through the recording device:
// every page draws, the paint editor shows its hue bar and shade cells, and
// a closed, faded-out screen draws nothing.
#include "platform/D3D9Recording.h"
#include "shop_fixture.h"
#include "world/Prop.h"

namespace {

class ShopDrawTest : public test::ShopTest {
protected:
    std::size_t Drawn(void (CGameInterface::*draw)())
    {
        plat::RecordedCalls(m_device).Clear();
        (m_ui.get()->*draw)();
        std::size_t n = 0;
        for (const plat::D3DCall& c : plat::RecordedCalls(m_device).Calls())
            n += c.op == plat::D3DOp::DrawPrimitiveUP || c.op == plat::D3DOp::DrawIndexedPrimitiveUP;
        return n;
    }
};

TEST_F(ShopDrawTest, WorkshopPagesDrawAndTheEditorShowsItsCells)
{
    EXPECT_EQ(Drawn(&CGameInterface::DrawWorkshop), 0u) << "closed";
    m_ui->SetWorkshop(1);
    m_ui->m_WorkshopPanel.m_fWorkshopFade = 1.0f;
    std::size_t drawn[WORKSHOP_PAGES] = {};
    for (int page = 0; page < WORKSHOP_PAGES; ++page) {
        m_ui->m_WorkshopPanel.m_nWorkshopPage = page;
        m_ui->m_WorkshopPanel.m_nShopItem = g_WorkshopPages[page].last;
        drawn[page] = Drawn(&CGameInterface::DrawWorkshop);
        EXPECT_GE(drawn[page], 2u) << "darkening and bar on page " << page;
    }
    EXPECT_GE(drawn[WORKSHOP_COLOUR], drawn[WORKSHOP_MAIN] + 6 + PAINT_SHADES) << "hue bar and shades";
}

TEST_F(ShopDrawTest, CarShopPanelsRatingListAndDriverInformationDraw)
{
    // A shop without showroom places still opens; the figures need a car.
    CProp shop;
    shop.m_nCars = 1;
    shop.m_pCars[0] = Spawned(VEHICLE_TRAFFIC, "Data/Vehicles/05/Main.obj", D3DXVECTOR3(10, 1, 0));
    m_ui->SetCarShop(&shop);
    m_ui->m_CarShopPanel.m_fCarShopFade = 1.0f;
    const std::size_t main = Drawn(&CGameInterface::DrawCarShop);
    EXPECT_GE(main, 2u);
    ScreenKeys enter;
    enter.enter = 1;
    m_ui->m_CarShopPanel.Step(*m_ui, enter, 0.05f);
    ASSERT_EQ(m_ui->m_CarShopPanel.m_nCarShopPage, 1);
    EXPECT_GE(Drawn(&CGameInterface::DrawCarShop), main + 2 * 3 * 3) << "two panels of three framed bar pairs";
    shop.m_nCars = 0;
    shop.m_pCars[0] = nullptr;
    m_ui->SetCarShop(nullptr);

    m_ui->ShowRatingList(1);
    m_ui->m_RatingListPanel.m_fRatingFade = 1.0f;
    EXPECT_GE(Drawn(&CGameInterface::DrawRatingList), 2u) << "panel and the player's highlight";
    m_ui->SetDriverInfo(1);
    m_ui->m_DriverInfoPanel.m_fDriverInfoFade = 1.0f;
    EXPECT_GE(Drawn(&CGameInterface::DrawDriverInfo), 4u) << "panel and three bars";
}

} // namespace
