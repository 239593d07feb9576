// The game menu: profile choice, name entry, main menu, new-game question,
// options, credits and the start fade that launches or continues a game.
// One global object, opened at start-up and when a game is left.
#pragma once

#include "game/MenuButton.h"
#include "graphics/GameFont.h"
#include "graphics/TextureManager.h"

class CGameSound;
struct ScreenKeys;

enum {
    MENU_CLOSED = 0,
    MENU_PROFILES = 10,
    MENU_NAME = 11,
    MENU_MAIN = 20,
    MENU_NEW_GAME = 21,
    MENU_OPTIONS = 30,
    MENU_GRAPHICS = 31,
    MENU_AUDIO = 32,
    MENU_CONTROLS = 33,
    MENU_CREDITS = 40,
    MENU_EXIT = 100,
    MENU_START = 110,
};

enum {
    MENU_PROFILE_SLOTS = 10,
    // The tenth slot only ever shows a profile copied in by hand.
    MENU_MAX_NEW_PROFILES = 9,
    MENU_FOCUS_SIZE = 32,
    MENU_VIDEO_SETTINGS = 9,
    MENU_NAME_LIMIT = 15,
};

// The nine video settings in the order of the graphics screen's buttons.
enum { VIDEO_MODE, VIDEO_DISTANCE, VIDEO_DETAILS, VIDEO_TRAFFIC, VIDEO_SHADOWS, VIDEO_GLOW, VIDEO_BLUR,
       VIDEO_WATER, VIDEO_REFLECT };

class CGameMenu {
public:
    CGameMenu();

    int Init();
    void Release();
    void Show(int state);
    void SetState(int state);
    void Update();
    void Render();
    void SetFocus(CMenuButton* button);
    void LoadRandomBackground(int index);
    void RefreshOptionLabels();
    void OnKeyDown(int key);
    void DrawTitle(float size);

    // Profiles, logos and the loading screen.
    void ListProfiles();
    int CreateNewProfile();
    int LoadProfile();
    void DeleteProfile();
    void PlayStartLogos();
    void ShowLoadingScreen(int present);

    // Plays the hover or press sound when loaded.
    void PlayHoverSound();
    void PlayPressSound();

    int m_bOpen;
    int m_bKeyHandler;
    float m_fTime;
    int m_nState;
    CGameFont m_Font;
    int m_nBackground;
    TextureId m_Background;
    TextureId m_BackHider;
    TextureId m_Title;
    TextureId m_StudioLogo;
    TextureId m_PhysicsLogo;
    TextureId m_LoadingText;
    int m_nProfiles;
    char m_szProfileFiles[MENU_PROFILE_SLOTS][64];
    // The file number ("Profile%02d.sav") each slot shows, 0 for none.
    int m_nProfileNumbers[MENU_PROFILE_SLOTS];
    CMenuButton m_ProfileSlots[MENU_PROFILE_SLOTS];
    // Main menu.
    CMenuButton m_Continue, m_StartNew, m_ChangeProfile, m_Options, m_Credits, m_Exit;
    CMenuButton m_Yes, m_No;
    CMenuButton m_ProfilesDone, m_NewProfile, m_DeleteProfile;
    CMenuButton m_NameDone;
    CMenuButton m_Graphics, m_Audio, m_Controls;
    CMenuValueButton m_VideoButtons[MENU_VIDEO_SETTINGS];
    CMenuButton m_Accept, m_Cancel;
    CMenuValueButton m_MusicVolume, m_EffectsVolume;
    CMenuButton m_Back;
    int m_Video[MENU_VIDEO_SETTINGS];
    CMenuButton* m_pFocus;
    CMenuButton* m_FocusList[MENU_FOCUS_SIZE];
    int m_nFocus;
    int m_nFocusCount;
    CGameSound* m_pHoverSound;
    CGameSound* m_pPressSound;
    // The start fade's one-time step (music off, fade in, new background).
    int m_bStartStepDone;

private:
    void CreateButtons();
    void AddFocus(CMenuButton* button);
    void FillFocusList(int state);
    void UpdateFocus(ScreenKeys& keys);
    void MoveFocus(int step);
    void UpdateProfiles();
    void UpdateNameEntry();
    void UpdateMain();
    void UpdateOptions();
    void UpdateGraphics();
    void UpdateAudio();
    void UpdateStart();
    void StartFade(int* flag);
    void CopyVideoSettings();
    void ApplyVideoSettings();
    void StepVideoSetting(int i);
    void RenderState();
    void RenderProfiles();
    void RenderNameEntry();
    void RenderGraphics();
    void RenderControls();
    void RenderCredits();
    void RenderStart();
    void DrawCaption(const char* text, float y, float size);
    void LoadMissingTexture(TextureId* id, const char* name);
    int SelectedSlot() const;
    int NextFreeProfileNumber() const;
    bool StartSelectedGame();
};

extern CGameMenu g_GameMenu;

// Set by the menu's start fade; cleared when the game starts.
extern int g_bMenuContinue;
extern int g_bMenuNewGame;

// The settings' own video values, in the graphics screen's order.
int* const* VideoSettingPointers();
