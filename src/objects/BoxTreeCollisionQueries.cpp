// Ray and sphere queries of the box-tree model.
#include "objects/BoxTreeCollisionModel.h"
#include "objects/CollisionNodeStack.h"

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
    float best = kFarthestHit;
    CollisionNodeStack stack;
    stack.Push(&m_root);
    while (!stack.Empty()) {
        const CCollisionTreeNode* node = stack.Pop();
        if (!node->IntersectsSegment(o, d, end) || stack.PushChildren(*node)) {
            continue;
        }
        for (int i = node->GetTriangleCount() - 1; i >= 0; --i) {
            const CCollisionTreeLeaf* leaf = node->GetTriangle(i);
            CollisionVec3 point;
            float t;
            if (!leaf->triangle.IntersectRay(o, d, &point, &t, end)) {
                continue;
            }
            if (!closest) {
                RecordHit(leaf, point);
                return true;
            }
            if (t < best) {
                best = t;
                RecordHit(leaf, point);
            }
        }
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
    CollisionNodeStack stack;
    stack.Push(&m_root);
    while (!stack.Empty()) {
        const CCollisionTreeNode* node = stack.Pop();
        if (!node->IntersectsSphere(c, radius) || stack.PushChildren(*node)) {
            continue;
        }
        for (int i = node->GetTriangleCount() - 1; i >= 0; --i) {
            const CCollisionTreeLeaf* leaf = node->GetTriangle(i);
            CollisionVec3 point;
            if (leaf->triangle.IntersectSphere(c, radius, &point)) {
                RecordHit(leaf, point);
                return true;
            }
        }
    }
    return false;
}
