// The Direct3D object: adapter queries answered from the headless script,
// and the device of the back end chosen at start-up.
#include "platform/Backend.h"
#include "platform/D3D9Gl.h"
#include "platform/d3d9/RecordingDevice.h"
#include "platform/gl/GlDevice.h"

#include <algorithm>

namespace plat {

static HeadlessAdapter MakeDefaultAdapter()
{
    HeadlessAdapter adapter;
    D3DCAPS9& caps = adapter.caps;
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.PrimitiveMiscCaps = D3DPMISCCAPS_PERSTAGECONSTANT;
    caps.MaxTextureWidth = caps.MaxTextureHeight = 4096;
    caps.MaxTextureBlendStages = caps.MaxSimultaneousTextures = 8;
    caps.MaxActiveLights = 8;
    caps.MaxUserClipPlanes = 6;
    caps.MaxPrimitiveCount = 0xFFFFF;
    caps.MaxVertexIndex = 0xFFFFFF;
    caps.MaxStreams = 16;
    caps.VertexShaderVersion = D3DVS_VERSION(2, 0);
    caps.MaxVertexShaderConst = 256;
    caps.PixelShaderVersion = D3DPS_VERSION(2, 0);
    caps.NumSimultaneousRTs = 1;
    adapter.backBufferFormats = {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5};
    adapter.depthFormats = {D3DFMT_D32, D3DFMT_D24X8, D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D16};
    static constexpr UINT kSizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1600, 1200}};
    for (D3DFORMAT format : adapter.backBufferFormats)
        for (const auto& size : kSizes)
            adapter.modes.push_back(D3DDISPLAYMODE{size[0], size[1], 60, format});
    return adapter;
}

static HeadlessAdapter g_HeadlessAdapter = MakeDefaultAdapter();

HeadlessAdapter& HeadlessAdapterScript()
{
    return g_HeadlessAdapter;
}

void ResetHeadlessAdapterScript()
{
    g_HeadlessAdapter = MakeDefaultAdapter();
}

namespace {

bool Contains(const std::vector<D3DFORMAT>& formats, D3DFORMAT format)
{
    return std::find(formats.begin(), formats.end(), format) != formats.end();
}

class HeadlessDirect3D final : public d3d::RefObject<IDirect3D9> {
public:
    explicit HeadlessDirect3D(const HeadlessAdapter& adapter) : m_adapter(adapter) {}

    UINT GetAdapterCount() override { return 1; }

    UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) override
    {
        if (adapter != 0)
            return 0;
        return UINT(std::count_if(m_adapter.modes.begin(), m_adapter.modes.end(),
                                  [format](const D3DDISPLAYMODE& m) { return m.Format == format; }));
    }

    HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* out) override
    {
        if (adapter != 0 || !out)
            return D3DERR_INVALIDCALL;
        for (const D3DDISPLAYMODE& m : m_adapter.modes) {
            if (m.Format == format && mode-- == 0) {
                *out = m;
                return D3D_OK;
            }
        }
        return D3DERR_INVALIDCALL;
    }

    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* out) override
    {
        if (adapter != 0 || !out || m_adapter.modes.empty())
            return D3DERR_INVALIDCALL;
        *out = m_adapter.modes.back();
        return D3D_OK;
    }

    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, D3DFORMAT backBufferFormat,
                            BOOL windowed) override
    {
        if (adapter != 0 || type != D3DDEVTYPE_HAL)
            return D3DERR_INVALIDCALL;
        return Contains(m_adapter.backBufferFormats, backBufferFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT format) override
    {
        if (adapter != 0 || type != D3DDEVTYPE_HAL)
            return D3DERR_INVALIDCALL;
        if (usage & D3DUSAGE_DEPTHSTENCIL)
            return Contains(m_adapter.depthFormats, format) ? D3D_OK : D3DERR_NOTAVAILABLE;
        return D3D_OK;
    }

    HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                   D3DFORMAT renderTargetFormat, D3DFORMAT depthFormat) override
    {
        if (adapter != 0 || type != D3DDEVTYPE_HAL)
            return D3DERR_INVALIDCALL;
        return Contains(m_adapter.depthFormats, depthFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override
    {
        if (adapter != 0 || type != D3DDEVTYPE_HAL || !caps)
            return D3DERR_INVALIDCALL;
        if (FAILED(m_adapter.deviceCapsResult))
            return m_adapter.deviceCapsResult;
        *caps = m_adapter.caps;
        return D3D_OK;
    }

    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND window, DWORD behaviour,
                         D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) override
    {
        if (!device)
            return D3DERR_INVALIDCALL;
        *device = nullptr;
        if (adapter != 0 || type != D3DDEVTYPE_HAL || !params)
            return D3DERR_INVALIDCALL;
        if (m_adapter.createDeviceResult != D3D_OK)
            return m_adapter.createDeviceResult;
        HRESULT hr = CompleteParams(params);
        if (FAILED(hr))
            return hr;
        if (!GlDeviceChosen()) {
            *device = new RecordingDevice(m_adapter.caps, *params);
            return D3D_OK;
        }
        *device = gl::CreateGlDevice(m_adapter.caps, *params, params->hDeviceWindow ? params->hDeviceWindow : window);
        return *device ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

private:
    // Fills the members a caller may leave to the device and lowers a
    // back-buffer count beyond the limit (failing this call).
    HRESULT CompleteParams(D3DPRESENT_PARAMETERS* params) const
    {
        if (params->BackBufferCount == 0)
            params->BackBufferCount = 1;
        if (params->BackBufferCount > m_adapter.maxBackBufferCount) {
            params->BackBufferCount = m_adapter.maxBackBufferCount;
            return D3DERR_INVALIDCALL;
        }
        if (params->BackBufferWidth == 0)
            params->BackBufferWidth = 800;
        if (params->BackBufferHeight == 0)
            params->BackBufferHeight = 600;
        if (params->BackBufferFormat == D3DFMT_UNKNOWN && params->Windowed && !m_adapter.backBufferFormats.empty())
            params->BackBufferFormat = m_adapter.backBufferFormats.front();
        if (!Contains(m_adapter.backBufferFormats, params->BackBufferFormat))
            return D3DERR_INVALIDCALL;
        if (params->EnableAutoDepthStencil && !Contains(m_adapter.depthFormats, params->AutoDepthStencilFormat))
            return D3DERR_INVALIDCALL;
        if (params->BackBufferWidth > m_adapter.caps.MaxTextureWidth ||
            params->BackBufferHeight > m_adapter.caps.MaxTextureHeight)
            return D3DERR_INVALIDCALL;
        return D3D_OK;
    }

    HeadlessAdapter m_adapter;
};

} // namespace
} // namespace plat

namespace plat {

static int s_forceGl = 0;

void UseGlDevice(bool use)
{
    s_forceGl = use ? 1 : 0;
}

// The adapter is the same for both back ends; the device draws through
// OpenGL unless the layer is headless and no test asked for it.
bool GlDeviceChosen()
{
    return s_forceGl == 1 || !IsHeadless();
}

} // namespace plat

IDirect3D9* Direct3DCreate9(UINT sdkVersion)
{
    const plat::HeadlessAdapter& adapter = plat::HeadlessAdapterScript();
    if (!adapter.available)
        return nullptr;
    return new plat::HeadlessDirect3D(adapter);
}
