// Outlines and panels with cut corners, and discs drawn from the unit-circle
// table.
#include "graphics/D3DRender.h"
#include "graphics/ScreenDraw.h"
#include "graphics/ScreenDrawStates.h"

#include <cstring>
#include <initializer_list>

namespace CScreenDraw {

namespace {

// The cut of the interface's panels, in device pixels.
const int kPanelStyle = 5;
const int kHaloStyle = 6;
const float kPanelCut = 5.0f;

DWORD HalfAlpha(DWORD colour)
{
    return ((colour >> 25) << 24) | (colour & 0x00FFFFFFu);
}

} // namespace

void DrawBevelFrameGradient(float l, float t, float r, float b, DWORD c0, DWORD c1, DWORD c2, DWORD c3,
                            int style)
{
    ScreenRect s{l, t, r, b};
    if (style == kPanelStyle) {
        const DWORD colours[4] = {c0, c1, c2, c3};
        g_D3DRender.SetTexture(INVALID_TEXTURE_ID, AnyTranslucent(colours, 4));
        SetScreenStates();
        s = ScaleRect(l, t, r, b);
    }
    const float c = static_cast<float>(style);
    CScreenVertex v[9] = {
        ScreenPoint(s.l + c, s.t, c0, 0.0f, 0.0f), ScreenPoint(s.l, s.t + c, c0, 0.0f, 0.0f),
        ScreenPoint(s.l, s.b - c, c1, 0.0f, 0.0f), ScreenPoint(s.l + c, s.b, c1, 0.0f, 0.0f),
        ScreenPoint(s.r - c, s.b, c3, 0.0f, 0.0f), ScreenPoint(s.r, s.b - c, c3, 0.0f, 0.0f),
        ScreenPoint(s.r, s.t + c, c2, 0.0f, 0.0f), ScreenPoint(s.r - c, s.t, c2, 0.0f, 0.0f),
        ScreenPoint(s.l + c, s.t, c0, 0.0f, 0.0f),
    };
    DrawScreen(D3DPT_LINESTRIP, 8, v, 6);
    if (style != kPanelStyle)
        return;
    const DWORD h0 = HalfAlpha(c0), h1 = HalfAlpha(c1), h2 = HalfAlpha(c2), h3 = HalfAlpha(c3);
    for (float grow : {1.0f, 1.5f})
        DrawBevelFrameGradient(s.l - grow, s.t - grow, s.r + grow, s.b + grow, h0, h1, h2, h3, kHaloStyle);
}

void DrawBevelFrame(float l, float t, float r, float b, DWORD colour, int style)
{
    DrawBevelFrameGradient(l, t, r, b, colour, colour, colour, colour, style);
}

void DrawBevelRectGradient(float l, float t, float r, float b, DWORD c0, DWORD c1, DWORD c2, DWORD c3)
{
    const DWORD colours[4] = {c0, c1, c2, c3};
    g_D3DRender.SetTexture(INVALID_TEXTURE_ID, AnyTranslucent(colours, 4));
    SetScreenStates();
    const ScreenRect s = ScaleRect(l, t, r, b);
    const float c = kPanelCut;
    CScreenVertex v[8] = {
        ScreenPoint(s.l, s.t + c, c0, 0.0f, 0.0f), ScreenPoint(s.l, s.b - c, c1, 0.0f, 0.0f),
        ScreenPoint(s.l + c, s.t, c0, 0.0f, 0.0f), ScreenPoint(s.l + c, s.b, c1, 0.0f, 0.0f),
        ScreenPoint(s.r - c, s.t, c2, 0.0f, 0.0f), ScreenPoint(s.r - c, s.b, c3, 0.0f, 0.0f),
        ScreenPoint(s.r, s.t + c, c2, 0.0f, 0.0f), ScreenPoint(s.r, s.b - c, c3, 0.0f, 0.0f),
    };
    DrawScreen(D3DPT_TRIANGLESTRIP, 6, v, 6);
}

void DrawBevelRect(float l, float t, float r, float b, DWORD colour)
{
    DrawBevelRectGradient(l, t, r, b, colour, colour, colour, colour);
}

// The unit-circle table placed at the centre, radius and stretch in device
// pixels; its texture coordinates stay.
static void DrawDiscFan(float x, float y, float radius, DWORD centreColour, DWORD rimColour, float stretchX,
                        float stretchY)
{
    SetScreenStates();
    const float sx = g_D3DRender.m_fScaleX;
    const float sy = g_D3DRender.m_fScaleY;
    CScreenVertex v[DISC_VERTEX_COUNT];
    std::memcpy(v, g_DiscVertices, sizeof(v));
    for (int i = 0; i < DISC_VERTEX_COUNT; ++i) {
        v[i].x = v[i].x * radius * sx * stretchX + x * sx;
        v[i].y = v[i].y * radius * sy * stretchY + y * sy;
        v[i].colour = i == 0 ? centreColour : rimColour;
    }
    DrawScreen(D3DPT_TRIANGLEFAN, DISC_VERTEX_COUNT - 2, v, 16);
}

void DrawGlowDisc(float x, float y, float radius, DWORD centreColour, DWORD rimColour, float stretchX,
                  float stretchY)
{
    g_D3DRender.SetTexture(INVALID_TEXTURE_ID, 1);
    g_D3DRender.SetBlendMode(D3DBLEND_ONE, D3DBLEND_ONE);
    DrawDiscFan(x, y, radius, centreColour, rimColour, stretchX, stretchY);
}

void DrawDisc(float x, float y, float radius, DWORD centreColour, DWORD rimColour, float stretchX, float stretchY,
              IDirect3DBaseTexture9* texture)
{
    const DWORD colours[2] = {centreColour, rimColour};
    g_D3DRender.SetTexturePointer(texture, AnyTranslucent(colours, 2));
    DrawDiscFan(x, y, radius, centreColour, rimColour, stretchX, stretchY);
}

} // namespace CScreenDraw
