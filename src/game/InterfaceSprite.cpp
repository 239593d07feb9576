#include "game/InterfaceSprite.h"

#include "graphics/D3DRender.h"
#include "graphics/ScreenDrawStates.h"

void CInterfaceSprite::SetRect(TextureId texture, float size, float u, float v, float w, float h)
{
    m_nTexture = texture;
    for (CScreenVertex& vertex : m_Vertices) {
        vertex = CScreenVertex{};
        vertex.x = vertex.y = vertex.z = 0.0f;
        vertex.colour = 0;
        vertex.rhw = 2.0f;
    }
    m_fWidth = w - 1.0f;
    m_fHeight = h - 1.0f;
    m_fSize = size;
    if (size <= 0.0f)
        size = 1.0f;
    SetU((u + 0.5f) / size, (u + 0.5f + w - 1.0f) / size);
    SetV((v + 0.5f) / size, (v + 0.5f + h - 1.0f) / size);
}

void CInterfaceSprite::SetU(float left, float right)
{
    m_Vertices[0].u = m_Vertices[1].u = left;
    m_Vertices[2].u = m_Vertices[3].u = right;
}

void CInterfaceSprite::SetV(float top, float bottom)
{
    m_Vertices[0].v = m_Vertices[2].v = top;
    m_Vertices[1].v = m_Vertices[3].v = bottom;
}

void CInterfaceSprite::Place(int corner, float x, float y, float z, DWORD colour)
{
    CScreenVertex& vertex = m_Vertices[corner];
    vertex.x = x * g_D3DRender.m_fScaleX;
    vertex.y = y * g_D3DRender.m_fScaleY;
    vertex.z = z;
    vertex.colour = colour;
}

void CInterfaceSprite::Submit(int additive)
{
    g_D3DRender.SetTexture(m_nTexture, 1, 0);
    if (additive)
        g_D3DRender.SetBlendMode(D3DBLEND_ONE, D3DBLEND_ONE);
    CScreenDraw::SetScreenStates();
    CScreenDraw::DrawScreen(D3DPT_TRIANGLESTRIP, 2, m_Vertices, 2);
}

void CInterfaceSprite::DrawGradient(float x1, float y1, float x2, float y2, DWORD c0, DWORD c1, DWORD c2, DWORD c3)
{
    Place(0, x1, y1, 0.0f, c0);
    Place(1, x1, y2, 0.0f, c1);
    Place(2, x2, y1, 0.0f, c2);
    Place(3, x2, y2, 0.0f, c3);
    Submit(0);
}

void CInterfaceSprite::Draw(float x1, float y1, float x2, float y2, DWORD colour)
{
    DrawGradient(x1, y1, x2, y2, colour, colour, colour, colour);
}

void CInterfaceSprite::DrawQuad(const float corners[4][3], DWORD colour)
{
    for (int i = 0; i < 4; ++i)
        Place(i, corners[i][0], corners[i][1], corners[i][2], colour);
    Submit(0);
}

void CInterfaceSprite::DrawAdditive(float x1, float y1, float x2, float y2, DWORD colour)
{
    Place(0, x1, y1, 0.0f, colour);
    Place(1, x1, y2, 0.0f, colour);
    Place(2, x2, y1, 0.0f, colour);
    Place(3, x2, y2, 0.0f, colour);
    Submit(1);
}
