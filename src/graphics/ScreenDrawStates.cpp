#include "graphics/ScreenDrawStates.h"

#include "graphics/RenderBridge.h"

namespace CScreenDraw {

ScreenRect ScaleRect(float l, float t, float r, float b)
{
    const float sx = render_bridge::ScaleX();
    const float sy = render_bridge::ScaleY();
    return ScreenRect{l * sx, t * sy, r * sx, b * sy};
}

CScreenVertex ScreenPoint(float x, float y, DWORD colour, float u, float v)
{
    const float position[3] = {x, y, 0.0f};
    return CScreenVertex(position, 1.0f, colour, u, v);
}

void SetScreenStates()
{
    render_bridge::SetFogEnable(FALSE);
    render_bridge::SetZEnable(FALSE);
    render_bridge::SetZWriteEnable(FALSE);
    render_bridge::SetLighting(FALSE);
    if (IDirect3DDevice9* device = render_bridge::Device())
        device->SetFVF(SCREEN_VERTEX_FVF);
}

void DrawScreen(D3DPRIMITIVETYPE type, UINT primitives, const CScreenVertex* vertices, DWORD faces)
{
    if (IDirect3DDevice9* device = render_bridge::Device())
        device->DrawPrimitiveUP(type, primitives, vertices, sizeof(CScreenVertex));
    render_bridge::AddDrawnFaces(faces);
}

} // namespace CScreenDraw
