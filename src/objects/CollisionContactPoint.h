// One point where two overlapping triangles meet.
#pragma once

#include "objects/CollisionTriangle.h"

// Triangle a belongs to this model, b has been carried into its space. The
// edges of one triangle that cross the other's plane are cut with the plane
// halfway between the two; the first cut point inside the other triangle is
// the answer. The zero vector when none is found (or a triangle has no area).
CollisionVec3 ComputeCollisionPoint(const CCollisionTriangle& a, const CCollisionTriangle& b);
