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
// The lowest and highest index of a run inside the bytes.
IndexRange IndexBuffer::Scan(size_t start, size_t count) const
{
    const std::vector<std::uint8_t>& bytes = std::as_const(m_store).Bytes();
    const size_t indexSize = m_format == D3DFMT_INDEX32 ? 4 : 2;
    IndexRange range{true, 0xFFFFFFFFu, 0};
    for (size_t i = 0; i < count; ++i) {
        std::uint32_t index = 0;
        std::memcpy(&index, bytes.data() + (start + i) * indexSize, indexSize);
        range.lowest = std::min(range.lowest, index);
        range.highest = std::max(range.highest, index);
    }
    return range;
}

void IndexBuffer::SummariseBlocks()
{
    const size_t indexSize = m_format == D3DFMT_INDEX32 ? 4 : 2;
    const size_t indices = std::as_const(m_store).Bytes().size() / indexSize;
    m_blocks.resize(indices / kBlockIndices);
    for (size_t b = 0; b < m_blocks.size(); ++b)
        m_blocks[b] = Scan(b * kBlockIndices, kBlockIndices);
    m_blocksRevision = m_store.Revision();
    m_blocksKnown = true;
}

IndexRange IndexBuffer::RangeOf(UINT start, UINT count)
{
    const std::uint32_t revision = m_store.Revision();
    for (const KnownRange& known : m_known)
        if (known.used && known.revision == revision && known.start == start && known.count == count)
            return known.range;
    const size_t indexSize = m_format == D3DFMT_INDEX32 ? 4 : 2;
    if ((size_t(start) + count) * indexSize > std::as_const(m_store).Bytes().size())
        return IndexRange{};
    // Bytes under a lock may still change without a new revision; a buffer
    // rewritten before each draw (the batches) is not worth summarising.
    const bool drawnBefore = m_askedRevision == revision;
    m_askedRevision = revision;
    if (m_store.Locked() || count < 2 * kBlockIndices || !drawnBefore)
        return Remember(start, count, Scan(start, count));
    if (!m_blocksKnown || m_blocksRevision != revision)
        SummariseBlocks();
    const size_t end = size_t(start) + count;
    const size_t firstBlock = (size_t(start) + kBlockIndices - 1) / kBlockIndices;
    const size_t lastBlock = end / kBlockIndices; // one past the last whole block
    IndexRange range = Scan(start, firstBlock * kBlockIndices - start);
    const IndexRange tail = Scan(lastBlock * kBlockIndices, end - lastBlock * kBlockIndices);
    for (size_t b = firstBlock; b < lastBlock; ++b) {
        range.lowest = std::min(range.lowest, m_blocks[b].lowest);
        range.highest = std::max(range.highest, m_blocks[b].highest);
    }
    range.lowest = std::min(range.lowest, tail.lowest);
    range.highest = std::max(range.highest, tail.highest);
    return Remember(start, count, range);
}

IndexRange IndexBuffer::Remember(UINT start, UINT count, const IndexRange& range)
{
    if (!m_store.Locked()) {
        m_known[m_nextKnown] = KnownRange{m_store.Revision(), start, count, range, true};
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
