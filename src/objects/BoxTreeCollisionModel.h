// The mesh collision model built on a tree of axis-aligned boxes.
#pragma once

#include "objects/CollisionTree.h"
#include "objects/MeshCollisionModel.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// What the latest query was; the collision point is read accordingly.
enum CollisionQueryKind : int32_t {
    COLLISION_QUERY_NONE = -1,
    COLLISION_QUERY_MODEL = 0,
    COLLISION_QUERY_RAY = 1,
    COLLISION_QUERY_SPHERE = 2,
};

class CBoxTreeCollisionModel : public CMeshCollisionModel {
public:
    explicit CBoxTreeCollisionModel(bool isStatic);
    CBoxTreeCollisionModel(const CBoxTreeCollisionModel&) = delete;
    CBoxTreeCollisionModel& operator=(const CBoxTreeCollisionModel&) = delete;
    ~CBoxTreeCollisionModel() override = default;

    void SetTriangleCount(int count) override;
    void AddTriangle(const float* corner1, const float* corner2, const float* corner3) override;
    void AddTriangle(float x1, float y1, float z1, float x2, float y2, float z2, float x3, float y3,
                     float z3) override;
    void Finalize() override;
    void SetTransform(const float* matrix) override;

    bool CollideWithModel(CMeshCollisionModel* other, int accuracyDepth, int timeLimitMs,
                          const float* otherMatrix) override;
    bool IntersectRay(const float* origin, const float* direction, bool closest, float segmentStart,
                      float segmentEnd) override;
    bool IntersectSphere(const float* centre, float radius) override;

    bool GetCollidingTriangleIndices(int* indexA, int* indexB) override;
    bool GetCollidingTriangles(float* triangleA, float* triangleB, bool modelSpace) override;
    bool GetCollisionPoint(float* point, bool modelSpace) override;

    const CCollisionTreeBranch& Root() const { return m_root; }
    int TriangleCount() const { return static_cast<int>(m_triangles.size()); }
    const CCollisionTreeLeaf& Triangle(int index) const { return m_triangles[static_cast<size_t>(index)]; }
    int TriangleCapacity() const { return static_cast<int>(m_triangles.capacity()); }
    bool IsFinalized() const { return m_finalized != 0; }

private:
    void AddCorners(const CollisionVec3& corner1, const CollisionVec3& corner2, const CollisionVec3& corner3);
    // The world-to-model matrix; false when the transform has no inverse.
    bool WorldToModel(CollisionMatrix* inverse) const;
    int IndexOf(const CCollisionTreeLeaf* leaf) const;
    void RecordHit(const CCollisionTreeLeaf* leaf, const CollisionVec3& point);
    bool TrianglePairsOverlap(const CCollisionTreeNode& a, const CCollisionTreeNode& b,
                              const CBoxTreeCollisionModel& other, const CRelativeTransform& relative);

    std::vector<CCollisionTreeLeaf> m_triangles; // the triangle store
    CCollisionTreeBranch m_root;
    CollisionMatrix m_transform;
    // The inverse of the transform: made when a static model is moved, and
    // for a moving model at its first query after a move (many queries come
    // between two moves).
    mutable CollisionMatrix m_inverse;
    CCollisionTriangle m_collidingA;
    CCollisionTriangle m_collidingB;
    int m_collidingIndexA = 0;
    int m_collidingIndexB = 0;
    CollisionVec3 m_collisionPoint = {0.0f, 0.0f, 0.0f};
    int32_t m_lastQuery = COLLISION_QUERY_NONE;
    uint8_t m_finalized = 0;
    uint8_t m_static;
    mutable uint8_t m_inverseValid = 1; // the inverse exists
    mutable uint8_t m_inverseStale = 0;  // a moving model was moved since its inverse was made
};
