// The car shop's keys and steps: browsing the showroom with the camera and
// trading the player's car, taken in at its rating with its damage, for a
// showroom car at that car's rating.
#include "game/GameInterface.h"
#include "game/PlayerStats.h"
#include "game/ScreenKeys.h"
#include "game/ShopScreens.h"
#include "graphics/WorldCamera.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/GameSound.h"
#include "shell/NumberRanges.h"
#include "shell/Profile.h"
#include "world/Prop.h"
#include "world/PropManager.h"

#include <algorithm>
#include <cstdio>

namespace {

const D3DXCOLOR4 kWhite{1.0f, 1.0f, 1.0f, 1.0f};
const D3DXCOLOR4 kChoice{1.0f, 0.6f, 0.2f, 1.0f};
const D3DXCOLOR4 kShort{1.0f, 0.3f, 0.3f, 1.0f};
const D3DXVECTOR3 kVertical{0.0f, 1.0f, 0.0f};

void Play(CGameSound* sound)
{
    if (sound)
        sound->Play(0);
}

void SetRow(CGameInterface& ui, int page, int row, const char* text)
{
    char* line = ui.m_CarShopPanel.m_szCarShopRows[page][row];
    std::snprintf(line, CARSHOP_ROW_SIZE, "%s", text);
}

void OpenMainPage(CGameInterface& ui)
{
    auto& shop = ui.m_CarShopPanel;
    shop.m_nCarShopPage = 0;
    shop.m_nCarShopFirst = 0;
    shop.m_nCarShopLast = 1;
    shop.m_nCarShopItem = 0;
}

CVehicle* ShowroomCar(const CGameInterface& ui)
{
    auto& shop = ui.m_CarShopPanel;
    const CProp* prop = shop.m_pCarShopProp;
    if (!prop || shop.m_nShowroomIndex < 0 || static_cast<std::uint32_t>(shop.m_nShowroomIndex) >= prop->m_nCars)
        return nullptr;
    return prop->m_pCars[shop.m_nShowroomIndex];
}

// The camera swings round to the showroom car and its price decides
// whether CHANGE can be chosen.
void LookAtShowroomCar(CGameInterface& ui)
{
    auto& shop = ui.m_CarShopPanel;
    CVehicle* car = ShowroomCar(ui);
    if (!car)
        return;
    if (CWorldCamera* camera = g_Game.m_pCamera) {
        camera->SetTargetVehicle(nullptr);
        const D3DXVECTOR3 eye = car->m_vPosition + D3DXVECTOR3(-3.5f, 2.5f, 0.0f);
        const D3DXVECTOR3 target = car->m_vPosition - D3DXVECTOR3(0.0f, 2.0f, 0.0f);
        camera->StartTransition(&eye, &target, 0.5f, &kVertical, 0.35f, 0);
    }
    shop.m_nCarPrice = car->GetPerformanceRating(1, 1);
    if (shop.m_nCarBudget < shop.m_nCarPrice) {
        SetRow(ui, 1, CARSHOP_CHANGE_ROW, "COMES SHORT MONEY!");
        shop.m_CarShopItemColours[1][CARSHOP_CHANGE_ROW] = kShort;
        shop.m_nCarShopFirst = CARSHOP_BACK_ROW;
        shop.m_nCarShopItem = CARSHOP_BACK_ROW;
    } else {
        SetRow(ui, 1, CARSHOP_CHANGE_ROW, "CHANGE");
        shop.m_CarShopItemColours[1][CARSHOP_CHANGE_ROW] = kChoice;
        shop.m_nCarShopFirst = CARSHOP_CHANGE_ROW;
        shop.m_nCarShopItem = CARSHOP_CHANGE_ROW;
    }
    shop.m_nCarShopLast = CARSHOP_BACK_ROW;
}

void Browse(CGameInterface& ui, int step)
{
    auto& shop = ui.m_CarShopPanel;
    const CProp* prop = shop.m_pCarShopProp;
    if (!prop || prop->m_nCars == 0)
        return;
    const int last = static_cast<int>(prop->m_nCars) - 1;
    const int index = std::clamp(shop.m_nShowroomIndex + step, 0, last);
    Play(ui.m_pSoundMove);
    if (index == shop.m_nShowroomIndex)
        return;
    shop.m_nShowroomIndex = index;
    LookAtShowroomCar(ui);
}

void StartBrowsing(CGameInterface& ui)
{
    auto& shop = ui.m_CarShopPanel;
    const CProp* prop = shop.m_pCarShopProp;
    CVehicle* own = g_pPlayerVehicle;
    if (!prop || prop->m_nCars == 0 || !own) {
        Play(ui.m_pSoundRefused);
        return;
    }
    shop.m_nCarShopPage = 1;
    // The own car's bars come from the driver information, built now.
    ui.RebuildDriverInfo();
    // The rating may stand at the int range's end (a car of enormous power).
    shop.m_nCarBudget = SaturatingAdd(own->GetPerformanceRating(1, 1), g_PlayerStats.m_nMoney);
    shop.m_nShowroomIndex = 0;
    LookAtShowroomCar(ui);
    Play(ui.m_pSoundClick);
}

void ReturnCamera(CVehicle* car)
{
    CWorldCamera* camera = g_Game.m_pCamera;
    if (!camera || !car)
        return;
    camera->SetTargetVehicle(car);
    const D3DXVECTOR3 offset(-5.0f, 4.0f, 0.0f);
    camera->StartTransition(&offset, &car->m_vPosition, 0.5f, &kVertical, 0.35f, 1);
}

void Leave(CGameInterface& ui)
{
    Play(ui.m_pSoundClick);
    CVehicle* car = g_pPlayerVehicle;
    if (ui.m_CarShopPanel.m_nCarShopPage == 1) {
        ReturnCamera(car);
        OpenMainPage(ui);
        return;
    }
    if (car) {
        if (CWorldCamera* camera = g_Game.m_pCamera)
            camera->SetMode(camera->m_nLastView, car);
        car->SetControlMode(2);
        car->m_bHandBrake = 0;
    }
    g_PropManager.m_fShopTimer = -4.0f;
    ui.SetCarShop(nullptr);
    SaveGame();
}

// The showroom car takes the player's place in the car list and at the
// entrance, the old car stands in its showroom place.
void Trade(CGameInterface& ui)
{
    auto& shop = ui.m_CarShopPanel;
    CVehicle* bought = ShowroomCar(ui);
    CVehicle* other = g_pPlayerVehicle;
    if (!bought || !other || shop.m_nCarBudget < shop.m_nCarPrice) {
        Play(ui.m_pSoundRefused);
        return;
    }
    g_VehicleManager.SwapVehicles(&bought, &other);
    // Afterwards the slot holds the old car and `other` names the bought one.
    shop.m_pCarShopProp->PlaceCars(&bought, &other);
    g_pPlayerVehicle = g_VehicleManager.m_nCars > 0 ? g_VehicleManager.m_Cars[0] : other;
    // The player's new car belongs to no showroom any more: it would else
    // name a shop that the next reset deletes before the car.
    shop.m_pCarShopProp->RemoveCar(g_pPlayerVehicle);
    g_pPlayerVehicle->m_pShowroom = nullptr;
    g_PlayerStats.m_nMoney = SaturatingAdd(shop.m_nCarBudget, -static_cast<long long>(shop.m_nCarPrice));
    g_PlayerStats.m_fCriminalLevel = 0.0f;
    Leave(ui);
}

} // namespace

void CGameInterface::SetCarShop(CProp* prop)
{
    auto& shop = m_CarShopPanel;
    if (prop == shop.m_pCarShopProp)
        return;
    if (prop) {
        prop->SetCarsInWorld(true);
        shop.m_pCarAtShopEntry = g_pPlayerVehicle;
        shop.m_bCarShopOpen = 1;
    } else {
        if (shop.m_pCarShopProp)
            shop.m_pCarShopProp->SetCarsInWorld(false);
        // A new car shakes off the police.
        if (g_pPlayerVehicle != shop.m_pCarAtShopEntry)
            g_PlayerStats.m_fCriminalLevel = 0.0f;
        ShowMessage(MSG_MAP_LEGEND, 10.0f, &kWhite, 0.35f);
        shop.m_bCarShopOpen = 0;
    }
    SetRow(*this, 0, 0, "CHANGE AUTO");
    SetRow(*this, 0, 1, "COMPLETE");
    for (int r = 0; r < CARSHOP_CHANGE_ROW; ++r)
        SetRow(*this, 1, r, "");
    SetRow(*this, 1, CARSHOP_CHANGE_ROW, "CHANGE");
    SetRow(*this, 1, CARSHOP_BACK_ROW, "BACK");
    OpenMainPage(*this);
    shop.m_pCarShopProp = prop;
}

void CarShopPanel::Step(CGameInterface& ui, ScreenKeys& keys, float realDelta)
{
    const float step = 2.0f * realDelta;
    m_fCarShopFade = std::clamp(m_fCarShopFade + (m_bCarShopOpen ? step : -step), 0.0f, 1.0f);
    if (!m_bCarShopOpen)
        return;
    if (keys.up || keys.down) {
        const int n = m_nCarShopLast - m_nCarShopFirst + 1;
        const int i = m_nCarShopItem - m_nCarShopFirst + (keys.up ? -1 : 1);
        m_nCarShopItem = m_nCarShopFirst + ((i % n) + n) % n;
        keys.up = keys.down = 0;
        Play(ui.m_pSoundMove);
    }
    if (m_nCarShopPage == 1 && (keys.left || keys.right)) {
        Browse(ui, keys.left ? -1 : 1);
        keys.left = keys.right = 0;
    }
    if (keys.enter) {
        keys.enter = 0;
        if (m_nCarShopItem == m_nCarShopLast)
            Leave(ui);
        else if (m_nCarShopPage == 0)
            StartBrowsing(ui);
        else
            Trade(ui);
    } else if (keys.escape) {
        keys.escape = 0;
        Leave(ui);
    }
}
