#include "objects/BoxTreeCollisionModel.h"

#include "objects/CollisionContactPoint.h"

#include <algorithm>

CBoxTreeCollisionModel::CBoxTreeCollisionModel(bool isStatic)
    : m_transform(g_CollisionIdentity), m_inverse(g_CollisionIdentity), m_static(isStatic ? 1 : 0)
{
}

void CBoxTreeCollisionModel::SetTriangleCount(int count)
{
    if (m_finalized || count <= 0) {
        return;
    }
    // Exactly the announced count; the store never shrinks.
    if (m_triangles.capacity() < static_cast<size_t>(count)) {
        m_triangles.reserve(static_cast<size_t>(count));
    }
}

void CBoxTreeCollisionModel::AddTriangle(const float* corner1, const float* corner2, const float* corner3)
{
    AddCorners(CollisionVec(corner1), CollisionVec(corner2), CollisionVec(corner3));
}

void CBoxTreeCollisionModel::AddTriangle(float x1, float y1, float z1, float x2, float y2, float z2, float x3,
                                         float y3, float z3)
{
    AddCorners(CollisionVec(x1, y1, z1), CollisionVec(x2, y2, z2), CollisionVec(x3, y3, z3));
}

void CBoxTreeCollisionModel::AddCorners(const CollisionVec3& corner1, const CollisionVec3& corner2,
                                        const CollisionVec3& corner3)
{
    if (m_finalized) {
        throw Inconsistency();
    }
    // Beyond the announced count the store doubles (from 16).
    if (m_triangles.size() == m_triangles.capacity()) {
        m_triangles.reserve(std::max<size_t>(16, m_triangles.capacity() * 2));
    }
    m_triangles.emplace_back(corner1, corner2, corner3);
}

void CBoxTreeCollisionModel::Finalize()
{
    if (m_finalized) {
        throw Inconsistency();
    }
    m_finalized = 1;
    m_root.triangles.reserve(m_triangles.size());
    for (CCollisionTreeLeaf& leaf : m_triangles) {
        m_root.triangles.push_back(&leaf);
    }
    SplitCollisionTree(&m_root);
}

void CBoxTreeCollisionModel::SetTransform(const float* matrix)
{
    m_transform = MatrixFromFloats(matrix);
    if (m_static) {
        m_inverseValid = Invert(m_transform, &m_inverse) ? 1 : 0;
    } else {
        m_inverseStale = 1;
    }
}

bool CBoxTreeCollisionModel::WorldToModel(CollisionMatrix* inverse) const
{
    if (m_inverseStale) {
        m_inverseValid = Invert(m_transform, &m_inverse) ? 1 : 0;
        m_inverseStale = 0;
    }
    *inverse = m_inverse;
    return m_inverseValid != 0;
}

int CBoxTreeCollisionModel::IndexOf(const CCollisionTreeLeaf* leaf) const
{
    return static_cast<int>(leaf - m_triangles.data());
}

void CBoxTreeCollisionModel::RecordHit(const CCollisionTreeLeaf* leaf, const CollisionVec3& point)
{
    m_collidingA = leaf->triangle;
    m_collidingIndexA = IndexOf(leaf);
    m_collisionPoint = point;
}

bool CBoxTreeCollisionModel::GetCollidingTriangleIndices(int* indexA, int* indexB)
{
    if (indexA != nullptr) {
        *indexA = m_collidingIndexA;
    }
    if (indexB != nullptr) {
        *indexB = m_collidingIndexB;
    }
    return true;
}

namespace {

void WriteCorner(const CollisionVec3& v, const CollisionMatrix* toWorld, float* out)
{
    if (out == nullptr) {
        return;
    }
    const CollisionVec3 p = toWorld != nullptr ? TransformPoint(v, *toWorld) : v;
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

void WriteTriangle(const CCollisionTriangle& t, const CollisionMatrix* toWorld, float* out)
{
    if (out == nullptr) {
        return;
    }
    WriteCorner(t.vertex1, toWorld, out);
    WriteCorner(t.vertex2, toWorld, out + 3);
    WriteCorner(t.vertex3, toWorld, out + 6);
}

} // namespace

bool CBoxTreeCollisionModel::GetCollidingTriangles(float* triangleA, float* triangleB, bool modelSpace)
{
    const CollisionMatrix* toWorld = modelSpace ? nullptr : &m_transform;
    WriteTriangle(m_collidingA, toWorld, triangleA);
    WriteTriangle(m_collidingB, toWorld, triangleB);
    return true;
}

bool CBoxTreeCollisionModel::GetCollisionPoint(float* point, bool modelSpace)
{
    const CollisionVec3 p = m_lastQuery == COLLISION_QUERY_MODEL ? ComputeCollisionPoint(m_collidingA, m_collidingB)
                                                                 : m_collisionPoint;
    WriteCorner(p, modelSpace ? nullptr : &m_transform, point);
    return true;
}
