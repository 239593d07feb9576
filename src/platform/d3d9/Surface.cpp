#include "platform/d3d9/Formats.h"
#include "platform/d3d9/Resources.h"

namespace plat::d3d {

PoolTicket::PoolTicket(SharedState shared, D3DPOOL pool) : m_shared(std::move(shared)), m_counted(pool == D3DPOOL_DEFAULT)
{
    if (m_counted && m_shared)
        ++m_shared->liveDefaultPool;
}

PoolTicket::~PoolTicket()
{
    if (m_counted && m_shared)
        --m_shared->liveDefaultPool;
}

void InitLevel(Level& level, D3DFORMAT format, D3DRESOURCETYPE type, DWORD usage, D3DPOOL pool, UINT width,
               UINT height)
{
    level.desc = D3DSURFACE_DESC{format, type, usage, pool, D3DMULTISAMPLE_NONE, 0, width, height};
    level.bytes.assign(LevelBytes(format, width, height), 0);
    level.locked = false;
}

static bool Lockable(const D3DSURFACE_DESC& desc)
{
    if (desc.Usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL))
        return false;
    if (IsDepthFormat(desc.Format))
        return false;
    return desc.Pool != D3DPOOL_DEFAULT || (desc.Usage & D3DUSAGE_DYNAMIC);
}

static bool RectInside(const RECT& r, const D3DSURFACE_DESC& desc)
{
    if (r.left < 0 || r.top < 0 || r.left >= r.right || r.top >= r.bottom)
        return false;
    if (UINT(r.right) > desc.Width || UINT(r.bottom) > desc.Height)
        return false;
    if (!IsBlockFormat(desc.Format))
        return true;
    // Block formats lock whole 4x4 blocks; a rectangle may end at the level's edge.
    const bool rightOk = r.right % 4 == 0 || UINT(r.right) == desc.Width;
    const bool bottomOk = r.bottom % 4 == 0 || UINT(r.bottom) == desc.Height;
    return r.left % 4 == 0 && r.top % 4 == 0 && rightOk && bottomOk;
}

HRESULT LockLevel(Level& level, D3DLOCKED_RECT* locked, const RECT* rect)
{
    if (!locked || level.locked || !Lockable(level.desc))
        return D3DERR_INVALIDCALL;
    const D3DFORMAT format = level.desc.Format;
    const UINT pitch = RowPitch(format, level.desc.Width);
    size_t offset = 0;
    if (rect) {
        if (!RectInside(*rect, level.desc))
            return D3DERR_INVALIDCALL;
        const UINT unit = FormatUnitBytes(format);
        const bool block = IsBlockFormat(format);
        const size_t row = block ? rect->top / 4 : rect->top;
        const size_t column = block ? rect->left / 4 : rect->left;
        offset = row * pitch + column * unit;
    }
    locked->Pitch = INT(pitch);
    locked->pBits = level.bytes.data() + offset;
    level.locked = true;
    return D3D_OK;
}

HRESULT UnlockLevel(Level& level)
{
    if (!level.locked)
        return D3DERR_INVALIDCALL;
    level.locked = false;
    ++level.revision;
    return D3D_OK;
}

Surface::Surface(IUnknown* container, Level* level) : m_container(container), m_level(level) {}

Surface::Surface(SharedState shared, D3DFORMAT format, DWORD usage, D3DPOOL pool, UINT width, UINT height)
    : m_own(std::make_unique<Level>()), m_ticket(std::make_unique<PoolTicket>(std::move(shared), pool))
{
    InitLevel(*m_own, format, D3DRTYPE_SURFACE, usage, pool, width, height);
    m_level = m_own.get();
}

ULONG Surface::AddRef()
{
    return m_container ? m_container->AddRef() : ++m_refs;
}

ULONG Surface::Release()
{
    if (m_container)
        return m_container->Release();
    const ULONG left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = m_level->desc;
    return D3D_OK;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    return LockLevel(*m_level, locked, rect);
}

HRESULT Surface::UnlockRect()
{
    return UnlockLevel(*m_level);
}

} // namespace plat::d3d
