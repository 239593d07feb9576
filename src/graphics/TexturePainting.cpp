// Textures painted on the processor: one solid colour, or a tinted copy.
// Pixels are written as four bytes in the order blue, green, red, alpha.
#include "graphics/D3DRender.h"
#include "graphics/TextureManager.h"
#include "platform/D3DX9.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

std::uint8_t ToByte(float component)
{
    return static_cast<std::uint8_t>(std::clamp(component, 0.0f, 1.0f) * 255.0f);
}

bool Is32Bit(D3DFORMAT format)
{
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8;
}

// One source pixel as blue, green, red, alpha, each 0..1. Sixteen-bit
// 5:6:5 pixels are widened; their alpha is 1.
void ReadPixel(D3DFORMAT format, const std::uint8_t* at, float bgra[4])
{
    if (format == D3DFMT_R5G6B5) {
        std::uint16_t p;
        std::memcpy(&p, at, 2);
        bgra[0] = float(p & 0x1F) / 31.0f;
        bgra[1] = float((p >> 5) & 0x3F) / 63.0f;
        bgra[2] = float(p >> 11) / 31.0f;
        bgra[3] = 1.0f;
        return;
    }
    for (int i = 0; i < 4; ++i)
        bgra[i] = float(at[i]) / 255.0f;
    if (format == D3DFMT_X8R8G8B8)
        bgra[3] = 1.0f;
}

int BytesPerPixel(D3DFORMAT format)
{
    if (Is32Bit(format))
        return 4;
    return format == D3DFMT_R5G6B5 ? 2 : 0;
}

// Level 0 of a texture as a locked surface; the lock is undone and the
// surface reference dropped when this goes out of scope.
class LockedLevel {
public:
    LockedLevel(IDirect3DTexture9* texture, DWORD flags)
    {
        if (FAILED(texture->GetSurfaceLevel(0, &m_surface)) || !m_surface)
            return;
        m_surface->GetDesc(&m_desc);
        if (FAILED(m_surface->LockRect(&m_rect, nullptr, flags)))
            m_rect.pBits = nullptr;
    }
    ~LockedLevel()
    {
        Unlock();
        if (m_surface)
            m_surface->Release();
    }
    LockedLevel(const LockedLevel&) = delete;
    LockedLevel& operator=(const LockedLevel&) = delete;

    void Unlock()
    {
        if (m_rect.pBits)
            m_surface->UnlockRect();
        m_rect.pBits = nullptr;
    }
    std::uint8_t* Row(UINT y) const { return static_cast<std::uint8_t*>(m_rect.pBits) + std::size_t(y) * m_rect.Pitch; }
    bool Locked() const { return m_rect.pBits != nullptr; }
    const D3DSURFACE_DESC& Desc() const { return m_desc; }

private:
    IDirect3DSurface9* m_surface = nullptr;
    D3DSURFACE_DESC m_desc{};
    D3DLOCKED_RECT m_rect{};
};

// Level 0 of a texture widened to A8R8G8B8, or null when it cannot be read.
IDirect3DTexture9* DecodedCopy(IDirect3DTexture9* source, const D3DSURFACE_DESC& desc)
{
    IDirect3DTexture9* copy = nullptr;
    if (!g_D3DRender.m_pDevice ||
        FAILED(g_D3DRender.m_pDevice->CreateTexture(desc.Width, desc.Height, 1, 0, D3DFMT_A8R8G8B8,
                                                    D3DPOOL_SCRATCH, &copy, nullptr)))
        return nullptr;
    IDirect3DSurface9* from = nullptr;
    IDirect3DSurface9* to = nullptr;
    source->GetSurfaceLevel(0, &from);
    copy->GetSurfaceLevel(0, &to);
    const HRESULT hr = from && to ? D3DXLoadSurfaceFromSurface(to, nullptr, nullptr, from, nullptr, nullptr,
                                                               D3DX_FILTER_NONE, 0)
                                  : D3DERR_INVALIDCALL;
    if (from)
        from->Release();
    if (to)
        to->Release();
    if (FAILED(hr)) {
        copy->Release();
        return nullptr;
    }
    return copy;
}

} // namespace

void CTextureManager::FillSolidTexture(IDirect3DTexture9** texture, const float colour[4], UINT size)
{
    if (!texture || !colour)
        return;
    if (!*texture && g_D3DRender.m_pDevice)
        D3DXCreateTexture(g_D3DRender.m_pDevice, size, size, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture);
    if (!*texture)
        return;
    LockedLevel level(*texture, 0);
    if (!level.Locked() || !Is32Bit(level.Desc().Format))
        return;
    const std::uint8_t pixel[4] = {ToByte(colour[2]), ToByte(colour[1]), ToByte(colour[0]), ToByte(colour[3])};
    const UINT width = std::min(size, level.Desc().Width);
    const UINT height = std::min(size, level.Desc().Height);
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x)
            std::memcpy(level.Row(y) + x * 4, pixel, 4);
}

void CTextureManager::CreateTintedTexture(IDirect3DTexture9* source, IDirect3DTexture9** target,
                                          const float colour[4])
{
    if (!source || !target || !colour)
        return;
    D3DSURFACE_DESC desc{};
    if (FAILED(source->GetLevelDesc(0, &desc)))
        return;
    // Kept-compressed textures (the clothing of the pedestrians) are
    // decoded to plain pixels first.
    IDirect3DTexture9* decoded = nullptr;
    if (BytesPerPixel(desc.Format) == 0) {
        decoded = DecodedCopy(source, desc);
        if (!decoded)
            return;
        source = decoded;
        desc.Format = D3DFMT_A8R8G8B8;
    }
    TintInto(source, desc, target, colour);
    if (decoded)
        decoded->Release();
}

void CTextureManager::TintInto(IDirect3DTexture9* source, const D3DSURFACE_DESC& desc, IDirect3DTexture9** target,
                               const float colour[4])
{
    if (!*target && g_D3DRender.m_pDevice)
        g_D3DRender.m_pDevice->CreateTexture(desc.Width, desc.Height, 0, D3DUSAGE_AUTOGENMIPMAP, D3DFMT_A8R8G8B8,
                                             D3DPOOL_MANAGED, target, nullptr);
    if (!*target)
        return;
    {
        LockedLevel from(source, D3DLOCK_READONLY);
        LockedLevel to(*target, 0);
        if (!from.Locked() || !to.Locked() || !Is32Bit(to.Desc().Format))
            return;
        const int step = BytesPerPixel(desc.Format);
        const float tint[4] = {colour[2], colour[1], colour[0], colour[3]}; // blue, green, red, alpha
        const UINT width = std::min(desc.Width, to.Desc().Width);
        const UINT height = std::min(desc.Height, to.Desc().Height);
        for (UINT y = 0; y < height; ++y) {
            for (UINT x = 0; x < width; ++x) {
                float bgra[4];
                ReadPixel(desc.Format, from.Row(y) + x * step, bgra);
                for (int c = 0; c < 4; ++c)
                    to.Row(y)[x * 4 + c] = ToByte(bgra[c] * tint[c]);
            }
        }
    }
    (*target)->GenerateMipSubLevels();
}
