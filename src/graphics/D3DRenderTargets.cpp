// Device resources shared by the render passes: the default textures, the
// static cube map loader, and the lost-device and reset routines that drop
// and rebuild them together with the other managers' device objects.
//
// The render targets, batches and post-effect resources are not made yet:
// their fields stay null, and the release below clears whatever exists.
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
    return 0;
}
