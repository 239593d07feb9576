#include "game/InterfaceSprite.h"

#include "graphics/D3DRender.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"

#include <cstdint>

int CInterfaceCursor::Init()
{
    m_bVisible = 0;
    m_nTexture = g_D3DRender.LoadTexture("Data/Interface/Cursor/Cursor.dds", 1, D3DPOOL_MANAGED);
    m_Sprite.SetRect(m_nTexture, 64.0f, 0.0f, 0.0f, 64.0f, 64.0f);
    return 1;
}

void CInterfaceCursor::Release()
{
    g_D3DRender.ReleaseTexture(m_nTexture);
    m_nTexture = INVALID_TEXTURE_ID;
    m_Sprite.m_nTexture = INVALID_TEXTURE_ID;
}

void CursorPulse(unsigned t, float* size, DWORD* colour)
{
    unsigned p = (t / 30) % 16;
    if (p >= 8)
        p = 15 - p;
    unsigned q = (t / 50) % 100;
    if (q >= 50)
        q = 99 - q;
    *size = 32.0f + static_cast<float>(p) / 2.0f;
    const DWORD green = static_cast<DWORD>((1.0f - q / 100.0f) * 255.0f);
    const DWORD blue = static_cast<DWORD>((1.0f - q / 50.0f) * 255.0f);
    *colour = D3DCOLOR_ARGB(255, 255, green, blue);
}

void CInterfaceCursor::Draw()
{
    if (!m_bVisible)
        return;
    float size = 32.0f;
    DWORD colour = 0;
    CursorPulse(static_cast<unsigned>(static_cast<std::int64_t>(g_GameTimer.m_fRealTime)), &size, &colour);
    const float x = static_cast<float>(g_nMouseX);
    const float y = static_cast<float>(g_nMouseY);
    m_Sprite.Draw(x, y, x + size, y + size, colour);
}
