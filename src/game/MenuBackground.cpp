#include "game/MenuBackground.h"

#include "game/GameMenu.h"
#include "graphics/D3DRender.h"
#include "graphics/ScreenDraw.h"
#include "shell/GameTimer.h"

#include <cstdio>
#include <cstdlib>


namespace {

const float kHoldSeconds = 4.0f;
const float kFadeSeconds = 4.0f;

} // namespace

CMenuBackground::CMenuBackground()
    : m_bOn(0), m_nMode(0), m_fHold(0.0f), m_fFade(0.0f), m_nCurrent(-1), m_nNext(-1),
      m_CurrentTexture(INVALID_TEXTURE_ID), m_NextTexture(INVALID_TEXTURE_ID), m_bNextFailed(0)
{
}

int CMenuBackground::OnGameInit()
{
    return 1;
}

void CMenuBackground::Reset()
{
    m_nCurrent = m_nNext = -1;
    g_D3DRender.ReleaseTexture(m_CurrentTexture);
    g_D3DRender.ReleaseTexture(m_NextTexture);
    m_CurrentTexture = m_NextTexture = INVALID_TEXTURE_ID;
    m_bNextFailed = 0;
}

void CMenuBackground::Release()
{
    Reset();
}

void CMenuBackground::Start(int on, int mode)
{
    m_bOn = on;
    m_nMode = mode;
    Reset();
    if (on != 1)
        return;
    m_fHold = m_fFade = 0.0f;
    Load(g_GameMenu.m_nBackground, 0);
}

void CMenuBackground::Load(int number, int slot)
{
    TextureId& texture = slot == 0 ? m_CurrentTexture : m_NextTexture;
    g_D3DRender.ReleaseTexture(texture);
    (slot == 0 ? m_nCurrent : m_nNext) = number;
    char name[96];
    std::snprintf(name, sizeof name, "Data/Interface/GameMenu/Backgrounds/Back%02d.bmp", number);
    texture = number >= 1 ? g_D3DRender.LoadTexture(name, 1, D3DPOOL_MANAGED) : INVALID_TEXTURE_ID;
}

void CMenuBackground::Draw(TextureId texture, float grey)
{
    if (texture == INVALID_TEXTURE_ID)
        return;
    const DWORD c = static_cast<DWORD>(grey * 255.0f) & 0xFFu;
    CScreenDraw::DrawAdditiveRect(-1.0f, -1.0f, 801.0f, 601.0f, 0xFF000000u | c << 16 | c << 8 | c, texture);
}

void CMenuBackground::Update()
{
    if (m_bOn != 1)
        return;
    const float dt = g_GameTimer.m_fRealDelta;
    m_fHold += dt;
    float current = 1.0f;
    float next = 0.0f;
    if (m_fHold >= kHoldSeconds) {
        if (m_NextTexture == INVALID_TEXTURE_ID && !m_bNextFailed) {
            Load(std::rand() % 12 + 1, 1);
            m_fFade = 0.0f;
            m_bNextFailed = m_NextTexture == INVALID_TEXTURE_ID;
        }
        m_fFade += dt;
        const bool haveNext = m_NextTexture != INVALID_TEXTURE_ID;
        if (m_fFade >= kFadeSeconds) {
            // The swap tests the texture: a picture that did not load never
            // replaces the one shown.
            if (haveNext) {
                g_D3DRender.ReleaseTexture(m_CurrentTexture);
                m_CurrentTexture = m_NextTexture;
                m_nCurrent = m_nNext;
            }
            m_NextTexture = INVALID_TEXTURE_ID;
            m_nNext = -1;
            m_bNextFailed = 0;
            m_fHold = 0.0f;
            m_fFade = 0.0f;
        } else if (haveNext) {
            const float f = m_fFade / kFadeSeconds;
            current = 1.0f - f;
            next = f;
        }
    }
    Draw(m_CurrentTexture, current);
    Draw(m_NextTexture, next);
}
