// The workshop's keys and steps: repair, upgrades and the paint editor, all
// paid from the player's money and shown on the car by its workshop
// behaviour (smoke for work, coloured puffs for paint).
#include "game/GameInterface.h"
#include "game/PlayerStats.h"
#include "game/ScreenKeys.h"
#include "game/ShopScreens.h"
#include "graphics/D3DRender.h"
#include "graphics/WorldCamera.h"
#include "roadusers/Vehicle.h"
#include "shell/Game.h"
#include "shell/GameSound.h"
#include "shell/NumberRanges.h"
#include "shell/Profile.h"
#include "world/PropManager.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

enum { AI_STATE_REPAIR = 6, AI_STATE_PAINT = 7 };

const D3DXCOLOR4 kWhite{1.0f, 1.0f, 1.0f, 1.0f};

void Play(CGameSound* sound)
{
    if (sound)
        sound->Play(0);
}

D3DXCOLOR4 ColourOf(const float c[4])
{
    return D3DXCOLOR4{c[0], c[1], c[2], c[3]};
}

bool Differs(const float c[4], const D3DXCOLOR4& d)
{
    return c[0] != d.r || c[1] != d.g || c[2] != d.b || c[3] != d.a;
}

// The rows the cursor may rest on. On the level page only the next level
// and BACK can be chosen.
std::vector<int> SelectableRows(int page, const CVehicle& car)
{
    std::vector<int> rows;
    if (page == WORKSHOP_LEVEL) {
        const int level = WorkshopLevel(car, g_nShopSubject);
        if (level < WORKSHOP_LEVELS)
            rows.push_back(level + 1);
        rows.push_back(4);
        return rows;
    }
    const ShopPage& p = g_WorkshopPages[page];
    for (int r = p.first; r <= p.last; ++r)
        rows.push_back(r);
    return rows;
}

void MoveCursor(int page, const CVehicle& car, int step)
{
    const std::vector<int> rows = SelectableRows(page, car);
    const auto at = std::find(rows.begin(), rows.end(), g_nShopItem);
    int i = at == rows.end() ? 0 : static_cast<int>(at - rows.begin()) + step;
    const int n = static_cast<int>(rows.size());
    i = (i % n + n) % n;
    g_nShopItem = rows[static_cast<std::size_t>(i)];
}

// The chosen shade goes onto the car at once, so the car shows it live.
void PreviewPaint(CVehicle& car)
{
    const int slot = std::clamp(g_nShopSubject, 0, 1);
    const D3DXCOLOR4 c = PaintShadeColour(PaintHueColour(static_cast<float>(g_nPaintHue[slot])), g_nPaintShade[slot]);
    const float colour[4] = {c.r, c.g, c.b, c.a};
    if (slot == 0) {
        if (Differs(car.m_PaintColor, c)) {
            g_D3DRender.m_TextureManager.FillSolidTexture(&car.m_pPaintTexture, colour, 8);
            std::copy(colour, colour + 4, car.m_PaintColor);
        }
    } else {
        std::copy(colour, colour + 4, car.m_PaintColor2);
    }
}

void ChangePaintValue(CGameInterface& ui, CVehicle& car, int step)
{
    const int slot = std::clamp(g_nShopSubject, 0, 1);
    if (g_nShopItem == 0) {
        g_nPaintHue[slot] = std::clamp(g_nPaintHue[slot] + step, 0, 100);
        Play(ui.m_pSoundMove);
    } else if (g_nShopItem == 1) {
        g_nPaintShade[slot] = std::clamp(g_nPaintShade[slot] + step, 0, PAINT_SHADES - 1);
        Play(ui.m_pSoundMove);
    } else if (g_nShopItem == 2) {
        g_nPaintType = std::clamp(g_nPaintType + step, 0, PAINT_TYPES - 1);
        car.m_nPaintGloss = PaintGlossOfType(g_nPaintType);
    }
}

void StartPaintJob(CGameInterface& ui, CVehicle& car)
{
    car.SetAIState(AI_STATE_PAINT);
    // The paint behaviour reads the slot from this timer.
    car.m_fStuckTimer = static_cast<float>(std::clamp(g_nShopSubject, 0, 1));
    Play(ui.m_pSoundPaint);
    ui.m_nWorkshopPage = WORKSHOP_PAINT;
    g_nShopItem = std::clamp(g_nShopSubject, 0, 1);
}

void FillRepairTexts(CGameInterface& ui)
{
    const float share = g_nRepairPrice > 0 && g_PlayerStats.m_nMoney < g_nRepairPrice
                            ? g_fRepairDamage * static_cast<float>(g_PlayerStats.m_nMoney) /
                                  static_cast<float>(g_nRepairPrice)
                            : g_fRepairDamage;
    std::snprintf(ui.m_szRepairTexts[0], sizeof(ui.m_szRepairTexts[0]), "%.1f%%", static_cast<double>(g_fRepairDamage));
    std::snprintf(ui.m_szRepairTexts[1], sizeof(ui.m_szRepairTexts[1]), "%d", g_nRepairPrice);
    std::snprintf(ui.m_szRepairTexts[2], sizeof(ui.m_szRepairTexts[2]), "%d", g_PlayerStats.m_nMoney);
    std::snprintf(ui.m_szRepairTexts[3], sizeof(ui.m_szRepairTexts[3]), "%.1f%%", static_cast<double>(share));
}

void OpenRepairPage(CGameInterface& ui, CVehicle& car)
{
    if (car.m_nAIState != AI_STATE_REPAIR) {
        g_nRepairPrice = car.GetRepairPrice(1);
        g_fRepairDamage = car.GetDamageRatio() * 100.0f;
    }
    FillRepairTexts(ui);
    ui.m_nWorkshopPage = WORKSHOP_REPAIR;
    g_nShopItem = 3;
}

// The money pays for the whole repair or the share it covers; a share
// takes all the money, exactly.
void Repair(CGameInterface& ui, CVehicle& car)
{
    CPlayerStats& s = g_PlayerStats;
    float fraction = 0.0f;
    if (car.m_nAIState != AI_STATE_REPAIR) {
        fraction = s.m_nMoney >= g_nRepairPrice ? 1.0f
                                                : static_cast<float>(std::max(s.m_nMoney, 0)) /
                                                      static_cast<float>(g_nRepairPrice);
    }
    if (fraction > 0.0f && g_fRepairDamage > 0.0f) {
        car.SetAIState(AI_STATE_REPAIR);
        car.m_fRepairFraction = fraction;
        g_fRepairFraction = fraction;
        Play(ui.m_pSoundRepair);
        if (fraction < 1.0f) {
            s.m_nMoney = 0;
        } else {
            s.m_nMoney -= g_nRepairPrice;
        }
        g_nRepairPrice = static_cast<int>(static_cast<float>(g_nRepairPrice) * (1.0f - fraction));
        g_fRepairDamage *= 1.0f - fraction;
    } else {
        Play(ui.m_pSoundRefused);
    }
    ui.m_nWorkshopPage = WORKSHOP_MAIN;
    g_nShopItem = 0;
}

void OpenLevelPage(CGameInterface& ui, CVehicle& car)
{
    g_nShopSubject = std::clamp(g_nShopItem, 0, 3);
    const int rating = car.GetPerformanceRating(1, 1);
    for (int n = 1; n <= WORKSHOP_LEVELS; ++n)
        ui.m_fLevelPrices[n] = UpgradePrice(rating, g_nShopSubject, n);
    ui.m_nWorkshopPage = WORKSHOP_LEVEL;
    g_nShopItem = 4;
}

void Upgrade(CGameInterface& ui, CVehicle& car)
{
    const int part = std::clamp(g_nShopSubject, 0, 3);
    const int level = WorkshopLevel(car, part);
    const int price = SaturateToInt(UpgradePrice(car.GetPerformanceRating(1, 1), part, level + 1));
    if (g_PlayerStats.m_nMoney < price) {
        Play(ui.m_pSoundRefused);
        return;
    }
    // A repair still under way keeps the share it was paid for.
    if (car.m_nAIState != AI_STATE_REPAIR) {
        car.SetAIState(AI_STATE_REPAIR);
        car.m_fRepairFraction = 0.0f;
    }
    Play(ui.m_pSoundRepair);
    car.m_UpgradeLevels[part] = level + 1;
    car.UpdatePerformance(1, 1);
    if (part == CHASSIS || part == TIRES)
        car.UpdatePhysicsProperties();
    g_PlayerStats.m_nMoney = SaturatingAdd(g_PlayerStats.m_nMoney, -static_cast<long long>(price));
    ui.m_nWorkshopPage = WORKSHOP_PART;
    g_nShopItem = part;
}

void Leave(CGameInterface& ui, CVehicle& car)
{
    switch (ui.m_nWorkshopPage) {
    case WORKSHOP_MAIN:
        if (CWorldCamera* camera = g_Game.m_pCamera)
            camera->SetMode(camera->m_nLastView, &car);
        car.SetControlMode(2);
        car.m_bHandBrake = 0;
        g_PropManager.m_fShopTimer = -4.0f;
        ui.SetWorkshop(0);
        SaveGame();
        Play(ui.m_pSoundClick);
        break;
    case WORKSHOP_LEVEL:
        ui.m_nWorkshopPage = WORKSHOP_PART;
        g_nShopItem = std::clamp(g_nShopSubject, 0, 3);
        Play(ui.m_pSoundClick);
        break;
    case WORKSHOP_COLOUR:
        StartPaintJob(ui, car);
        break;
    default:
        ui.m_nWorkshopPage = WORKSHOP_MAIN;
        g_nShopItem = 0;
        Play(ui.m_pSoundClick);
        break;
    }
}

void Choose(CGameInterface& ui, CVehicle& car)
{
    const int row = g_nShopItem;
    switch (ui.m_nWorkshopPage) {
    case WORKSHOP_MAIN:
        if (row == 0) {
            OpenRepairPage(ui, car);
        } else {
            ui.m_nWorkshopPage = row == 1 ? WORKSHOP_PART : WORKSHOP_PAINT;
            g_nShopItem = 0;
        }
        Play(ui.m_pSoundClick);
        break;
    case WORKSHOP_REPAIR:
        Repair(ui, car);
        break;
    case WORKSHOP_PART:
        OpenLevelPage(ui, car);
        Play(ui.m_pSoundClick);
        break;
    case WORKSHOP_LEVEL:
        if (row == WorkshopLevel(car, g_nShopSubject) + 1)
            Upgrade(ui, car);
        break;
    case WORKSHOP_PAINT:
        g_nShopSubject = std::clamp(row, 0, 1);
        g_nPaintType = PaintTypeOfGloss(car.m_nPaintGloss);
        ui.m_nWorkshopPage = WORKSHOP_COLOUR;
        g_nShopItem = 0;
        Play(ui.m_pSoundClick);
        break;
    case WORKSHOP_COLOUR:
        StartPaintJob(ui, car);
        break;
    default:
        break;
    }
}

} // namespace

void CGameInterface::SetWorkshop(int open)
{
    const std::uint32_t want = open ? 1u : 0u;
    if (want == m_bWorkshopOpen)
        return;
    CVehicle* car = g_pPlayerVehicle;
    m_bWorkshopOpen = want;
    m_nWorkshopPage = WORKSHOP_MAIN;
    if (want) {
        g_vSavedPaint = car ? ColourOf(car->m_PaintColor) : D3DXCOLOR4{0.0f, 0.0f, 0.0f, 0.0f};
        g_nShopItem = 0;
        return;
    }
    // A new first colour shakes off the police.
    if (car && Differs(car->m_PaintColor, g_vSavedPaint))
        g_PlayerStats.m_fCriminalLevel = 0.0f;
    ShowMessage(MSG_MAP_LEGEND, 10.0f, &kWhite, 0.35f);
}

void CGameInterface::StepWorkshop(ScreenKeys& keys, float realDelta)
{
    const float step = 2.0f * realDelta;
    m_fWorkshopFade = std::clamp(m_fWorkshopFade + (m_bWorkshopOpen ? step : -step), 0.0f, 1.0f);
    CVehicle* car = g_pPlayerVehicle;
    if (!m_bWorkshopOpen || !car)
        return;
    m_nWorkshopPage = std::clamp(m_nWorkshopPage, 0, WORKSHOP_PAGES - 1);
    if (keys.up || keys.down) {
        MoveCursor(m_nWorkshopPage, *car, keys.up ? -1 : 1);
        keys.up = keys.down = 0;
        Play(m_pSoundMove);
    }
    if (m_nWorkshopPage == WORKSHOP_COLOUR) {
        if (keys.left || keys.right) {
            ChangePaintValue(*this, *car, keys.left ? -1 : 1);
            keys.left = keys.right = 0;
        }
        PreviewPaint(*car);
    }
    if (keys.enter) {
        keys.enter = 0;
        const std::vector<int> rows = SelectableRows(m_nWorkshopPage, *car);
        if (g_nShopItem == rows.back())
            Leave(*this, *car);
        else
            Choose(*this, *car);
    } else if (keys.escape) {
        keys.escape = 0;
        Leave(*this, *car);
    }
}
