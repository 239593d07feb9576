#include "game/PanelStates.h"

#include <algorithm>
#include <iterator>

namespace {

const D3DXCOLOR4 kWhite{1.0f, 1.0f, 1.0f, 1.0f};
const D3DXCOLOR4 kChoice{1.0f, 0.6f, 0.2f, 1.0f};
const D3DXCOLOR4 kLeave{0.6f, 0.3f, 0.1f, 1.0f};

// COMPLETE and BACK are the ways out; the rest are choices.
const D3DXCOLOR4 kCarShopItemColours[CARSHOP_PAGES][CARSHOP_ROWS] = {
    {kChoice, kLeave, kChoice, kChoice, kChoice, kChoice, kChoice, kChoice},
    {kChoice, kChoice, kChoice, kChoice, kChoice, kChoice, kChoice, kLeave},
};

} // namespace

void RaceOfferPanel::Reset()
{
    *this = RaceOfferPanel{};
}

void RaceResultPanel::Reset()
{
    *this = RaceResultPanel{};
}

void RatingListPanel::Reset()
{
    *this = RatingListPanel{};
}

DriverInfoPanel::DriverInfoPanel()
{
    std::fill(std::begin(m_DriverInfoColours), std::end(m_DriverInfoColours), kWhite);
}

void DriverInfoPanel::Reset()
{
    *this = DriverInfoPanel{};
}

void PopupMenuPanel::Reset()
{
    *this = PopupMenuPanel{};
}

void WorkshopPanel::Reset()
{
    *this = WorkshopPanel{};
}

CarShopPanel::CarShopPanel()
{
    std::copy(&kCarShopItemColours[0][0], &kCarShopItemColours[0][0] + CARSHOP_PAGES * CARSHOP_ROWS,
              &m_CarShopItemColours[0][0]);
}

void CarShopPanel::Reset()
{
    *this = CarShopPanel{};
}
