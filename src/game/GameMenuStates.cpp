// The menu's states: what each state's focus list holds and what each
// released button does.
#include "game/CityLogic.h"
#include "game/GameMenu.h"
#include "game/ScreenKeys.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "shell/GameSteps.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"
#include "shell/Profile.h"
#include "shell/Settings.h"
#include "shell/WinMain.h"

#include <cstring>

namespace {

const float kNameSize = 0.75f;
const float kNameWidthLimit = 300.0f;

bool TakeEscape()
{
    return StepWithScreenKeys([](ScreenKeys& keys) {
        const bool taken = keys.escape != 0;
        keys.escape = 0;
        return taken;
    });
}

} // namespace

void CGameMenu::AddFocus(CMenuButton* button)
{
    if (m_nFocusCount < MENU_FOCUS_SIZE)
        m_FocusList[m_nFocusCount++] = button;
}

void CGameMenu::SetFocus(CMenuButton* button)
{
    for (int i = 0; i < m_nFocusCount; ++i) {
        if (m_FocusList[i] == button) {
            m_nFocus = i;
            m_pFocus = button;
            return;
        }
    }
}

void CGameMenu::FillFocusList(int state)
{
    m_nFocusCount = 0;
    m_nFocus = 0;
    m_pFocus = nullptr;
    switch (state) {
    case MENU_PROFILES:
        AddFocus(&m_ProfilesDone);
        AddFocus(&m_NewProfile);
        AddFocus(&m_DeleteProfile);
        break;
    case MENU_NAME:
        AddFocus(&m_NameDone);
        if (m_nProfiles > 0)
            AddFocus(&m_Back);
        break;
    case MENU_MAIN:
        for (CMenuButton* b : {&m_Continue, &m_StartNew, &m_ChangeProfile, &m_Options, &m_Credits, &m_Exit})
            AddFocus(b);
        break;
    case MENU_NEW_GAME:
        AddFocus(&m_Yes);
        AddFocus(&m_No);
        break;
    case MENU_OPTIONS:
        for (CMenuButton* b : {&m_Graphics, &m_Audio, &m_Controls, &m_Back})
            AddFocus(b);
        break;
    case MENU_GRAPHICS:
        for (CMenuValueButton& b : m_VideoButtons)
            AddFocus(&b);
        AddFocus(&m_Accept);
        AddFocus(&m_Cancel);
        break;
    case MENU_AUDIO:
        AddFocus(&m_MusicVolume);
        AddFocus(&m_EffectsVolume);
        AddFocus(&m_Back);
        break;
    case MENU_CONTROLS:
    case MENU_CREDITS:
        AddFocus(&m_Back);
        break;
    default:
        break;
    }
}

void CGameMenu::SetState(int state)
{
    if (state == MENU_PROFILES) {
        ListProfiles();
        if (m_nProfiles == 0)
            state = MENU_NAME;
    }
    m_nState = state;
    m_Back.m_bPressed = 0;
    FillFocusList(state);
    if (m_nFocusCount > 0)
        SetFocus(m_FocusList[0]);
    switch (state) {
    case MENU_NAME:
        g_nTextInput = TEXT_INPUT_ON;
        g_nTypedChar = 0; // a stale character would be typed on the first frame
        m_NameDone.m_bEnabled = g_szPlayerName[0] != '\0';
        break;
    case MENU_MAIN:
        if (!m_Continue.m_bEnabled)
            SetFocus(&m_StartNew);
        break;
    case MENU_NEW_GAME:
        SetFocus(&m_No);
        break;
    case MENU_OPTIONS:
    case MENU_GRAPHICS:
    case MENU_AUDIO:
        RefreshOptionLabels();
        break;
    case MENU_EXIT:
        g_bQuit = 1;
        break;
    case MENU_START:
        m_bStartStepDone = 0;
        break;
    default:
        break;
    }
}

// The search is bounded by the list: with nothing enabled the focus stays.
void CGameMenu::MoveFocus(int step)
{
    for (int k = 1; k <= m_nFocusCount; ++k) {
        const int i = ((m_nFocus + step * k) % m_nFocusCount + m_nFocusCount) % m_nFocusCount;
        if (m_FocusList[i]->m_bEnabled) {
            if (m_FocusList[i] != m_pFocus)
                PlayHoverSound();
            m_nFocus = i;
            m_pFocus = m_FocusList[i];
            return;
        }
    }
}

void CGameMenu::UpdateFocus(ScreenKeys& keys)
{
    if (m_nFocusCount == 0)
        return;
    const bool underMouse = m_pFocus && m_pFocus->m_bHover;
    if (keys.up && !underMouse)
        MoveFocus(-1);
    if (keys.down && !underMouse)
        MoveFocus(1);
    keys.up = keys.down = 0;
    // While a name is typed the blank is a character, not a press.
    const bool space = keys.space && g_nTextInput == TEXT_INPUT_OFF;
    if ((keys.enter || space) && m_pFocus)
        m_pFocus->Press();
    if (keys.enter || space)
        keys.enter = keys.space = 0;
}

void CGameMenu::Update()
{
    if (!m_bOpen)
        return;
    m_fTime += g_GameTimer.m_fDelta;
    StepWithScreenKeys([&](ScreenKeys& keys) { UpdateFocus(keys); });
    switch (m_nState) {
    case MENU_PROFILES:
        UpdateProfiles();
        break;
    case MENU_NAME:
        UpdateNameEntry();
        break;
    case MENU_MAIN:
    case MENU_NEW_GAME:
        UpdateMain();
        break;
    case MENU_OPTIONS:
    case MENU_CONTROLS:
    case MENU_CREDITS:
        UpdateOptions();
        break;
    case MENU_GRAPHICS:
        UpdateGraphics();
        break;
    case MENU_AUDIO:
        UpdateAudio();
        break;
    case MENU_START:
        UpdateStart();
        break;
    default:
        break;
    }
}

void CGameMenu::UpdateProfiles()
{
    for (int i = 0; i < MENU_PROFILE_SLOTS; ++i)
        if (m_ProfileSlots[i].IsReleased() && m_nProfileNumbers[i] > 0)
            g_nProfile = m_nProfileNumbers[i] - 1;
    if (m_ProfilesDone.IsReleased() && g_nProfile >= 0 && LoadProfile())
        SetState(MENU_MAIN);
    else if (m_NewProfile.IsReleased())
        SetState(MENU_NAME);
    else if (m_DeleteProfile.IsReleased())
        DeleteProfile();
}

void CGameMenu::UpdateNameEntry()
{
    const int typed = g_nTypedChar & 0xFF;
    std::size_t length = strnlen(g_szPlayerName, sizeof g_szPlayerName - 1);
    if (g_nTextInput == TEXT_INPUT_ON && typed >= 32) {
        char longer[sizeof g_szPlayerName + 1];
        std::memcpy(longer, g_szPlayerName, length);
        longer[length] = static_cast<char>(typed);
        longer[length + 1] = '\0';
        if (length < MENU_NAME_LIMIT && m_Font.FindGlyph(static_cast<unsigned char>(typed)) != FONT_NO_GLYPH &&
            m_Font.GetTextWidth(g_szPlayerName, kNameSize, 0) < kNameWidthLimit)
            std::memcpy(g_szPlayerName, longer, length + 2);
    }
    g_nTypedChar = 0;
    if (g_nTextInput == TEXT_INPUT_BACKSPACE) {
        if (length > 0)
            g_szPlayerName[length - 1] = '\0';
        g_nTextInput = TEXT_INPUT_ON;
    }
    const bool escape = g_nTextInput == TEXT_INPUT_ESCAPE;
    if (escape)
        g_nTextInput = TEXT_INPUT_ON;
    // An empty name is not accepted: typing goes on.
    const bool accept = g_nTextInput == TEXT_INPUT_ACCEPT;
    if (accept)
        g_nTextInput = TEXT_INPUT_ON;
    m_NameDone.m_bEnabled = g_szPlayerName[0] != '\0';
    if ((m_NameDone.IsReleased() || accept) && g_szPlayerName[0] != '\0') {
        if (CreateNewProfile()) {
            g_nTextInput = TEXT_INPUT_OFF;
            SetState(MENU_MAIN);
        }
        return;
    }
    if (m_nProfiles > 0 && (m_Back.IsReleased() || escape)) {
        g_nTextInput = TEXT_INPUT_OFF;
        SetState(MENU_PROFILES);
    }
}

void CGameMenu::StartFade(int* flag)
{
    m_fTime = 0.0f;
    *flag = 1;
    if (g_Game.m_pCamera)
        g_Game.m_pCamera->StartFadeOut(1.0f, 1);
    SetState(MENU_START);
}

void CGameMenu::UpdateMain()
{
    if (m_nState == MENU_NEW_GAME) {
        if (m_Yes.IsReleased())
            StartFade(&g_bMenuNewGame);
        else if (m_No.IsReleased())
            SetState(MENU_MAIN);
        return;
    }
    if (m_Continue.IsReleased())
        StartFade(&g_bMenuContinue);
    else if (m_StartNew.IsReleased())
        SetState(MENU_NEW_GAME);
    else if (m_ChangeProfile.IsReleased())
        SetState(MENU_PROFILES);
    else if (m_Options.IsReleased())
        SetState(MENU_OPTIONS);
    else if (m_Credits.IsReleased())
        SetState(MENU_CREDITS);
    else if (m_Exit.IsReleased())
        SetState(MENU_EXIT);
}

void CGameMenu::UpdateOptions()
{
    if (m_nState == MENU_OPTIONS) {
        if (m_Graphics.IsReleased())
            SetState(MENU_GRAPHICS);
        else if (m_Audio.IsReleased())
            SetState(MENU_AUDIO);
        else if (m_Controls.IsReleased())
            SetState(MENU_CONTROLS);
        else if (m_Back.IsReleased() || TakeEscape())
            SetState(MENU_MAIN);
        return;
    }
    if (m_Back.IsReleased() || TakeEscape())
        SetState(m_nState == MENU_CREDITS ? MENU_MAIN : MENU_OPTIONS);
}

void CGameMenu::StepVideoSetting(int i)
{
    int& v = m_Video[i];
    if (i == VIDEO_DISTANCE)
        v = v == g_SettingMax[VIDEO_DISTANCE] ? 300 : v + 250;
    else
        v = v >= g_SettingMax[i] ? 0 : v + 1;
    RefreshOptionLabels();
}

void CGameMenu::UpdateGraphics()
{
    for (int i = 0; i < MENU_VIDEO_SETTINGS; ++i)
        if (m_VideoButtons[i].IsReleased())
            StepVideoSetting(i);
    if (m_Accept.IsReleased()) {
        ApplyVideoSettings();
        SaveSettings();
        SetState(MENU_OPTIONS);
    } else if (m_Cancel.IsReleased() || TakeEscape()) {
        CopyVideoSettings();
        SetState(MENU_OPTIONS);
    }
}

void CGameMenu::UpdateAudio()
{
    int* volumes[2] = {&g_nMusicVolume, &g_nEffectsVolume};
    CMenuValueButton* buttons[2] = {&m_MusicVolume, &m_EffectsVolume};
    for (int i = 0; i < 2; ++i) {
        if (!buttons[i]->IsReleased())
            continue;
        *volumes[i] = *volumes[i] >= 100 ? 0 : *volumes[i] + 5;
        RefreshOptionLabels();
        SaveSettings();
        g_AudioManager.ApplyVolumes();
    }
    if (m_Back.IsReleased() || TakeEscape())
        SetState(MENU_OPTIONS);
}

// Starts the chosen game: false when the save does not load or no player
// car was made (outside the editor, where no car is wanted).
bool CGameMenu::StartSelectedGame()
{
    static constexpr GameStep<CGameMenu> kContinue[] = {
        {.name = "g_Game.LoadGame()", .check = [](CGameMenu&) { return g_Game.LoadGame() == 1; }},
        {"g_CityLogic.SetScene(SCENE_CONTINUE_GAME, g_pPlayerVehicle, nullptr)",
         [](CGameMenu&) { g_CityLogic.SetScene(SCENE_CONTINUE_GAME, g_pPlayerVehicle, nullptr); }},
    };
    // Only the editor plays on without a car.
    static constexpr GameStep<CGameMenu> kNewGame[] = {
        {"g_Game.NewGame()", [](CGameMenu&) { g_Game.NewGame(); }},
        {"g_VehicleManager.CreatePlayerCar(nullptr, nullptr, nullptr)",
         [](CGameMenu&) { g_VehicleManager.CreatePlayerCar(nullptr, nullptr, nullptr); }},
        {.check = [](CGameMenu&) { return g_pPlayerVehicle != nullptr || g_bEditorMode != 0; }},
        {"g_CityLogic.SetScene(SCENE_NEW_GAME, g_pPlayerVehicle, nullptr)",
         [](CGameMenu&) { g_CityLogic.SetScene(SCENE_NEW_GAME, g_pPlayerVehicle, nullptr); }},
    };
    if (g_bMenuContinue)
        return RunGameSteps(kContinue, *this);
    return RunGameSteps(kNewGame, *this);
}

void CGameMenu::UpdateStart()
{
    if (!(m_fTime > 2.0f))
        return;
    const bool started = (g_bMenuContinue || g_bMenuNewGame) && StartSelectedGame();
    g_bMenuContinue = g_bMenuNewGame = 0;
    if (!started) {
        // Back to the menu, never left behind the loading screen.
        g_AudioManager.PlayMusic(1, "Data/Audio/MusTrks/TrR01.wav", 1, 100.0f);
        SetState(MENU_MAIN);
        return;
    }
    g_bInGame = 1;
    Show(MENU_CLOSED);
}
