// Physics shapes of a mesh, built on the first body that needs them and
// shared by every object on the mesh until the record is freed.
#include "graphics/MeshRecord.h"

#include <btBulletCollisionCommon.h>

#include <cstring>

namespace {

const btScalar kShapeMargin = 0.05f;

// Frame 0 of the collision part with its buffers locked for reading; the
// destructor unlocks. Valid only when both buffers locked.
class FrameGeometry {
public:
    explicit FrameGeometry(const CMeshRecord* record)
    {
        const int part = MESH_COLLISION_PART;
        if (!record->m_nFrames[part] || !record->m_ppMeshes[part] || !record->m_ppMeshes[part][0])
            return;
        ID3DXMesh* mesh = record->m_ppMeshes[part][0];
        void* vertices = nullptr;
        if (FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices)) || !vertices)
            return;
        m_pMesh = mesh;
        m_pVertices = static_cast<const std::uint8_t*>(vertices);
        void* indices = nullptr;
        if (SUCCEEDED(mesh->LockIndexBuffer(D3DLOCK_READONLY, &indices)) && indices)
            m_pIndices = static_cast<const std::uint16_t*>(indices);
        m_nVertices = mesh->GetNumVertices();
        m_nFaces = mesh->GetNumFaces();
        m_nStride = mesh->GetNumBytesPerVertex();
    }
    ~FrameGeometry()
    {
        if (!m_pMesh)
            return;
        if (m_pIndices)
            m_pMesh->UnlockIndexBuffer();
        m_pMesh->UnlockVertexBuffer();
    }
    FrameGeometry(const FrameGeometry&) = delete;
    FrameGeometry& operator=(const FrameGeometry&) = delete;

    bool HasVertices() const { return m_pVertices && m_nVertices > 0; }
    bool HasTriangles() const { return HasVertices() && m_pIndices && m_nFaces > 0; }
    btVector3 Position(DWORD v) const
    {
        float p[3];
        std::memcpy(p, m_pVertices + std::size_t{v} * m_nStride, sizeof(p));
        return btVector3(p[0], p[1], p[2]);
    }
    // The triangle's indices, false when one lies outside the vertices.
    bool Face(DWORD t, std::uint16_t out[3]) const
    {
        std::memcpy(out, m_pIndices + std::size_t{t} * 3, 3 * sizeof(std::uint16_t));
        return out[0] < m_nVertices && out[1] < m_nVertices && out[2] < m_nVertices;
    }

    DWORD m_nVertices = 0;
    DWORD m_nFaces = 0;

private:
    ID3DXMesh* m_pMesh = nullptr;
    const std::uint8_t* m_pVertices = nullptr;
    const std::uint16_t* m_pIndices = nullptr;
    DWORD m_nStride = 0;
};

D3DXVECTOR3 BoxCentre(const MeshBox& box)
{
    return (box.vMin + box.vMax) * 0.5f;
}

btVector3 ToBt(const D3DXVECTOR3& v)
{
    return btVector3(v.x, v.y, v.z);
}

// The point the compound is centred on: part 8's first point, else the mean
// centre of every primitive's box (parts 15, 14 and 13).
D3DXVECTOR3 CompoundCentre(const CMeshRecord* record)
{
    if (record->m_nPoints[8] && record->m_pPoints[8])
        return record->m_pPoints[8][0];
    D3DXVECTOR3 sum(0, 0, 0);
    int count = 0;
    for (int part : {15, 14, 13}) {
        if (!record->m_pBoxes[part])
            continue;
        for (std::uint32_t f = 0; f < record->m_nFrames[part]; ++f, ++count)
            sum += BoxCentre(record->m_pBoxes[part][f]);
    }
    return count ? sum / static_cast<float>(count) : sum;
}

// One child per frame of the part, each the size of that frame's box.
void AddPrimitives(btCompoundShape* compound, const CMeshRecord* record, int part, bool cylinders)
{
    if (!record->m_pBoxes[part])
        return;
    for (std::uint32_t f = 0; f < record->m_nFrames[part]; ++f) {
        const MeshBox& box = record->m_pBoxes[part][f];
        const btVector3 halfExtents = ToBt((box.vMax - box.vMin) * 0.5f);
        btCollisionShape* child = cylinders ? static_cast<btCollisionShape*>(new btCylinderShape(halfExtents))
                                            : static_cast<btCollisionShape*>(new btBoxShape(halfExtents));
        btTransform local;
        local.setIdentity();
        local.setOrigin(ToBt(BoxCentre(box) - record->m_vCentreOffset));
        compound->addChildShape(local, child);
    }
}

} // namespace

void CMeshRecord::BuildTriangleMeshShape()
{
    if (m_pTriangleMeshShape)
        return;
    const FrameGeometry geometry(this);
    if (!geometry.HasTriangles())
        return;
    m_pTriangleVertices = new float[std::size_t{geometry.m_nVertices} * 4];
    for (DWORD v = 0; v < geometry.m_nVertices; ++v) {
        const btVector3 p = geometry.Position(v);
        float* out = m_pTriangleVertices + std::size_t{v} * 4;
        out[0] = p.x();
        out[1] = p.y();
        out[2] = p.z();
        out[3] = 0.0f;
    }
    // The winding is reversed: the device's front faces turn clockwise, the
    // library's counter-clockwise.
    m_pTriangleIndices = new int[std::size_t{geometry.m_nFaces} * 3];
    int triangles = 0;
    for (DWORD t = 0; t < geometry.m_nFaces; ++t) {
        std::uint16_t face[3];
        if (!geometry.Face(t, face))
            continue;
        int* out = m_pTriangleIndices + std::size_t(triangles) * 3;
        out[0] = face[2];
        out[1] = face[1];
        out[2] = face[0];
        ++triangles;
    }
    if (triangles == 0) {
        FreePhysicsShapes();
        return;
    }
    m_pTriangleArray = new btTriangleIndexVertexArray(triangles, m_pTriangleIndices, 3 * sizeof(int),
                                                      static_cast<int>(geometry.m_nVertices), m_pTriangleVertices,
                                                      4 * sizeof(float));
    auto* shape = new btBvhTriangleMeshShape(m_pTriangleArray, true, true);
    shape->setMargin(kShapeMargin);
    m_pTriangleMeshShape = shape;
}

void CMeshRecord::BuildConvexHullShape()
{
    if (m_pConvexHullShape)
        return;
    const FrameGeometry geometry(this);
    if (!geometry.HasVertices())
        return;
    auto* hull = new btConvexHullShape();
    for (DWORD v = 0; v < geometry.m_nVertices; ++v)
        hull->addPoint(geometry.Position(v), false);
    hull->recalcLocalAabb();
    hull->setMargin(kShapeMargin);
    m_pConvexHullShape = hull;
}

void CMeshRecord::BuildCompoundShape()
{
    if (m_pCompoundShape || (!m_nFrames[13] && !m_nFrames[14] && !m_nFrames[15]))
        return;
    m_vCentreOffset = CompoundCentre(this);
    auto* compound = new btCompoundShape();
    AddPrimitives(compound, this, 15, false);
    AddPrimitives(compound, this, 13, true);
    m_pCompoundShape = compound;
}

void CMeshRecord::FreePhysicsShapes()
{
    if (auto* compound = static_cast<btCompoundShape*>(m_pCompoundShape)) {
        // The compound does not own its children.
        for (int i = compound->getNumChildShapes() - 1; i >= 0; --i) {
            btCollisionShape* child = compound->getChildShape(i);
            compound->removeChildShapeByIndex(i);
            delete child;
        }
    }
    delete m_pCompoundShape;
    m_pCompoundShape = nullptr;
    delete m_pConvexHullShape;
    m_pConvexHullShape = nullptr;
    delete m_pTriangleMeshShape;
    m_pTriangleMeshShape = nullptr;
    delete m_pTriangleArray;
    m_pTriangleArray = nullptr;
    delete[] m_pTriangleVertices;
    m_pTriangleVertices = nullptr;
    delete[] m_pTriangleIndices;
    m_pTriangleIndices = nullptr;
}
