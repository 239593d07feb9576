// Placeholder until the renderer lands: set-up takes the window's size for
// the interface scale and succeeds (0); nothing is drawn.
#include "graphics/D3DRender.h"

#include "platform/Win32.h"
#include "shell/Input.h"

int CD3DRender::InitD3DRender(HWND hwnd, BOOL)
{
    RECT rc{};
    if (GetClientRect(hwnd, &rc) && rc.right > 0 && rc.bottom > 0) {
        m_fScreenWidth = static_cast<float>(rc.right);
        m_fScreenHeight = static_cast<float>(rc.bottom);
    }
    m_fScaleX = m_fScreenWidth / 800.0f;
    m_fScaleY = m_fScreenHeight / 600.0f;
    return 0;
}

void CD3DRender::FreeD3DRender()
{
}

void CD3DRender::SetCursorPosition(int x, int y)
{
    g_nMouseX = x;
    g_nMouseY = y;
    SetCursorPos(static_cast<int>(x * m_fScaleX), static_cast<int>(y * m_fScaleY));
}

void CD3DRender::ToggleWireframe()
{
}

void CD3DRender::ToggleFlatShading()
{
}

void CD3DRender::PresentFrame()
{
}
