// The renderer.
#pragma once

#include "platform/D3DX9.h"

#include <cstdint>

// Slot of a loaded texture; all bits set means no texture.
using TextureId = std::uint32_t;

class CD3DRender {
public:
    int InitD3DRender(HWND hwnd, BOOL windowed);
    void FreeD3DRender();
    void SetCursorPosition(int x, int y);
    void ToggleWireframe();
    void ToggleFlatShading();
    void PresentFrame();
    TextureId LoadTexture(const char* name, std::uint32_t mipLevels, D3DPOOL pool);
    void ReleaseTexture(TextureId id);
    void SetMaterial(const D3DMATERIAL9* material);
    // Counts the faces just drawn for the pass in progress.
    void AddDrawnFaces(std::uint32_t count);

    // Faces drawn this frame: main, water, cube and shadow pass.
    std::uint32_t m_nFacesPerFrame[4] = {};

    // Screen pixels per unit of the 800x600 interface space.
    float m_fScaleX = 1.0f;
    float m_fScaleY = 1.0f;
    float m_fScreenWidth = 800.0f;
    float m_fScreenHeight = 600.0f;
    IDirect3DDevice9* m_pDevice = nullptr;
    ID3DXEffect* m_pEffect = nullptr;
};

extern CD3DRender g_D3DRender;
