// Building a mesh record from a checked mesh file: one device mesh per part
// frame, the per-frame bounds, the attachment points and the record bounds.
#include "graphics/MeshRecord.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

D3DXVECTOR3 ReadVector(const std::uint8_t* p)
{
    float v[3];
    std::memcpy(v, p, sizeof(v));
    return {v[0], v[1], v[2]};
}

bool CopyGeometry(ID3DXMesh* mesh, const std::uint8_t* vertices, std::size_t vertexBytes,
                  const std::uint8_t* indices, std::size_t indexBytes)
{
    void* data = nullptr;
    if (FAILED(mesh->LockVertexBuffer(D3DLOCK_DISCARD, &data)) || !data)
        return false;
    std::memcpy(data, vertices, vertexBytes);
    mesh->UnlockVertexBuffer();
    data = nullptr;
    if (FAILED(mesh->LockIndexBuffer(D3DLOCK_DISCARD, &data)) || !data)
        return false;
    std::memcpy(data, indices, indexBytes);
    mesh->UnlockIndexBuffer();
    return true;
}

void OptimiseForVertexCache(ID3DXMesh* mesh)
{
    std::vector<DWORD> adjacency(static_cast<std::size_t>(mesh->GetNumFaces()) * 3);
    if (SUCCEEDED(mesh->GenerateAdjacency(0.01f, adjacency.data())))
        mesh->OptimizeInplace(D3DXMESHOPT_VERTEXCACHE | D3DXMESHOPT_DEVICEINDEPENDENT, adjacency.data(), nullptr,
                              nullptr, nullptr);
}

// A system-memory mesh filled with the frame's vertices and the part's
// indices, optionally reordered, then copied into the part's options.
ID3DXMesh* BuildFrameMesh(IDirect3DDevice9* device, DWORD fvf, std::uint32_t vertexSize,
                          const std::uint8_t* vertices, std::uint32_t vertexCount, const std::uint8_t* indices,
                          std::uint32_t triangleCount, DWORD options, int optimise)
{
    ID3DXMesh* temp = nullptr;
    if (FAILED(D3DXCreateMeshFVF(triangleCount, vertexCount, D3DXMESH_SYSTEMMEM, fvf, device, &temp)) || !temp)
        return nullptr;
    ID3DXMesh* kept = nullptr;
    if (CopyGeometry(temp, vertices, std::size_t{vertexCount} * vertexSize, indices,
                     std::size_t{triangleCount} * 6)) {
        if (optimise)
            OptimiseForVertexCache(temp);
        if (FAILED(temp->CloneMeshFVF(options, fvf, device, &kept)))
            kept = nullptr;
    }
    temp->Release();
    return kept;
}

} // namespace

void CMeshRecord::ReadBounds(const MeshFileLayout& file, int part)
{
    const MeshFilePart& in = file.parts[part];
    const std::uint32_t frames = m_nFrames[part];
    m_pBoxes[part] = new MeshBox[frames];
    m_pBoxSizes[part] = new D3DXVECTOR3[frames];
    m_pSphereCentres[part] = new D3DXVECTOR3[frames];
    m_pSphereRadii[part] = new float[frames];
    for (std::uint32_t f = 0; f < frames; ++f) {
        m_pBoxes[part][f].vMin = ReadVector(in.boxes + f * 24);
        m_pBoxes[part][f].vMax = ReadVector(in.boxes + f * 24 + 12);
        m_pBoxSizes[part][f] = m_pBoxes[part][f].vMax - m_pBoxes[part][f].vMin;
        m_pSphereCentres[part][f] = ReadVector(in.centres + f * 12);
        std::memcpy(&m_pSphereRadii[part][f], in.radii + f * 4, 4);
    }
}

bool CMeshRecord::LoadPart(const MeshFileLayout& file, int part, IDirect3DDevice9* device, DWORD options,
                           int optimise)
{
    const MeshPartFormat pf = GetMeshPartFormat(part, m_nFormat, options);
    const MeshVertexFormat& vf = g_MeshFVFTable[pf.format];
    const MeshFilePart& in = file.parts[part];
    const std::uint32_t vertexCount = file.header.vertices[part];
    const bool wide = pf.format == MESH_FORMAT_WIDE;
    // Wide parts keep one vertex array for every frame; the others convert
    // each frame's file vertices into the part's layout.
    std::unique_ptr<std::uint8_t[]> converted(wide ? nullptr : new std::uint8_t[std::size_t{vertexCount} * vf.size]);
    m_dwFVF[part] = vf.fvf;
    m_ppMeshes[part] = new ID3DXMesh*[m_nFrames[part]]();
    for (std::uint32_t f = 0; f < m_nFrames[part]; ++f) {
        const std::uint8_t* vertices = in.vertices;
        if (!wide) {
            ConvertFileVertices(in.vertices + std::size_t{f} * vertexCount * MESH_FILE_VERTEX_SIZE, vertexCount,
                                pf.format, converted.get());
            vertices = converted.get();
        }
        m_ppMeshes[part][f] = BuildFrameMesh(device, vf.fvf, vf.size, vertices, vertexCount, in.indices,
                                             file.header.triangles[part], pf.options, optimise);
        if (!m_ppMeshes[part][f])
            return false;
    }
    return true;
}

void CMeshRecord::ReadPoints(const MeshFileLayout& file)
{
    for (int p = 0; p < MESH_PART_COUNT; ++p) {
        m_nPoints[p] = file.points[p];
        if (!m_nPoints[p])
            continue;
        m_pPoints[p] = new D3DXVECTOR3[m_nPoints[p]];
        for (std::uint32_t i = 0; i < m_nPoints[p]; ++i)
            m_pPoints[p][i] = ReadVector(file.pointData[p] + std::size_t{i} * 12);
    }
}

void CMeshRecord::CopyRecordBounds()
{
    for (int p = 0; p < MESH_PART_COUNT; ++p) {
        if (!m_nFrames[p])
            continue;
        m_vBoxMin = m_pBoxes[p][0].vMin;
        m_vBoxMax = m_pBoxes[p][0].vMax;
        m_vBoxSize = m_pBoxSizes[p][0];
        m_vSphereCentre = m_pSphereCentres[p][0];
        m_fSphereRadius = m_pSphereRadii[p][0];
        return;
    }
}

bool CMeshRecord::Load(const MeshFileLayout& file, IDirect3DDevice9* device, DWORD options, int optimise)
{
    for (int p = 0; p < MESH_PART_COUNT; ++p) {
        m_nFrames[p] = file.header.frames[p];
        if (m_nFrames[p])
            ReadBounds(file, p);
    }
    for (int p = 0; p < MESH_PART_COUNT; ++p) {
        if (m_nFrames[p] && !LoadPart(file, p, device, options, optimise)) {
            Free();
            return false;
        }
    }
    ReadPoints(file);
    CopyRecordBounds();
    BuildCollisionModels();
    m_bLoaded = 1;
    return true;
}
