// Device resources shared by the render passes: the render targets and their
// depth surfaces, the screen quad, the default textures and light batches,
// the static cube map loader, and the lost-device and reset routines that
// drop and rebuild them together with the other managers' device objects.
#include "graphics/D3DRender.h"

#include "graphics/DataFileReader.h"
#include "graphics/ReleaseAndClear.h"
#include "graphics/SceneLights.h"
#include "platform/Win32.h"
#include "shell/FileManager.h"
#include "shell/Log.h"
#include "shell/Settings.h"
#include "shell/WinMain.h"
#include "world/FieldObjectManager.h"
#include "world/InfoScreenManager.h"
#include "world/Landscape.h"

#include <cstring>
#include <vector>

void CD3DRender::LoadCubeTexture(const char* name, IDirect3DCubeTexture9** texture)
{
    ReleaseAndClear(*texture);
    if (!m_pDevice || !name)
        return;
    std::vector<unsigned char> data;
    if (g_bFileManager) {
        if (ReadDataFile(name, ARCHIVE_TEXTURES, true, MAX_TEXTURE_FILE_BYTES, &data) == DataFileResult::Failed) {
            ErrorBox("Could not load cube texture!", g_pszGameName, MB_ICONERROR);
            return;
        }
    }
    HRESULT hr;
    if (!data.empty())
        hr = D3DXCreateCubeTextureFromFileInMemoryEx(m_pDevice, data.data(), UINT(data.size()), D3DX_DEFAULT,
                                                     D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                     D3DX_DEFAULT, 0, nullptr, nullptr, texture);
    else
        hr = D3DXCreateCubeTextureFromFileExA(m_pDevice, name, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                              D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr,
                                              texture);
    if (FAILED(hr)) {
        *texture = nullptr;
        ErrorBox("Could not create cube texture!", g_pszGameName, MB_ICONERROR);
    }
}

void CD3DRender::CreateDefaultResources()
{
    m_nLightMapTexture = LoadTexture("Data/Misc/LightMap.dds", 0, D3DPOOL_MANAGED);
    m_nBlackTexture = LoadTexture("Data/Misc/Black.bmp", 0, D3DPOOL_MANAGED);
    m_nWhiteTexture = LoadTexture("Data/Misc/White.bmp", 0, D3DPOOL_MANAGED);
    CreateBatchBuffers();
}

// Each id is given back once and forgotten: the shut-down runs this twice
// (directly and through the lost-device routine), and a second release of a
// kept id would take a reference another user of the same file holds.
void CD3DRender::ReleaseDefaultResources()
{
    for (TextureId* id : {&m_nLightMapTexture, &m_nBlackTexture, &m_nWhiteTexture}) {
        ReleaseTexture(*id);
        *id = INVALID_TEXTURE_ID;
    }
    ReleaseBatchBuffers();
}

void CD3DRender::ReleaseRenderTargets()
{
    ReleaseAndClear(m_pReflectionTexture);
    ReleaseAndClear(m_pCubeTexture);
    ReleaseAndClear(m_pShadowTarget);
    ReleaseAndClear(m_pShadowTexture);
    ReleaseAndClear(m_pShadowTexture2);
    ReleaseAndClear(m_pDepthSurface);
    ReleaseAndClear(m_pDepthSurface512);
    ReleaseAndClear(m_pGlowTextureA);
    ReleaseAndClear(m_pGlowTextureB);
    ReleaseAndClear(m_pBlurTexture);
    ReleaseAndClear(m_pScreenQuad);
    m_bGlowTargets = 0;
    m_bBlurTarget = 0;
}

// Drawing and smoothing the map costs in proportion to its area: a software
// rasteriser spends a quarter of a frame on the largest one. It is kept for
// the highest shadow and detail settings; below them, half the size.
UINT CD3DRender::ShadowMapSize()
{
    return g_nShadows >= 3 && g_nDetails >= 1 ? 1024u : 512u;
}

// The smoothing writes every texel of its target with four filtered taps,
// which costs a software rasteriser more than drawing the casters. Its
// result is soft by nature, so the largest map is smoothed into maps of half
// its side: each tap then averages a square of four of the map's texels, so
// the casters drawn at the finer size still reach the result.
UINT CD3DRender::SmoothedShadowSize()
{
    return std::min(ShadowMapSize(), 512u);
}

// A clip-space quad drawn as a strip, v growing downwards so a target is
// read the way it was drawn.
static const float kScreenQuad[4][5] = {
    {-1.0f, 1.0f, 0.0f, 0.0f, 0.0f},
    {-1.0f, -1.0f, 0.0f, 0.0f, 1.0f},
    {1.0f, 1.0f, 0.0f, 1.0f, 0.0f},
    {1.0f, -1.0f, 0.0f, 1.0f, 1.0f},
};

// Each target only when its setting asks for it; one that cannot be made
// stays null and its pass or effect is skipped, without a message.
void CD3DRender::CreateRenderTargets()
{
    if (!m_pDevice)
        return;
    const D3DFORMAT format = m_PresentParams.BackBufferFormat;
    D3DXCreateTexture(m_pDevice, 512, 512, 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT, &m_pReflectionTexture);
    if (g_bReflect > 0)
        D3DXCreateCubeTexture(m_pDevice, 256, 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT, &m_pCubeTexture);
    if (g_nShadows > 0) {
        const UINT size = ShadowMapSize();
        D3DXCreateTexture(m_pDevice, size, size, 1, D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5, D3DPOOL_DEFAULT,
                          &m_pShadowTarget);
        const UINT smoothed = SmoothedShadowSize();
        for (IDirect3DTexture9** t : {&m_pShadowTexture, &m_pShadowTexture2})
            D3DXCreateTexture(m_pDevice, smoothed, smoothed, 1, D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5, D3DPOOL_DEFAULT,
                              t);
        m_pDevice->CreateDepthStencilSurface(size, size, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, FALSE, &m_pDepthSurface,
                                             nullptr);
    }
    m_pDevice->CreateDepthStencilSurface(512, 512, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, FALSE, &m_pDepthSurface512,
                                         nullptr);
    if (SUCCEEDED(m_pDevice->CreateVertexBuffer(sizeof kScreenQuad, 0, D3DFVF_XYZ | D3DFVF_TEX1, D3DPOOL_DEFAULT,
                                                &m_pScreenQuad, nullptr))) {
        void* data = nullptr;
        if (SUCCEEDED(m_pScreenQuad->Lock(0, 0, &data, D3DLOCK_DISCARD))) {
            std::memcpy(data, kScreenQuad, sizeof kScreenQuad);
            m_pScreenQuad->Unlock();
        }
    }
    if (g_bGlow > 0) {
        m_pDevice->CreateTexture(256, 256, 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT, &m_pGlowTextureA,
                                 nullptr);
        m_pDevice->CreateTexture(256, 256, 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT, &m_pGlowTextureB,
                                 nullptr);
        m_bGlowTargets = m_pGlowTextureA && m_pGlowTextureB ? 1 : 0;
    }
    if (g_bBlur > 0) {
        m_pDevice->CreateTexture(512, 512, 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT, &m_pBlurTexture,
                                 nullptr);
        m_bBlurTarget = m_pBlurTexture ? 1 : 0;
    }
}

void CD3DRender::OnLostDevice()
{
    g_SceneLights.OnLostDevice();
    g_InfoScreens.OnLostDevice();
    g_Landscape.OnLostDevice();
    g_FieldObjects.ReleaseDeviceObjects();
    ReleaseDefaultResources();
    ReleaseAndClear(m_pEffect);
    m_pszTechnique = nullptr;
    ReleaseAndClear(m_pSavedRenderTarget);
    ReleaseAndClear(m_pSavedDepthStencil);
    ReleaseRenderTargets();
}

// A new effect and the default states first; without an effect nothing else
// is rebuilt and the failure is returned.
HRESULT CD3DRender::OnResetDevice()
{
    const HRESULT hr = CreateRenderTechniques();
    SetDefaultStates();
    if (FAILED(hr))
        return hr;
    g_SceneLights.OnResetDevice();
    m_nCachedTexture = INVALID_TEXTURE_ID;
    g_InfoScreens.OnResetDevice();
    g_FieldObjects.CreateDeviceObjects();
    g_Landscape.OnResetDevice();
    CreateDefaultResources();
    CreateRenderTargets();
    return 0;
}
