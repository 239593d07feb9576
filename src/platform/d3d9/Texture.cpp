#include "platform/d3d9/Formats.h"
#include "platform/d3d9/Resources.h"

namespace plat::d3d {

TextureStore::TextureStore(IUnknown* owner, SharedState shared, UINT width, UINT height, UINT levels, UINT faces,
                           DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : m_faceCount(faces), m_usage(usage), m_ticket(std::move(shared), pool)
{
    const UINT full = FullMipCount(width, height);
    // A texture whose device builds the lower levels exposes level 0 only.
    m_levelCount = (usage & D3DUSAGE_AUTOGENMIPMAP) ? 1 : (levels == 0 || levels > full ? full : levels);
    const D3DRESOURCETYPE type = D3DRTYPE_SURFACE;
    m_levels.resize(size_t(m_levelCount) * faces);
    for (UINT face = 0; face < faces; ++face) {
        UINT w = width;
        UINT h = height;
        for (UINT level = 0; level < m_levelCount; ++level) {
            InitLevel(m_levels[face * m_levelCount + level], format, type, usage, pool, w, h);
            w = w > 1 ? w / 2 : 1;
            h = h > 1 ? h / 2 : 1;
        }
    }
    for (Level& level : m_levels)
        m_surfaces.push_back(std::make_unique<Surface>(owner, &level));
}

Level* TextureStore::At(UINT face, UINT level)
{
    if (face >= m_faceCount || level >= m_levelCount)
        return nullptr;
    return &m_levels[face * m_levelCount + level];
}

Surface* TextureStore::SurfaceAt(UINT face, UINT level)
{
    if (face >= m_faceCount || level >= m_levelCount)
        return nullptr;
    return m_surfaces[face * m_levelCount + level].get();
}

static HRESULT DescOf(Level* level, D3DSURFACE_DESC* desc)
{
    if (!level || !desc)
        return D3DERR_INVALIDCALL;
    *desc = level->desc;
    return D3D_OK;
}

static HRESULT SurfaceOf(Surface* surface, IDirect3DSurface9** out)
{
    if (!out)
        return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (!surface)
        return D3DERR_INVALIDCALL;
    surface->AddRef();
    *out = surface;
    return D3D_OK;
}

static HRESULT LockOf(Level* level, D3DLOCKED_RECT* locked, const RECT* rect)
{
    return level ? LockLevel(*level, locked, rect) : D3DERR_INVALIDCALL;
}

static HRESULT UnlockOf(Level* level)
{
    return level ? UnlockLevel(*level) : D3DERR_INVALIDCALL;
}

Texture::Texture(SharedState shared, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                 D3DPOOL pool)
    : m_store(this, std::move(shared), width, height, levels, 1, usage, format, pool)
{
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) { return DescOf(m_store.At(0, level), desc); }
HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface)
{
    return SurfaceOf(m_store.SurfaceAt(0, level), surface);
}
HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    return LockOf(m_store.At(0, level), locked, rect);
}
HRESULT Texture::UnlockRect(UINT level) { return UnlockOf(m_store.At(0, level)); }

CubeTexture::CubeTexture(SharedState shared, UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : m_store(this, std::move(shared), edge, edge, levels, 6, usage, format, pool)
{
}

HRESULT CubeTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) { return DescOf(m_store.At(0, level), desc); }
HRESULT CubeTexture::GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** surface)
{
    return SurfaceOf(m_store.SurfaceAt(face, level), surface);
}
HRESULT CubeTexture::LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                              DWORD flags)
{
    return LockOf(m_store.At(face, level), locked, rect);
}
HRESULT CubeTexture::UnlockRect(D3DCUBEMAP_FACES face, UINT level) { return UnlockOf(m_store.At(face, level)); }

TextureStore* StoreOf(IDirect3DBaseTexture9* texture)
{
    if (auto* flat = dynamic_cast<Texture*>(texture))
        return &flat->Store();
    if (auto* cube = dynamic_cast<CubeTexture*>(texture))
        return &cube->Store();
    return nullptr;
}

} // namespace plat::d3d
