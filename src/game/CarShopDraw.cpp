// The car shop as drawn: the darkened view, the shop bar, the rows and, while
// browsing, the own car's and the showroom car's figures side by side.
#include "game/GameInterface.h"
#include "game/ScreenKeys.h"
#include "game/ShopScreens.h"
#include "graphics/ScreenDraw.h"
#include "roadusers/Vehicle.h"
#include "shell/GameTimer.h"
#include "world/Prop.h"

#include <algorithm>
#include <cstdio>

namespace {

DWORD Argb(int r, int g, int b, float alpha)
{
    return D3DCOLOR_ARGB(static_cast<DWORD>(std::clamp(alpha, 0.0f, 255.0f)), r, g, b);
}

void DrawCentred(CGameFont& font, float left, float right, float y, const char* text, DWORD colour, float scale)
{
    const float width = font.GetTextWidth(text, scale * font.m_fScale, 0);
    font.DrawText(static_cast<int>((left + right - width) / 2.0f), static_cast<int>(y), text, colour, scale, 0);
}

} // namespace

void CGameInterface::DrawCarFigures(float left, float right, float top, CVehicle* car)
{
    auto& info = m_DriverInfoPanel;
    auto& shop = m_CarShopPanel;
    if (!car)
        return;
    const float alpha = shop.m_fCarShopFade * 254.0f;
    const bool own = car == g_pPlayerVehicle;
    DrawCentred(m_Font, left, right, top, own ? "YOUR AUTO" : "NEW AUTO", Argb(255, 200, 100, alpha), 0.35f);
    DrawCentred(m_Font, left, right, top + 14.0f, car->m_szName, Argb(255, 255, 128, alpha), 0.3f);

    // The own car shows what the driver information computed when browsing
    // began; a showroom car is measured new, then with its damage.
    CarFigureShares first{}, second{};
    if (own) {
        first = CarFigureShares{info.m_fDriverInfoBars[3], info.m_fDriverInfoBars[4], info.m_fDriverInfoBars[5]};
        second = CarFigureShares{info.m_fDriverInfoBars[0], info.m_fDriverInfoBars[1], info.m_fDriverInfoBars[2]};
    } else {
        car->UpdatePerformance(0, 1);
        first = FigureShares(*car);
        car->UpdatePerformance(1, 1);
        second = FigureShares(*car);
    }
    first = ClampShares(first, 0.025f);
    second = ClampShares(second, 0.025f);
    const char* labels[3] = {"SPEED:", "POWER:", "CONTROL:"};
    const float a[3] = {first.speed, first.power, first.control};
    const float b[3] = {second.speed, second.power, second.control};
    const float frameLeft = left + 55.0f, width = right - frameLeft;
    for (int i = 0; i < 3; ++i) {
        const float y = top + 32.0f + 18.0f * static_cast<float>(i);
        m_Font.DrawText(static_cast<int>(left), static_cast<int>(y), labels[i], Argb(255, 153, 51, alpha), 0.3f, 0);
        CScreenDraw::DrawBevelFrame(frameLeft, y, right, y + 14.0f, Argb(255, 200, 100, alpha / 2.0f), 5);
        CScreenDraw::DrawRect(frameLeft + 1.0f, y + 2.0f, frameLeft + 1.0f + (width - 2.0f) * a[i], y + 6.0f,
                              Argb(155, 100, 0, alpha), INVALID_TEXTURE_ID);
        CScreenDraw::DrawRect(frameLeft + 1.0f, y + 8.0f, frameLeft + 1.0f + (width - 2.0f) * b[i], y + 12.0f,
                              Argb(200, 60, 0, alpha), INVALID_TEXTURE_ID);
    }
    char value[32];
    std::snprintf(value, sizeof(value), " %d$", own ? shop.m_nCarBudget : shop.m_nCarPrice);
    const float y = top + 90.0f;
    const float pen = m_Font.DrawText(static_cast<int>(left), static_cast<int>(y), own ? "ACCOUNT:" : "COST:",
                                      Argb(255, 153, 51, alpha), 0.3f, 0);
    m_Font.DrawText(static_cast<int>(pen), static_cast<int>(y), value, Argb(255, 255, 0, alpha), 0.3f, 0);
}

void CGameInterface::DrawCarShop()
{
    auto& shop = m_CarShopPanel;
    StepWithScreenKeys([&](ScreenKeys& keys) { return shop.Step(*this, keys, g_GameTimer.m_fRealDelta); });
    if (shop.m_fCarShopFade <= 0.0f)
        return;

    const float alpha = shop.m_fCarShopFade * 254.0f;
    DrawShopDarkening(shop.m_fCarShopFade);
    m_CarShopBar.Draw(220.0f, 400.0f, 580.0f, 630.0f, Argb(255, 255, 255, alpha));

    const int page = std::clamp(shop.m_nCarShopPage, 0, CARSHOP_PAGES - 1);
    const char* rows[CARSHOP_ROWS] = {};
    for (int r = 0; r < CARSHOP_ROWS; ++r)
        rows[r] = shop.m_szCarShopRows[page][r];
    DrawShopRows(m_Font, rows, shop.m_CarShopItemColours[page], page == 0 ? 2 : CARSHOP_ROWS, shop.m_nCarShopItem,
                 page == 0 ? 0.5f : 0.4f, true, 0.0f, shop.m_fCarShopFade);
    if (page == 1 && shop.m_pCarShopProp) {
        DrawCarFigures(250.0f, 390.0f, 450.0f, g_pPlayerVehicle);
        const int index = shop.m_nShowroomIndex;
        if (index >= 0 && static_cast<std::uint32_t>(index) < shop.m_pCarShopProp->m_nCars)
            DrawCarFigures(410.0f, 535.0f, 450.0f, shop.m_pCarShopProp->m_pCars[shop.m_nShowroomIndex]);
    }
}
