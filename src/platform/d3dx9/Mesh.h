// The triangle-list mesh made by D3DXCreateMeshFVF.
#pragma once

#include "platform/D3DX9.h"
#include "platform/d3d9/Resources.h"

#include <vector>

namespace plat::mesh {

class Mesh final : public d3d::RefObject<ID3DXMesh> {
public:
    Mesh(IDirect3DDevice9* device, DWORD faces, DWORD vertices, DWORD options, DWORD fvf,
         IDirect3DVertexBuffer9* vertexBuffer, IDirect3DIndexBuffer9* indexBuffer);
    ~Mesh() override;

    DWORD GetNumFaces() override { return m_faces; }
    DWORD GetNumVertices() override { return m_vertices; }
    DWORD GetFVF() override { return m_fvf; }
    DWORD GetOptions() override { return m_options; }
    DWORD GetNumBytesPerVertex() override { return m_stride; }
    DWORD Stride() const { return m_stride; }
    HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** buffer) override;
    HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** buffer) override;
    HRESULT LockVertexBuffer(DWORD flags, void** data) override;
    HRESULT UnlockVertexBuffer() override;
    HRESULT LockIndexBuffer(DWORD flags, void** data) override;
    HRESULT UnlockIndexBuffer() override;
    HRESULT LockAttributeBuffer(DWORD flags, DWORD** data) override;
    HRESULT UnlockAttributeBuffer() override;
    HRESULT GenerateAdjacency(float epsilon, DWORD* adjacency) override;
    HRESULT OptimizeInplace(DWORD flags, const DWORD* adjacencyIn, DWORD* adjacencyOut, DWORD* faceRemap,
                            ID3DXBuffer** vertexRemap) override;
    HRESULT CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice9* device, ID3DXMesh** clone) override;
    HRESULT DrawSubset(DWORD attribute) override;

    // Vertex index i of the index buffer (3 per face).
    DWORD Index(size_t i) const;
    void SetIndex(size_t i, DWORD value);
    std::vector<std::uint8_t>& VertexBytes();
    const std::vector<std::uint8_t>& VertexBytes() const;
    std::vector<DWORD>& Attributes() { return m_attributes; }

private:
    void OrderForVertexCache(std::vector<DWORD>* faceOrder);
    void OrderRun(DWORD* faces, size_t count);

    IDirect3DDevice9* m_device;
    DWORD m_faces, m_vertices, m_options, m_fvf, m_stride;
    IDirect3DVertexBuffer9* m_vb;
    IDirect3DIndexBuffer9* m_ib;
    std::vector<DWORD> m_attributes;
    bool m_attributesLocked = false;
};

// Three entries per face naming the neighbour across each edge.
std::vector<DWORD> BuildAdjacency(Mesh& mesh, float epsilon);

} // namespace plat::mesh
