#include "platform/d3d9/Resources.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace plat::d3d {

BufferStore::BufferStore(SharedState shared, UINT length, DWORD usage, D3DPOOL pool)
    : m_bytes(length, 0), m_usage(usage), m_pool(pool), m_dirtyEnd(length), m_ticket(std::move(shared), pool)
{
}

// Discarding keeps the old bytes: a caller that rewrites only part of the
// buffer after a discard still draws what it wrote before.
HRESULT BufferStore::Lock(UINT offset, UINT size, void** data)
{
    if (!data)
        return D3DERR_INVALIDCALL;
    *data = nullptr;
    const size_t length = m_bytes.size();
    if (m_locked || offset > length || (size == 0 && offset == length && length != 0))
        return D3DERR_INVALIDCALL;
    if (size != 0 && size_t(offset) + size > length)
        return D3DERR_INVALIDCALL;
    m_locked = true;
    *data = m_bytes.data() + offset;
    m_dirtyBegin = std::min(m_dirtyBegin, size_t(offset));
    m_dirtyEnd = std::max(m_dirtyEnd, size == 0 ? length : size_t(offset) + size);
    return D3D_OK;
}

HRESULT BufferStore::Unlock()
{
    if (!m_locked)
        return D3DERR_INVALIDCALL;
    m_locked = false;
    ++m_revision;
    return D3D_OK;
}

VertexBuffer::VertexBuffer(SharedState shared, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : m_store(std::move(shared), length, usage, pool), m_fvf(fvf)
{
}

HRESULT VertexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags) { return m_store.Lock(offset, size, data); }
HRESULT VertexBuffer::Unlock() { return m_store.Unlock(); }
HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = D3DVERTEXBUFFER_DESC{D3DFMT_UNKNOWN, D3DRTYPE_VERTEXBUFFER, m_store.Usage(), m_store.Pool(),
                                 UINT(std::as_const(m_store).Bytes().size()), m_fvf};
    return D3D_OK;
}

IndexBuffer::IndexBuffer(SharedState shared, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : m_store(std::move(shared), length, usage, pool), m_format(format)
{
}

HRESULT IndexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags) { return m_store.Lock(offset, size, data); }
HRESULT IndexBuffer::Unlock() { return m_store.Unlock(); }
IndexRange IndexBuffer::RangeOf(UINT start, UINT count)
{
    const std::uint32_t revision = m_store.Revision();
    for (const KnownRange& known : m_known)
        if (known.used && known.revision == revision && known.start == start && known.count == count)
            return known.range;
    const std::vector<std::uint8_t>& bytes = std::as_const(m_store).Bytes();
    const size_t indexSize = m_format == D3DFMT_INDEX32 ? 4 : 2;
    IndexRange range;
    if ((size_t(start) + count) * indexSize > bytes.size())
        return range;
    range.valid = true;
    range.lowest = 0xFFFFFFFFu;
    for (UINT i = 0; i < count; ++i) {
        std::uint32_t index = 0;
        std::memcpy(&index, bytes.data() + (size_t(start) + i) * indexSize, indexSize);
        range.lowest = std::min(range.lowest, index);
        range.highest = std::max(range.highest, index);
    }
    // Bytes under a lock may still change without a new revision.
    if (!m_store.Locked()) {
        m_known[m_nextKnown] = KnownRange{revision, start, count, range, true};
        m_nextKnown = (m_nextKnown + 1) % kKnownRanges;
    }
    return range;
}

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = D3DINDEXBUFFER_DESC{m_format, D3DRTYPE_INDEXBUFFER, m_store.Usage(), m_store.Pool(),
                                UINT(std::as_const(m_store).Bytes().size())};
    return D3D_OK;
}

} // namespace plat::d3d
