#include "game/MenuButton.h"

#include "game/GameMenu.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

unsigned MenuColorArgb(const CMenuColor& colour, float scale)
{
    auto channel = [scale](float v) {
        const float c = v * scale * 255.0f;
        return static_cast<unsigned>(c < 0.0f ? 0.0f : (c > 255.0f ? 255.0f : c));
    };
    return channel(colour.v[3]) << 24 | channel(colour.v[0]) << 16 | channel(colour.v[1]) << 8 | channel(colour.v[2]);
}

void CMenuButton::Set(const char* text, CGameFont* font, float r, float g, float b, float a, int align, float size,
                      int enabled)
{
    std::snprintf(m_szText, sizeof m_szText, "%s", text ? text : "");
    m_pFont = font;
    m_Color.v[0] = r;
    m_Color.v[1] = g;
    m_Color.v[2] = b;
    m_Color.v[3] = a;
    m_nAlign = align;
    m_fSize = size;
    m_bEnabled = enabled;
    m_fX = m_fY = 0.0f;
    m_bPressed = m_bHover = 0;
    m_nPressStamp = 0;
}

float CMenuButton::TextWidth() const
{
    return m_pFont ? m_pFont->GetTextWidth(m_szText, m_fSize, 0) : 0.0f;
}

float CMenuButton::LineHeight() const
{
    return m_pFont ? m_pFont->GetLineHeight(m_fSize) : 0.0f;
}

float CMenuButton::TextLeft(float width) const
{
    if (m_nAlign == MENU_ALIGN_RIGHT)
        return m_fX - width;
    if (m_nAlign == MENU_ALIGN_CENTRE)
        return m_fX - width / 2.0f;
    return m_fX;
}

int CMenuButton::IsMouseOver()
{
    const float width = TextWidth();
    const float h = LineHeight();
    const float left = TextLeft(width);
    const float x = static_cast<float>(g_nMouseX);
    const float y = static_cast<float>(g_nMouseY);
    const int over = x >= left && x <= left + width && y >= m_fY - h / 2.0f && y <= m_fY + h / 2.0f;
    if (over && !m_bHover)
        g_GameMenu.PlayHoverSound();
    m_bHover = over;
    return over;
}

int CMenuButton::CheckClick()
{
    if (!g_bMouseLeft || !m_bEnabled || !m_bHover || m_bPressed)
        return 0;
    g_bMouseLeft = 0;
    m_nPressStamp = static_cast<int>(g_GameTimer.m_fRealTime);
    m_bPressed = 1;
    g_GameMenu.PlayPressSound();
    return 1;
}

int CMenuButton::Press()
{
    if (!m_bEnabled || g_GameMenu.m_pFocus != this || m_bPressed)
        return 0;
    m_nPressStamp = static_cast<int>(g_GameTimer.m_fRealTime);
    m_bPressed = 1;
    g_GameMenu.PlayPressSound();
    return 1;
}

int CMenuButton::IsReleased()
{
    if (!m_bPressed || !(g_GameTimer.GetRealTimeSince(static_cast<std::uint32_t>(m_nPressStamp)) > 0.1f))
        return 0;
    m_bPressed = 0;
    return 1;
}

void CMenuButton::Draw()
{
    IsMouseOver();
    CheckClick();
    if (m_bEnabled && m_bHover)
        g_GameMenu.SetFocus(this);
    if (!m_pFont)
        return;
    const float shade = !m_bEnabled ? 0.35f : (m_bHover ? 1.0f : 0.65f);
    const unsigned colour = MenuColorArgb(m_Color, shade);
    const float size = m_fSize * (m_bPressed ? 0.9f : 1.0f);
    const float width = m_pFont->GetTextWidth(m_szText, size, 0);
    const float h = m_pFont->GetLineHeight(size);
    const float left = TextLeft(width);
    if (g_GameMenu.m_pFocus == this && width > 0.0f) {
        float f = static_cast<float>(std::rand() % 400) / 400.0f;
        if (f > 0.5f)
            f = 1.0f - f;
        const float radius = (f * 0.5f + 1.0f) * width * 0.75f;
        // Added to the picture: the strength scales the colour itself.
        const float strength = h / radius * 0.3f;
        CScreenDraw::DrawGlowDisc(left + width / 2.0f, m_fY, radius, MenuColorArgb(m_Color, strength), 0, 1.0f, 1.0f);
    }
    m_pFont->DrawGlowText(static_cast<int>(left), static_cast<int>(m_fY - h / 2.0f), m_szText, colour,
                          kTextHalo, size);
}

void CMenuValueButton::SetValue(const char* text, float r, float g, float b, float a, int align)
{
    std::snprintf(m_szValue, sizeof m_szValue, "%s", text ? text : "");
    m_ValueColor.v[0] = r;
    m_ValueColor.v[1] = g;
    m_ValueColor.v[2] = b;
    m_ValueColor.v[3] = a;
    m_nValueAlign = align;
}

void CMenuValueButton::Draw()
{
    CMenuButton::Draw();
    if (!m_pFont)
        return;
    CMenuButton value = *this;
    std::snprintf(value.m_szText, sizeof value.m_szText, "%s", m_szValue);
    value.m_nAlign = m_nValueAlign;
    const float width = value.TextWidth();
    const float h = value.LineHeight();
    const unsigned colour = MenuColorArgb(m_ValueColor, m_bEnabled ? 1.0f : 0.35f);
    m_pFont->DrawGlowText(static_cast<int>(value.TextLeft(width)), static_cast<int>(m_fY - h / 2.0f), m_szValue,
                          colour, kTextHalo, m_fSize);
}
