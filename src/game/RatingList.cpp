// The racers' rating list on the right of the screen: thirty street racers
// with the player's row placed by the rating points. Closing it with enough
// points for the top shows the final congratulations.
#include "game/GameInterface.h"
#include "game/PlayerStats.h"
#include "game/ScreenKeys.h"
#include "game/ShopScreens.h"
#include "graphics/ScreenDraw.h"
#include "roadusers/Vehicle.h"
#include "shell/Game.h"
#include "shell/GameSound.h"
#include "shell/GameTimer.h"
#include "shell/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

DWORD Rgb(int r, int g, int b, int alpha)
{
    return D3DCOLOR_ARGB(static_cast<DWORD>(std::clamp(alpha, 0, 255)), r, g, b);
}

// A slow pulse 0..0.5..0 over each second of the game clock.
float Pulse()
{
    float q = static_cast<float>(std::fmod(g_GameTimer.m_fGameTime, 1000.0)) / 1000.0f;
    if (q > 0.5f)
        q = 1.0f - q;
    return q;
}

} // namespace

void RatingListPanel::Step(CGameInterface& ui, ScreenKeys& keys, float gameDelta)
{
    if (keys.ratingList) {
        keys.ratingList = 0;
        ui.ShowRatingList(m_bRatingOpen ? 0 : 1);
    }
    const float step = 4.0f * gameDelta;
    m_fRatingFade = std::clamp(m_fRatingFade + (m_bRatingOpen ? step : -step), 0.0f, 1.0f);
    if (!m_bRatingOpen)
        return;
    m_fRatingTimer += gameDelta;
    if (m_fRatingTimer > 10.0f) {
        ui.ShowRatingList(0);
        return;
    }
    if (keys.enter || keys.escape) {
        keys.enter = keys.escape = 0;
        if (ui.m_pSoundClick)
            ui.m_pSoundClick->Play(0);
        ui.ShowRatingList(0);
    }
}

void CGameInterface::DrawRatingList()
{
    StepWithScreenKeys([&](ScreenKeys& keys) { return m_RatingListPanel.Step(*this, keys, g_GameTimer.m_fDelta); });
    if (m_RatingListPanel.m_fRatingFade <= 0.0f)
        return;

    const int a = static_cast<int>(m_RatingListPanel.m_fRatingFade * 255.0f);
    m_RatingBar.Draw(520.0f, 0.0f, 800.0f, 600.0f, Rgb(255, 255, 255, a));
    const int player = PlayerRatingRow(g_PlayerStats.m_nRatingPoints);
    const float q = Pulse();
    const char* carName = g_pPlayerVehicle ? g_pPlayerVehicle->m_szName : "";
    char name[sizeof(g_szPlayerName) + 1] = {};
    std::memcpy(name, g_szPlayerName, sizeof(g_szPlayerName));
    for (int i = 0; i < RACER_COUNT; ++i) {
        const float y = 128.0f + 14.3f * static_cast<float>(i);
        const bool own = i == player;
        const RacerRecord* racer = own ? nullptr : &m_Racers[i < player ? i : i - 1];
        if (own)
            CScreenDraw::DrawBevelRect(555.0f, y, 765.0f, y + 14.3f,
                                       Rgb(static_cast<int>((0.4f * q + 0.2f) * 255.0f),
                                           static_cast<int>((0.2f * q + 0.2f) * 255.0f), 0, a));
        char text[16];
        std::snprintf(text, sizeof(text), "%d", i + 1);
        const int iy = static_cast<int>(y);
        m_Font.DrawText(560, iy, text, own ? Rgb(200, 200, 0, a) : Rgb(100, 100, 0, a), 0.35f, 0);
        m_Font.DrawText(585, iy, own ? name : racer->szName, own ? Rgb(250, 150, 0, a) : Rgb(200, 100, 0, a),
                        0.3f, 0);
        m_Font.DrawText(675, iy, own ? carName : racer->szCarName, own ? Rgb(200, 150, 0, a) : Rgb(150, 100, 0, a),
                        0.3f, 0);
        if (g_bDebugOut) {
            std::snprintf(text, sizeof(text), "%d", own ? g_PlayerStats.m_nRatingPoints : racer->nPoints);
            m_Font.DrawText(775, iy, text, Rgb(150, 100, 0, a), 0.3f, 0);
        }
    }
}
