// The driver information panel (I): the player's name and statistics, the
// car's name, driving time and damage, and three bars of the car's figures
// showing what its damage takes away.
#include "game/GameInterface.h"
#include "game/PlayerStats.h"
#include "game/ScreenKeys.h"
#include "game/ShopScreens.h"
#include "graphics/ScreenDraw.h"
#include "roadusers/Vehicle.h"
#include "shell/Game.h"
#include "shell/GameSound.h"
#include "shell/GameTimer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const D3DXCOLOR4 kRowColour{150.0f / 255.0f, 150.0f / 255.0f, 0.0f, 1.0f};
const D3DXCOLOR4 kTitleColour{1.0f, 1.0f, 0.5f, 1.0f};

DWORD Argb(const D3DXCOLOR4& c, int alpha)
{
    auto channel = [](float v) { return static_cast<DWORD>(std::clamp(v, 0.0f, 1.0f) * 255.0f); };
    return D3DCOLOR_ARGB(static_cast<DWORD>(std::clamp(alpha, 0, 255)), channel(c.r), channel(c.g), channel(c.b));
}

void FormatTime(char* row, float seconds, const char* format)
{
    const PlayTimeSplit t = SplitPlayTime(seconds);
    std::snprintf(row, DRIVER_INFO_ROW_SIZE, format, t.days, t.hours, t.minutes);
}

} // namespace

void CGameInterface::SetDriverInfo(int open)
{
    m_DriverInfoPanel.m_bDriverInfoOpen = open ? 1u : 0u;
    if (open) {
        m_DriverInfoPanel.m_fDriverInfoTimer = 10.0f;
        RefreshDriverInfo(0.0f);
    }
}

void CGameInterface::RefreshDriverInfo(float gameDelta)
{
    auto& info = m_DriverInfoPanel;
    info.m_fDriverInfoTimer += gameDelta;
    if (info.m_fDriverInfoTimer < 0.5f)
        return;
    info.m_fDriverInfoTimer = 0.0f;
    RebuildDriverInfo();
}

void CGameInterface::RebuildDriverInfo()
{
    auto& info = m_DriverInfoPanel;
    char (*row)[DRIVER_INFO_ROW_SIZE] = info.m_szDriverInfoRows;
    const CPlayerStats& s = g_PlayerStats;
    std::snprintf(row[0], DRIVER_INFO_ROW_SIZE, "%.*s", static_cast<int>(sizeof(g_szPlayerName)), g_szPlayerName);
    FormatTime(row[1], s.m_fPlayTime, "%dd %dh %dm");
    std::snprintf(row[2], DRIVER_INFO_ROW_SIZE, "%d-st", PlayerRatingRow(s.m_nRatingPoints) + 1);
    std::snprintf(row[3], DRIVER_INFO_ROW_SIZE, "%d$", s.m_nMoney);
    std::snprintf(row[4], DRIVER_INFO_ROW_SIZE, "%d", s.m_nRoadIncidents);
    std::snprintf(row[5], DRIVER_INFO_ROW_SIZE, "%d", s.m_nPedestriansHit);
    std::snprintf(row[6], DRIVER_INFO_ROW_SIZE, "%d", s.m_nArrests);
    std::snprintf(row[7], DRIVER_INFO_ROW_SIZE, "%d$", s.m_nFinesTotal);
    std::snprintf(row[8], DRIVER_INFO_ROW_SIZE, "%d$", s.m_nEarningsTotal);
    std::snprintf(row[9], DRIVER_INFO_ROW_SIZE, "%.0f", static_cast<double>(s.m_fDamageTotal));
    for (D3DXCOLOR4& c : info.m_DriverInfoColours)
        c = kRowColour;
    info.m_DriverInfoColours[0] = info.m_DriverInfoColours[3] = info.m_DriverInfoColours[10] = kTitleColour;

    CVehicle* car = g_pPlayerVehicle;
    if (!car) {
        row[10][0] = row[11][0] = row[12][0] = '\0';
        std::fill(std::begin(info.m_fDriverInfoBars), std::end(info.m_fDriverInfoBars), 0.05f);
        return;
    }
    const float d = car->GetDamageRatio();
    std::snprintf(row[10], DRIVER_INFO_ROW_SIZE, "%s", car->m_szName);
    FormatTime(row[11], car->m_fDrivingTime, "%dd %dh %dm ");
    std::snprintf(row[12], DRIVER_INFO_ROW_SIZE, "%.0f%%", static_cast<double>(d * 100.0f));
    info.m_DriverInfoColours[12] = D3DXCOLOR4{std::min(8.0f * d, 1.0f), 1.0f - std::min(4.0f * d, 1.0f), 0.0f, 1.0f};

    // Undamaged first, so the car keeps its damaged figures afterwards.
    car->UpdatePerformance(0, 1);
    const CarFigureShares whole = ClampShares(FigureShares(*car), 0.05f);
    car->UpdatePerformance(1, 1);
    const CarFigureShares now = ClampShares(FigureShares(*car), 0.05f);
    const float bars[6] = {now.speed, now.power, now.control, whole.speed, whole.power, whole.control};
    std::copy(std::begin(bars), std::end(bars), info.m_fDriverInfoBars);
}

void DriverInfoPanel::Step(CGameInterface& ui, ScreenKeys& keys, float gameDelta)
{
    if (keys.driverInfo) {
        keys.driverInfo = 0;
        ui.SetDriverInfo(m_bDriverInfoOpen ? 0 : 1);
    }
    const float step = 2.0f * gameDelta;
    m_fDriverInfoFade = std::clamp(m_fDriverInfoFade + (m_bDriverInfoOpen ? step : -step), 0.0f, 1.0f);
    if (!m_bDriverInfoOpen)
        return;
    ui.RefreshDriverInfo(gameDelta);
    if (keys.enter || keys.escape) {
        keys.enter = keys.escape = 0;
        if (ui.m_pSoundClick)
            ui.m_pSoundClick->Play(0);
        ui.SetDriverInfo(0);
    }
}

void CGameInterface::DrawDriverInfo()
{
    auto& info = m_DriverInfoPanel;
    StepWithScreenKeys([&](ScreenKeys& keys) { return info.Step(*this, keys, g_GameTimer.m_fDelta); });
    if (info.m_fDriverInfoFade <= 0.0f)
        return;

    const int a = static_cast<int>(info.m_fDriverInfoFade * 255.0f);
    m_BalanceBar.Draw(490.0f, 0.0f, 800.0f, 400.0f, D3DCOLOR_ARGB(static_cast<DWORD>(a), 255, 255, 255));
    // Rows 4 to 9 step down from y 96 by their own index.
    float at[DRIVER_INFO_ROWS][2] = {{570, 65}, {625, 79}, {625, 95}, {625, 110}};
    for (int i = 4; i <= 9; ++i) {
        at[i][0] = 680.0f;
        at[i][1] = 96.0f + 14.8f * static_cast<float>(i);
    }
    const float tail[3][2] = {{570, 274}, {620, 289}, {620, 304}};
    std::memcpy(at[10], tail, sizeof(tail));
    for (int i = 0; i < DRIVER_INFO_ROWS; ++i)
        m_Font.DrawText(static_cast<int>(at[i][0]), static_cast<int>(at[i][1]), info.m_szDriverInfoRows[i],
                        Argb(info.m_DriverInfoColours[i], a), 0.35f, 0);

    for (int i = 0; i < 3; ++i) {
        const float top = 322.0f + 15.0f * static_cast<float>(i);
        CScreenDraw::DrawBevelFrame(620.0f, top, 760.0f, top + 10.0f,
                                    D3DCOLOR_ARGB(static_cast<DWORD>(a / 2), 255, 200, 100), 5);
        const float now = info.m_fDriverInfoBars[i], whole = info.m_fDriverInfoBars[3 + i];
        if (whole > now)
            CScreenDraw::DrawRect(622.0f, top + 2.0f, 622.0f + 136.0f * whole, top + 8.0f,
                                  D3DCOLOR_ARGB(static_cast<DWORD>(a), 155, 0, 0), INVALID_TEXTURE_ID);
        CScreenDraw::DrawRect(622.0f, top + 2.0f, 622.0f + 136.0f * now, top + 8.0f,
                              D3DCOLOR_ARGB(static_cast<DWORD>(a), 155, 100, 0), INVALID_TEXTURE_ID);
    }
}
