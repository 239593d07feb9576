#include "graphics/ScreenDrawStates.h"

#include "graphics/D3DRender.h"

namespace CScreenDraw {

ScreenRect ScaleRect(float l, float t, float r, float b)
{
    const float sx = g_D3DRender.m_fScaleX;
    const float sy = g_D3DRender.m_fScaleY;
    return ScreenRect{l * sx, t * sy, r * sx, b * sy};
}

CScreenVertex ScreenPoint(float x, float y, DWORD colour, float u, float v)
{
    const float position[3] = {x, y, 0.0f};
    return CScreenVertex(position, 1.0f, colour, u, v);
}

void SetScreenStates()
{
    g_D3DRender.SetFogEnable(FALSE);
    g_D3DRender.SetZEnable(FALSE);
    g_D3DRender.SetZWriteEnable(FALSE);
    g_D3DRender.SetLighting(FALSE);
    if (IDirect3DDevice9* device = g_D3DRender.m_pDevice)
        device->SetFVF(SCREEN_VERTEX_FVF);
}

void DrawScreen(D3DPRIMITIVETYPE type, UINT primitives, const CScreenVertex* vertices, DWORD faces)
{
    if (IDirect3DDevice9* device = g_D3DRender.m_pDevice)
        device->DrawPrimitiveUP(type, primitives, vertices, sizeof(CScreenVertex));
    g_D3DRender.AddDrawnFaces(faces);
}

} // namespace CScreenDraw
