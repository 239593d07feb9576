// The renderer.
#pragma once

#include "platform/D3DX9.h"

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
    float m_fScreenWidth = 800.0f;
    float m_fScreenHeight = 600.0f;
    IDirect3DDevice9* m_pDevice = nullptr;
    ID3DXEffect* m_pEffect = nullptr;
};

extern CD3DRender g_D3DRender;
