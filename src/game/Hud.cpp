// The driving display: speedometer, round map with its marks, race and taxi
// figures, the criminal-level bar with the pursuit siren and arrest bar, and
// the damage pictogram. Its figures come from HudFigures; this file only
// places them on screen.
#include "game/GameInterface.h"
#include "game/HudFigures.h"
#include "game/PlayerStats.h"
#include "game/TaxiJob.h"
#include "graphics/D3DRender.h"
#include "graphics/ScreenDraw.h"
#include "graphics/ScreenDrawStates.h"
#include "graphics/WorldCamera.h"
#include "roadusers/RaceInfo.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "world/Landscape.h"
#include "world/PropManager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr float kPi = 3.14159265f;

std::uint32_t GameClockMs()
{
    return static_cast<std::uint32_t>(g_GameTimer.m_fGameTime);
}

void DrawCentred(CGameFont& font, float x, float y, const char* text, DWORD colour, float size, int fixed)
{
    font.DrawText(static_cast<int>(x - font.GetTextWidth(text, size, fixed) * 0.5f), static_cast<int>(y), text,
                  colour, size, fixed);
}

// The needle quadrilateral turned about the screen z axis, scaled and moved.
void NeedleCorners(float angle, float scale, float out[4][3])
{
    static const float corners[4][2] = {{-90.0f, -85.0f}, {-90.0f, 85.0f}, {90.0f, -85.0f}, {90.0f, 85.0f}};
    const float c = std::cos(angle), s = std::sin(angle);
    for (int i = 0; i < 4; ++i) {
        const float x = corners[i][0], y = corners[i][1];
        out[i][0] = (x * c - y * s) * scale + 711.0f;
        out[i][1] = (x * s + y * c) * scale + 516.0f;
        out[i][2] = 0.0f;
    }
}

void SetMapAddressing(DWORD mode)
{
    if (IDirect3DDevice9* device = g_D3DRender.m_pDevice) {
        device->SetSamplerState(0, D3DSAMP_ADDRESSU, mode);
        device->SetSamplerState(0, D3DSAMP_ADDRESSV, mode);
    }
}

void ArrowQuad(const HudPoint& at, float headingX, float headingZ, float scale, float out[4][3])
{
    float corners[4][2];
    HudArrowCorners(headingX, headingZ, scale, corners);
    for (int i = 0; i < 4; ++i) {
        out[i][0] = at.x + corners[i][0];
        out[i][1] = at.y + corners[i][1];
        out[i][2] = 0.0f;
    }
}

void DrawIconAt(CInterfaceSprite& icon, const HudPoint& p, float half, DWORD colour)
{
    icon.Draw(p.x - half, p.y - half, p.x + half, p.y + half, colour);
}

// 1-4. The speedometer: the bar, the engine force and speed needles, the figure.
void DrawSpeedometer(CGameInterface& ui, const CVehicle& car)
{
    ui.m_SpeedBar.Draw(621.0f, 431.0f, 801.0f, 601.0f, 0x80FFFFFFu);
    float quad[4][3];
    NeedleCorners(HudForceAngle(car.m_fEngineForce, car.m_fPower), 0.6f, quad);
    ui.m_SpeedNeedle.DrawQuad(quad, D3DCOLOR_ARGB(255, 128, 128, 0));
    NeedleCorners(HudSpeedAngle(car.m_fSpeed), 1.0f, quad);
    ui.m_SpeedNeedle.DrawQuad(quad, 0xFFFFFFFFu);
    char text[64];
    std::snprintf(text, sizeof(text), "%0.f", std::fabs(car.m_fSpeed));
    DrawCentred(ui.m_Font, 711.0f, 565.0f, text, D3DCOLOR_ARGB(255, 200, 100, 0), 0.5f, 1);
}

// 5-6. The round map: the world map's window around the car, sampled with
// a black border beyond the world's edge, and its frame.
void DrawRoundMap(CGameInterface& ui, const D3DXVECTOR3& c)
{
    float uv[MAP_FAN_VERTICES][2];
    if (HudMapTexCoords(c.x, c.z, g_Landscape.m_fWorldSize, uv)) {
        for (int i = 0; i < MAP_FAN_VERTICES; ++i) {
            ui.m_MapFan[i].u = uv[i][0];
            ui.m_MapFan[i].v = uv[i][1];
        }
        g_D3DRender.SetTexture(ui.m_nWorldMapTexture, 1, 0);
        SetMapAddressing(D3DTADDRESS_BORDER);
        CScreenDraw::SetScreenStates();
        CScreenDraw::DrawScreen(D3DPT_TRIANGLEFAN, 31, ui.m_MapFan, 31);
        SetMapAddressing(D3DTADDRESS_WRAP);
    }
    ui.m_MapFrame.Draw(1.0f, 432.0f, 180.0f, 600.0f, 0x80FFFFFFu);
}

// 7-8. Workshops and car shops.
void DrawShopsOnMap(CGameInterface& ui, const D3DXVECTOR3& c)
{
    const D3DXVECTOR3* lists[2] = {g_PropManager.m_WorkShops, g_PropManager.m_CarShops};
    const std::uint32_t counts[2] = {g_PropManager.m_nWorkShops, g_PropManager.m_nCarShops};
    const DWORD colours[2] = {D3DCOLOR_ARGB(255, 0, 155, 0), D3DCOLOR_ARGB(255, 100, 100, 200)};
    HudPoint p;
    for (int k = 0; k < 2; ++k)
        for (std::uint32_t i = 0; i < counts[k] && i < PROP_MAX_SHOPS; ++i)
            if (HudMapPoint(lists[k][i], c, 325.0f, true, &p))
                DrawIconAt(ui.m_MapIcons[k == 0 ? 3 : 4], p, 8.0f, colours[k]);
}

// 9. The race route ahead of the car, every fifth point.
void DrawRouteAhead(const CVehicle& car, std::uint32_t routePoints)
{
    HudPoint p;
    for (std::uint32_t i = car.m_nRouteIndex; i < routePoints; i += 5)
        if (HudMapPoint(g_RaceInfo.m_pRoute[i], car.m_vPosition, HUD_RIM_DISTANCE, false, &p))
            CScreenDraw::DrawFrame(p.x - 1.0f, p.y - 1.0f, p.x + 1.0f, p.y + 1.0f, D3DCOLOR_ARGB(255, 155, 155, 0));
}

// 10. The passenger's landing place blinks, always on the map.
void DrawLandingPoint(const D3DXVECTOR3& c, std::uint32_t clock)
{
    HudPoint p;
    if (HudBlinkOn(clock) && HudMapPoint(g_TaxiJob.m_vLandingPoint, c, INFINITY, true, &p))
        CScreenDraw::DrawDisc(p.x, p.y, 8.0f, D3DCOLOR_ARGB(255, 0, 255, 0), D3DCOLOR_ARGB(255, 0, 255, 0), 1.0f,
                              1.0f, nullptr);
}

// 11. Start of the race on offer, or finish of the one running.
void DrawRaceFlag(CGameInterface& ui, const D3DXVECTOR3& c, bool racing, std::uint32_t routePoints)
{
    const D3DXVECTOR3& mark = racing ? g_RaceInfo.m_pRoute[routePoints - 1] : g_RaceInfo.m_pRoute[0];
    HudPoint p;
    if (!HudMapPoint(mark, c, 212.5f, false, &p))
        return;
    DWORD colour = D3DCOLOR_ARGB(255, 155, 255, 0);
    if (!racing)
        colour = g_RaceInfo.m_bTimeRace ? D3DCOLOR_ARGB(255, 100, 100, 255) : D3DCOLOR_ARGB(255, 255, 255, 0);
    ui.m_MapIcons[1].Draw(p.x - 3.0f, p.y - 18.0f, p.x + 17.0f, p.y + 2.0f, colour);
}

// 12. The rivals as arrows on the map.
void DrawRivalsOnMap(CGameInterface& ui, const CVehicle& car)
{
    HudPoint p;
    float quad[4][3];
    for (std::uint32_t i = 0; i < g_VehicleManager.m_nRaceCars && i < RACE_GRID_CARS; ++i) {
        CVehicle* rival = g_VehicleManager.m_RaceCars[i];
        if (!rival || rival == &car)
            continue;
        if (HudMapPoint(rival->m_vPosition, car.m_vPosition, 212.5f, false, &p)) {
            ArrowQuad(p, rival->m_matPlacement._31, rival->m_matPlacement._33, 0.75f, quad);
            ui.m_MapIcons[0].DrawQuad(quad, D3DCOLOR_ARGB(255, 255, 128, 128));
        }
    }
}

// 14. The player's own arrow in the map's centre.
void DrawOwnArrow(CGameInterface& ui, const CVehicle& car)
{
    float quad[4][3];
    ArrowQuad(HudPoint{90.0f, 516.0f}, car.m_matPlacement._31, car.m_matPlacement._33, 1.0f, quad);
    ui.m_MapIcons[0].DrawQuad(quad, D3DCOLOR_ARGB(255, 255, 255, 128));
}

// 15. The taxi fare strip.
void DrawTaxiFare(CGameInterface& ui)
{
    const int fare = static_cast<int>(g_TaxiJob.m_fFare);
    const int step = HudFareStep(g_TaxiJob.m_fFare, g_TaxiJob.m_fOfferedFare);
    ui.m_SpriteStrip.Draw(650.0f, -30.0f, 801.0f, 250.0f, HudStepColour(step, 1));
    const float w = ui.m_Font.GetTextWidth("Bill:", 0.6f, 0);
    ui.m_Font.DrawGlowText(static_cast<int>(720.0f - w * 0.5f), 20, "Bill:", HudStepColour(step, 0), 0xFF000000u,
                           0.6f);
    char text[64];
    std::snprintf(text, sizeof(text), "%d$", fare);
    DrawCentred(ui.m_Font, 720.0f, 40.0f, text, HudStepColour(step, 0), 1.0f, 0);
}

// 16. Police, flashing red while they pursue.
void DrawPoliceOnMap(CGameInterface& ui, const D3DXVECTOR3& c, std::uint32_t clock)
{
    HudPoint p;
    for (std::uint32_t i = 0; i < g_VehicleManager.m_nCars && i < VEHICLE_MANAGER_CARS; ++i) {
        CVehicle* police = g_VehicleManager.m_Cars[i];
        if (!police || police->m_nKind != VEHICLE_POLICE || !HudMapPoint(police->m_vPosition, c, 240.0f, false, &p))
            continue;
        const bool pursuing = police->m_nAIState == AI_STATE_PURSUIT || police->m_nPrevAIState == AI_STATE_PURSUIT;
        if (pursuing && HudBlinkOn(clock))
            DrawIconAt(ui.m_MapIcons[2], p, 6.0f, D3DCOLOR_ARGB(255, 255, 0, 0));
        else
            DrawIconAt(ui.m_MapIcons[2], p, 4.0f, D3DCOLOR_ARGB(255, 0, 0, 255));
    }
}

// 7-12. The marks on the round map under the own arrow, in drawing order.
void DrawMapMarks(CGameInterface& ui, const CVehicle& car, std::uint32_t clock, bool racing, bool passenger)
{
    const D3DXVECTOR3& c = car.m_vPosition;
    if (!racing)
        DrawShopsOnMap(ui, c);
    const std::uint32_t routePoints = g_RaceInfo.m_pRoute ? g_VehicleManager.m_nRaceRoutePoints : 0;
    if (racing && routePoints > 0)
        DrawRouteAhead(car, routePoints);
    if (passenger)
        DrawLandingPoint(c, clock);
    if (routePoints > 0)
        DrawRaceFlag(ui, c, racing, routePoints);
    if (racing)
        DrawRivalsOnMap(ui, car);
}

} // namespace

void CGameInterface::BuildMapFan()
{
    const float sx = g_D3DRender.m_fScaleX, sy = g_D3DRender.m_fScaleY;
    const float centre[3] = {90.0f * sx, 516.0f * sy, 0.0f};
    m_MapFan[0] = CScreenVertex(centre, 1.0f, 0x80FFFFFFu, 0.5f, 0.5f);
    for (int i = 1; i < MAP_FAN_VERTICES; ++i) {
        const float a = -2.0f * kPi * static_cast<float>(i - 1) / 31.0f;
        const float rim[3] = {(90.0f + 75.15f * std::cos(a)) * sx, (516.0f + 70.975f * std::sin(a)) * sy, 0.0f};
        m_MapFan[i] = CScreenVertex(rim, 1.0f, 0x80FFFFFFu, 0.5f, 0.5f);
    }
}

void CGameInterface::DrawDamagePictogram(float x, float y, float alphaFactor)
{
    CVehicle* car = g_pPlayerVehicle;
    if (!car)
        return;
    if (HudDamageTimerStep(&m_fDamageTimer, g_GameTimer.m_fDelta))
        m_DamageColour = HudDamageColour(car->GetMeanDeformation());
    const DWORD alpha = static_cast<DWORD>(std::clamp(alphaFactor * 0.5f * 255.0f, 0.0f, 255.0f));
    auto argb = [alpha](const D3DXCOLOR4& c) {
        return D3DCOLOR_ARGB(alpha, static_cast<DWORD>(c.r * 255.0f), static_cast<DWORD>(c.g * 255.0f),
                             static_cast<DWORD>(c.b * 255.0f));
    };
    m_Systems[0].Draw(x, y, x + 50.0f, y + 100.0f, argb(m_DamageColour));
    m_Systems[1].Draw(x + 10.0f, y + 10.0f, x + 40.0f, y + 35.0f, argb(HudDamageColour(car->m_fBodyDamage)));
    const float wheels[4][2] = {{5, 10}, {35, 10}, {5, 70}, {35, 70}};
    for (int i = 0; i < 4; ++i)
        m_Systems[2].Draw(x + wheels[i][0], y + wheels[i][1], x + wheels[i][0] + 10.0f, y + wheels[i][1] + 20.0f,
                          argb(HudDamageColour(car->m_WheelWear[i])));
}

void CGameInterface::DrawHud()
{
    CVehicle* car = g_pPlayerVehicle;
    CWorldCamera* camera = g_Game.m_pCamera;
    if (!car || !camera || camera->m_nMode < 1 || camera->m_nMode > 3)
        return;
    const std::uint32_t clock = GameClockMs();
    const bool racing = g_VehicleManager.m_bRaceRunning != 0;
    const bool passenger = g_TaxiJob.m_bOnBoard != 0;
    DrawSpeedometer(*this, *car);
    DrawRoundMap(*this, car->m_vPosition);
    DrawMapMarks(*this, *car, clock, racing, passenger);
    // 13. Race figures.
    if (racing)
        DrawHudRaceFigures(car);
    DrawOwnArrow(*this, *car);
    if (passenger)
        DrawTaxiFare(*this);
    DrawPoliceOnMap(*this, car->m_vPosition, clock);
    DrawHudCriminalBars(clock);
    // 20.
    DrawDamagePictogram(0.0f, 350.0f, 0.5f);
}

void CGameInterface::DrawHudRaceFigures(CVehicle* car)
{
    char text[64];
    float progressY = 70.0f;
    if (!g_RaceInfo.m_bTimeRace) {
        std::snprintf(text, sizeof(text), "%d/", car->m_nRacePlace + 1);
        const float w = m_Font.GetTextWidth(text, 1.25f, 0);
        const float end =
            m_Font.DrawText(static_cast<int>(720.0f - w * 0.5f), 10, text, D3DCOLOR_ARGB(168, 250, 200, 0), 1.25f, 0);
        std::snprintf(text, sizeof(text), "%d", g_RaceInfo.m_nCars);
        m_Font.DrawText(static_cast<int>(end), 30, text, D3DCOLOR_ARGB(168, 200, 150, 0), 0.75f, 0);
    } else {
        const float t = g_RaceInfo.m_fClock;
        const int step = HudTimeStep(t, g_RaceInfo.m_fTimeLimit);
        const DWORD bright = HudStepColour(step, 0), dim = HudStepColour(step, 1);
        m_SpriteStrip.Draw(650.0f, -30.0f, 801.0f, 250.0f, dim);
        const float whole = std::trunc(t);
        std::snprintf(text, sizeof(text), "%.0f", whole);
        const float w = m_Font.GetTextWidth(text, 1.0f, 0);
        const float end = m_Font.DrawGlowText(static_cast<int>(720.0f - w * 0.5f), 20, text, bright, 0xFF000000u, 1.0f);
        std::snprintf(text, sizeof(text), ":%02.0f", (t - whole) * 99.0f);
        m_Font.DrawText(static_cast<int>(end), 30, text, dim, 0.75f, 0);
        std::snprintf(text, sizeof(text), "%+.02f", g_RaceInfo.m_fTimeLimit[2] - t);
        m_Font.DrawText(static_cast<int>(780.0f - m_Font.GetTextWidth(text, 0.45f, 1)), 65, text, bright, 0.45f, 1);
        progressY = 90.0f;
    }
    float percent = 0.0f;
    if (HudProgress(car->m_fRemainingDistance, g_RaceInfo.m_fLength, &percent)) {
        std::snprintf(text, sizeof(text), "%.0f%%", percent);
        m_Font.DrawText(730, static_cast<int>(progressY), text, D3DCOLOR_ARGB(168, 150, 150, 0), 0.75f, 0);
    }
}

void CGameInterface::DrawHudCriminalBars(std::uint32_t clock)
{
    // 17. Criminal level.
    const int lit = HudCriminalSegments(g_PlayerStats.m_fCriminalLevel);
    for (int i = 0; i < 10; ++i)
        m_CriminalSegment.Draw(10.0f + 18.0f * i, 50.0f, 53.0f + 18.0f * i, 90.0f,
                               i < lit ? 0xFFFFFFFFu : D3DCOLOR_ARGB(64, 0, 0, 0));
    // 18. Pursuit strip and siren.
    const bool pursuit = g_PlayerStats.m_bPursuit != 0;
    m_PursuitStrip.Draw(5.0f, 0.0f, 230.0f, 55.0f, pursuit ? 0xFFFFFFFFu : D3DCOLOR_ARGB(92, 0, 0, 0));
    if (pursuit) {
        const float f = HudSirenPosition(clock);
        const float k = static_cast<float>(static_cast<int>(f));
        m_SirenLight.DrawAdditive(20.0f + 18.0f * k, 10.0f, 50.0f + 18.0f * k, 40.0f, 0xFFFFFFFFu);
        m_SirenLight.DrawAdditive(-20.0f + 18.0f * k, -30.0f, 90.0f + 18.0f * k, 80.0f,
                                  f > 5.0f ? D3DCOLOR_ARGB(255, 0, 0, 255) : D3DCOLOR_ARGB(255, 255, 0, 0));
    }
    // 19. Arrest bar.
    if (pursuit && g_PlayerStats.m_fArrestTimer > 0.0f) {
        CScreenDraw::DrawBevelRect(5.0f, 97.0f, 225.0f, 121.0f, D3DCOLOR_ARGB(192, 0, 0, 0));
        const float x0 = m_Font.DrawText(10, 100, "ARREST:", D3DCOLOR_ARGB(255, 250, 50, 0), 0.4f, 0) + 10.0f;
        const float share = std::min(g_PlayerStats.m_fArrestTimer / 5.0f, 1.0f);
        CScreenDraw::DrawRect(x0, 103.0f, x0 + (215.0f - x0) * share, 115.0f, D3DCOLOR_ARGB(255, 250, 50, 0),
                              INVALID_TEXTURE_ID);
        CScreenDraw::DrawBevelFrame(x0, 103.0f, 215.0f, 115.0f, D3DCOLOR_ARGB(255, 250, 250, 0), 5);
    }
}
