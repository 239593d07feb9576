// Life cycle of the headless device: implicit surfaces, default states,
// scenes, presentation, loss and reset.
#include "platform/d3d9/RecordingDevice.h"

#include <cstring>

namespace plat {

static DWORD FloatBits(float value)
{
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

template <class T>
static void ReleaseAndClear(T*& object)
{
    if (object) {
        object->Release();
        object = nullptr;
    }
}

RecordingDevice::RecordingDevice(const D3DCAPS9& caps, const D3DPRESENT_PARAMETERS& params)
    : m_caps(caps), m_params(params), m_shared(std::make_shared<d3d::DeviceShared>())
{
    MakeImplicitSurfaces();
    DefaultStates();
}

RecordingDevice::~RecordingDevice()
{
    UnbindAll();
    ReleaseAndClear(m_renderTarget);
    ReleaseAndClear(m_depthStencil);
    ReleaseAndClear(m_backBuffer);
    ReleaseAndClear(m_autoDepth);
}

// The back buffer and the automatic depth buffer belong to the device and are
// not counted among the application's default-pool resources.
void RecordingDevice::MakeImplicitSurfaces()
{
    ++m_targetRevision;
    ReleaseAndClear(m_renderTarget);
    ReleaseAndClear(m_depthStencil);
    ReleaseAndClear(m_backBuffer);
    ReleaseAndClear(m_autoDepth);
    const UINT width = m_params.BackBufferWidth;
    const UINT height = m_params.BackBufferHeight;
    m_backBuffer = new d3d::Surface(nullptr, m_params.BackBufferFormat, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT,
                                    width, height);
    m_renderTarget = m_backBuffer;
    m_renderTarget->AddRef();
    if (m_params.EnableAutoDepthStencil) {
        m_autoDepth = new d3d::Surface(nullptr, m_params.AutoDepthStencilFormat, D3DUSAGE_DEPTHSTENCIL,
                                       D3DPOOL_DEFAULT, width, height);
        m_depthStencil = m_autoDepth;
        m_depthStencil->AddRef();
    }
}

// Render target and depth buffer back to the device's own, dropping the
// application's surfaces.
void RecordingDevice::RestoreImplicitTargets()
{
    ++m_targetRevision;
    ReleaseAndClear(m_renderTarget);
    ReleaseAndClear(m_depthStencil);
    m_renderTarget = m_backBuffer;
    m_renderTarget->AddRef();
    m_depthStencil = m_autoDepth;
    if (m_depthStencil)
        m_depthStencil->AddRef();
    ViewportToTarget();
}

// The documented defaults of a freshly created or reset device.
void RecordingDevice::DefaultStates()
{
    m_renderStates.fill(0);
    auto rs = [this](D3DRENDERSTATETYPE state, DWORD value) { m_renderStates[state] = value; };
    rs(D3DRS_ZENABLE, m_params.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE);
    rs(D3DRS_FILLMODE, D3DFILL_SOLID);
    rs(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    rs(D3DRS_ZWRITEENABLE, TRUE);
    rs(D3DRS_LASTPIXEL, TRUE);
    rs(D3DRS_SRCBLEND, D3DBLEND_ONE);
    rs(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    rs(D3DRS_CULLMODE, D3DCULL_CCW);
    rs(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    rs(D3DRS_ALPHAFUNC, D3DCMP_ALWAYS);
    rs(D3DRS_FOGEND, FloatBits(1.0f));
    rs(D3DRS_FOGDENSITY, FloatBits(1.0f));
    rs(D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu);
    rs(D3DRS_LIGHTING, TRUE);
    rs(D3DRS_COLORVERTEX, TRUE);
    rs(D3DRS_LOCALVIEWER, TRUE);
    rs(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
    rs(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2);
    rs(D3DRS_COLORWRITEENABLE, 0xF);
    rs(D3DRS_BLENDOP, D3DBLENDOP_ADD);

    for (DWORD stage = 0; stage < kStages; ++stage) {
        auto& s = m_stageStates[stage];
        s.fill(0);
        s[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        s[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        s[D3DTSS_COLORARG1] = s[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        s[D3DTSS_COLORARG2] = s[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        s[D3DTSS_COLORARG0] = s[D3DTSS_ALPHAARG0] = s[D3DTSS_RESULTARG] = D3DTA_CURRENT;
        s[D3DTSS_TEXCOORDINDEX] = stage;
    }
    for (auto& s : m_samplerStates) {
        s.fill(0);
        s[D3DSAMP_ADDRESSU] = s[D3DSAMP_ADDRESSV] = s[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
        s[D3DSAMP_MAGFILTER] = s[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        s[D3DSAMP_MAXANISOTROPY] = 1;
    }
    D3DMATRIX identity{};
    identity._11 = identity._22 = identity._33 = identity._44 = 1.0f;
    m_transforms.fill(identity);
    m_lights.fill(D3DLIGHT9{});
    m_lightEnabled.fill(FALSE);
    for (auto& plane : m_clipPlanes)
        plane.fill(0.0f);
    m_vsConstF.fill(0.0f);
    m_vsConstI.fill(0);
    m_psConstF.fill(0.0f);
    m_material = D3DMATERIAL9{};
    m_fvf = 0;
    ViewportToTarget();
}

void RecordingDevice::UnbindAll()
{
    for (auto& texture : m_textures)
        ReleaseAndClear(texture);
    ReleaseAndClear(m_stream.buffer);
    m_stream = Stream{};
    ReleaseAndClear(m_indices);
}

void RecordingDevice::ViewportToTarget()
{
    D3DSURFACE_DESC desc{};
    if (m_renderTarget)
        m_renderTarget->GetDesc(&desc);
    m_viewport = D3DVIEWPORT9{0, 0, desc.Width, desc.Height, 0.0f, 1.0f};
}

HRESULT RecordingDevice::TestCooperativeLevel()
{
    switch (m_condition) {
    case DeviceCondition::Lost:
        return D3DERR_DEVICELOST;
    case DeviceCondition::NotReset:
        return D3DERR_DEVICENOTRESET;
    default:
        return D3D_OK;
    }
}

HRESULT RecordingDevice::GetDeviceCaps(D3DCAPS9* caps)
{
    if (!caps)
        return D3DERR_INVALIDCALL;
    *caps = m_caps;
    return D3D_OK;
}

// As on a real device, a reset needs every default-pool resource of the
// application released first; it then restores every default state.
HRESULT RecordingDevice::Reset(D3DPRESENT_PARAMETERS* params)
{
    Record(D3DCall(D3DOp::Reset));
    if (!params || params->BackBufferWidth == 0 || params->BackBufferHeight == 0)
        return D3DERR_INVALIDCALL;
    if (m_condition == DeviceCondition::Lost)
        return D3DERR_DEVICELOST;
    if (m_forcedResetResult != D3D_OK)
        return m_forcedResetResult;
    UnbindAll();
    RestoreImplicitTargets();
    if (m_shared->liveDefaultPool > 0) {
        m_condition = DeviceCondition::NotReset;
        return D3DERR_INVALIDCALL;
    }
    m_params = *params;
    MakeImplicitSurfaces();
    DefaultStates();
    m_inScene = false;
    m_condition = DeviceCondition::Working;
    return D3D_OK;
}

HRESULT RecordingDevice::Present(const RECT* source, const RECT* dest, HWND window, const void* dirtyRegion)
{
    Record(D3DCall(D3DOp::Present));
    if (m_condition != DeviceCondition::Working)
        return D3DERR_DEVICELOST;
    if (m_inScene)
        return D3DERR_INVALIDCALL;
    return D3D_OK;
}

HRESULT RecordingDevice::BeginScene()
{
    Record(D3DCall(D3DOp::BeginScene));
    if (m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = true;
    return D3D_OK;
}

HRESULT RecordingDevice::EndScene()
{
    Record(D3DCall(D3DOp::EndScene));
    if (!m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = false;
    return D3D_OK;
}

HRESULT RecordingDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                               DWORD stencil)
{
    Record(D3DCall(D3DOp::Clear, flags, color));
    if ((count > 0 && !rects) || (flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL) && !m_depthStencil))
        return D3DERR_INVALIDCALL;
    return D3D_OK;
}

void RecordingDevice::Lose()
{
    m_condition = DeviceCondition::Lost;
}

void RecordingDevice::AllowReset()
{
    if (m_condition == DeviceCondition::Lost)
        m_condition = DeviceCondition::NotReset;
}

} // namespace plat
