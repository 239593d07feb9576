#include "game/GameMenu.h"

#include "game/GameInterface.h"
#include "game/MenuBackground.h"
#include "graphics/D3DRender.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "shell/Settings.h"

#include <cstdio>
#include <cstdlib>

int g_bMenuContinue = 0;
int g_bMenuNewGame = 0;

namespace {

const float kColourA[4] = {1.0f, 1.0f, 0.8f, 1.0f};
const float kColourB[4] = {1.0f, 0.4f, 0.4f, 1.0f};
const char* const kMenuMusic = "Data/Audio/MusTrks/TrR01.wav";

void Place(CMenuButton& b, const char* text, CGameFont* font, const float* c, float size, float x, float y,
           int align = MENU_ALIGN_CENTRE, int enabled = 1)
{
    b.Set(text, font, c[0], c[1], c[2], c[3], align, size, enabled);
    b.m_fX = x;
    b.m_fY = y;
}

const char* const kVideoCaptions[MENU_VIDEO_SETTINGS] = {
    "Resolution :", "View distance :", "Details :", "Traffic :", "Shadows :",
    "Glow :",       "Blur :",          "Water :",   "Reflection :"};

} // namespace

int* const* VideoSettingPointers()
{
    static int* const kPointers[MENU_VIDEO_SETTINGS] = {&g_nVideoMode, &g_nViewDistance, &g_nDetails,
                                                        &g_nTraffic,   &g_nShadows,      &g_bGlow,
                                                        &g_bBlur,      &g_nWater,        &g_bReflect};
    return kPointers;
}

CGameMenu::CGameMenu()
    : m_bOpen(0), m_bKeyHandler(0), m_fTime(0.0f), m_nState(MENU_CLOSED), m_nBackground(-1),
      m_Background(INVALID_TEXTURE_ID), m_BackHider(INVALID_TEXTURE_ID), m_Title(INVALID_TEXTURE_ID),
      m_StudioLogo(INVALID_TEXTURE_ID), m_PhysicsLogo(INVALID_TEXTURE_ID), m_LoadingText(INVALID_TEXTURE_ID),
      m_nProfiles(0), m_szProfileFiles{}, m_nProfileNumbers{}, m_Video{}, m_pFocus(nullptr), m_FocusList{}, m_nFocus(0),
      m_nFocusCount(0), m_pHoverSound(nullptr), m_pPressSound(nullptr), m_bStartStepDone(0)
{
}

void CGameMenu::LoadMissingTexture(TextureId* id, const char* name)
{
    if (*id == INVALID_TEXTURE_ID)
        *id = g_D3DRender.LoadTexture(name, 1, D3DPOOL_MANAGED);
}

int CGameMenu::Init()
{
    m_Font.Load("Data/Interface/Fonts/Menu 01");
    if (m_Background == INVALID_TEXTURE_ID)
        LoadRandomBackground(-1);
    LoadMissingTexture(&m_BackHider, "Data/Interface/GameMenu/Backgrounds/BackHider.dds");
    LoadMissingTexture(&m_Title, "Data/Interface/GameMenu/Title.dds");
    LoadMissingTexture(&m_StudioLogo, "Data/Interface/GameMenu/Logo_Quillon.dds");
    LoadMissingTexture(&m_PhysicsLogo, "Data/Interface/GameMenu/Logo_Bullet.bmp");
    CreateButtons();
    CopyVideoSettings();
    m_nFocusCount = 0;
    m_nFocus = 0;
    m_pFocus = nullptr;
    if (!m_pHoverSound)
        m_pHoverSound = g_AudioManager.LoadSound("Data/Audio/Bt/Bt_In.wav", 0, 1.0f, 10.0f);
    if (!m_pPressSound)
        m_pPressSound = g_AudioManager.LoadSound("Data/Audio/Bt/Bt_Pr.wav", 0, 1.0f, 10.0f);
    return 1;
}

void CGameMenu::CreateButtons()
{
    CGameFont* f = &m_Font;
    Place(m_Continue, "CONTINUE GAME", f, kColourA, 0.7f, 600, 325);
    Place(m_StartNew, "START NEW GAME", f, kColourA, 0.7f, 600, 360);
    Place(m_ChangeProfile, "CHANGE PROFILE", f, kColourB, 0.7f, 600, 430);
    Place(m_Options, "OPTIONS", f, kColourB, 0.7f, 600, 465);
    Place(m_Credits, "CREDITS", f, kColourB, 0.7f, 600, 500);
    Place(m_Exit, "EXIT", f, kColourB, 0.7f, 600, 535);
    Place(m_Yes, "YES", f, kColourA, 0.6f, 600, 400);
    Place(m_No, "NO", f, kColourA, 0.6f, 600, 430);
    for (int i = 0; i < MENU_PROFILE_SLOTS; ++i)
        Place(m_ProfileSlots[i], "-", f, kColourA, 0.4f, 600, 250.0f + 23.0f * i, MENU_ALIGN_CENTRE, 0);
    Place(m_ProfilesDone, "DONE", f, kColourB, 0.6f, 600, 500);
    Place(m_NewProfile, "NEW PROFILE", f, kColourB, 0.6f, 600, 530);
    Place(m_DeleteProfile, "DELETE PROFILE", f, kColourB, 0.6f, 600, 560);
    Place(m_NameDone, "DONE", f, kColourA, 0.6f, 600, 500);
    Place(m_Graphics, "GRAPHICS", f, kColourA, 0.7f, 600, 400);
    Place(m_Audio, "AUDIO", f, kColourA, 0.7f, 600, 435);
    Place(m_Controls, "CONTROLS", f, kColourA, 0.7f, 600, 470);
    for (int i = 0; i < MENU_VIDEO_SETTINGS; ++i) {
        Place(m_VideoButtons[i], kVideoCaptions[i], f, kColourA, 0.55f, 605, 250.0f + 25.0f * i, MENU_ALIGN_RIGHT);
        m_VideoButtons[i].SetValue("", 1.0f, 0.5f, 0.0f, 1.0f, MENU_ALIGN_LEFT);
    }
    Place(m_Accept, "ACCEPT", f, kColourB, 0.7f, 600, 515);
    Place(m_Cancel, "CANCEL", f, kColourB, 0.7f, 600, 550);
    Place(m_MusicVolume, "Music volume :", f, kColourA, 0.5f, 610, 440, MENU_ALIGN_RIGHT);
    Place(m_EffectsVolume, "Effects volume :", f, kColourA, 0.5f, 610, 470, MENU_ALIGN_RIGHT);
    m_MusicVolume.SetValue("", 1.0f, 0.5f, 0.0f, 1.0f, MENU_ALIGN_LEFT);
    m_EffectsVolume.SetValue("", 1.0f, 0.5f, 0.0f, 1.0f, MENU_ALIGN_LEFT);
    Place(m_Back, "BACK", f, kColourB, 0.7f, 600, 535);
}

void CGameMenu::Release()
{
    m_Font.Release();
    TextureId* textures[] = {&m_Background, &m_BackHider, &m_Title, &m_StudioLogo, &m_PhysicsLogo, &m_LoadingText};
    for (TextureId* id : textures) {
        g_D3DRender.ReleaseTexture(*id);
        *id = INVALID_TEXTURE_ID;
    }
    m_nBackground = -1;
    g_AudioManager.SafeFreeSound(&m_pHoverSound);
    g_AudioManager.SafeFreeSound(&m_pPressSound);
}

void CGameMenu::PlayHoverSound()
{
    if (m_pHoverSound)
        m_pHoverSound->Play(0);
}

void CGameMenu::PlayPressSound()
{
    if (m_pPressSound)
        m_pPressSound->Play(0);
}

void CGameMenu::LoadRandomBackground(int index)
{
    g_D3DRender.ReleaseTexture(m_Background);
    m_nBackground = index == -1 ? std::rand() % 12 + 1 : index;
    char name[96];
    std::snprintf(name, sizeof name, "Data/Interface/GameMenu/Backgrounds/Back%02d.bmp", m_nBackground);
    m_Background = g_D3DRender.LoadTexture(name, 1, D3DPOOL_MANAGED);
}

// Every video setting is copied: a partial copy let a stale value be
// written back by ACCEPT.
void CGameMenu::CopyVideoSettings()
{
    for (int i = 0; i < MENU_VIDEO_SETTINGS; ++i)
        m_Video[i] = *VideoSettingPointers()[i];
}

void CGameMenu::ApplyVideoSettings()
{
    for (int i = 0; i < MENU_VIDEO_SETTINGS; ++i)
        *VideoSettingPointers()[i] = m_Video[i];
}

void CGameMenu::Show(int state)
{
    m_fTime = 0.0f;
    if (state == MENU_CLOSED) {
        g_MenuBackground.Start(0, 1);
        g_GameInterface.m_Cursor.m_bVisible = 0;
        g_AudioManager.PlayMusic(0, nullptr, 0, 0.0f);
        SetState(MENU_CLOSED);
        m_bOpen = 0;
        return;
    }
    CopyVideoSettings();
    LoadRandomBackground(-1);
    g_MenuBackground.Start(1, 1);
    g_GameInterface.m_Cursor.m_bVisible = 1;
    g_AudioManager.PlayMusic(1, kMenuMusic, 1, 100.0f);
    if (g_Game.m_pCamera)
        g_Game.m_pCamera->StartFadeIn(1.0f, 1);
    SetState(state);
    m_bOpen = 1;
}

void CGameMenu::OnKeyDown(int)
{
}
