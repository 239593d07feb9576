// The workshop's paint editor through the OpenGL back end: the hue bar's
// segments show the spectrum's colours where the layout puts them.
#include "ScreenPixelsFixture.h"
#include "game/GameInterface.h"
#include "game/ShopScreens.h"
#include "graphics/D3DRender.h"
#include "roadusers/Vehicle.h"
#include "shell/GameTimer.h"

#include <memory>

namespace gltest {
namespace {

class ShopPixelsTest : public ScreenPixelsTest {};

TEST_F(ShopPixelsTest, HueBarShowsTheSpectrum)
{
    auto ui = std::make_unique<CGameInterface>();
    g_GameTimer.m_fRealDelta = 0.0f;
    CVehicle* saved = g_pPlayerVehicle;
    g_pPlayerVehicle = nullptr;
    ui->m_WorkshopPanel.m_bWorkshopOpen = 1;
    ui->m_WorkshopPanel.m_fWorkshopFade = 1.0f;
    ui->m_WorkshopPanel.m_nWorkshopPage = WORKSHOP_COLOUR;
    ui->DrawWorkshop();
    g_pPlayerVehicle = saved;
    const plat::Pixels frame = Frame();
    // The bar lies from y 469.6 to 481.6 of the 800 x 600 space; x 280 is
    // red, blue lies at 360 and cyan at 400, green at 440.
    const UINT y = static_cast<UINT>(475.0f * kHeight / 600.0f);
    const struct {
        float x;
        int channel; // 0 red, 1 green, 2 blue: the one that must be bright
    } points[] = {{292.0f, 0}, {372.0f, 2}, {412.0f, 2}, {452.0f, 1}};
    for (const auto& p : points) {
        const std::uint32_t c = frame.At(static_cast<UINT>(p.x * kWidth / 800.0f), y);
        const int rgb[3] = {static_cast<int>((c >> 16) & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                            static_cast<int>(c & 0xFF)};
        EXPECT_GT(rgb[p.channel], 180) << p.x << " " << std::hex << c;
    }
    const std::uint32_t red = frame.At(static_cast<UINT>(292.0f * kWidth / 800.0f), y);
    EXPECT_LT((red >> 8) & 0xFF, 80u) << "no green in red";
}

} // namespace
} // namespace gltest
