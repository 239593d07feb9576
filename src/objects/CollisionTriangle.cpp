#include "objects/CollisionTriangle.h"

#include "objects/CollisionTriangleOverlap.h"

#include <cmath>

CCollisionTriangle::CCollisionTriangle(const CollisionVec3& corner1, const CollisionVec3& corner2,
                                       const CollisionVec3& corner3)
    : vertex1(corner1), vertex2(corner2), vertex3(corner3)
{
    // A multiplication by the rounded third, not a division by 3.
    centre = Scale(Add(Add(vertex1, vertex2), vertex3), 0.33333334f);
}

bool CCollisionTriangle::GetPlane(CollisionPlane* plane) const
{
    const CollisionVec3 cross = Cross(Subtract(vertex2, vertex1), Subtract(vertex3, vertex1));
    const float lengthSquared = LengthSquared(cross);
    if (!(lengthSquared > 0.0f) || !std::isfinite(lengthSquared)) {
        return false;
    }
    plane->normal = Normalize(cross);
    plane->offset = -Dot(plane->normal, vertex1);
    const float a = std::fabs(plane->normal.x);
    const float b = std::fabs(plane->normal.y);
    const float c = std::fabs(plane->normal.z);
    if (a > b && a > c) {
        plane->keptAxis1 = 1;
        plane->keptAxis2 = 2;
    } else if (b > c) {
        plane->keptAxis1 = 0;
        plane->keptAxis2 = 2;
    } else {
        plane->keptAxis1 = 0;
        plane->keptAxis2 = 1;
    }
    return true;
}

bool TriangleContainsPoint(const CCollisionTriangle& triangle, const CollisionPlane& plane, const CollisionVec3& point)
{
    const int i = plane.keptAxis1;
    const int j = plane.keptAxis2;
    const CollisionVec3 u = Subtract(triangle.vertex2, triangle.vertex1);
    const CollisionVec3 v = Subtract(triangle.vertex3, triangle.vertex1);
    const CollisionVec3 q = Subtract(point, triangle.vertex1);
    float alpha;
    float beta;
    // The projected triangle has area (the dropped axis holds the largest
    // normal component), so neither division below is by zero.
    if (u[i] == 0.0f) {
        beta = q[i] / v[i];
        if (beta < 0.0f || beta > 1.0f) {
            return false;
        }
        alpha = (q[j] - beta * v[j]) / u[j];
    } else {
        beta = (q[j] * u[i] - q[i] * u[j]) / (v[j] * u[i] - v[i] * u[j]);
        if (beta < 0.0f || beta > 1.0f) {
            return false;
        }
        alpha = (q[i] - beta * v[i]) / u[i];
    }
    return alpha >= 0.0f && alpha + beta <= 1.0f;
}

bool CCollisionTriangle::ContainsPoint(const CollisionVec3& point) const
{
    CollisionPlane plane;
    return GetPlane(&plane) && TriangleContainsPoint(*this, plane, point);
}

bool CCollisionTriangle::IntersectRay(const CollisionVec3& origin, const CollisionVec3& direction,
                                      CollisionVec3* point, float* t, float end) const
{
    CollisionPlane plane;
    if (!GetPlane(&plane)) {
        return false;
    }
    const float denominator = Dot(plane.normal, direction);
    if (std::fabs(denominator) < 1e-8f) {
        return false; // parallel to the plane
    }
    const float hitT = -(Dot(plane.normal, origin) + plane.offset) / denominator;
    if (!(hitT > 0.0f && hitT <= end)) {
        return false;
    }
    const CollisionVec3 hit = Add(origin, Scale(direction, hitT));
    if (!TriangleContainsPoint(*this, plane, hit)) {
        return false;
    }
    *point = hit;
    *t = hitT;
    return true;
}

bool CCollisionTriangle::IntersectSphere(const CollisionVec3& sphereCentre, float radius, CollisionVec3* point) const
{
    CollisionPlane plane;
    if (!GetPlane(&plane)) {
        return false;
    }
    const float s = Dot(plane.normal, sphereCentre) + plane.offset;
    if (std::fabs(s) > radius) {
        return false;
    }
    const CollisionVec3 foot = Subtract(sphereCentre, Scale(plane.normal, s));
    if (!TriangleContainsPoint(*this, plane, foot)) {
        return false;
    }
    *point = foot;
    return true;
}

bool CCollisionTriangle::Intersects(const CCollisionTriangle& other) const
{
    return TrianglesOverlap(*this, other);
}
