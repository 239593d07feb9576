// The race offer (accept or decline a race at its start) and the race result
// (reward and rating points, row by row, booked when it closes).
#include "game/GameInterface.h"
#include "game/ScreenKeys.h"
#include "game/RaceResult.h"
#include "graphics/D3DRender.h"
#include "graphics/ScreenDraw.h"
#include "graphics/ScreenDrawStates.h"
#include "roadusers/RaceInfo.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/AudioManager.h"
#include "shell/GameSound.h"
#include "shell/GameTimer.h"
#include "world/Landscape.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstddef>
#include <cstring>

static_assert(sizeof(RaceMapVertex) == sizeof(CScreenVertex) && offsetof(RaceMapVertex, colour) == offsetof(CScreenVertex, colour) &&
                  offsetof(RaceMapVertex, u) == offsetof(CScreenVertex, u),
              "the race map's vertices are screen vertices");

namespace {

const char* const kResultLabels[RESULT_ROWS] = {"Place: ",      "Road incidence: ",   "Suffered pedestrians: ",
                                                "Bodily injury: ", "Car damages: ", "Reputation points: ",
                                                "Score changing:    "};

void Play(CGameSound* sound)
{
    if (sound)
        sound->Play(0);
}

// The car's damage in percent, 0 .. 100; 0 without a car.
float DamagePercent(const CVehicle* car)
{
    return car ? std::clamp(car->GetDamageRatio(), 0.0f, 1.0f) * 100.0f : 0.0f;
}

bool RouteOffered()
{
    return g_RaceInfo.m_pRoute && g_VehicleManager.m_nRaceRoutePoints > 0;
}

DWORD WithAlpha(DWORD rgb, int alpha)
{
    return (static_cast<DWORD>(std::clamp(alpha, 0, 255)) << 24) | (rgb & 0x00FFFFFFu);
}

void DrawRight(CGameFont& font, float x, float y, const char* text, DWORD colour, float size)
{
    font.DrawText(static_cast<int>(x - font.GetTextWidth(text, size, 0)), static_cast<int>(y), text, colour, size, 0);
}

void SetAddressing(DWORD mode)
{
    if (IDirect3DDevice9* device = g_D3DRender.m_pDevice) {
        device->SetSamplerState(0, D3DSAMP_ADDRESSU, mode);
        device->SetSamplerState(0, D3DSAMP_ADDRESSV, mode);
    }
}

} // namespace

void CGameInterface::SetRaceState(int open)
{
    m_RaceOfferPanel.m_bRaceOfferOpen = open ? 1u : 0u;
    if (!open)
        return;
    m_RaceOfferPanel.m_nRaceOfferChoice = 1;
    ShowRaceResult(0);
    ShowMessage(-1, 0.0f, nullptr, 0.0f);
}

void RaceOfferPanel::Step(CGameInterface& ui, ScreenKeys& keys, float dt)
{
    const float fadeStep = (m_bRaceOfferOpen ? 2.0f : -2.0f) * dt;
    m_fRaceOfferFade = std::clamp(m_fRaceOfferFade + fadeStep, 0.0f, 1.0f);
    if (!m_bRaceOfferOpen)
        return;
    // The race start waits for the panel to close: a withdrawn route must
    // not leave it waiting.
    if (!RouteOffered()) {
        m_nRaceOfferChoice = 0;
        m_bRaceOfferOpen = 0;
        return;
    }
    if (keys.left) {
        m_nRaceOfferChoice = 0;
        Play(ui.m_pSoundMove);
        keys.left = 0;
    }
    if (keys.right) {
        m_nRaceOfferChoice = 1;
        Play(ui.m_pSoundMove);
        keys.right = 0;
    }
    if (!keys.enter && !keys.escape)
        return;
    Play(ui.m_pSoundClick);
    if (keys.escape)
        m_nRaceOfferChoice = 0;
    if (m_nRaceOfferChoice == 1 &&
        static_cast<int>(DamagePercent(g_pPlayerVehicle)) > g_RaceInfo.m_nDamageLimit) {
        const D3DXCOLOR4 colour{1.0f, 0.5f, 0.0f, 1.0f};
        ui.ShowMessage(MSG_DAMAGE_LIMIT, 5.0f, &colour, 0.375f);
        m_nRaceOfferChoice = 0;
    }
    m_bRaceOfferOpen = 0;
    keys.enter = keys.escape = 0;
}

void CGameInterface::DrawRaceInfo()
{
    auto& offer = m_RaceOfferPanel;
    StepWithScreenKeys([&](ScreenKeys& keys) { return offer.Step(*this, keys, g_GameTimer.m_fDelta); });
    if (offer.m_fRaceOfferFade <= 0.0f || !RouteOffered())
        return;
    const int a = static_cast<int>(offer.m_fRaceOfferFade * 255.0f);
    const RaceInfo& race = g_RaceInfo;
    const int time = race.m_bTimeRace ? 1 : 0;
    m_RaceAsk[time].Draw(0.0f, 0.0f, 300.0f, 600.0f, WithAlpha(0xFFFFFF, a));

    char text[64];
    std::snprintf(text, sizeof(text), "%d%%", race.m_nDamageLimit);
    m_Font.DrawText(217, 124, text, WithAlpha(0xC8A046, a), 0.4f, 0);
    const DWORD thresholdColours[3] = {0xFAC800, 0xFA9600, 0xFA6400};
    for (int i = 0; i < 3; ++i) {
        const float y = 175.0f + 20.0f * i;
        std::snprintf(text, sizeof(text), "%d$", race.m_nPrize[i]);
        DrawRight(m_Font, 262.0f, y, text, WithAlpha(0xFF9B64, a), 0.4f);
        if (time) {
            std::snprintf(text, sizeof(text), "time: %.02f", race.m_fTimeLimit[i]);
            m_Font.DrawText(45, static_cast<int>(y), text, WithAlpha(thresholdColours[i], a), 0.4f, 0);
        }
    }
    const int level = std::clamp(race.m_nLevel, 0, 2);
    std::snprintf(text, sizeof(text), "%.02f km", race.m_fLength / 1000.0f);
    DrawRight(m_Font, 262.0f, 457.0f, text, WithAlpha(0xFFFFFF, a), 0.4f);
    const char* levels[3] = {"EASY", "MEDIUM", "HARD"};
    const char* weights[3] = {"LIGHT", "MEDIUM", "HEAVY"};
    DrawRight(m_Font, 262.0f, 477.0f, levels[level], WithAlpha(0xFFFFFF, a), 0.4f);
    std::snprintf(text, sizeof(text), "%d", race.m_nCars - 1);
    DrawRight(m_Font, 262.0f, 497.0f, time ? weights[level] : text, WithAlpha(0xFFFFFF, a), 0.4f);

    DrawRaceOfferMap(a);

    // The choice glows under the chosen key.
    float p = static_cast<float>(static_cast<std::uint32_t>(g_GameTimer.m_fGameTime) % 500) / 500.0f + 0.5f;
    if (p > 1.0f)
        p = 2.0f - p;
    const DWORD glow = D3DCOLOR_ARGB(static_cast<DWORD>(a), static_cast<DWORD>(0.6f * p * 255.0f),
                                     static_cast<DWORD>(0.4f * p * 255.0f), 0);
    CScreenDraw::DrawGlowDisc(offer.m_nRaceOfferChoice ? 210.0f : 90.0f, 547.0f, 70.0f, glow, 0xFF000000u, 1.0f, 0.25f);
}

void CGameInterface::DrawRaceOfferMap(int a)
{
    const RaceInfo& race = g_RaceInfo;
    const float w = g_Landscape.m_fWorldSize;
    const float half = race.m_fRadius + 30.0f;
    // Without a world size the map window has no place: only the frame and signs show.
    const bool window = w > 0.0f && half > 0.0f;
    if (window) {
        const float u = race.m_vCentre.x / w + 0.5f, v = 0.5f - race.m_vCentre.z / w;
        m_WorldMap.SetU(u - half / w, u + half / w);
        m_WorldMap.SetV(v - half / w, v + half / w);
    }
    SetAddressing(D3DTADDRESS_BORDER);
    CScreenDraw::DrawBevelRect(66.0f, 268.0f, 234.0f, 419.0f, WithAlpha(0x000000, a));
    CScreenDraw::DrawBevelFrame(66.0f, 268.0f, 234.0f, 419.0f, WithAlpha(0x9B4B4B, a), 5);
    if (window)
        m_WorldMap.Draw(70.0f, 272.0f, 230.0f, 415.0f, WithAlpha(0x804040, a));
    SetAddressing(D3DTADDRESS_WRAP);
    const std::uint32_t points = std::min<std::uint32_t>(g_VehicleManager.m_nRaceRoutePoints, 2048);
    if (m_RaceOfferPanel.m_fRaceOfferFade >= 1.0f && points >= 3) {
        const std::uint32_t built = std::min<std::uint32_t>(race.m_nMapVertices, RACE_MAP_VERTICES);
        const std::uint32_t triangles = std::min<std::uint32_t>((points / 3) * 2 - 2, built > 2 ? built - 2 : 0);
        if (triangles > 0) {
            g_D3DRender.SetTexture(INVALID_TEXTURE_ID, 1, 0);
            CScreenDraw::SetScreenStates();
            CScreenDraw::DrawScreen(D3DPT_TRIANGLESTRIP, triangles,
                                    reinterpret_cast<const CScreenVertex*>(race.m_MapVertices), triangles);
        }
    }
    if (!(half > 0.0f))
        return;
    const D3DXVECTOR3* ends[2] = {&race.m_pRoute[0], &race.m_pRoute[points - 1]};
    for (int i = 0; i < 2; ++i) {
        const float x = std::clamp(150.0f + (ends[i]->x - race.m_vCentre.x) / half * 80.0f, 70.0f, 210.0f);
        const float y = std::clamp(344.0f - (ends[i]->z - race.m_vCentre.z) / half * 72.0f, 292.0f, 415.0f);
        DWORD colour = 0x9BFF00;
        if (i == 0)
            colour = race.m_bTimeRace ? 0x6464FF : 0xFFFF00;
        m_MapIcons[1].Draw(x - 3.0f, y - 18.0f, x + 17.0f, y + 2.0f, WithAlpha(colour, a));
    }
}

void CGameInterface::ShowRaceResult(int open)
{
    auto& panel = m_RaceResultPanel;
    const std::uint32_t state = open ? 1u : 0u;
    if (state == panel.m_bRaceResultOpen)
        return;
    panel.m_bRaceResultOpen = state;
    if (!open) {
        BookRaceResult(&g_PlayerStats, RaceResultFigures{panel.m_nResultPoints, panel.m_nResultReward},
                       panel.m_nResultPlace, panel.m_nResultIncidents, panel.m_nResultPedestrians);
        panel.m_bRaceResultBooked = 1;
        ShowRatingList(1);
        panel.m_nResultReward = panel.m_nResultPoints = 0;
        panel.m_nResultPedestrians = panel.m_nResultIncidents = 0;
        return;
    }
    CVehicle* car = g_pPlayerVehicle;
    // A race given up or stopped has been finished, and its record cleared
    // (no route left), before the result opens.
    const RaceInfo& race = g_VehicleManager.m_nRaceRoutePoints > 0 ? g_RaceInfo : g_FinishedRaceInfo;
    RaceResultInput in{};
    const float percent = DamagePercent(car);
    in.place = car ? car->m_nRacePlace : -1;
    in.level = race.m_nLevel;
    in.timeRace = race.m_bTimeRace;
    in.clock = race.m_fClock;
    in.incidents = g_PlayerStats.m_nRoadIncidents - g_RaceStartStats.m_nRoadIncidents;
    in.pedestrians = g_PlayerStats.m_nPedestriansHit - g_RaceStartStats.m_nPedestriansHit;
    in.damageRise = g_PlayerStats.m_fDamageTotal - g_RaceStartStats.m_fDamageTotal;
    const float startPercent = car ? car->m_fRaceStartDamage : 0.0f;
    in.damagePercentRise = static_cast<std::int32_t>(std::clamp(percent - startPercent, -1000.0f, 1000.0f));
    in.carDamagePercent = static_cast<std::int32_t>(percent);
    std::memcpy(in.prizes, race.m_nPrize, sizeof(in.prizes));
    in.money = g_PlayerStats.m_nMoney;
    const RaceResultFigures figures = ComputeRaceResult(in);

    panel.m_nResultPlace = in.place;
    panel.m_nResultIncidents = in.incidents;
    panel.m_nResultPedestrians = in.pedestrians;
    panel.m_nResultPoints = figures.points;
    panel.m_nResultReward = figures.reward;
    for (int i = 0; i < RESULT_ROWS; ++i)
        std::snprintf(panel.m_szResultLabels[i], RESULT_LABEL_SIZE, "%s", kResultLabels[i]);
    std::snprintf(panel.m_szResultLabels[0], RESULT_LABEL_SIZE, "%s", in.timeRace ? "Time: " : "Place: ");
    FormatRaceResult(in, figures, panel.m_szResultValues, panel.m_szResultNotes);
    std::memset(panel.m_fResultAnim, 0, sizeof(panel.m_fResultAnim));
    panel.m_fRaceResultTimer = 0.0f;
    panel.m_bRaceResultBooked = 0;
    m_vArrowTarget = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

void RaceResultPanel::Step(CGameInterface& ui, ScreenKeys& keys, float dt)
{
    m_fRaceResultFade =
        std::clamp(m_fRaceResultFade + (m_bRaceResultOpen ? 0.5f * dt : -2.0f * dt), 0.0f, 1.0f);
    if (m_bRaceResultOpen) {
        m_fRaceResultTimer += dt;
        if (m_fRaceResultTimer > 8.0f)
            ui.ShowRaceResult(0);
    } else if (m_nResultPlace >= 0 && m_nResultPlace <= 2 && m_fRaceResultFade > 0.0f) {
        g_AudioManager.SetVoiceVolume(0, m_fRaceResultFade * 90.0f);
    }
    if (!m_bRaceResultOpen && m_fRaceResultFade <= 0.0f)
        return;
    for (int i = 0; i < RESULT_ROWS; ++i) {
        if (i > 0 && m_fResultAnim[i - 1][2] < 2.0f)
            break;
        float* row = m_fResultAnim[i];
        if (row[0] == 0.0f) {
            Play(ui.m_pRatingSound);
            if (i == RESULT_ROWS - 1 && m_nResultReward > 0)
                Play(ui.m_pSoundMoney);
        }
        const float grow = 10.0f * dt;
        row[0] = std::min(2.0f, row[0] + grow);
        if (row[0] >= 2.0f)
            row[1] = std::min(2.0f, row[1] + grow);
        if (row[1] >= 2.0f)
            row[2] = std::min(2.0f, row[2] + grow);
    }
    if (m_bRaceResultOpen && (keys.enter || keys.escape)) {
        Play(ui.m_pSoundClick);
        ui.ShowRaceResult(0);
        keys.enter = keys.escape = 0;
    }
}

void CGameInterface::DrawRaceResult()
{
    auto& panel = m_RaceResultPanel;
    StepWithScreenKeys([&](ScreenKeys& keys) { return panel.Step(*this, keys, g_GameTimer.m_fDelta); });
    if (panel.m_fRaceResultFade <= 0.0f)
        return;
    const float fade = panel.m_fRaceResultFade;
    m_RaceResult.Draw(185.0f, 10.0f, 615.0f, 265.0f, WithAlpha(0xFFFFFF, static_cast<int>(fade * 255.0f)));
    for (int i = 0; i < RESULT_ROWS; ++i) {
        float y = 70.0f + 16.0f * i;
        if (i == 0)
            y -= 5.0f;
        if (i == RESULT_ROWS - 1)
            y += 22.0f;
        const float bright = (i == 0 || i == RESULT_ROWS - 1) ? 255.0f : 183.0f;
        for (int column = 0; column < 3; ++column) {
            const float shown = std::min(panel.m_fResultAnim[i][column], 1.0f);
            const int alpha = static_cast<int>(bright * fade * shown);
            if (alpha <= 0)
                continue;
            const float scale = 4.4f - 4.0f * shown;
            const char* value = panel.m_szResultValues[i];
            if (column == 0)
                DrawRight(m_Font, 400.0f, y, panel.m_szResultLabels[i], WithAlpha(0xC89664, alpha), scale);
            else if (column == 1)
                m_Font.DrawText(static_cast<int>(415.0f - m_Font.GetTextWidth(value, scale, 0) * 0.5f),
                                static_cast<int>(y), value, WithAlpha(0xFFFFFF, alpha), scale, 0);
            else
                m_Font.DrawText(440, static_cast<int>(y), panel.m_szResultNotes[i], WithAlpha(0xFF9B37, alpha), scale,
                                0);
        }
    }
}
