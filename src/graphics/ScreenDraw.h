// Immediate 2-D drawing in the 800 x 600 interface space (frames, rectangles,
// panels with cut corners, discs) and a few world-space lines and quads. Each
// call sets the states it needs and draws at once from stack memory.
#pragma once

#include "graphics/TextureManager.h"
#include "platform/D3D9.h"
#include "platform/D3DX9.h"

// Vertex format XYZ | DIFFUSE | TEX1 of the world-space operations.
enum { WORLD_LINE_VERTEX_FVF = 0x142 };

struct CWorldLineVertex {
    float x, y, z;
    DWORD colour;
    float u, v;
};

// Rectangles are (left, top, right, bottom); the four colours of the gradient
// forms are top-left, bottom-left, top-right, bottom-right.
namespace CScreenDraw {

void DrawFrameGradient(float l, float t, float r, float b, DWORD c0, DWORD c1, DWORD c2, DWORD c3);
void DrawFrame(float l, float t, float r, float b, DWORD colour);
void DrawRectGradient(float l, float t, float r, float b, DWORD c0, DWORD c1, DWORD c2, DWORD c3,
                      TextureId texture);
void DrawRect(float l, float t, float r, float b, DWORD colour, TextureId texture);
void DrawTexturePointerRect(float l, float t, float r, float b, DWORD colour, IDirect3DBaseTexture9* texture);
void DrawAdditiveRectGradient(float l, float t, float r, float b, DWORD c0, DWORD c1, DWORD c2, DWORD c3,
                              TextureId texture);
void DrawAdditiveRect(float l, float t, float r, float b, DWORD colour, TextureId texture);
// Style 5 scales the rectangle, sets the states and adds two soft halo
// outlines; any other style draws the bare outline in device pixels.
void DrawBevelFrameGradient(float l, float t, float r, float b, DWORD c0, DWORD c1, DWORD c2, DWORD c3,
                            int style);
void DrawBevelFrame(float l, float t, float r, float b, DWORD colour, int style);
void DrawBevelRectGradient(float l, float t, float r, float b, DWORD c0, DWORD c1, DWORD c2, DWORD c3);
void DrawBevelRect(float l, float t, float r, float b, DWORD colour);
void DrawGlowDisc(float x, float y, float radius, DWORD centreColour, DWORD rimColour, float stretchX,
                  float stretchY);
void DrawDisc(float x, float y, float radius, DWORD centreColour, DWORD rimColour, float stretchX, float stretchY,
              IDirect3DBaseTexture9* texture);
void DrawLine3DGradient(const D3DXVECTOR3* a, const D3DXVECTOR3* b, DWORD colourA, DWORD colourB);
void DrawLine3D(const D3DXVECTOR3* a, const D3DXVECTOR3* b, DWORD colour);
void DrawQuad3DGradient(const D3DXVECTOR3* points, DWORD c0, DWORD c1, DWORD c2, DWORD c3, TextureId texture);
void DrawQuad3D(const D3DXVECTOR3* points, DWORD colour, TextureId texture);

// 1 when any of the colours is not fully opaque.
int AnyTranslucent(const DWORD* colours, int count);

} // namespace CScreenDraw
