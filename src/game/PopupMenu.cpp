// The pop-up menu over the dimmed game: the pause menu (Esc while driving)
// and the taxi offer a waiting pedestrian makes. Its fade runs on real time,
// since the pause menu stops the game clock.
#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/GameMenu.h"
#include "game/InterfaceLinks.h"
#include "game/ScreenKeys.h"
#include "game/TaxiJob.h"
#include "graphics/D3DRender.h"
#include "graphics/ScreenDraw.h"
#include "graphics/WorldCamera.h"
#include "roadusers/Human.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/GameSound.h"
#include "shell/GameTimer.h"
#include "shell/Settings.h"
#include "shell/WinMain.h"

#include <algorithm>
#include <cstdio>



namespace {

enum { CLOSE_BARE = 0, CLOSE_FULL = 1 };

void Play(CGameSound* sound)
{
    if (sound)
        sound->Play(0);
}

bool InDrivingView(const CWorldCamera* camera)
{
    return camera && camera->m_nMode >= 1 && camera->m_nMode <= 3;
}

bool RaceRunning()
{
    return g_VehicleManager.m_bRaceRunning != 0;
}

bool PassengerOnBoard()
{
    return g_TaxiJob.m_bOnBoard != 0;
}

int OfferedFare()
{
    return static_cast<int>(std::clamp(g_TaxiJob.m_fOfferedFare, -2.0e9f, 2.0e9f));
}

} // namespace

void CGameInterface::SetPopupMenu(int mode)
{
    auto& popup = m_PopupMenuPanel;
    if (mode != POPUP_PAUSE && mode != POPUP_TAXI_OFFER)
        mode = POPUP_NONE;
    if (mode == popup.m_nPopupMode)
        return;
    CWorldCamera* camera = g_Game.m_pCamera;
    CVehicle* car = g_pPlayerVehicle;
    if (mode == POPUP_NONE) {
        ClosePopup(CLOSE_FULL);
        return;
    }
    popup.m_bPopupOpen = 1;
    if (mode == POPUP_PAUSE) {
        if (InDrivingView(camera) && car) {
            const D3DXVECTOR3 eye = car->m_vPosition + D3DXVECTOR3(6.0f, 2.5f, 0.0f);
            const D3DXVECTOR3 axis(0.0f, 1.0f, 0.0f);
            camera->StartTransition(&eye, &car->m_vPosition, 0.0f, &axis, 0.5f, 0);
            popup.m_bPopupCameraMoved = 1;
        }
        char (*rows)[POPUP_ROW_SIZE] = popup.m_szPopupRows[POPUP_PAUSE];
        rows[0][0] = '\0';
        if (RaceRunning())
            std::snprintf(rows[0], POPUP_ROW_SIZE, "TERMINATE RACE");
        if (PassengerOnBoard())
            std::snprintf(rows[0], POPUP_ROW_SIZE, "GET OUT PASSENGER");
        std::snprintf(rows[1], POPUP_ROW_SIZE, "SAVE AND EXIT");
        std::snprintf(rows[2], POPUP_ROW_SIZE, "CONTINUE");
        g_bInGame = 0;
        // A world already stopped (by a message, a scene or the focus) stays
        // theirs to resume.
        if (!g_GameTimer.IsPaused()) {
            g_GameTimer.Pause();
            popup.m_bPopupPaused = 1;
        }
    } else {
        char (*rows)[POPUP_ROW_SIZE] = popup.m_szPopupRows[POPUP_TAXI_OFFER];
        std::snprintf(rows[0], POPUP_ROW_SIZE, "DELIVER PASSENGER for %d$?", OfferedFare());
        std::snprintf(rows[1], POPUP_ROW_SIZE, "YES, OF COURSE!");
        std::snprintf(rows[2], POPUP_ROW_SIZE, "LET ON FOOT GOES...");
        CHuman* passenger = g_TaxiJob.m_pPassenger;
        if (InDrivingView(camera) && car && passenger) {
            camera->SetTargetVehicle(nullptr);
            const D3DXVECTOR3 eye =
                car->m_vPosition + 2.0f * (car->m_vPosition - passenger->m_vPosition) + D3DXVECTOR3(0.0f, 5.0f, 0.0f);
            const D3DXVECTOR3 axis(0.0f, 1.0f, 0.0f);
            camera->StartTransition(&eye, &passenger->m_vPosition, 2.0f, &axis, 0.0f, 0);
            popup.m_bPopupCameraMoved = 1;
        }
        if (car)
            car->Park();
    }
    popup.m_nPopupPrevMode = popup.m_nPopupMode;
    popup.m_nPopupMode = mode;
    popup.m_nPopupItem = 2;
}

void CGameInterface::ClosePopup(int closingSteps)
{
    auto& popup = m_PopupMenuPanel;
    CWorldCamera* camera = g_Game.m_pCamera;
    popup.m_bPopupOpen = 0;
    popup.m_nPopupSpare = 0;
    if (popup.m_bPopupCameraMoved && camera)
        camera->SetMode(camera->m_nLastView, g_pPlayerVehicle);
    popup.m_bPopupCameraMoved = 0;
    if (popup.m_nPopupMode == POPUP_PAUSE) {
        if (closingSteps) {
            g_bInGame = 1;
            if (popup.m_bPopupPaused)
                g_GameTimer.Resume();
        }
        // Leaving without resuming hands the stopped clock to the scene that follows.
        popup.m_bPopupPaused = 0;
    } else if (popup.m_nPopupMode == POPUP_TAXI_OFFER && closingSteps) {
        CHuman* passenger = g_TaxiJob.m_pPassenger;
        if (passenger && g_pIsHumanListed(passenger))
            ReleaseWaitingHuman(passenger);
        if (CVehicle* car = g_pPlayerVehicle) {
            car->SetControlMode(2);
            car->m_bHandBrake = 0;
        }
    }
    popup.m_nPopupPrevMode = popup.m_nPopupMode;
    popup.m_nPopupMode = POPUP_NONE;
    popup.m_nPopupItem = 2;
}

namespace {

// Up and down over the three rows; the first row only offers itself while
// there is a race or a fare to give up, and never on a taxi offer.
void MovePopupCursor(PopupMenuPanel& popup, CGameInterface& ui, ScreenKeys& keys)
{
    const int mode = popup.m_nPopupMode;
    const int before = popup.m_nPopupItem;
    if (keys.up) {
        if (popup.m_nPopupItem > 0)
            --popup.m_nPopupItem;
        keys.up = 0;
    }
    if (keys.down) {
        if (popup.m_nPopupItem < 2)
            ++popup.m_nPopupItem;
        keys.down = 0;
    }
    if (popup.m_nPopupItem == 0 && (mode == POPUP_TAXI_OFFER || (!RaceRunning() && !PassengerOnBoard())))
        popup.m_nPopupItem = 1;
    if (popup.m_nPopupItem != before)
        Play(ui.m_pSoundMove);
}

// The pedestrian who offered the fare lies on the road or is gone: the
// offer closes as if the player had pressed Esc.
void DropLostTaxiOffer(const PopupMenuPanel& popup, ScreenKeys& keys)
{
    CHuman* passenger = g_TaxiJob.m_pPassenger;
    if (popup.m_nPopupMode != POPUP_TAXI_OFFER ||
        (passenger && g_pIsHumanListed(passenger) && !IsHumanKnockedDown(passenger)))
        return;
    if (passenger && !g_pIsHumanListed(passenger))
        g_TaxiJob.m_pPassenger = nullptr;
    keys.escape = 1;
}

// The pause menu's first row: the race under way ends unplaced and the
// passenger on board steps out.
void GiveUpRaceAndFare(CGameInterface& ui, CVehicle* car)
{
    ui.SetPopupMenu(POPUP_NONE);
    if (RaceRunning()) {
        FinishRunningRace();
        if (car)
            car->m_nRacePlace = -1;
        ui.ShowRaceResult(1);
    }
    if (PassengerOnBoard()) {
        g_TaxiJob.m_bOnBoard = 0;
        g_CityLogic.SetScene(SCENE_PASSENGER_OUT, car, nullptr);
    }
}

// Enter on the chosen row.
void ChoosePopupItem(const PopupMenuPanel& popup, CGameInterface& ui, ScreenKeys& keys)
{
    Play(ui.m_pSoundClick);
    keys.enter = 0;
    CVehicle* car = g_pPlayerVehicle;
    const int mode = popup.m_nPopupMode;
    const int item = popup.m_nPopupItem;
    if (item == 2) {
        keys.escape = 1;
    } else if (mode == POPUP_PAUSE && item == 0) {
        GiveUpRaceAndFare(ui, car);
    } else if (mode == POPUP_PAUSE && item == 1) {
        if (!g_bGameMenu) {
            g_bQuit = 1;
        } else {
            ui.ClosePopup(CLOSE_BARE);
            g_CityLogic.SetScene(SCENE_EXIT_TO_MENU, car, nullptr);
        }
    } else if (mode == POPUP_TAXI_OFFER && item == 1) {
        ui.ClosePopup(CLOSE_BARE);
        g_CityLogic.SetScene(SCENE_PASSENGER_IN, car, nullptr);
    }
}

} // namespace

bool PopupMenuPanel::Step(CGameInterface& ui, ScreenKeys& keys, float realDt)
{
    if (keys.escape && g_CityLogic.m_nScene == SCENE_IDLE) {
        ui.SetPopupMenu(m_bPopupOpen ? POPUP_NONE : POPUP_PAUSE);
        keys.escape = 0;
    }
    m_fPopupFade = std::clamp(m_fPopupFade + (m_bPopupOpen ? 4.0f : -4.0f) * realDt, 0.0f, 1.0f);
    if (!m_bPopupOpen && m_fPopupFade <= 0.0f)
        return false;
    if (m_fPopupFade < 1.0f || !m_bPopupOpen)
        return true;

    MovePopupCursor(*this, ui, keys);
    DropLostTaxiOffer(*this, keys);
    if (keys.enter)
        ChoosePopupItem(*this, ui, keys);
    if (keys.escape) {
        Play(ui.m_pSoundClick);
        keys.escape = 0;
        ui.SetPopupMenu(POPUP_NONE);
    }
    return true;
}

void CGameInterface::DrawPopupMenu()
{
    auto& popup = m_PopupMenuPanel;
    const bool shown =
        StepWithScreenKeys([&](ScreenKeys& keys) { return popup.Step(*this, keys, g_GameTimer.m_fRealDelta); });
    if (!shown)
        return;
    g_D3DRender.m_fMotionBlur = std::min(1.0f, g_D3DRender.m_fMotionBlur + popup.m_fPopupFade);
    const int mode = popup.m_nPopupMode != POPUP_NONE ? popup.m_nPopupMode : popup.m_nPopupPrevMode;
    if (mode == POPUP_NONE)
        return;
    const DWORD alpha = static_cast<DWORD>(popup.m_fPopupFade * 254.0f) << 24;
    CScreenDraw::DrawRect(-1.0f, -1.0f, 801.0f, 601.0f, alpha, g_GameMenu.m_BackHider);
    if (mode == POPUP_PAUSE)
        m_RequestBar.Draw(270.0f, 10.0f, 530.0f, 180.0f, alpha | 0xFFFFFFu);
    else
        m_RequestBar.Draw(230.0f, 10.0f, 570.0f, 220.0f, alpha | 0xFFFFFFu);
    DrawPopupRows(mode);
}

void CGameInterface::DrawPopupRows(int mode)
{
    auto& popup = m_PopupMenuPanel;
    float y = mode == POPUP_PAUSE ? 53.0f : 65.0f;
    float step = mode == POPUP_PAUSE ? 20.0f : 27.0f;
    int first = 0;
    if (mode == POPUP_PAUSE && popup.m_szPopupRows[POPUP_PAUSE][0][0] == '\0') {
        first = 1;
        y = 62.0f;
        step = 25.0f;
    }
    const DWORD alpha = static_cast<DWORD>(popup.m_fPopupFade * 255.0f) << 24;
    for (int i = first; i < POPUP_ROWS; ++i, y += step) {
        const char* row = popup.m_szPopupRows[mode][i];
        DWORD colour = 0x9B3700;
        if (i == popup.m_nPopupItem) {
            colour = 0xFF9B64;
            const DWORD glow = D3DCOLOR_ARGB(255, static_cast<DWORD>(0.6f * popup.m_fPopupFade * 255.0f),
                                             static_cast<DWORD>(0.6f * popup.m_fPopupFade * 255.0f), 0);
            CScreenDraw::DrawGlowDisc(400.0f, y + 9.0f, 110.0f, glow, 0xFF000000u, 1.0f, 0.05f);
        }
        if (mode == POPUP_TAXI_OFFER && i == 0)
            colour = 0xFFFF96;
        const float width = m_Font.GetTextWidth(row, 0.4f, 0);
        m_Font.DrawText(static_cast<int>(400.0f - width * 0.5f), static_cast<int>(y), row, alpha | colour, 0.4f, 0);
    }
}
