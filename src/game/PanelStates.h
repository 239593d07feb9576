// The state of each interface panel that is a screen of its own: what is
// open, how far it has faded, the page and row chosen and what the panel
// worked out for the screen. Each state lives in one struct, kept by the
// interface. Each struct's Step moves its panel on by the frame's time and
// clears the keys it uses (the interface gives its sounds, font and
// messages); its Reset gives the state of a fresh start, so a new session
// finds no panel left open or half-set by the one before.
// The textures, sprites and sounds the panels draw with are loaded once
// and stay with the interface.
#pragma once

#include "game/ShopScreens.h"
#include "shell/VectorHelpers.h"

#include <cstdint>

class CGameInterface;
class CProp;
class CVehicle;
struct ScreenKeys;

enum {
    RESULT_ROWS = 7,
    RESULT_LABEL_SIZE = 64,
    // Sized for any 32-bit figure with its sign, unit and words.
    RESULT_VALUE_SIZE = 16,
    RESULT_NOTE_SIZE = 32,
    POPUP_ROWS = 3,
    POPUP_ROW_SIZE = 128,
    DRIVER_INFO_ROWS = 13,
    DRIVER_INFO_ROW_SIZE = 128,
};

struct RaceOfferPanel {
    std::uint32_t m_bRaceOfferOpen = 0;
    std::uint32_t m_nRaceOfferChoice = 0; // 1 accept, 0 decline
    float m_fRaceOfferFade = 0.0f;

    void Step(CGameInterface& ui, ScreenKeys& keys, float dt);
    void Reset();
};

struct RaceResultPanel {
    std::uint32_t m_bRaceResultOpen = 0;
    std::uint32_t m_bRaceResultBooked = 0;
    float m_fRaceResultFade = 0.0f, m_fRaceResultTimer = 0.0f;
    char m_szResultLabels[RESULT_ROWS][RESULT_LABEL_SIZE] = {};
    char m_szResultValues[RESULT_ROWS][RESULT_VALUE_SIZE] = {};
    char m_szResultNotes[RESULT_ROWS][RESULT_NOTE_SIZE] = {};
    float m_fResultAnim[RESULT_ROWS][3] = {};
    std::int32_t m_nResultPlace = -1, m_nResultIncidents = 0, m_nResultPedestrians = 0;
    std::int32_t m_nResultPoints = 0, m_nResultReward = 0;

    void Step(CGameInterface& ui, ScreenKeys& keys, float dt);
    void Reset();
};

struct RatingListPanel {
    std::uint32_t m_bRatingOpen = 0;
    float m_fRatingFade = 0.0f;
    float m_fRatingTimer = 0.0f;

    void Step(CGameInterface& ui, ScreenKeys& keys, float gameDelta);
    void Reset();
};

struct DriverInfoPanel {
    std::uint32_t m_bDriverInfoOpen = 0;
    float m_fDriverInfoFade = 0.0f;
    float m_fDriverInfoTimer = 0.0f;
    char m_szDriverInfoRows[DRIVER_INFO_ROWS][DRIVER_INFO_ROW_SIZE] = {};
    D3DXCOLOR4 m_DriverInfoColours[DRIVER_INFO_ROWS];
    // SPEED, POWER, CONTROL as the car is, then the same undamaged.
    float m_fDriverInfoBars[6] = {};

    // Rows start white until the first rebuild colours them.
    DriverInfoPanel();
    void Step(CGameInterface& ui, ScreenKeys& keys, float gameDelta);
    void Reset();
};

struct PopupMenuPanel {
    int m_nPopupMode = -1, m_nPopupPrevMode = -1;
    std::uint32_t m_bPopupOpen = 0;
    float m_fPopupFade = 0.0f;
    std::uint32_t m_bPopupCameraMoved = 0;
    std::uint32_t m_nPopupSpare = 0;
    int m_nPopupItem = 0;
    char m_szPopupRows[2][POPUP_ROWS][POPUP_ROW_SIZE] = {};
    // The pause menu stopped the world itself; only then does closing resume it.
    std::uint32_t m_bPopupPaused = 0;

    // False when the pop-up is closed and fully faded.
    bool Step(CGameInterface& ui, ScreenKeys& keys, float realDt);
    void Reset();
};

// The paint choices per colour slot are not part of this state: they stay
// until the program ends.
struct WorkshopPanel {
    std::uint32_t m_bWorkshopOpen = 0;
    float m_fWorkshopFade = 0.0f;
    int m_nWorkshopPage = 0;
    char m_szRepairTexts[4][32] = {};
    float m_fLevelPrices[4] = {};
    int m_nShopItem = 0;
    // The part on the upgrade pages, the colour slot on the paint pages.
    int m_nShopSubject = 0;
    int m_nRepairPrice = 0;
    float m_fRepairDamage = 0.0f; // percent
    float m_fRepairFraction = 0.0f;
    // The car's first colour as the screen opened: a new one shakes off the police.
    D3DXCOLOR4 m_vSavedPaint{0.0f, 0.0f, 0.0f, 0.0f};

    void Step(CGameInterface& ui, ScreenKeys& keys, float realDelta);
    void Reset();
};

struct CarShopPanel {
    CProp* m_pCarShopProp = nullptr;
    std::uint32_t m_bCarShopOpen = 0;
    float m_fCarShopFade = 0.0f;
    int m_nCarShopPage = 0;
    char m_szCarShopRows[CARSHOP_PAGES][CARSHOP_ROWS][CARSHOP_ROW_SIZE] = {};
    int m_nCarShopFirst = 0, m_nCarShopLast = 1;
    int m_nCarShopItem = 0;
    int m_nShowroomIndex = 0;
    int m_nCarPrice = 0;
    // The player's car at its rating with its damage, plus the money.
    int m_nCarBudget = 0;
    // A car other than this one on leaving shakes off the police.
    CVehicle* m_pCarAtShopEntry = nullptr;
    // The browse page's CHANGE row is recoloured with each showroom car.
    D3DXCOLOR4 m_CarShopItemColours[CARSHOP_PAGES][CARSHOP_ROWS];

    CarShopPanel();
    void Step(CGameInterface& ui, ScreenKeys& keys, float realDelta);
    void Reset();
};
