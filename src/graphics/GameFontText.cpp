// Drawing and measuring text with a bitmap font. Pen positions are whole
// numbers of the 800 x 600 space; each string is one indexed draw.
#include "graphics/GameFont.h"

#include "graphics/D3DRender.h"

#include <cmath>
#include <cstring>

namespace {

std::size_t DrawnLength(const char* text)
{
    return text ? strnlen(text, FONT_MAX_TEXT) : 0;
}

} // namespace

void CGameFont::SetQuad(std::uint32_t quad, const FontGlyph& g, float left, float right, float top, float bottom,
                        DWORD topColour, DWORD bottomColour)
{
    const float sx = g_D3DRender.m_fScaleX;
    const float sy = g_D3DRender.m_fScaleY;
    CScreenVertex* v = &m_Vertices[quad * 4];
    const float xs[4] = {left, left, right, right};
    const float ys[4] = {top, bottom, top, bottom};
    const float us[4] = {g.fLeft, g.fLeft, g.fRight, g.fRight};
    const float vs[4] = {g.fTop, g.fBottom, g.fTop, g.fBottom};
    for (int i = 0; i < 4; ++i) {
        v[i].x = xs[i] * sx;
        v[i].y = ys[i] * sy;
        v[i].colour = (i & 1) ? bottomColour : topColour;
        v[i].u = us[i];
        v[i].v = vs[i];
    }
}

float CGameFont::DrawTextGradient(int x, int y, const char* text, DWORD topColour, DWORD bottomColour, float size,
                                  int fixedWidth)
{
    const float s = size * m_fScale;
    float pen = static_cast<float>(x);
    const std::size_t n = DrawnLength(text);
    std::uint32_t quads = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint16_t glyph = GlyphOf(text[i]);
        if (glyph == FONT_NO_GLYPH)
            continue;
        const FontGlyph& g = m_Glyphs[glyph];
        float left = pen;
        float right = pen + s * g.fWidth;
        if (fixedWidth) {
            left = pen + (m_fCellWidth / 2.0f - g.fWidth / 2.0f) * s;
            right = pen + (g.fWidth / 2.0f + m_fCellWidth / 2.0f) * s;
        }
        const float top = static_cast<float>(y);
        SetQuad(quads++, g, left, right, top, top + s * g.fHeight, topColour, bottomColour);
        pen = std::trunc(fixedWidth ? s * m_fCellWidth + pen : s * (g.fWidth + m_fLetterSpacing) + pen);
    }
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (quads == 0 || !device)
        return pen;
    g_D3DRender.SetLighting(FALSE);
    g_D3DRender.SetZEnable(FALSE);
    g_D3DRender.SetTexture(m_nTexture, 1);
    device->SetFVF(SCREEN_VERTEX_FVF);
    device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, quads * 4, quads * 2, m_Indices, D3DFMT_INDEX16,
                                   m_Vertices, sizeof(CScreenVertex));
    g_D3DRender.AddDrawnFaces(quads * 2);
    return pen;
}

float CGameFont::DrawText(int x, int y, const char* text, DWORD colour, float size, int fixedWidth)
{
    return DrawTextGradient(x, y, text, colour, colour, size, fixedWidth);
}

float CGameFont::DrawGlowText(int x, int y, const char* text, DWORD colour, DWORD glowColour, float size,
                              int unused)
{
    const float s = size * m_fScale;
    const float lineHeight = GetLineHeight(s);
    const std::size_t n = DrawnLength(text);
    if (n == 0)
        return static_cast<float>(x);
    float pen = static_cast<float>(x);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint16_t glyph = GlyphOf(text[i]);
        if (glyph == FONT_NO_GLYPH)
            continue;
        const FontGlyph& g = m_Glyphs[glyph];
        if (text[i] != ' ')
            CScreenDraw::DrawDisc(pen + s * g.fWidth / 2.0f, lineHeight / 2.0f + static_cast<float>(y) + 1.0f,
                                  g.fHeight * 0.6f * s, glowColour, glowColour & 0x00FFFFFFu, 1.0f, 1.0f, nullptr);
        pen = std::trunc((g.fWidth + m_fLetterSpacing) * s + pen);
    }
    return DrawTextGradient(x, y, text, colour, colour, s, 0);
}

// The sum is cut to a whole number per character before it is scaled, so it
// can differ by a few units from the pen of the drawing, which is cut after.
float CGameFont::GetTextWidth(const char* text, float size, int fixedWidth) const
{
    float sum = 0.0f;
    for (const char* c = text; c && *c; ++c) {
        const std::uint16_t glyph = GlyphOf(*c);
        if (glyph == FONT_NO_GLYPH)
            continue;
        sum = std::trunc(sum + (fixedWidth ? m_fCellWidth : m_Glyphs[glyph].fWidth + m_fLetterSpacing));
    }
    return sum * size * m_fScale;
}

float CGameFont::GetLineHeight(float size) const
{
    return size * m_fScale * m_fGlyphHeight;
}
