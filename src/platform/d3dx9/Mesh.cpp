#include "platform/d3dx9/Mesh.h"
#include "platform/d3d9/Formats.h"

#include <cstring>
#include <utility>

namespace plat::mesh {

static d3d::BufferStore& StoreOf(IDirect3DVertexBuffer9* vb) { return static_cast<d3d::VertexBuffer*>(vb)->Store(); }
static d3d::BufferStore& StoreOf(IDirect3DIndexBuffer9* ib) { return static_cast<d3d::IndexBuffer*>(ib)->Store(); }

Mesh::Mesh(IDirect3DDevice9* device, DWORD faces, DWORD vertices, DWORD options, DWORD fvf,
           IDirect3DVertexBuffer9* vertexBuffer, IDirect3DIndexBuffer9* indexBuffer)
    : m_device(device), m_faces(faces), m_vertices(vertices), m_options(options), m_fvf(fvf),
      m_stride(d3d::FvfVertexSize(fvf)), m_vb(vertexBuffer), m_ib(indexBuffer), m_attributes(faces, 0)
{
    m_device->AddRef();
}

Mesh::~Mesh()
{
    m_vb->Release();
    m_ib->Release();
    m_device->Release();
}

HRESULT Mesh::GetVertexBuffer(IDirect3DVertexBuffer9** buffer)
{
    if (!buffer)
        return D3DERR_INVALIDCALL;
    m_vb->AddRef();
    *buffer = m_vb;
    return D3D_OK;
}

HRESULT Mesh::GetIndexBuffer(IDirect3DIndexBuffer9** buffer)
{
    if (!buffer)
        return D3DERR_INVALIDCALL;
    m_ib->AddRef();
    *buffer = m_ib;
    return D3D_OK;
}

HRESULT Mesh::LockVertexBuffer(DWORD flags, void** data) { return m_vb->Lock(0, 0, data, flags); }
HRESULT Mesh::UnlockVertexBuffer() { return m_vb->Unlock(); }
HRESULT Mesh::LockIndexBuffer(DWORD flags, void** data) { return m_ib->Lock(0, 0, data, flags); }
HRESULT Mesh::UnlockIndexBuffer() { return m_ib->Unlock(); }

HRESULT Mesh::LockAttributeBuffer(DWORD flags, DWORD** data)
{
    if (!data || m_attributesLocked)
        return D3DERR_INVALIDCALL;
    m_attributesLocked = true;
    *data = m_attributes.data();
    return D3D_OK;
}

HRESULT Mesh::UnlockAttributeBuffer()
{
    if (!m_attributesLocked)
        return D3DERR_INVALIDCALL;
    m_attributesLocked = false;
    return D3D_OK;
}

DWORD Mesh::Index(size_t i) const
{
    const std::vector<std::uint8_t>& bytes = std::as_const(StoreOf(m_ib)).Bytes();
    if (m_options & D3DXMESH_32BIT) {
        DWORD v;
        std::memcpy(&v, bytes.data() + i * 4, 4);
        return v;
    }
    WORD v;
    std::memcpy(&v, bytes.data() + i * 2, 2);
    return v;
}

void Mesh::SetIndex(size_t i, DWORD value)
{
    std::vector<std::uint8_t>& bytes = StoreOf(m_ib).Bytes();
    if (m_options & D3DXMESH_32BIT) {
        std::memcpy(bytes.data() + i * 4, &value, 4);
        return;
    }
    const WORD v = WORD(value);
    std::memcpy(bytes.data() + i * 2, &v, 2);
}

std::vector<std::uint8_t>& Mesh::VertexBytes()
{
    return StoreOf(m_vb).Bytes();
}

const std::vector<std::uint8_t>& Mesh::VertexBytes() const
{
    return std::as_const(StoreOf(m_vb)).Bytes();
}

HRESULT Mesh::GenerateAdjacency(float epsilon, DWORD* adjacency)
{
    if (!adjacency || epsilon < 0.0f)
        return D3DERR_INVALIDCALL;
    const std::vector<DWORD> result = BuildAdjacency(*this, epsilon);
    std::memcpy(adjacency, result.data(), result.size() * sizeof(DWORD));
    return D3D_OK;
}

// Draws each run of consecutive faces carrying the attribute.
HRESULT Mesh::DrawSubset(DWORD attribute)
{
    m_device->SetFVF(m_fvf);
    m_device->SetStreamSource(0, m_vb, 0, m_stride);
    m_device->SetIndices(m_ib);
    HRESULT result = D3D_OK;
    DWORD face = 0;
    while (face < m_faces) {
        if (m_attributes[face] != attribute) {
            ++face;
            continue;
        }
        const DWORD first = face;
        DWORD low = 0xFFFFFFFFu, high = 0;
        for (; face < m_faces && m_attributes[face] == attribute; ++face)
            for (int k = 0; k < 3; ++k) {
                const DWORD v = Index(size_t(face) * 3 + k);
                low = v < low ? v : low;
                high = v > high ? v : high;
            }
        const HRESULT hr = m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, low, high - low + 1, first * 3,
                                                          face - first);
        if (FAILED(hr))
            result = hr;
    }
    return result;
}

} // namespace plat::mesh

static D3DPOOL PoolOf(DWORD options, DWORD systemBit, DWORD managedBit)
{
    if (options & systemBit)
        return D3DPOOL_SYSTEMMEM;
    return (options & managedBit) ? D3DPOOL_MANAGED : D3DPOOL_DEFAULT;
}

static DWORD UsageOf(DWORD options, DWORD writeOnlyBit, DWORD dynamicBit)
{
    return ((options & writeOnlyBit) ? DWORD(D3DUSAGE_WRITEONLY) : 0u) | ((options & dynamicBit) ? DWORD(D3DUSAGE_DYNAMIC) : 0u);
}

HRESULT D3DXCreateMeshFVF(DWORD faces, DWORD vertices, DWORD options, DWORD fvf, IDirect3DDevice9* device,
                          ID3DXMesh** mesh)
{
    if (!mesh)
        return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    const UINT stride = plat::d3d::FvfVertexSize(fvf);
    const bool wide = options & D3DXMESH_32BIT;
    if (!device || faces == 0 || vertices == 0 || stride == 0 || (!wide && vertices > 0xFFFF) ||
        faces > 0x3FFFFFFF / 4 || vertices > 0xFFFFFFFFu / stride)
        return D3DERR_INVALIDCALL;
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    HRESULT hr = device->CreateVertexBuffer(vertices * stride,
                                            UsageOf(options, D3DXMESH_VB_WRITEONLY, D3DXMESH_VB_DYNAMIC), fvf,
                                            PoolOf(options, D3DXMESH_VB_SYSTEMMEM, D3DXMESH_VB_MANAGED), &vb, nullptr);
    if (SUCCEEDED(hr))
        hr = device->CreateIndexBuffer(faces * 3 * (wide ? 4 : 2),
                                       UsageOf(options, D3DXMESH_IB_WRITEONLY, D3DXMESH_IB_DYNAMIC),
                                       wide ? D3DFMT_INDEX32 : D3DFMT_INDEX16,
                                       PoolOf(options, D3DXMESH_IB_SYSTEMMEM, D3DXMESH_IB_MANAGED), &ib, nullptr);
    if (FAILED(hr)) {
        if (vb)
            vb->Release();
        return hr;
    }
    *mesh = new plat::mesh::Mesh(device, faces, vertices, options, fvf, vb, ib);
    return D3D_OK;
}
