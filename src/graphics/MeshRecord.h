// One loaded mesh file in one vertex format, shared by reference count.
#pragma once

#include "graphics/MeshFile.h"

#include <cstdint>

class CMeshCollisionModel;
class btCollisionShape;
class btTriangleIndexVertexArray;

enum { MESH_NAME_SIZE = 256 };

// Bounding box of one part frame.
struct MeshBox {
    D3DXVECTOR3 vMin;
    D3DXVECTOR3 vMax;
};

class CMeshRecord {
public:
    std::uint32_t m_nFormat = 0;
    char m_szName[MESH_NAME_SIZE] = {};
    int m_nId = -1;
    std::uint32_t m_nRefCount = 1;
    DWORD m_dwFVF[MESH_PART_COUNT] = {};
    std::uint32_t m_nFrames[MESH_PART_COUNT] = {}; // 0: part absent
    ID3DXMesh** m_ppMeshes[MESH_PART_COUNT] = {};  // one mesh per frame
    CMeshCollisionModel** m_ppCollisionModels = nullptr; // one per frame of the collision part

    // Per part, one entry per frame.
    MeshBox* m_pBoxes[MESH_PART_COUNT] = {};
    D3DXVECTOR3* m_pBoxSizes[MESH_PART_COUNT] = {};
    D3DXVECTOR3* m_pSphereCentres[MESH_PART_COUNT] = {};
    float* m_pSphereRadii[MESH_PART_COUNT] = {};

    // Frame 0 of the lowest-numbered present part.
    D3DXVECTOR3 m_vBoxMin;
    D3DXVECTOR3 m_vBoxMax;
    D3DXVECTOR3 m_vBoxSize;
    D3DXVECTOR3 m_vSphereCentre;
    float m_fSphereRadius = 0.0f;

    // Attachment points in model space, per part.
    std::uint32_t m_nPoints[MESH_PART_COUNT] = {};
    D3DXVECTOR3* m_pPoints[MESH_PART_COUNT] = {};

    // Physics shapes built from the mesh on first use, owned by the record.
    btCollisionShape* m_pTriangleMeshShape = nullptr;
    btCollisionShape* m_pConvexHullShape = nullptr;
    btCollisionShape* m_pCompoundShape = nullptr;
    D3DXVECTOR3 m_vCentreOffset;
    // The arrays the triangle-mesh shape reads, freed with it.
    btTriangleIndexVertexArray* m_pTriangleArray = nullptr;
    float* m_pTriangleVertices = nullptr; // x, y, z, 0 per vertex
    int* m_pTriangleIndices = nullptr;    // three per triangle

    // 1 once a file filled the record; a record whose file failed stays empty.
    int m_bLoaded = 0;
    CMeshRecord* m_pNext = nullptr;

    // Builds every part, the points and the record bounds from a checked
    // file. False (the record emptied again) when the device refuses a mesh.
    bool Load(const MeshFileLayout& file, IDirect3DDevice9* device, DWORD options, int optimise);
    // Releases everything the record owns.
    void Free();
    // One collision model per frame of the collision part.
    void BuildCollisionModels();
    // Physics shapes, each built once: a triangle mesh and a convex hull over
    // frame 0 of the collision part, a compound of boxes (part 15) and
    // cylinders (part 13) centred on the centre offset. A mesh without the
    // parts gets no shape.
    void BuildTriangleMeshShape();
    void BuildConvexHullShape();
    void BuildCompoundShape();
    void FreePhysicsShapes();

private:
    bool LoadPart(const MeshFileLayout& file, int part, IDirect3DDevice9* device, DWORD options, int optimise);
    void ReadBounds(const MeshFileLayout& file, int part);
    void ReadPoints(const MeshFileLayout& file);
    void CopyRecordBounds();
};
