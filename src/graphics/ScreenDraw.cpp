// Screen rectangles, frames and world-space lines and quads.
#include "graphics/ScreenDraw.h"

#include "graphics/D3DRender.h"
#include "graphics/ScreenDrawStates.h"
#include "shell/VectorHelpers.h"

namespace CScreenDraw {

int AnyTranslucent(const DWORD* colours, int count)
{
    for (int i = 0; i < count; ++i)
        if ((colours[i] >> 24) != 0xFF)
            return 1;
    return 0;
}

void DrawFrameGradient(float l, float t, float r, float b, DWORD c0, DWORD c1, DWORD c2, DWORD c3)
{
    const DWORD colours[4] = {c0, c1, c2, c3};
    g_D3DRender.SetTexture(INVALID_TEXTURE_ID, AnyTranslucent(colours, 4));
    SetScreenStates();
    const ScreenRect s = ScaleRect(l, t, r, b);
    CScreenVertex v[5] = {
        ScreenPoint(s.l, s.t, c0, 0.0f, 0.0f), ScreenPoint(s.l, s.b, c1, 0.0f, 0.0f),
        ScreenPoint(s.r, s.b, c3, 0.0f, 0.0f), ScreenPoint(s.r, s.t, c2, 0.0f, 0.0f),
        ScreenPoint(s.l, s.t, c0, 0.0f, 0.0f),
    };
    DrawScreen(D3DPT_LINESTRIP, 4, v, 2);
}

void DrawFrame(float l, float t, float r, float b, DWORD colour)
{
    DrawFrameGradient(l, t, r, b, colour, colour, colour, colour);
}

// The filled rectangle once the texture and blending are bound.
static void DrawBoundRect(float l, float t, float r, float b, DWORD c0, DWORD c1, DWORD c2, DWORD c3)
{
    SetScreenStates();
    const ScreenRect s = ScaleRect(l, t, r, b);
    const float lo = 0.001f;
    const float hi = 0.999f;
    CScreenVertex v[4] = {
        ScreenPoint(s.l, s.t, c0, lo, lo),
        ScreenPoint(s.l, s.b, c1, lo, hi),
        ScreenPoint(s.r, s.t, c2, hi, lo),
        ScreenPoint(s.r, s.b, c3, hi, hi),
    };
    DrawScreen(D3DPT_TRIANGLESTRIP, 2, v, 2);
}

void DrawRectGradient(float l, float t, float r, float b, DWORD c0, DWORD c1, DWORD c2, DWORD c3,
                      TextureId texture)
{
    const DWORD colours[4] = {c0, c1, c2, c3};
    g_D3DRender.SetTexture(texture, AnyTranslucent(colours, 4));
    DrawBoundRect(l, t, r, b, c0, c1, c2, c3);
}

void DrawRect(float l, float t, float r, float b, DWORD colour, TextureId texture)
{
    DrawRectGradient(l, t, r, b, colour, colour, colour, colour, texture);
}

void DrawTexturePointerRect(float l, float t, float r, float b, DWORD colour, IDirect3DBaseTexture9* texture)
{
    g_D3DRender.SetTexturePointer(texture, texture != nullptr || AnyTranslucent(&colour, 1));
    DrawBoundRect(l, t, r, b, colour, colour, colour, colour);
}

void DrawAdditiveRectGradient(float l, float t, float r, float b, DWORD c0, DWORD c1, DWORD c2, DWORD c3,
                              TextureId texture)
{
    g_D3DRender.SetTexture(texture, 1);
    g_D3DRender.SetBlendMode(D3DBLEND_ONE, D3DBLEND_ONE);
    DrawBoundRect(l, t, r, b, c0, c1, c2, c3);
}

void DrawAdditiveRect(float l, float t, float r, float b, DWORD colour, TextureId texture)
{
    DrawAdditiveRectGradient(l, t, r, b, colour, colour, colour, colour, texture);
}

// World-space shapes keep the depth test and depth writes as they are and
// are drawn with the identity world transform: the points are world points.
static void SetWorldStates()
{
    g_D3DRender.SetFogEnable(FALSE);
    g_D3DRender.SetLighting(FALSE);
    if (IDirect3DDevice9* device = g_D3DRender.m_pDevice) {
        device->SetTransform(D3DTS_WORLD, &g_matIdentity);
        device->SetFVF(WORLD_LINE_VERTEX_FVF);
    }
}

static CWorldLineVertex WorldPoint(const D3DXVECTOR3& p, DWORD colour, float u, float v)
{
    return CWorldLineVertex{p.x, p.y, p.z, colour, u, v};
}

static void DrawWorld(D3DPRIMITIVETYPE type, UINT primitives, const CWorldLineVertex* vertices)
{
    if (IDirect3DDevice9* device = g_D3DRender.m_pDevice)
        device->DrawPrimitiveUP(type, primitives, vertices, sizeof(CWorldLineVertex));
}

void DrawLine3DGradient(const D3DXVECTOR3* a, const D3DXVECTOR3* b, DWORD colourA, DWORD colourB)
{
    const DWORD colours[2] = {colourA, colourB};
    g_D3DRender.SetTexture(INVALID_TEXTURE_ID, AnyTranslucent(colours, 2));
    SetWorldStates();
    const CWorldLineVertex v[2] = {WorldPoint(*a, colourA, 0.0f, 0.0f), WorldPoint(*b, colourB, 0.0f, 0.0f)};
    DrawWorld(D3DPT_LINELIST, 1, v);
}

void DrawLine3D(const D3DXVECTOR3* a, const D3DXVECTOR3* b, DWORD colour)
{
    DrawLine3DGradient(a, b, colour, colour);
}

void DrawQuad3DGradient(const D3DXVECTOR3* points, DWORD c0, DWORD c1, DWORD c2, DWORD c3, TextureId texture)
{
    const DWORD colours[4] = {c0, c1, c2, c3};
    g_D3DRender.SetTexture(texture, texture != INVALID_TEXTURE_ID || AnyTranslucent(colours, 4));
    SetWorldStates();
    const CWorldLineVertex v[4] = {
        WorldPoint(points[0], c0, 0.0f, 0.0f),
        WorldPoint(points[1], c1, 0.0f, 1.0f),
        WorldPoint(points[2], c2, 1.0f, 0.0f),
        WorldPoint(points[3], c3, 1.0f, 1.0f),
    };
    DrawWorld(D3DPT_TRIANGLESTRIP, 2, v);
    g_D3DRender.AddDrawnFaces(2);
}

void DrawQuad3D(const D3DXVECTOR3* points, DWORD colour, TextureId texture)
{
    DrawQuad3DGradient(points, colour, colour, colour, colour, texture);
}

} // namespace CScreenDraw
