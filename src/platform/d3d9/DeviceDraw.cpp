// Draw calls of the headless device: checked against the bound buffers the
// way a strict driver does, then recorded.
#include "platform/d3d9/Formats.h"
#include "platform/d3d9/RecordingDevice.h"

#include <cstring>
#include <utility>

namespace plat {

static const d3d::BufferStore* VertexStore(IDirect3DVertexBuffer9* buffer)
{
    auto* vb = dynamic_cast<d3d::VertexBuffer*>(buffer);
    return vb ? &vb->Store() : nullptr;
}

HRESULT RecordingDevice::CheckStreamDraw(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) const
{
    const d3d::BufferStore* store = VertexStore(m_stream.buffer);
    const UINT vertexSize = d3d::FvfVertexSize(m_fvf);
    if (!store || vertexSize == 0 || m_stream.stride < vertexSize)
        return D3DERR_INVALIDCALL;
    const UINT count = d3d::VerticesOfPrimitives(type, primitiveCount);
    if (count == 0 && primitiveCount != 0)
        return D3DERR_INVALIDCALL;
    const size_t end = size_t(m_stream.offset) + (size_t(startVertex) + count) * m_stream.stride;
    return end <= store->Bytes().size() ? D3D_OK : D3DERR_INVALIDCALL;
}

// Every index read, moved by the base vertex, must name a vertex inside the
// stream; a back end reading the buffer relies on it.
HRESULT RecordingDevice::CheckIndexedDraw(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                                          UINT startIndex, UINT primitiveCount)
{
    auto* ib = dynamic_cast<d3d::IndexBuffer*>(m_indices);
    const d3d::BufferStore* vertices = VertexStore(m_stream.buffer);
    const UINT vertexSize = d3d::FvfVertexSize(m_fvf);
    if (!ib || !vertices || vertexSize == 0 || m_stream.stride < vertexSize)
        return D3DERR_INVALIDCALL;
    const UINT count = d3d::VerticesOfPrimitives(type, primitiveCount);
    if (count == 0 && primitiveCount != 0)
        return D3DERR_INVALIDCALL;
    const d3d::IndexRange range = ib->RangeOf(startIndex, count);
    if (!range.valid)
        return D3DERR_INVALIDCALL;
    const size_t available = vertices->Bytes().size() > m_stream.offset
                                 ? (vertices->Bytes().size() - m_stream.offset) / m_stream.stride
                                 : 0;
    if (count == 0)
        return D3D_OK;
    const long long lowest = (long long)baseVertex + range.lowest;
    const long long highest = (long long)baseVertex + range.highest;
    return lowest < 0 || size_t(highest) >= available ? D3DERR_INVALIDCALL : D3D_OK;
}

HRESULT RecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    Record(D3DCall(D3DOp::DrawPrimitive, DWORD(type), startVertex, primitiveCount));
    return CheckStreamDraw(type, startVertex, primitiveCount);
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex,
                                              UINT vertexCount, UINT startIndex, UINT primitiveCount)
{
    Record(D3DCall(D3DOp::DrawIndexedPrimitive, DWORD(type), DWORD(baseVertex), minIndex, vertexCount, startIndex,
                   primitiveCount));
    return CheckIndexedDraw(type, baseVertex, minIndex, vertexCount, startIndex, primitiveCount);
}

// The vertices a user-memory draw was given, for tests to read back.
static std::vector<std::uint8_t> CopyVertices(const void* vertices, UINT count, UINT stride)
{
    if (!vertices)
        return {};
    const auto* bytes = static_cast<const std::uint8_t*>(vertices);
    return std::vector<std::uint8_t>(bytes, bytes + size_t(count) * stride);
}

void RecordingDevice::UnbindStream()
{
    if (m_stream.buffer)
        m_stream.buffer->Release();
    m_stream = Stream{};
}

// Drawing from user memory leaves stream 0 (and, for the indexed form, the
// index buffer) unbound, as on the real device.
HRESULT RecordingDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices,
                                         UINT stride)
{
    D3DCall call(D3DOp::DrawPrimitiveUP, DWORD(type), 0, primitiveCount, stride);
    if (DeviceCallsKept()) {
        call.data = CopyVertices(vertices, d3d::VerticesOfPrimitives(type, primitiveCount), stride);
        Record(std::move(call));
    }
    UnbindStream();
    const UINT vertexSize = d3d::FvfVertexSize(m_fvf);
    if (!vertices || vertexSize == 0 || stride < vertexSize)
        return D3DERR_INVALIDCALL;
    return d3d::VerticesOfPrimitives(type, primitiveCount) != 0 || primitiveCount == 0 ? D3D_OK
                                                                                      : D3DERR_INVALIDCALL;
}

HRESULT RecordingDevice::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount,
                                                UINT primitiveCount, const void* indices, D3DFORMAT indexFormat,
                                                const void* vertices, UINT stride)
{
    D3DCall call(D3DOp::DrawIndexedPrimitiveUP, DWORD(type), 0, minIndex, vertexCount, stride, primitiveCount);
    if (DeviceCallsKept()) {
        call.data = CopyVertices(vertices, minIndex + vertexCount, stride);
        Record(std::move(call));
    }
    UnbindStream();
    if (m_indices) {
        m_indices->Release();
        m_indices = nullptr;
    }
    const UINT vertexSize = d3d::FvfVertexSize(m_fvf);
    if (!indices || !vertices || vertexSize == 0 || stride < vertexSize)
        return D3DERR_INVALIDCALL;
    if (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32)
        return D3DERR_INVALIDCALL;
    const UINT count = d3d::VerticesOfPrimitives(type, primitiveCount);
    const size_t indexSize = indexFormat == D3DFMT_INDEX32 ? 4 : 2;
    for (UINT i = 0; i < count; ++i) {
        std::uint32_t index = 0;
        std::memcpy(&index, static_cast<const std::uint8_t*>(indices) + i * indexSize, indexSize);
        if (index < minIndex || index - minIndex >= vertexCount)
            return D3DERR_INVALIDCALL;
    }
    return D3D_OK;
}

} // namespace plat
