// Resource creation, render targets and surface copies of the headless device.
#include "platform/d3d9/Formats.h"
#include "platform/d3d9/RecordingDevice.h"

#include <algorithm>

namespace plat {

static bool TextureArgsValid(const D3DCAPS9& caps, UINT width, UINT height, DWORD usage, D3DFORMAT format,
                             D3DPOOL pool)
{
    if (width == 0 || height == 0 || width > caps.MaxTextureWidth || height > caps.MaxTextureHeight)
        return false;
    if (d3d::FormatUnitBytes(format) == 0 || d3d::IsDepthFormat(format) || format == D3DFMT_INDEX16 ||
        format == D3DFMT_INDEX32)
        return false;
    if (pool > D3DPOOL_SCRATCH)
        return false;
    // Render targets live in the default pool only.
    return !(usage & D3DUSAGE_RENDERTARGET) || pool == D3DPOOL_DEFAULT;
}

HRESULT RecordingDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                       D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared)
{
    if (!texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (!TextureArgsValid(m_caps, width, height, usage, format, pool))
        return D3DERR_INVALIDCALL;
    *texture = new d3d::Texture(m_shared, width, height, levels, usage, format, pool);
    return D3D_OK;
}

HRESULT RecordingDevice::CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           IDirect3DCubeTexture9** texture, HANDLE* shared)
{
    if (!texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (!TextureArgsValid(m_caps, edge, edge, usage, format, pool))
        return D3DERR_INVALIDCALL;
    *texture = new d3d::CubeTexture(m_shared, edge, levels, usage, format, pool);
    return D3D_OK;
}

HRESULT RecordingDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                            IDirect3DVertexBuffer9** buffer, HANDLE* shared)
{
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (length == 0 || pool > D3DPOOL_SCRATCH || (fvf != 0 && length < d3d::FvfVertexSize(fvf)))
        return D3DERR_INVALIDCALL;
    *buffer = new d3d::VertexBuffer(m_shared, length, usage, fvf, pool);
    return D3D_OK;
}

HRESULT RecordingDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           IDirect3DIndexBuffer9** buffer, HANDLE* shared)
{
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (length == 0 || pool > D3DPOOL_SCRATCH || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    *buffer = new d3d::IndexBuffer(m_shared, length, usage, format, pool);
    return D3D_OK;
}

HRESULT RecordingDevice::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                                   D3DMULTISAMPLE_TYPE multiSample, DWORD quality, BOOL discard,
                                                   IDirect3DSurface9** surface, HANDLE* shared)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (!d3d::IsDepthFormat(format) || width == 0 || height == 0 || width > m_caps.MaxTextureWidth ||
        height > m_caps.MaxTextureHeight)
        return D3DERR_INVALIDCALL;
    *surface = new d3d::Surface(m_shared, format, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, width, height);
    return D3D_OK;
}

HRESULT RecordingDevice::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                                       IDirect3DSurface9** surface)
{
    if (!surface || swapChain != 0 || index >= std::max(1u, m_params.BackBufferCount))
        return D3DERR_INVALIDCALL;
    m_backBuffer->AddRef();
    *surface = m_backBuffer;
    return D3D_OK;
}

static D3DSURFACE_DESC DescOf(IDirect3DSurface9* surface)
{
    D3DSURFACE_DESC desc{};
    surface->GetDesc(&desc);
    return desc;
}

HRESULT RecordingDevice::SetRenderTarget(DWORD index, IDirect3DSurface9* surface)
{
    D3DCall call{D3DOp::SetRenderTarget, index};
    call.object = surface;
    Record(std::move(call));
    ++m_targetRevision;
    if (index >= std::max<DWORD>(1, m_caps.NumSimultaneousRTs) || (index == 0 && !surface))
        return D3DERR_INVALIDCALL;
    if (surface && !(DescOf(surface).Usage & D3DUSAGE_RENDERTARGET))
        return D3DERR_INVALIDCALL;
    if (index > 0)
        return D3D_OK;
    surface->AddRef();
    m_renderTarget->Release();
    m_renderTarget = surface;
    ViewportToTarget();
    return D3D_OK;
}

HRESULT RecordingDevice::GetRenderTarget(DWORD index, IDirect3DSurface9** surface)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (index != 0)
        return D3DERR_NOTFOUND;
    m_renderTarget->AddRef();
    *surface = m_renderTarget;
    return D3D_OK;
}

HRESULT RecordingDevice::SetDepthStencilSurface(IDirect3DSurface9* surface)
{
    D3DCall call{D3DOp::SetDepthStencilSurface};
    call.object = surface;
    Record(std::move(call));
    ++m_targetRevision;
    if (surface && !(DescOf(surface).Usage & D3DUSAGE_DEPTHSTENCIL))
        return D3DERR_INVALIDCALL;
    if (surface)
        surface->AddRef();
    if (m_depthStencil)
        m_depthStencil->Release();
    m_depthStencil = surface;
    return D3D_OK;
}

HRESULT RecordingDevice::GetDepthStencilSurface(IDirect3DSurface9** surface)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = m_depthStencil;
    if (!m_depthStencil)
        return D3DERR_NOTFOUND;
    m_depthStencil->AddRef();
    return D3D_OK;
}

static bool RectIn(const RECT* rect, const D3DSURFACE_DESC& desc, RECT* out)
{
    *out = rect ? *rect : RECT{0, 0, LONG(desc.Width), LONG(desc.Height)};
    return out->left >= 0 && out->top >= 0 && out->left < out->right && out->top < out->bottom &&
           UINT(out->right) <= desc.Width && UINT(out->bottom) <= desc.Height;
}

// Nearest-pixel copy between two images of the same uncompressed format.
static void CopyScaled(d3d::Level& from, const RECT& src, d3d::Level& to, const RECT& dst)
{
    const UINT unit = d3d::FormatUnitBytes(from.desc.Format);
    const UINT fromPitch = d3d::RowPitch(from.desc.Format, from.desc.Width);
    const UINT toPitch = d3d::RowPitch(to.desc.Format, to.desc.Width);
    const LONG sw = src.right - src.left, sh = src.bottom - src.top;
    const LONG dw = dst.right - dst.left, dh = dst.bottom - dst.top;
    for (LONG y = 0; y < dh; ++y) {
        const size_t sy = size_t(src.top + y * sh / dh);
        for (LONG x = 0; x < dw; ++x) {
            const size_t sx = size_t(src.left + x * sw / dw);
            const std::uint8_t* p = from.bytes.data() + sy * fromPitch + sx * unit;
            std::copy(p, p + unit, to.bytes.data() + size_t(dst.top + y) * toPitch + size_t(dst.left + x) * unit);
        }
    }
    ++to.revision;
}

HRESULT RecordingDevice::StretchRect(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                                     const RECT* destRect, D3DTEXTUREFILTERTYPE filter)
{
    D3DCall call{D3DOp::StretchRect, DWORD(filter)};
    call.object = dest;
    Record(std::move(call));
    auto* from = dynamic_cast<d3d::Surface*>(source);
    auto* to = dynamic_cast<d3d::Surface*>(dest);
    if (!from || !to || from == to)
        return D3DERR_INVALIDCALL;
    const D3DSURFACE_DESC& fd = from->Image().desc;
    const D3DSURFACE_DESC& td = to->Image().desc;
    RECT src, dst;
    if (!RectIn(sourceRect, fd, &src) || !RectIn(destRect, td, &dst))
        return D3DERR_INVALIDCALL;
    if (td.Pool != D3DPOOL_DEFAULT || !(td.Usage & D3DUSAGE_RENDERTARGET))
        return D3DERR_INVALIDCALL;
    // A render target's pixels come from drawing, which this device does not
    // do (the drawing device keeps them on its own side): its bytes here hold
    // nothing to carry over, and copying a whole frame each time a post
    // effect asks for it would cost more than the rest of a headless tick.
    const bool drawnInto = (fd.Usage & D3DUSAGE_RENDERTARGET) != 0;
    if (!drawnInto && fd.Format == td.Format && !d3d::IsBlockFormat(fd.Format))
        CopyScaled(from->Image(), src, to->Image(), dst);
    return D3D_OK;
}

} // namespace plat
