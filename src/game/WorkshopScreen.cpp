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
std::vector<int> SelectableRows(const WorkshopPanel& w, const CVehicle& car)
{
    const int page = w.m_nWorkshopPage;
    std::vector<int> rows;
    if (page == WORKSHOP_LEVEL) {
        const int level = WorkshopLevel(car, w.m_nShopSubject);
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

void MoveCursor(WorkshopPanel& w, const CVehicle& car, int step)
{
    const std::vector<int> rows = SelectableRows(w, car);
    const auto at = std::find(rows.begin(), rows.end(), w.m_nShopItem);
    int i = at == rows.end() ? 0 : static_cast<int>(at - rows.begin()) + step;
    const int n = static_cast<int>(rows.size());
    i = (i % n + n) % n;
    w.m_nShopItem = rows[static_cast<std::size_t>(i)];
}

// The chosen shade goes onto the car at once, so the car shows it live.
void PreviewPaint(const WorkshopPanel& w, CVehicle& car)
{
    const int slot = std::clamp(w.m_nShopSubject, 0, 1);
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
    auto& workshop = ui.m_WorkshopPanel;
    const int slot = std::clamp(workshop.m_nShopSubject, 0, 1);
    if (workshop.m_nShopItem == 0) {
        g_nPaintHue[slot] = std::clamp(g_nPaintHue[slot] + step, 0, 100);
        Play(ui.m_pSoundMove);
    } else if (workshop.m_nShopItem == 1) {
        g_nPaintShade[slot] = std::clamp(g_nPaintShade[slot] + step, 0, PAINT_SHADES - 1);
        Play(ui.m_pSoundMove);
    } else if (workshop.m_nShopItem == 2) {
        g_nPaintType = std::clamp(g_nPaintType + step, 0, PAINT_TYPES - 1);
        car.m_nPaintGloss = PaintGlossOfType(g_nPaintType);
    }
}

void StartPaintJob(CGameInterface& ui, CVehicle& car)
{
    auto& workshop = ui.m_WorkshopPanel;
    car.SetAIState(AI_STATE_PAINT);
    // The paint behaviour reads the slot from this timer.
    car.m_fStuckTimer = static_cast<float>(std::clamp(workshop.m_nShopSubject, 0, 1));
    Play(ui.m_pSoundPaint);
    workshop.m_nWorkshopPage = WORKSHOP_PAINT;
    workshop.m_nShopItem = std::clamp(workshop.m_nShopSubject, 0, 1);
}

void FillRepairTexts(CGameInterface& ui)
{
    auto& workshop = ui.m_WorkshopPanel;
    const float share = workshop.m_nRepairPrice > 0 && g_PlayerStats.m_nMoney < workshop.m_nRepairPrice
                            ? workshop.m_fRepairDamage * static_cast<float>(g_PlayerStats.m_nMoney) /
                                  static_cast<float>(workshop.m_nRepairPrice)
                            : workshop.m_fRepairDamage;
    char (*texts)[32] = workshop.m_szRepairTexts;
    std::snprintf(texts[0], sizeof(texts[0]), "%.1f%%", static_cast<double>(workshop.m_fRepairDamage));
    std::snprintf(texts[1], sizeof(texts[1]), "%d", workshop.m_nRepairPrice);
    std::snprintf(texts[2], sizeof(texts[2]), "%d", g_PlayerStats.m_nMoney);
    std::snprintf(texts[3], sizeof(texts[3]), "%.1f%%", static_cast<double>(share));
}

void OpenRepairPage(CGameInterface& ui, CVehicle& car)
{
    auto& workshop = ui.m_WorkshopPanel;
    if (car.m_nAIState != AI_STATE_REPAIR) {
        workshop.m_nRepairPrice = car.GetRepairPrice(1);
        workshop.m_fRepairDamage = car.GetDamageRatio() * 100.0f;
    }
    FillRepairTexts(ui);
    workshop.m_nWorkshopPage = WORKSHOP_REPAIR;
    workshop.m_nShopItem = 3;
}

// The money pays for the whole repair or the share it covers; a share
// takes all the money, exactly.
void Repair(CGameInterface& ui, CVehicle& car)
{
    auto& workshop = ui.m_WorkshopPanel;
    CPlayerStats& s = g_PlayerStats;
    float fraction = 0.0f;
    if (car.m_nAIState != AI_STATE_REPAIR) {
        fraction = s.m_nMoney >= workshop.m_nRepairPrice ? 1.0f
                                                : static_cast<float>(std::max(s.m_nMoney, 0)) /
                                                      static_cast<float>(workshop.m_nRepairPrice);
    }
    if (fraction > 0.0f && workshop.m_fRepairDamage > 0.0f) {
        car.SetAIState(AI_STATE_REPAIR);
        car.m_fRepairFraction = fraction;
        workshop.m_fRepairFraction = fraction;
        Play(ui.m_pSoundRepair);
        if (fraction < 1.0f) {
            s.m_nMoney = 0;
        } else {
            s.m_nMoney -= workshop.m_nRepairPrice;
        }
        workshop.m_nRepairPrice = static_cast<int>(static_cast<float>(workshop.m_nRepairPrice) * (1.0f - fraction));
        workshop.m_fRepairDamage *= 1.0f - fraction;
    } else {
        Play(ui.m_pSoundRefused);
    }
    workshop.m_nWorkshopPage = WORKSHOP_MAIN;
    workshop.m_nShopItem = 0;
}

void OpenLevelPage(CGameInterface& ui, CVehicle& car)
{
    auto& workshop = ui.m_WorkshopPanel;
    workshop.m_nShopSubject = std::clamp(workshop.m_nShopItem, 0, 3);
    const int rating = car.GetPerformanceRating(1, 1);
    for (int n = 1; n <= WORKSHOP_LEVELS; ++n)
        workshop.m_fLevelPrices[n] = UpgradePrice(rating, workshop.m_nShopSubject, n);
    workshop.m_nWorkshopPage = WORKSHOP_LEVEL;
    workshop.m_nShopItem = 4;
}

void Upgrade(CGameInterface& ui, CVehicle& car)
{
    auto& workshop = ui.m_WorkshopPanel;
    const int part = std::clamp(workshop.m_nShopSubject, 0, 3);
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
    workshop.m_nWorkshopPage = WORKSHOP_PART;
    workshop.m_nShopItem = part;
}

void Leave(CGameInterface& ui, CVehicle& car)
{
    auto& workshop = ui.m_WorkshopPanel;
    switch (workshop.m_nWorkshopPage) {
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
        workshop.m_nWorkshopPage = WORKSHOP_PART;
        workshop.m_nShopItem = std::clamp(workshop.m_nShopSubject, 0, 3);
        Play(ui.m_pSoundClick);
        break;
    case WORKSHOP_COLOUR:
        StartPaintJob(ui, car);
        break;
    default:
        workshop.m_nWorkshopPage = WORKSHOP_MAIN;
        workshop.m_nShopItem = 0;
        Play(ui.m_pSoundClick);
        break;
    }
}

void Choose(CGameInterface& ui, CVehicle& car)
{
    auto& workshop = ui.m_WorkshopPanel;
    const int row = workshop.m_nShopItem;
    switch (workshop.m_nWorkshopPage) {
    case WORKSHOP_MAIN:
        if (row == 0) {
            OpenRepairPage(ui, car);
        } else {
            workshop.m_nWorkshopPage = row == 1 ? WORKSHOP_PART : WORKSHOP_PAINT;
            workshop.m_nShopItem = 0;
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
        if (row == WorkshopLevel(car, workshop.m_nShopSubject) + 1)
            Upgrade(ui, car);
        break;
    case WORKSHOP_PAINT:
        workshop.m_nShopSubject = std::clamp(row, 0, 1);
        g_nPaintType = PaintTypeOfGloss(car.m_nPaintGloss);
        workshop.m_nWorkshopPage = WORKSHOP_COLOUR;
        workshop.m_nShopItem = 0;
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
    auto& workshop = m_WorkshopPanel;
    const std::uint32_t want = open ? 1u : 0u;
    if (want == workshop.m_bWorkshopOpen)
        return;
    CVehicle* car = g_pPlayerVehicle;
    workshop.m_bWorkshopOpen = want;
    workshop.m_nWorkshopPage = WORKSHOP_MAIN;
    if (want) {
        workshop.m_vSavedPaint = car ? ColourOf(car->m_PaintColor) : D3DXCOLOR4{0.0f, 0.0f, 0.0f, 0.0f};
        workshop.m_nShopItem = 0;
        return;
    }
    // A new first colour shakes off the police.
    if (car && Differs(car->m_PaintColor, workshop.m_vSavedPaint))
        g_PlayerStats.m_fCriminalLevel = 0.0f;
    ShowMessage(MSG_MAP_LEGEND, 10.0f, &kWhite, 0.35f);
}

void WorkshopPanel::Step(CGameInterface& ui, ScreenKeys& keys, float realDelta)
{
    const float step = 2.0f * realDelta;
    m_fWorkshopFade = std::clamp(m_fWorkshopFade + (m_bWorkshopOpen ? step : -step), 0.0f, 1.0f);
    CVehicle* car = g_pPlayerVehicle;
    if (!m_bWorkshopOpen || !car)
        return;
    m_nWorkshopPage = std::clamp(m_nWorkshopPage, 0, WORKSHOP_PAGES - 1);
    if (keys.up || keys.down) {
        MoveCursor(*this, *car, keys.up ? -1 : 1);
        keys.up = keys.down = 0;
        Play(ui.m_pSoundMove);
    }
    if (m_nWorkshopPage == WORKSHOP_COLOUR) {
        if (keys.left || keys.right) {
            ChangePaintValue(ui, *car, keys.left ? -1 : 1);
            keys.left = keys.right = 0;
        }
        PreviewPaint(*this, *car);
    }
    if (keys.enter) {
        keys.enter = 0;
        const std::vector<int> rows = SelectableRows(*this, *car);
        if (m_nShopItem == rows.back())
            Leave(ui, *car);
        else
            Choose(ui, *car);
    } else if (keys.escape) {
        keys.escape = 0;
        Leave(ui, *car);
    }
}
