// The renderer.
#pragma once

#include "platform/Win32Types.h"

class CD3DRender {
public:
    int InitD3DRender(HWND hwnd, BOOL windowed);
    void FreeD3DRender();
    void SetCursorPosition(int x, int y);
    void ToggleWireframe();
    void ToggleFlatShading();
    void PresentFrame();

    // Screen pixels per unit of the 800x600 interface space.
    float m_fScaleX = 1.0f;
    float m_fScaleY = 1.0f;
    int m_nScreenWidth = 800;
    int m_nScreenHeight = 600;
};

extern CD3DRender g_D3DRender;
