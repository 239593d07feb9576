// Drawing the open menu: background, title and the screen of the state.
#include "game/GameMenu.h"
#include "game/MenuBackground.h"
#include "graphics/D3DRender.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "shell/Profile.h"
#include "shell/Settings.h"

#include <cstdio>
#include <cstring>

namespace {

const float kColourA[4] = {1.0f, 1.0f, 0.8f, 1.0f};

unsigned Argb(const float* c, float alphaScale = 1.0f)
{
    CMenuColor colour;
    std::memcpy(colour.v, c, sizeof colour.v);
    colour.v[3] *= alphaScale;
    return MenuColorArgb(colour, 1.0f);
}

struct ControlRow {
    const char* action;
    const char* key;
};

const ControlRow kControls[] = {
    {"Acceleration :", " up arrow"},  {"Brake :", " down arrow"}, {"Turn left :", " left arrow"},
    {"Turn right :", " rigt arrow"},  {"Hand brake :", " space"},  {"Restore :", " R"},
    {"Change view :", " C"},          {"Back view :", " B"},      {"Info window :", " I"},
    {"Racers Top List :", " Tab"},    {"Help :", " F1"},          {"Menu :", " Esc"},
};

// Role lines, each followed by the credit of the team that did the work.
const char* const kCredits[] = {
    "Game design,",          "programming, graphics:", "the Morvaine game team",
    "3D modelling, animation:", "the Morvaine art team",
    "Music, sounds:",        "the Morvaine sound team",
    "",                      "Quillon",                "Tarnhollow",
};
const bool kCreditIsRole[] = {true, true, false, true, false, true, false, false, false, false};

} // namespace

void CGameMenu::DrawCaption(const char* text, float y, float size)
{
    const float width = m_Font.GetTextWidth(text, size, 0);
    const float h = m_Font.GetLineHeight(size);
    const unsigned colour = Argb(kColourA);
    m_Font.DrawGlowText(static_cast<int>(600.0f - width / 2.0f), static_cast<int>(y - h / 2.0f), text, colour,
                        kTextHalo, size);
}

void CGameMenu::DrawTitle(float size)
{
    LoadMissingTexture(&m_Title, "Data/Interface/GameMenu/Title.dds");
    LoadMissingTexture(&m_StudioLogo, "Data/Interface/GameMenu/Logo_Quillon.dds");
    LoadMissingTexture(&m_PhysicsLogo, "Data/Interface/GameMenu/Logo_Bullet.bmp");
    CScreenDraw::DrawRect(20.0f, 20.0f, 20.0f + 4.3f * size, 20.0f + 3.6f * size, 0xFEFFFFFFu, m_Title);
    CScreenDraw::DrawRect(5.0f, 530.0f, 75.0f, 600.0f, 0xFEFFFFFFu, m_StudioLogo);
    CScreenDraw::DrawRect(85.0f, 547.0f, 175.0f, 583.0f, 0x64FFFFFFu, m_PhysicsLogo);
}

void CGameMenu::Render()
{
    if (!m_bOpen)
        return;
    if (IDirect3DDevice9* device = g_D3DRender.m_pDevice)
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    g_MenuBackground.Update();
    DrawTitle(100.0f);
    RenderState();
}

void CGameMenu::RenderState()
{
    switch (m_nState) {
    case MENU_PROFILES:
        RenderProfiles();
        break;
    case MENU_NAME:
        RenderNameEntry();
        break;
    case MENU_MAIN:
        for (CMenuButton* b : {&m_Continue, &m_StartNew, &m_ChangeProfile, &m_Options, &m_Credits, &m_Exit})
            b->Draw();
        break;
    case MENU_NEW_GAME:
        DrawCaption("START NEW GAME?", 305.0f, 0.6f);
        DrawCaption("Current progress will by lost!", 340.0f, 0.5f);
        m_Yes.Draw();
        m_No.Draw();
        break;
    case MENU_OPTIONS:
        for (CMenuButton* b : {&m_Graphics, &m_Audio, &m_Controls, &m_Back})
            b->Draw();
        break;
    case MENU_GRAPHICS:
        RenderGraphics();
        break;
    case MENU_AUDIO:
        m_MusicVolume.Draw();
        m_EffectsVolume.Draw();
        m_Back.Draw();
        break;
    case MENU_CONTROLS:
        RenderControls();
        break;
    case MENU_CREDITS:
        RenderCredits();
        break;
    case MENU_START:
        RenderStart();
        break;
    default:
        break;
    }
}

void CGameMenu::RenderProfiles()
{
    DrawCaption("SELECT PROFILE:", 195.0f, 0.6f);
    const int selected = SelectedSlot();
    for (int i = 0; i < MENU_PROFILE_SLOTS; ++i) {
        CMenuButton& slot = m_ProfileSlots[i];
        const unsigned bar = i == selected ? 0xFF646400u : 0xFF320000u;
        const float x = slot.m_fX;
        const float y = slot.m_fY;
        CScreenDraw::DrawAdditiveRectGradient(x - 150.0f, y - 10.0f, x, y + 10.0f, 0xFF000000u, 0xFF000000u, bar, bar,
                                              INVALID_TEXTURE_ID);
        CScreenDraw::DrawAdditiveRectGradient(x, y - 10.0f, x + 150.0f, y + 10.0f, bar, bar, 0xFF000000u, 0xFF000000u,
                                              INVALID_TEXTURE_ID);
        slot.Draw();
    }
    m_ProfilesDone.Draw();
    m_NewProfile.Draw();
    m_DeleteProfile.Draw();
}

void CGameMenu::RenderNameEntry()
{
    DrawCaption("ENTER YOUR NAME:", 295.0f, 0.6f);
    CScreenDraw::DrawRect(420.0f, 335.0f, 780.0f, 420.0f, 0xC0000000u, INVALID_TEXTURE_ID);
    CScreenDraw::DrawFrame(420.0f, 335.0f, 780.0f, 420.0f, 0xFFB0A070u);
    const float width = m_Font.GetTextWidth(g_szPlayerName, 0.75f, 0);
    const float h = m_Font.GetLineHeight(0.75f);
    const float left = 600.0f - width / 2.0f;
    m_Font.DrawGlowText(static_cast<int>(left), static_cast<int>(360.0f - h / 2.0f), g_szPlayerName, 0xFFFFFFFFu,
                        kTextHalo, 0.75f);
    CScreenDraw::DrawRect(left + width + 3.0f, 360.0f - h / 2.0f + 2.0f, left + width + 8.0f, 360.0f + h / 2.0f - 2.0f,
                          0xC0FFFFCCu, INVALID_TEXTURE_ID);
    m_NameDone.Draw();
    if (m_nProfiles > 0)
        m_Back.Draw();
}

void CGameMenu::RenderGraphics()
{
    if (m_Video[VIDEO_MODE] != g_nVideoMode || m_Video[VIDEO_GLOW] != g_bGlow || m_Video[VIDEO_BLUR] != g_bBlur) {
        DrawCaption("CHANGES WILL TAKES EFFECT", 230.0f, 0.5f);
        DrawCaption("AFTER RESTART GAME!", 250.0f, 0.5f);
    }
    for (CMenuValueButton& b : m_VideoButtons)
        b.Draw();
    m_Accept.Draw();
    m_Cancel.Draw();
}

void CGameMenu::RenderControls()
{
    const float size = 0.5f;
    const float h = m_Font.GetLineHeight(size);
    const unsigned action = Argb(kColourA);
    const unsigned key = 0xFFFF8000u;
    for (int i = 0; i < static_cast<int>(sizeof kControls / sizeof kControls[0]); ++i) {
        const int top = static_cast<int>(236.0f + 22.0f * i - h / 2.0f);
        const float width = m_Font.GetTextWidth(kControls[i].action, size, 0);
        m_Font.DrawGlowText(static_cast<int>(605.0f - width), top, kControls[i].action, action, kTextHalo,
                            size);
        m_Font.DrawGlowText(605, top, kControls[i].key, key, kTextHalo, size);
    }
    m_Back.Draw();
}

void CGameMenu::RenderCredits()
{
    float y = 250.0f;
    for (std::size_t i = 0; i < sizeof kCredits / sizeof kCredits[0]; ++i) {
        const float size = kCreditIsRole[i] ? 0.45f : 0.55f;
        if (kCredits[i][0] != '\0') {
            const float width = m_Font.GetTextWidth(kCredits[i], size, 0);
            const unsigned colour = kCreditIsRole[i] ? 0xFFFF8000u : Argb(kColourA);
            m_Font.DrawGlowText(static_cast<int>(600.0f - width / 2.0f), static_cast<int>(y), kCredits[i], colour,
                                kTextHalo, size);
        }
        y += kCreditIsRole[i] && i + 1 < sizeof kCredits / sizeof kCredits[0] && !kCreditIsRole[i + 1] ? 22.0f : 26.0f;
    }
    m_Back.Draw();
}

// Once the fade to black has ended: the menu music stops, the picture fades
// back in on a new background and the loading screen shows until the game
// starts.
void CGameMenu::RenderStart()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    if (!m_bStartStepDone && m_fTime >= 1.0f && !(camera && camera->IsFading())) {
        m_bStartStepDone = 1;
        g_AudioManager.PlayMusic(0, nullptr, 0, 0.0f);
        if (camera)
            camera->StartFadeIn(1.0f, 1);
        LoadRandomBackground(-1);
    }
    if (m_bStartStepDone)
        ShowLoadingScreen(0);
}

void CGameMenu::RefreshOptionLabels()
{
    int saved[MENU_VIDEO_SETTINGS];
    int* const* settings = VideoSettingPointers();
    for (int i = 0; i < MENU_VIDEO_SETTINGS; ++i) {
        saved[i] = *settings[i];
        *settings[i] = m_Video[i];
    }
    ClampSettings();
    for (int i = 0; i < MENU_VIDEO_SETTINGS; ++i) {
        m_Video[i] = *settings[i];
        *settings[i] = saved[i];
    }
    static const char* const kModes[] = {" 800X600", " 1024X768", " 1280X1024", " 1600X1200"};
    static const char* const kLevels[] = {" Minimum", " Average", " Maximum"};
    static const char* const kDetails[] = {" Low", " Full"};
    static const char* const kShadows[] = {" Off", " Few", " Average", " All"};
    static const char* const kOnOff[] = {" Off", " On"};
    static const char* const kWater[] = {" Simple", " Medium", " Ultra"};
    static const char* const kReflect[] = {" Simple", " Maximum"};
    struct Label {
        const char* const* texts;
        int count;
    };
    const Label labels[MENU_VIDEO_SETTINGS] = {{kModes, 4},   {kLevels, 3}, {kDetails, 2}, {kLevels, 3},
                                               {kShadows, 4}, {kOnOff, 2},  {kOnOff, 2},   {kWater, 3},
                                               {kReflect, 2}};
    for (int i = 0; i < MENU_VIDEO_SETTINGS; ++i) {
        // A distance below 200 (the file's step 0 read before the table
        // starts) still names the first label.
        int index = i == VIDEO_DISTANCE ? (m_Video[i] - 200) / 200 : m_Video[i];
        index = index < 0 ? 0 : (index >= labels[i].count ? labels[i].count - 1 : index);
        std::snprintf(m_VideoButtons[i].m_szValue, sizeof m_VideoButtons[i].m_szValue, "%s", labels[i].texts[index]);
    }
    std::snprintf(m_MusicVolume.m_szValue, sizeof m_MusicVolume.m_szValue, " %d%%", g_nMusicVolume);
    std::snprintf(m_EffectsVolume.m_szValue, sizeof m_EffectsVolume.m_szValue, " %d%%", g_nEffectsVolume);
}
