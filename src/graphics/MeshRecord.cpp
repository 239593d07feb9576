#include "graphics/MeshRecord.h"

#include "objects/MeshCollisionModel.h"

#include <cstring>

namespace {

template <typename T>
void DeleteArray(T*& array)
{
    delete[] array;
    array = nullptr;
}

// A model of the frame mesh's triangles (positions at the start of each
// 24-byte vertex); null when the buffers cannot be read.
CMeshCollisionModel* BuildFrameCollisionModel(ID3DXMesh* mesh)
{
    const DWORD vertexCount = mesh->GetNumVertices();
    const DWORD stride = mesh->GetNumBytesPerVertex();
    void* vertexData = nullptr;
    void* indexData = nullptr;
    if (FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertexData)) || !vertexData)
        return nullptr;
    if (FAILED(mesh->LockIndexBuffer(D3DLOCK_READONLY, &indexData)) || !indexData) {
        mesh->UnlockVertexBuffer();
        return nullptr;
    }
    CMeshCollisionModel* model = CreateMeshCollisionModel(false);
    if (model) {
        const auto* vertices = static_cast<const std::uint8_t*>(vertexData);
        const auto* indices = static_cast<const std::uint16_t*>(indexData);
        const DWORD faces = mesh->GetNumFaces();
        model->SetTriangleCount(static_cast<int>(faces));
        for (DWORD t = 0; t < faces; ++t) {
            const std::uint16_t* face = indices + t * 3;
            if (face[0] >= vertexCount || face[1] >= vertexCount || face[2] >= vertexCount)
                continue;
            float corners[3][3];
            for (int c = 0; c < 3; ++c)
                std::memcpy(corners[c], vertices + std::size_t{face[c]} * stride, sizeof(corners[c]));
            model->AddTriangle(corners[0], corners[1], corners[2]);
        }
        model->Finalize();
    }
    mesh->UnlockIndexBuffer();
    mesh->UnlockVertexBuffer();
    return model;
}

} // namespace

void CMeshRecord::BuildCollisionModels()
{
    const int part = MESH_COLLISION_PART;
    if (m_ppCollisionModels || !m_nFrames[part] || !m_ppMeshes[part])
        return;
    m_ppCollisionModels = new CMeshCollisionModel*[m_nFrames[part]]();
    for (std::uint32_t f = 0; f < m_nFrames[part]; ++f) {
        if (m_ppMeshes[part][f])
            m_ppCollisionModels[f] = BuildFrameCollisionModel(m_ppMeshes[part][f]);
    }
}

void CMeshRecord::Free()
{
    if (m_ppCollisionModels) {
        for (std::uint32_t f = 0; f < m_nFrames[MESH_COLLISION_PART]; ++f)
            delete m_ppCollisionModels[f];
        DeleteArray(m_ppCollisionModels);
    }
    for (int p = 0; p < MESH_PART_COUNT; ++p) {
        if (m_ppMeshes[p]) {
            for (std::uint32_t f = 0; f < m_nFrames[p]; ++f)
                if (m_ppMeshes[p][f])
                    m_ppMeshes[p][f]->Release();
            DeleteArray(m_ppMeshes[p]);
        }
        DeleteArray(m_pBoxes[p]);
        DeleteArray(m_pBoxSizes[p]);
        DeleteArray(m_pSphereCentres[p]);
        DeleteArray(m_pSphereRadii[p]);
        DeleteArray(m_pPoints[p]);
        m_nFrames[p] = 0;
        m_nPoints[p] = 0;
    }
    FreePhysicsShapes();
    m_bLoaded = 0;
}
