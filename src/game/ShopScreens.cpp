#include "game/ShopScreens.h"

#include "game/GameInterface.h"
#include "roadusers/Vehicle.h"

#include <algorithm>
#include <cmath>

int g_nPaintHue[2] = {0, 0};
int g_nPaintShade[2] = {10, 10};
int g_nPaintType = 0;

namespace {

const D3DXCOLOR4 kChoice{1.0f, 0.6f, 0.2f, 1.0f};
const D3DXCOLOR4 kLeave{0.6f, 0.3f, 0.1f, 1.0f};
const D3DXCOLOR4 kInfo{1.0f, 0.8f, 0.5f, 1.0f};

} // namespace

// clang-format off
D3DXCOLOR4 g_WorkshopItemColours[WORKSHOP_PAGES][WORKSHOP_ROWS] = {
    {kChoice, kChoice, kChoice, kLeave, kChoice, kChoice},
    {kInfo, kInfo, kInfo, kChoice, kLeave, kChoice},
    {kChoice, kChoice, kChoice, kChoice, kLeave, kChoice},
    {kInfo, kChoice, kChoice, kChoice, kLeave, kInfo},
    {kChoice, kChoice, kLeave, kChoice, kChoice, kChoice},
    {kChoice, kChoice, kChoice, kLeave, kChoice, kChoice},
};

const ShopPage g_WorkshopPages[WORKSHOP_PAGES] = {
    {{"REPAIR", "UPGRADE", "PAINT", "EXIT"}, 4, 0, 3, 0.4f},
    {{"DAMAGES:", "COST of REPAIR:", "YOU MONEY:", "TO REPAIR:", "BACK"}, 5, 3, 4, 0.35f},
    {{"ENGINE", "TRANSMISSION", "CHASSIS", "TIRES", "BACK"}, 5, 0, 4, 0.4f},
    {{"UPGRADE", "INITIAL", "ADVANCED", "PROFESSIONAL", "BACK", "YOUR MONEY"}, 6, 1, 4, 0.35f},
    {{"FIRST COLOR", "SECOND COLOR", "BACK"}, 3, 0, 2, 0.4f},
    {{"", "", "", "DONE"}, 4, 0, 3, 0.5f},
};
// clang-format on

const D3DXCOLOR4 g_PaintSpectrum[PAINT_SPECTRUM_COLOURS] = {
    {1, 0, 0, 1}, {1, 0, 1, 1}, {0, 0, 1, 1}, {0, 1, 1, 1}, {0, 1, 0, 1}, {1, 1, 0, 1}, {1, 0, 0, 1},
};

const float g_UpgradePriceFactors[4] = {1.4f, 1.2f, 0.8f, 0.6f};

D3DXCOLOR4 PaintHueColour(float hue)
{
    hue = std::clamp(hue, 0.0f, 100.0f);
    const int k = std::clamp(static_cast<int>(hue * 5.99f / 100.0f), 0, PAINT_SPECTRUM_COLOURS - 2);
    const float f = (hue * 5.99f - 100.0f * static_cast<float>(k)) / 100.0f;
    const D3DXCOLOR4& a = g_PaintSpectrum[k];
    const D3DXCOLOR4& b = g_PaintSpectrum[k + 1];
    return D3DXCOLOR4{a.r + f * (b.r - a.r), a.g + f * (b.g - a.g), a.b + f * (b.b - a.b), 1.0f};
}

D3DXCOLOR4 PaintShadeColour(const D3DXCOLOR4& hue, int cell)
{
    cell = std::clamp(cell, 0, PAINT_SHADES - 1);
    if (cell < 10) {
        const float k = static_cast<float>(cell) / 9.0f;
        return D3DXCOLOR4{hue.r * k, hue.g * k, hue.b * k, 1.0f};
    }
    const float add = static_cast<float>(cell - 10) / 9.0f;
    return D3DXCOLOR4{std::min(hue.r + add, 1.0f), std::min(hue.g + add, 1.0f), std::min(hue.b + add, 1.0f), 1.0f};
}

int PaintTypeOfGloss(int gloss)
{
    return std::clamp((gloss - 48) / 56, 0, static_cast<int>(PAINT_TYPES) - 1);
}

int PaintGlossOfType(int type)
{
    return 48 + 56 * type;
}

int WorkshopLevel(const CVehicle& car, int part)
{
    if (part < 0 || part > 3)
        return 0;
    return std::clamp(static_cast<int>(car.m_UpgradeLevels[part]), 0, static_cast<int>(WORKSHOP_LEVELS));
}

float UpgradePrice(int rating, int part, int level)
{
    const float factor = part >= 0 && part < 4 ? g_UpgradePriceFactors[part] : 0.0f;
    return static_cast<float>(level) * static_cast<float>(rating) * 0.25f * factor;
}

CarFigureShares FigureShares(const CVehicle& car)
{
    return CarFigureShares{(car.m_fPower - 750.0f) / 4250.0f, (car.m_fTransmission - 0.5f) / 4.5f,
                           (car.m_fFrontGrip + car.m_fRearGrip - 0.5f) / 4.5f};
}

CarFigureShares ClampShares(CarFigureShares s, float lowest)
{
    auto clamp = [lowest](float v) { return std::isnan(v) ? lowest : std::clamp(v, lowest, 1.0f); };
    return CarFigureShares{clamp(s.speed), clamp(s.power), clamp(s.control)};
}

int PlayerRatingRow(int points)
{
    const float share = static_cast<float>(std::min(points, 144)) / 144.0f;
    return std::clamp((RACER_COUNT - 1) - static_cast<int>(share * (RACER_COUNT - 1)), 0, (RACER_COUNT - 1));
}

PlayTimeSplit SplitPlayTime(float seconds)
{
    const double t = std::max(0.0, static_cast<double>(seconds));
    const int days = static_cast<int>(t / 60.0 / 60.0 / 24.0);
    const int hours = static_cast<int>((t - days * 86400.0) / 60.0 / 60.0);
    const int minutes = static_cast<int>((t - days * 86400.0 - hours * 3600.0) / 60.0);
    return PlayTimeSplit{days, hours, minutes};
}
