#include "objects/CollisionContactPoint.h"

#include <cmath>

namespace {

const CollisionVec3& Corner(const CCollisionTriangle& t, int index)
{
    return index == 0 ? t.vertex1 : (index == 1 ? t.vertex2 : t.vertex3);
}

// Signed distances of a triangle's corners from a plane; false when all
// three lie strictly on one side.
bool CornersReachPlane(const CollisionPlane& plane, const CCollisionTriangle& t, float s[3])
{
    for (int k = 0; k < 3; ++k) {
        s[k] = Dot(plane.normal, Corner(t, k)) + plane.offset;
    }
    return !(s[0] * s[1] > 0.0f && s[1] * s[2] > 0.0f);
}

// Index (0-based) of the corner alone on its side of the plane.
int LoneCorner(const float s[3])
{
    if (s[0] * s[1] >= 0.0f) {
        return 2;
    }
    return s[1] * s[2] < 0.0f ? 1 : 0;
}

// Where the edge from p towards l crosses the mid-plane; false when the edge
// runs parallel to it.
bool CrossMidPlane(const CollisionVec3& p, const CollisionVec3& l, const CollisionVec3& midNormal, float midOffset,
                   CollisionVec3* point)
{
    const CollisionVec3 edge = Subtract(l, p);
    const float denominator = Dot(midNormal, edge);
    if (denominator == 0.0f) {
        return false;
    }
    const float t = -(Dot(midNormal, p) + midOffset) / denominator;
    if (!std::isfinite(t)) {
        return false;
    }
    *point = Add(p, Scale(edge, t));
    return true;
}

// Cuts the two edges leaving the lone corner of `cut` with the mid-plane and
// answers the first cut point that `inside` contains.
bool CutInside(const CCollisionTriangle& cut, const float s[3], const CCollisionTriangle& inside,
               const CollisionPlane& insidePlane, const CollisionVec3& midNormal, float midOffset,
               CollisionVec3* point)
{
    const int lone = LoneCorner(s);
    const CollisionVec3& l = Corner(cut, lone);
    for (int step = 1; step <= 2; ++step) {
        CollisionVec3 candidate;
        if (CrossMidPlane(Corner(cut, (lone + step) % 3), l, midNormal, midOffset, &candidate) &&
            TriangleContainsPoint(inside, insidePlane, candidate)) {
            *point = candidate;
            return true;
        }
    }
    return false;
}

} // namespace

CollisionVec3 ComputeCollisionPoint(const CCollisionTriangle& a, const CCollisionTriangle& b)
{
    CollisionPlane planeA;
    CollisionPlane planeB;
    if (!a.GetPlane(&planeA) || !b.GetPlane(&planeB)) {
        return g_CollisionZeroVector;
    }
    float sB[3];
    if (!CornersReachPlane(planeA, b, sB)) {
        return g_CollisionZeroVector;
    }
    const CollisionVec3 midNormal = Add(planeA.normal, planeB.normal);
    const float midOffset = planeA.offset + planeB.offset;
    CollisionVec3 point;
    if (CutInside(b, sB, a, planeA, midNormal, midOffset, &point)) {
        return point;
    }
    float sA[3];
    if (!CornersReachPlane(planeB, a, sA)) {
        return g_CollisionZeroVector;
    }
    if (CutInside(a, sA, b, planeB, midNormal, midOffset, &point)) {
        return point;
    }
    return g_CollisionZeroVector;
}
