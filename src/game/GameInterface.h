// The in-game interface: everything drawn over the 3-D view while a game
// runs (HUD, race panels, rating list, message box, dialogue bubble, pop-up
// menu, shop screens, the 3-D direction arrow and the cursor). One global
// object, g_GameInterface.
#pragma once

#include "game/InterfaceSprite.h"
#include "game/MessageIds.h"
#include "game/PanelStates.h"
#include "game/ShopScreens.h"
#include "graphics/GameFont.h"
#include "platform/D3DX9.h"
#include "shell/VectorHelpers.h"

#include <cstdint>

class CGameSound;
class CHuman;
class CProp;
class CVehicle;
struct ScreenKeys;
class CSaveReader;
class CSaveWriter;
class CStaticObject;

// The message history of a save: 32 showing counts, then 32 last-shown times.
constexpr unsigned MESSAGE_HISTORY_RECORD_SIZE = 256;

enum { POPUP_NONE = -1, POPUP_PAUSE = 0, POPUP_TAXI_OFFER = 1 };

enum {
    RACER_NAME_LISTS = 2,
    RACER_NAMES_PER_LIST = 64,
    RACER_NAME_SIZE = 64,
    RACER_NAME_KEPT = 15, // characters of a name line that count
    RACER_COUNT = 30,
    RACER_CAR_NAME_SIZE = 32,
    RACER_CAR_NAMES = 8,
    MESSAGE_ROWS = 32,
    MESSAGE_ROW_SIZE = 128,
    MESSAGE_SLOTS = 32,
    MAP_FAN_VERTICES = 33,
};

struct RacerRecord {
    char szName[RACER_NAME_SIZE];
    char szCarName[RACER_CAR_NAME_SIZE];
    std::int32_t nPoints;
};

extern const char g_CarNames[RACER_CAR_NAMES][RACER_CAR_NAME_SIZE];

class CGameInterface {
public:
    int Init();
    void Release();
    void Update();
    void Render();

    // Message box and dialogue bubble.
    void ShowMessage(int id, float time, const D3DXCOLOR4* colour, float scale);
    void DrawMessageBox();
    void SetDialogue(int line, CHuman* speaker, const char* name, float time);
    void DrawDialogue();
    void SaveMessageHistory(CSaveWriter& out);
    void LoadMessageHistory(CSaveReader& in);
    // A new game starts with no showings.
    void ResetMessageHistory();
    // The panels that are screens of their own (race offer and result,
    // rating list, driver information, pop-up menu, workshop, car shop),
    // the message box and the dialogue back to a fresh start's state: a
    // session must not find one left open or half-set by the session before
    // (a box raised during the exit's fade would show in the next game).
    void ResetScreenPanels();
    // The message box and the dialogue closed at once, with no fade. The
    // clock a pausing box held is the caller's: a session reset runs while
    // the exit or the start has the world stopped and resumes it itself.
    void CloseMessages();

    void DrawDirectionArrow();

    // Panels of their own screens, each in its own file. The Draw of a panel
    // with a step runs it on the frame's keys first.
    void DrawHud();
    void DrawDriverInfo();
    void DrawRaceInfo();
    void DrawRaceResult();
    void DrawRatingList();
    void DrawWorkshop();
    void DrawCarShop();
    void DrawPopupMenu();
    // Opens the pop-up menu in a mode (POPUP_PAUSE, POPUP_TAXI_OFFER) or closes it.
    void SetPopupMenu(int mode);
    void DrawDamagePictogram(float x, float y, float alphaFactor);
    // The circular map's fan around its centre, scaled to the screen.
    void BuildMapFan();
    void DrawHudRaceFigures(CVehicle* car);
    void DrawHudCriminalBars(std::uint32_t clockMs);
    void DrawRaceOfferMap(int alpha);
    void ClosePopup(int closingSteps);
    void DrawPopupRows(int mode);

    // Race offer (1 opens it) and race result (1 opens and computes it, 0
    // closes and books it).
    void SetRaceState(int open);
    void ShowRaceResult(int open);

    // Racers' rating list (Tab) and driver information (I). Their panels'
    // steps hold the keys and timing; the Draw operations call them and
    // then draw.
    void ShowRatingList(int open);
    void SetDriverInfo(int open);
    // Rebuilds the rows when at least 0.5 s of game time has gone by.
    void RefreshDriverInfo(float gameDelta);
    void RebuildDriverInfo();

    // Workshop and car shop.
    void SetWorkshop(int open);
    void SetCarShop(CProp* prop);
    void DrawCarFigures(float left, float right, float top, CVehicle* car);

    // 1. The interface font.
    CGameFont m_Font;
    // 2. HUD.
    CInterfaceSprite m_SpeedBar, m_SpeedNeedle, m_WorldMap, m_MapFrame;
    CInterfaceSprite m_MapIcons[5]; // car arrow, race start, police, workshop, car shop
    CInterfaceSprite m_SpriteStrip;
    CScreenVertex m_MapFan[MAP_FAN_VERTICES];
    TextureId m_nSpeedBarTexture = INVALID_TEXTURE_ID, m_nNeedleTexture = INVALID_TEXTURE_ID, m_nWorldMapTexture = INVALID_TEXTURE_ID, m_nMapFrameTexture = INVALID_TEXTURE_ID,
              m_nIconsTexture = INVALID_TEXTURE_ID, m_nSpritesTexture = INVALID_TEXTURE_ID;
    // 3. Systems.
    CInterfaceSprite m_Systems[7];
    TextureId m_nSystemsTexture = INVALID_TEXTURE_ID;
    D3DXCOLOR4 m_DamageColour{0.0f, 1.0f, 0.0f, 1.0f};
    float m_fDamageTimer = 0.0f;
    // 4. Race panels.
    RaceOfferPanel m_RaceOfferPanel;
    RaceResultPanel m_RaceResultPanel;
    CInterfaceSprite m_RaceAsk[2], m_RaceResult;
    TextureId m_nRaceAskTexture[2] = {INVALID_TEXTURE_ID, INVALID_TEXTURE_ID}, m_nResultTexture = INVALID_TEXTURE_ID;
    // 5. Rating list.
    RatingListPanel m_RatingListPanel;
    CGameSound* m_pRatingSound = nullptr;
    CInterfaceSprite m_RatingBar;
    TextureId m_nRatingTexture = INVALID_TEXTURE_ID;
    char m_szRacerNames[RACER_NAME_LISTS][RACER_NAMES_PER_LIST][RACER_NAME_SIZE] = {};
    RacerRecord m_Racers[RACER_COUNT] = {};
    // 6. Balance bar.
    CInterfaceSprite m_BalanceBar;
    TextureId m_nBalanceTexture = INVALID_TEXTURE_ID;
    DriverInfoPanel m_DriverInfoPanel;
    // 7. Pop-up menu.
    CInterfaceSprite m_RequestBar;
    TextureId m_nRequestTexture = INVALID_TEXTURE_ID;
    PopupMenuPanel m_PopupMenuPanel;
    // 8. Message box.
    CInterfaceSprite m_InfoBar;
    TextureId m_nInfoTexture = INVALID_TEXTURE_ID;
    std::uint32_t m_bMessageVisible = 0;
    float m_fMessageFade = 0.0f;
    float m_fMessageElapsed = 0.0f;
    std::int32_t m_nMessageId = -1;
    char m_szMessageRows[MESSAGE_ROWS][MESSAGE_ROW_SIZE] = {};
    std::uint32_t m_nMessageRows = 0;
    D3DXCOLOR4 m_MessageRowColors[MESSAGE_ROWS] = {};
    float m_fMessageRowScales[MESSAGE_ROWS] = {};
    std::uint32_t m_nMessageShown[MESSAGE_SLOTS] = {};
    std::uint32_t m_nMessageLastShown[MESSAGE_SLOTS] = {};
    float m_fMessageTime = 0.0f;
    std::uint32_t m_bMessageCameraMoved = 0;
    // The box paused the world itself; only then does it resume it.
    std::uint32_t m_bMessagePaused = 0;
    // Dialogue.
    std::uint32_t m_bDialogueVisible = 0;
    float m_fDialogueFade = 0.0f;
    float m_fDialogueElapsed = 0.0f;
    std::int32_t m_nDialogueLine = -1;
    CHuman* m_pDialogueSpeaker = nullptr;
    char m_szDialogueRows[MESSAGE_ROWS][MESSAGE_ROW_SIZE] = {};
    char m_szDialogueSpeaker[64] = {};
    std::uint32_t m_nDialogueRows = 0;
    float m_fDialogueTime = 0.0f;
    float m_fDialogueWidth = 0.0f, m_fDialogueHeight = 0.0f;
    // 9. Shop screens.
    CInterfaceSprite m_WorkshopBar, m_CarShopBar;
    TextureId m_nWorkshopTexture = INVALID_TEXTURE_ID, m_nCarShopTexture = INVALID_TEXTURE_ID;
    WorkshopPanel m_WorkshopPanel;
    CarShopPanel m_CarShopPanel;
    // 10. Button and money sounds.
    CGameSound* m_pSoundMove = nullptr;   // selection moved
    CGameSound* m_pSoundClick = nullptr;
    CGameSound* m_pSoundRepair = nullptr;
    CGameSound* m_pSoundPaint = nullptr;
    CGameSound* m_pSoundRefused = nullptr;
    CGameSound* m_pSoundMoney = nullptr;
    // 11. Direction arrow (a city prop once props exist).
    CStaticObject* m_pArrow = nullptr;
    D3DXVECTOR3 m_vArrowTarget{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 m_vArrowStartTarget{0.0f, 0.0f, 0.0f};
    // 12. Pursuit strip, siren light, criminal-level segment.
    CInterfaceSprite m_PursuitStrip, m_SirenLight, m_CriminalSegment;
    // 13. Cursor.
    CInterfaceCursor m_Cursor;

private:
    void LoadTextures();
    void LoadSounds();
    void LoadArrow();
    void ResetPanels();
    void StyleMessage(int id, const D3DXCOLOR4* colour, float scale);
    void BookMoney(int id);
    void StampMessage(int id);
    void UpdateMessagePause();
    void DrawMessageRows(float height);
};

extern CGameInterface g_GameInterface;
