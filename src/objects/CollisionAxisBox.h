// Axis-aligned boxes of the collision trees and their overlap tests.
#pragma once

#include "objects/CollisionMath.h"

// Carries the points of another model into this model's space: the full
// matrix, and the rows of its upper 3x3 part (row k is the other model's
// k-th axis seen in this space).
struct CRelativeTransform {
    CollisionMatrix matrix;
    CollisionVec3 rows[3];
};

CRelativeTransform MakeRelativeTransform(const CollisionMatrix& matrix);

// Midpoint and half vector of the segment from origin to origin + end x
// direction, as the segment test computes them.
inline void HalveSegment(const CollisionVec3& origin, const CollisionVec3& direction, float end,
                         CollisionVec3* midpoint, CollisionVec3* half)
{
    *half = Scale(direction, 0.5f * end);
    *midpoint = Add(origin, *half);
}

class CAxisBox {
public:
    virtual ~CAxisBox() = default;

    // Sets the minimum corner and the edge lengths; the centre follows.
    void SetBox(const CollisionVec3& minimum, const CollisionVec3& edges);

    // The segment from origin to origin + end x direction. An end beyond
    // 3e30 is taken as the half-infinite ray.
    bool IntersectsSegment(const CollisionVec3& origin, const CollisionVec3& direction, float end) const;
    // The same finite-segment test from the segment's midpoint and half
    // vector, for callers that test one segment against many boxes.
    bool IntersectsHalfSegment(const CollisionVec3& midpoint, const CollisionVec3& half) const;
    // The same test with |half| worked out once by the caller for a whole tree walk.
    bool IntersectsHalfSegment(const CollisionVec3& midpoint, const CollisionVec3& half,
                               const CollisionVec3& absHalf) const;
    bool IntersectsRay(const CollisionVec3& origin, const CollisionVec3& direction) const;
    // Separating-axis test of this box against another model's box placed
    // in this space by the relative transform.
    bool IntersectsBox(const CAxisBox& other, const CRelativeTransform& relative) const;
    bool IntersectsSphere(const CollisionVec3& sphereCentre, float radius) const;

    CollisionVec3 position = {0.0f, 0.0f, 0.0f}; // minimum corner
    CollisionVec3 size = {0.0f, 0.0f, 0.0f};     // edge lengths, never negative
    CollisionVec3 centre = {0.0f, 0.0f, 0.0f};   // position + half the size
};
