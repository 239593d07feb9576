// The renderer's construction, device set-up and release.
#include "graphics/D3DRender.h"

#include "graphics/MeshContainer.h"
#include "graphics/ReleaseAndClear.h"
#include "graphics/ShaderCompileLog.h"
#include "platform/Win32.h"
#include "shell/Log.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"
#include "shell/WinMain.h"

namespace {

// Back-buffer size of each "Mode" value.
const int kModeSizes[VIDEO_MODE_COUNT][2] = {{800, 600}, {1024, 768}, {1280, 1024}, {1600, 1200}};

// Indices into g_SettingMax.
enum { MAX_SHADOWS = 4, MAX_GLOW = 5, MAX_BLUR = 6, MAX_WATER = 7 };

const D3DFORMAT kBackBufferFormats[] = {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5};
const D3DFORMAT kDepthFormats[] = {D3DFMT_D32, D3DFMT_D24X8, D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D16};

const UINT kBackBufferCount = 3;

} // namespace

CD3DRender::CD3DRender()
{
    SetDefaults();
}

void CD3DRender::SetDefaults()
{
    m_pD3D = nullptr;
    m_pDevice = nullptr;
    m_pEffect = nullptr;
    m_pStaticEnvMap = nullptr;
    m_pszTechnique = nullptr;
    for (DWORD& faces : m_nFacesPerFrame)
        faces = 0;
    m_bShader11 = m_bShader14 = m_bShader20 = m_bPerStageConstant = 0;
    for (int& supported : m_bModeSupported)
        supported = 0;
    m_bDeviceLost = 0;
    m_nLightMapTexture = m_nBlackTexture = m_nWhiteTexture = INVALID_TEXTURE_ID;
    m_nCachedTexture = INVALID_TEXTURE_ID;
    m_nFillMode = D3DFILL_SOLID;
    m_nShadeMode = D3DSHADE_GOURAUD;
    m_nCullMode = m_nSavedCullMode = D3DCULL_CW;
    m_nZWriteEnable = m_nZEnable = m_nLighting = m_nSrcBlend = m_nDestBlend = 0;
    m_nAlphaBlendEnable = m_nFogEnable = 0;
    m_bGlowTargets = m_bBlurTarget = 0;
    m_fMotionBlur = 0.0f;
    m_TextureManager.Init();
}

int CD3DRender::SetUpFailed(const char* message, int result, bool free)
{
    ErrorBox(message, g_pszGameName, MB_ICONERROR);
    if (free)
        FreeD3DRender();
    return result;
}

bool CD3DRender::ChooseFormats(BOOL windowed, D3DFORMAT* backBuffer, D3DFORMAT* depth)
{
    *backBuffer = D3DFMT_UNKNOWN;
    for (D3DFORMAT format : kBackBufferFormats) {
        if (SUCCEEDED(m_pD3D->CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, format, format, windowed))) {
            *backBuffer = format;
            break;
        }
    }
    if (*backBuffer == D3DFMT_UNKNOWN) {
        SetUpFailed("Check device type failed!", -1, true);
        return false;
    }
    for (D3DFORMAT format : kDepthFormats) {
        if (SUCCEEDED(m_pD3D->CheckDepthStencilMatch(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, *backBuffer, *backBuffer,
                                                     format))) {
            *depth = format;
            return true;
        }
    }
    SetUpFailed("Check depth buffer match failed!", -1, true);
    return false;
}

void CD3DRender::FindDisplayModes(D3DFORMAT format)
{
    const UINT count = m_pD3D->GetAdapterModeCount(D3DADAPTER_DEFAULT, format);
    for (UINT i = 0; i < count; ++i) {
        D3DDISPLAYMODE mode{};
        if (FAILED(m_pD3D->EnumAdapterModes(D3DADAPTER_DEFAULT, format, i, &mode)) || mode.Format != format)
            continue;
        for (int m = 0; m < VIDEO_MODE_COUNT; ++m)
            if (mode.Width == UINT(kModeSizes[m][0]) && mode.Height == UINT(kModeSizes[m][1]))
                m_bModeSupported[m] = 1;
    }
}

// An unsupported "Mode" falls back to the highest supported one.
bool CD3DRender::ChooseVideoMode()
{
    if (g_nVideoMode < 0 || g_nVideoMode >= VIDEO_MODE_COUNT || !m_bModeSupported[g_nVideoMode])
        g_nVideoMode = -1;
    for (int m = VIDEO_MODE_COUNT - 1; g_nVideoMode < 0 && m >= 0; --m)
        if (m_bModeSupported[m])
            g_nVideoMode = m;
    return g_nVideoMode >= 0;
}

bool CD3DRender::CheckShaderSupport()
{
    D3DCAPS9 caps{};
    if (FAILED(m_pD3D->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps)))
        return false;
    m_bShader11 = caps.VertexShaderVersion >= D3DVS_VERSION(1, 1);
    m_bShader14 = m_bShader11 && caps.PixelShaderVersion >= D3DPS_VERSION(1, 4);
    m_bShader20 = caps.VertexShaderVersion >= D3DVS_VERSION(2, 0) && caps.PixelShaderVersion >= D3DPS_VERSION(2, 0);
    m_bPerStageConstant = (caps.PrimitiveMiscCaps & D3DPMISCCAPS_PERSTAGECONSTANT) != 0;
    return true;
}

void CD3DRender::LowerSettingBounds()
{
    if (!m_bShader20) {
        g_SettingMax[MAX_WATER] = 1;
        g_SettingMax[MAX_GLOW] = 0;
        g_SettingMax[MAX_BLUR] = 0;
    }
    if (!m_bShader11)
        g_SettingMax[MAX_SHADOWS] = 0;
    ClampSettings();
}

void CD3DRender::FillPresentParams(HWND window, BOOL windowed, D3DFORMAT format, D3DFORMAT depth, int width,
                                   int height)
{
    m_PresentParams = D3DPRESENT_PARAMETERS{};
    m_PresentParams.BackBufferWidth = UINT(width);
    m_PresentParams.BackBufferHeight = UINT(height);
    m_PresentParams.BackBufferFormat = format;
    m_PresentParams.BackBufferCount = kBackBufferCount;
    m_PresentParams.MultiSampleType = D3DMULTISAMPLE_NONE;
    m_PresentParams.SwapEffect = D3DSWAPEFFECT_FLIP;
    m_PresentParams.hDeviceWindow = window;
    m_PresentParams.Windowed = windowed;
    m_PresentParams.EnableAutoDepthStencil = TRUE;
    m_PresentParams.AutoDepthStencilFormat = depth;
    m_PresentParams.PresentationInterval = windowed ? D3DPRESENT_INTERVAL_IMMEDIATE : D3DPRESENT_INTERVAL_ONE;
}

// A device refused for too many back buffers is asked for once more with the
// count the runtime lowered.
HRESULT CD3DRender::CreateDevice(HWND window)
{
    HRESULT hr = m_pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                      &m_PresentParams, &m_pDevice);
    if (FAILED(hr) && m_PresentParams.BackBufferCount != kBackBufferCount)
        hr = m_pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                  &m_PresentParams, &m_pDevice);
    if (FAILED(hr))
        m_pDevice = nullptr;
    return hr;
}

void CD3DRender::SetScreenMetrics(int width, int height)
{
    m_fScreenWidth = float(width);
    m_fScreenHeight = float(height);
    m_fScaleX = g_bEditorMode ? 1.0f : m_fScreenWidth / 800.0f;
    m_fScaleY = g_bEditorMode ? 1.0f : m_fScreenHeight / 600.0f;
}

int CD3DRender::InitD3DRender(HWND window, BOOL windowed, int width, int height)
{
    SetDefaults();
    m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (!m_pD3D)
        return SetUpFailed("Could not create Direct3D 9.0!\nPlease install DirectX 9.0 first!", -1, false);
    D3DFORMAT format = D3DFMT_UNKNOWN;
    D3DFORMAT depth = D3DFMT_UNKNOWN;
    if (!ChooseFormats(windowed, &format, &depth))
        return -1;
    FindDisplayModes(format);
    const int askedMode = g_nVideoMode;
    if (!ChooseVideoMode())
        return SetUpFailed("Enum and check video modes failed!", -1, true);
    if (!CheckShaderSupport())
        return SetUpFailed("Check shader support failed!", -1, true);
    LowerSettingBounds();
    if (!g_bEditorMode || width <= 0 || height <= 0) {
        width = kModeSizes[g_nVideoMode][0];
        height = kModeSizes[g_nVideoMode][1];
        if (g_nVideoMode != askedMode && !g_bEditorMode)
            SetWindowSize(window, width, height);
    }
    FillPresentParams(window, windowed, format, depth, width, height);
    const HRESULT created = CreateDevice(window);
    if (FAILED(created))
        return SetUpFailed("Could not create Direct3DDevice9!", created, true);
    LogShaderCompiles();
    const HRESULT techniques = CreateRenderTechniques();
    if (FAILED(techniques))
        return SetUpFailed("Could not create render technique!", techniques, true);
    LoadCubeTexture("Data/Misc/StaticEnvMap.dds", &m_pStaticEnvMap);
    SetEffectTexture("texCubeMap1", m_pStaticEnvMap);
    SetScreenMetrics(width, height);
    const HRESULT reset = OnResetDevice();
    if (FAILED(reset))
        return SetUpFailed("Could not create render technique!", reset, true);
    m_pDevice->SetTransform(D3DTS_WORLD, &g_matIdentity);
    SetLighting(1);
    SetDefaultStates();
    return 0;
}

int CD3DRender::FreeD3DRender()
{
    DebugLog("\nCD3DRender::FreeD3DRender() start...");
    g_MeshContainer.Release();
    ReleaseDefaultResources();
    ReleaseAllTextures();
    ReleaseAndClear(m_pEffect);
    m_pszTechnique = nullptr;
    ReleaseAndClear(m_pStaticEnvMap);
    OnLostDevice();
    ReleaseAndClear(m_pSavedRenderTarget);
    ReleaseAndClear(m_pSavedDepthStencil);
    ReleaseAndClear(m_pDevice);
    ReleaseAndClear(m_pD3D);
    DebugLog("CD3DRender::FreeD3DRender() done!\n");
    return 0;
}
