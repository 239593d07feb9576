// The workshop screen as drawn: a darkened view, the shop bar, the page's
// rows, the repair figures, the level prices and the paint editor.
#include "game/GameInterface.h"
#include "game/PlayerStats.h"
#include "game/ScreenKeys.h"
#include "game/ShopScreens.h"
#include "graphics/ScreenDraw.h"
#include "roadusers/Vehicle.h"
#include "shell/GameTimer.h"

#include <algorithm>
#include <cstdio>

namespace {

DWORD Argb(const D3DXCOLOR4& c, float alpha)
{
    auto channel = [](float v) { return static_cast<DWORD>(std::clamp(v, 0.0f, 1.0f) * 255.0f); };
    return D3DCOLOR_ARGB(static_cast<DWORD>(std::clamp(alpha, 0.0f, 255.0f)), channel(c.r), channel(c.g),
                         channel(c.b));
}

const D3DXCOLOR4 kYellow{1.0f, 1.0f, 0.0f, 1.0f};
const D3DXCOLOR4 kGlow{1.0f, 0.6f, 0.2f, 1.0f};

float RowHeight(int rows)
{
    return 128.0f / static_cast<float>(rows + 1);
}

} // namespace

// Shared with the car shop: the rows of a page, centred, right-aligned at
// 400 + shift, the selected one over a glow.
void DrawShopRows(CGameFont& font, const char* const* rows, const D3DXCOLOR4* colours, int count, int selected,
                  float scale, bool centred, float shift, float fade)
{
    const float h = RowHeight(count);
    const float line = font.GetLineHeight(scale * font.m_fScale);
    const float alpha = fade * 254.0f;
    for (int i = 0; i < count; ++i) {
        const char* text = rows[i];
        if (!text || !*text)
            continue;
        const float width = font.GetTextWidth(text, scale * font.m_fScale, 0);
        const float x = centred ? 400.0f - width / 2.0f : 400.0f + shift - width;
        const float y = 450.0f + h - line / 2.0f + static_cast<float>(i) * h;
        const DWORD colour = Argb(colours[i], alpha);
        if (i == selected)
            font.DrawGlowText(static_cast<int>(x), static_cast<int>(y), text, colour, Argb(kGlow, 0.6f * fade * 255.0f),
                              scale);
        else
            font.DrawText(static_cast<int>(x), static_cast<int>(y), text, colour, scale, 0);
    }
}

// Shared with the car shop. A black sheet over the whole screen at the
// fade's alpha (up to 254) would black out the very car these screens show:
// the workshop's smoke and live paint, the car shop's showroom cars. So the
// view darkens from clear at the top to that alpha at the bottom, where the
// bar and its rows stand.
void DrawShopDarkening(float fade)
{
    const DWORD clear = D3DCOLOR_ARGB(0, 0, 0, 0), dark = Argb(D3DXCOLOR4{0.0f, 0.0f, 0.0f, 1.0f}, fade * 254.0f);
    CScreenDraw::DrawRectGradient(0.0f, 0.0f, 800.0f, 600.0f, clear, dark, clear, dark, INVALID_TEXTURE_ID);
}

namespace {

void DrawPaintEditor(CGameFont& font, int subject, float fade)
{
    const float alpha = fade * 254.0f;
    const float h = RowHeight(4);
    const int slot = std::clamp(subject, 0, 1);
    const float hueTop = 450.0f + h - 6.0f;
    for (int k = 0; k < 6; ++k) {
        const float l = 280.0f + 40.0f * static_cast<float>(k);
        const DWORD a = Argb(g_PaintSpectrum[k], alpha), b = Argb(g_PaintSpectrum[k + 1], alpha);
        CScreenDraw::DrawRectGradient(l, hueTop, l + 40.0f, hueTop + 12.0f, a, a, b, b, INVALID_TEXTURE_ID);
    }
    const float mark = 278.0f + 2.4f * static_cast<float>(g_nPaintHue[slot]);
    CScreenDraw::DrawFrame(mark, hueTop - 2.0f, mark + 4.0f, hueTop + 14.0f, Argb(D3DXCOLOR4{1, 1, 1, 1}, alpha));

    const D3DXCOLOR4 hue = PaintHueColour(static_cast<float>(g_nPaintHue[slot]));
    const float shadeTop = hueTop + h;
    for (int i = 0; i < PAINT_SHADES; ++i) {
        const float l = 280.0f + 12.0f * static_cast<float>(i);
        CScreenDraw::DrawRect(l, shadeTop, l + 10.0f, shadeTop + 12.0f, Argb(PaintShadeColour(hue, i), alpha),
                              INVALID_TEXTURE_ID);
        if (i == g_nPaintShade[slot])
            CScreenDraw::DrawFrame(l - 1.0f, shadeTop - 1.0f, l + 11.0f, shadeTop + 13.0f,
                                   Argb(D3DXCOLOR4{1, 1, 1, 1}, alpha));
    }

    const char* words[PAINT_TYPES] = {"-DULL-", "-METALLIC-", "-CHROME-"};
    const float scale = 0.35f;
    const float y = 450.0f + 3.0f * h - font.GetLineHeight(scale * font.m_fScale) / 2.0f;
    for (int t = 0; t < PAINT_TYPES; ++t) {
        const float width = font.GetTextWidth(words[t], scale * font.m_fScale, 0);
        const float x = 320.0f + 80.0f * static_cast<float>(t) - width / 2.0f;
        const D3DXCOLOR4& c = t == g_nPaintType ? kYellow : g_WorkshopItemColours[WORKSHOP_COLOUR][2];
        font.DrawText(static_cast<int>(x), static_cast<int>(y), words[t], Argb(c, alpha), scale, 0);
    }
}

} // namespace

void CGameInterface::DrawWorkshop()
{
    auto& workshop = m_WorkshopPanel;
    StepWithScreenKeys([&](ScreenKeys& keys) { return workshop.Step(*this, keys, g_GameTimer.m_fRealDelta); });
    if (workshop.m_fWorkshopFade <= 0.0f)
        return;

    const float fade = workshop.m_fWorkshopFade;
    const float alpha = fade * 254.0f;
    DrawShopDarkening(fade);
    m_WorkshopBar.Draw(220.0f, 400.0f, 580.0f, 630.0f, D3DCOLOR_ARGB(static_cast<DWORD>(alpha), 255, 255, 255));

    const int page = std::clamp(workshop.m_nWorkshopPage, 0, WORKSHOP_PAGES - 1);
    const ShopPage& p = g_WorkshopPages[page];
    const float shifts[WORKSHOP_PAGES] = {0.0f, -5.0f, -10.0f, 0.0f, 0.0f, 0.0f};
    const bool centred = page == WORKSHOP_MAIN || page == WORKSHOP_PAINT || page == WORKSHOP_COLOUR;
    DrawShopRows(m_Font, p.rows, g_WorkshopItemColours[page], p.count, workshop.m_nShopItem, p.scale, centred,
                 shifts[page], fade);

    const float h = RowHeight(p.count);
    const float line = m_Font.GetLineHeight(p.scale * m_Font.m_fScale);
    auto rowY = [&](int i) { return static_cast<int>(450.0f + h - line / 2.0f + static_cast<float>(i) * h); };
    const DWORD yellow = Argb(kYellow, alpha);
    CVehicle* car = g_pPlayerVehicle;
    if (page == WORKSHOP_REPAIR) {
        for (int i = 0; i < 4; ++i)
            m_Font.DrawText(405, rowY(i), workshop.m_szRepairTexts[i], yellow, p.scale, 0);
    } else if (page == WORKSHOP_PART || page == WORKSHOP_LEVEL) {
        const int part = std::clamp(page == WORKSHOP_PART ? workshop.m_nShopItem : workshop.m_nShopSubject, 0, 3);
        CInterfaceSprite sprite;
        sprite.SetRect(m_nSpritesTexture, 256.0f, 128.0f, 64.0f * static_cast<float>(part), 128.0f, 64.0f);
        sprite.Draw(450.0f, 480.0f, 530.0f, 550.0f, D3DCOLOR_ARGB(static_cast<DWORD>(alpha), 255, 255, 255));
    }
    if (page == WORKSHOP_LEVEL && car) {
        const int level = WorkshopLevel(*car, workshop.m_nShopSubject);
        for (int n = 1; n <= WORKSHOP_LEVELS; ++n) {
            char text[32];
            if (level >= n)
                std::snprintf(text, sizeof(text), "INSTALLED");
            else if (level == n - 1)
                std::snprintf(text, sizeof(text), "%.0f$", static_cast<double>(workshop.m_fLevelPrices[n]));
            else
                std::snprintf(text, sizeof(text), "----");
            m_Font.DrawText(405, rowY(n), text, yellow, p.scale, 0);
        }
        char money[32];
        std::snprintf(money, sizeof(money), "%d", g_PlayerStats.m_nMoney);
        m_Font.DrawText(405, rowY(5), money, yellow, p.scale, 0);
    }
    if (page == WORKSHOP_COLOUR)
        DrawPaintEditor(m_Font, workshop.m_nShopSubject, fade);
}
