// One triangle of a collision mesh and its ray, sphere and triangle tests.
#pragma once

#include "objects/CollisionMath.h"

// The plane of a triangle: unit normal n and offset d, so that n . p + d is
// the signed distance of p. Kept axes are the two coordinate axes left after
// dropping the one where the normal is largest, in increasing order.
struct CollisionPlane {
    CollisionVec3 normal;
    float offset;
    int keptAxis1;
    int keptAxis2;
};

class CCollisionTriangle {
public:
    CCollisionTriangle() = default;
    CCollisionTriangle(const CollisionVec3& corner1, const CollisionVec3& corner2, const CollisionVec3& corner3);

    // False for a triangle with no area (or one too large for its normal to
    // be scaled in floats): such a triangle has no plane and no plane-based
    // test ever reports it.
    bool GetPlane(CollisionPlane* plane) const;

    // Inside test on the triangle's kept axes; edges and corners are inside.
    bool ContainsPoint(const CollisionVec3& point) const;
    // Hit with parameter t in (0, end] along origin + t x direction.
    bool IntersectRay(const CollisionVec3& origin, const CollisionVec3& direction, CollisionVec3* point,
                      float* t, float end) const;
    // The sphere counts only when the foot of its centre on the plane lies
    // inside the triangle.
    bool IntersectSphere(const CollisionVec3& sphereCentre, float radius, CollisionVec3* point) const;
    bool Intersects(const CCollisionTriangle& other) const;

    CollisionVec3 vertex1 = {0.0f, 0.0f, 0.0f};
    CollisionVec3 vertex2 = {0.0f, 0.0f, 0.0f};
    CollisionVec3 vertex3 = {0.0f, 0.0f, 0.0f};
    CollisionVec3 centre = {0.0f, 0.0f, 0.0f};
};

// Inside test on the given kept axes of the triangle's plane.
bool TriangleContainsPoint(const CCollisionTriangle& triangle, const CollisionPlane& plane, const CollisionVec3& point);
