// Ray and sphere queries of the box-tree model.
#include "objects/BoxTreeCollisionModel.h"
#include "objects/CollisionNodeStack.h"

#include <cmath>

namespace {

// Nearest hits are searched below this parameter only.
const float kFarthestHit = 9e9f;

} // namespace

bool CBoxTreeCollisionModel::IntersectRay(const float* origin, const float* direction, bool closest,
                                          float segmentStart, float segmentEnd)
{
    m_lastQuery = COLLISION_QUERY_RAY;
    CollisionMatrix toModel;
    if (!WorldToModel(&toModel)) {
        return false;
    }
    CollisionVec3 o = TransformPoint(CollisionVec(origin), toModel);
    CollisionVec3 d = TransformDirection(CollisionVec(direction), toModel);
    float end = segmentEnd;
    if (segmentStart != 0.0f) {
        o = Add(o, Scale(d, segmentStart));
        end -= segmentStart;
    }
    if (end < 0.0f) {
        d = Negate(d);
        end = -end;
    }
    // An end beyond 3e30 makes the box test the half-infinite ray's.
    bool ray = end > 3e30f;
    CollisionVec3 midpoint;
    CollisionVec3 half;
    CollisionVec3 absHalf;
    auto setSegment = [&](float length) {
        HalveSegment(o, d, length, &midpoint, &half);
        absHalf = {std::fabs(half.x), std::fabs(half.y), std::fabs(half.z)};
    };
    setSegment(end);
    auto overlaps = [&](const CAxisBox& box) {
        return ray ? box.IntersectsRay(o, d) : box.IntersectsHalfSegment(midpoint, half, absHalf);
    };
    float best = kFarthestHit;
    auto test = [&](const CCollisionTreeLeaf* leaf) {
        CollisionVec3 point;
        float t;
        if (!leaf->triangle.IntersectRay(o, d, &point, &t, end)) {
            return false;
        }
        if (closest && !(t < best)) {
            return false; // ties keep the triangle found first
        }
        best = t;
        RecordHit(leaf, point);
        if (closest) {
            // Only a nearer hit can win now: boxes beyond this one are skipped.
            ray = false;
            setSegment(t);
        }
        return !closest;
    };
    if (WalkCollisionTree(m_root, overlaps, test)) {
        return true;
    }
    return closest && best < kFarthestHit;
}

bool CBoxTreeCollisionModel::IntersectSphere(const float* centre, float radius)
{
    m_lastQuery = COLLISION_QUERY_SPHERE;
    CollisionMatrix toModel;
    if (!WorldToModel(&toModel)) {
        return false;
    }
    const CollisionVec3 c = TransformPoint(CollisionVec(centre), toModel);
    auto overlaps = [&](const CAxisBox& box) { return box.IntersectsSphere(c, radius); };
    auto test = [&](const CCollisionTreeLeaf* leaf) {
        CollisionVec3 point;
        if (!leaf->triangle.IntersectSphere(c, radius, &point)) {
            return false;
        }
        RecordHit(leaf, point);
        return true;
    };
    return WalkCollisionTree(m_root, overlaps, test);
}
