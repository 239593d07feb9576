// Triangle against triangle: Moeller's interval-overlap test (1997, the form
// that divides when computing the interval ends) with its coplanar case.
#pragma once

#include "objects/CollisionTriangle.h"

// True when the triangles meet; touching counts. A triangle with no area
// (its corners' cross product exactly zero) overlaps nothing.
bool TrianglesOverlap(const CCollisionTriangle& first, const CCollisionTriangle& second);

// The two triangles lie in one plane with the (unnormalised) normal of the
// first; they are projected on the two axes where that normal is smallest.
bool CoplanarTrianglesOverlap(const CollisionVec3& normal, const CCollisionTriangle& first,
                              const CCollisionTriangle& second);
