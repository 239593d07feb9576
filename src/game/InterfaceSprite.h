// Textured rectangles of the in-game interface: four pre-transformed
// vertices over a source rectangle of a square texture. The UVs sit on texel
// centres so a sprite drawn at its texel size maps each texel to one pixel.
#pragma once

#include "graphics/ScreenVertex.h"
#include "graphics/TextureManager.h"

class CInterfaceSprite {
public:
    // Source rectangle (u, v, w, h) in texels of a texture size texels square.
    void SetRect(TextureId texture, float size, float u, float v, float w, float h);
    void SetU(float left, float right);
    void SetV(float top, float bottom);

    // Rectangles in the 800 x 600 space; gradient colours top-left,
    // bottom-left, top-right, bottom-right.
    void Draw(float x1, float y1, float x2, float y2, DWORD colour);
    void DrawGradient(float x1, float y1, float x2, float y2, DWORD c0, DWORD c1, DWORD c2, DWORD c3);
    // Four corners (x, y, z) in strip order.
    void DrawQuad(const float corners[4][3], DWORD colour);
    void DrawAdditive(float x1, float y1, float x2, float y2, DWORD colour);

    // Top-left, bottom-left, top-right, bottom-right.
    CScreenVertex m_Vertices[4];
    TextureId m_nTexture = INVALID_TEXTURE_ID;
    float m_fWidth = 0.0f;  // source width - 1, texels
    float m_fHeight = 0.0f; // source height - 1, texels
    float m_fSize = 0.0f;

private:
    void Place(int corner, float x, float y, float z, DWORD colour);
    void Submit(int additive);
};

// The mouse cursor the game draws itself: a pulsing arrow at the mouse.
class CInterfaceCursor {
public:
    int Init();
    void Release();
    void Update() {}
    void Draw();

    unsigned m_bVisible = 0;
    TextureId m_nTexture = INVALID_TEXTURE_ID;
    CInterfaceSprite m_Sprite;
};

// The cursor's pulse at real time t (ms): its edge length (32 to 35.5 units)
// and colour.
void CursorPulse(unsigned t, float* size, DWORD* colour);
