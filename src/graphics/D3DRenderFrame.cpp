// The end of every frame with its recovery of a lost device, the drawn-face
// counters, frames per second, the mouse cursor, the developer toggles and
// the renderer's side of the texture table.
#include "graphics/D3DRender.h"

#include "platform/Win32.h"
#include "shell/Input.h"
#include "shell/Log.h"
#include "shell/RenderPasses.h"
#include "shell/WinMain.h"

// A lost device is reset once the system allows it; the frame of the reset
// is not presented. Failed (with the quit flag set) when the device cannot
// be restored.
CD3DRender::LostDeviceStep CD3DRender::RestoreLostDevice()
{
    const HRESULT level = m_pDevice->TestCooperativeLevel();
    if (level == D3DERR_DEVICELOST)
        return LostDeviceStep::Skip;
    if (level != D3DERR_DEVICENOTRESET)
        return LostDeviceStep::Present;
    OnLostDevice();
    const HRESULT reset = m_pDevice->Reset(&m_PresentParams);
    if (reset == D3DERR_DEVICELOST)
        return LostDeviceStep::Skip;
    if (SUCCEEDED(reset) && SUCCEEDED(OnResetDevice())) {
        m_bDeviceLost = 0;
        return LostDeviceStep::Skip;
    }
    ErrorBox("D3D device is lost,\nand application can't restore it!\nApplication will now exit...", g_pszGameName,
             MB_ICONERROR);
    g_bQuit = 1;
    return LostDeviceStep::Failed;
}

HRESULT CD3DRender::PresentFrame()
{
    if (!m_pDevice)
        return 0;
    if (m_bDeviceLost) {
        const LostDeviceStep step = RestoreLostDevice();
        if (step != LostDeviceStep::Present)
            return step == LostDeviceStep::Failed ? E_FAIL : 0;
    }
    const HRESULT hr = m_pDevice->Present(nullptr, nullptr, nullptr, nullptr);
    if (hr == D3DERR_DEVICELOST) {
        m_bDeviceLost = 1;
        return 0;
    }
    if (FAILED(hr))
        ErrorBox("Present frame failed!", g_pszGameName, MB_ICONERROR);
    for (DWORD& faces : m_nFacesPerFrame)
        faces = 0;
    return 0;
}

void CD3DRender::AddDrawnFaces(DWORD count)
{
    if (g_WaterPassActive)
        m_nFacesPerFrame[1] += count;
    else if (g_CubePassActive)
        m_nFacesPerFrame[2] += count;
    else if (g_ShadowPassActive)
        m_nFacesPerFrame[3] += count;
    else
        m_nFacesPerFrame[0] += count;
}

namespace {

// The frame counter lives for the process; ResetFrameRate starts it afresh.
struct FrameRateCounter {
    float fps = 0.0f;
    float lastUpdate = 0.0f;
    unsigned calls = 0;
};
FrameRateCounter s_frameRate;

} // namespace

void ResetFrameRate()
{
    s_frameRate = FrameRateCounter();
}

// Counts its own calls: frames per second when called once a frame.
float CD3DRender::GetFPS()
{
    FrameRateCounter& c = s_frameRate;
    const float now = float(timeGetTime()) * 0.001f;
    ++c.calls;
    if (now - c.lastUpdate > 1.0f) {
        c.fps = float(c.calls) / (now - c.lastUpdate);
        c.lastUpdate = now;
        c.calls = 0;
    }
    return c.fps;
}

void CD3DRender::SetCursorPosition(float x, float y)
{
    SetCursorPos(int(x * m_fScaleX), int(y * m_fScaleY));
    g_nMouseX = g_PrevMousePos[0] = int(x);
    g_nMouseY = g_PrevMousePos[1] = int(y);
}

int CD3DRender::ToggleWireframe()
{
    m_nFillMode = m_nFillMode == D3DFILL_SOLID ? D3DFILL_WIREFRAME : D3DFILL_SOLID;
    if (m_pDevice)
        m_pDevice->SetRenderState(D3DRS_FILLMODE, m_nFillMode);
    return 0;
}

int CD3DRender::ToggleFlatShading()
{
    m_nShadeMode = m_nShadeMode == D3DSHADE_GOURAUD ? D3DSHADE_FLAT : D3DSHADE_GOURAUD;
    if (m_pDevice)
        m_pDevice->SetRenderState(D3DRS_SHADEMODE, m_nShadeMode);
    return 0;
}

TextureId CD3DRender::LoadTexture(const char* name, UINT mipLevels, D3DPOOL pool)
{
    if (!name)
        return INVALID_TEXTURE_ID;
    const TextureId id = m_TextureManager.AcquireTexture(m_pDevice, name, mipLevels, pool);
    if (id == INVALID_TEXTURE_ID)
        ErrorBox(name, "Load texture failed!", MB_ICONERROR);
    return id;
}

// A freed slot is taken by the next load: the cached binding must not let
// that new texture pass for the old one still bound on the device.
void CD3DRender::ReleaseTexture(TextureId id)
{
    if (id != INVALID_TEXTURE_ID)
        m_TextureManager.ReleaseTexture(id);
    m_nCachedTexture = INVALID_TEXTURE_ID;
}

void CD3DRender::ReleaseTextureByName(const char* name)
{
    if (name)
        m_TextureManager.ReleaseTextureByName(name);
    m_nCachedTexture = INVALID_TEXTURE_ID;
}

void CD3DRender::ReleaseAllTextures()
{
    m_nCachedTexture = INVALID_TEXTURE_ID;
    m_TextureManager.ReleaseAllTextures();
}
