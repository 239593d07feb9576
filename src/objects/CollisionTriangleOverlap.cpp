#include "objects/CollisionTriangleOverlap.h"

#include <cmath>
#include <utility>

namespace {

const float kPlaneEpsilon = 1e-6f;

bool IsZero(const CollisionVec3& v)
{
    return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

float SnapToPlane(float distance)
{
    return std::fabs(distance) < kPlaneEpsilon ? 0.0f : distance;
}

// Signed (unnormalised) distances of three corners from a plane; false when
// all three are non-zero with one sign, so the triangle misses the plane.
bool CornersStraddle(const CollisionVec3& normal, float offset, const CCollisionTriangle& t, float d[3])
{
    d[0] = SnapToPlane(Dot(normal, t.vertex1) + offset);
    d[1] = SnapToPlane(Dot(normal, t.vertex2) + offset);
    d[2] = SnapToPlane(Dot(normal, t.vertex3) + offset);
    return !(d[0] * d[1] > 0.0f && d[0] * d[2] > 0.0f);
}

void Interval(float p0, float p1, float p2, float d0, float d1, float d2, float out[2])
{
    out[0] = p0 + (p1 - p0) * d0 / (d0 - d1);
    out[1] = p0 + (p2 - p0) * d0 / (d0 - d2);
}

// The interval where a triangle crosses the line, from its lone corner and
// the two edges leaving it. False when every distance is zero (coplanar).
bool ComputeInterval(const float p[3], const float d[3], float out[2])
{
    if (d[0] * d[1] > 0.0f) {
        Interval(p[2], p[0], p[1], d[2], d[0], d[1], out);
    } else if (d[0] * d[2] > 0.0f) {
        Interval(p[1], p[0], p[2], d[1], d[0], d[2], out);
    } else if (d[1] * d[2] > 0.0f || d[0] != 0.0f) {
        Interval(p[0], p[1], p[2], d[0], d[1], d[2], out);
    } else if (d[1] != 0.0f) {
        Interval(p[1], p[0], p[2], d[1], d[0], d[2], out);
    } else if (d[2] != 0.0f) {
        Interval(p[2], p[0], p[1], d[2], d[0], d[1], out);
    } else {
        return false;
    }
    if (out[0] > out[1]) {
        std::swap(out[0], out[1]);
    }
    return true;
}

int LargestAxis(const CollisionVec3& v)
{
    int axis = 0;
    float largest = std::fabs(v.x);
    if (std::fabs(v.y) > largest) {
        largest = std::fabs(v.y);
        axis = 1;
    }
    if (std::fabs(v.z) > largest) {
        axis = 2;
    }
    return axis;
}

void Project(const CCollisionTriangle& t, int axis, float p[3])
{
    p[0] = t.vertex1[axis];
    p[1] = t.vertex2[axis];
    p[2] = t.vertex3[axis];
}

// Two projected coordinates of a corner.
struct Point2 {
    float x, y;
};

Point2 Projected(const CollisionVec3& v, int i0, int i1)
{
    return {v[i0], v[i1]};
}

// Edge a0-a1 against edge b0-b1 in the projection; touching counts.
bool EdgesCross(Point2 a0, Point2 a1, Point2 b0, Point2 b1)
{
    const float ax = a1.x - a0.x;
    const float ay = a1.y - a0.y;
    const float bx = b0.x - b1.x;
    const float by = b0.y - b1.y;
    const float cx = a0.x - b0.x;
    const float cy = a0.y - b0.y;
    const float f = ay * bx - ax * by;
    const float d = by * cx - bx * cy;
    if ((f > 0.0f && d >= 0.0f && d <= f) || (f < 0.0f && d <= 0.0f && d >= f)) {
        const float e = ax * cy - ay * cx;
        if (f > 0.0f) {
            return e >= 0.0f && e <= f;
        }
        return e <= 0.0f && e >= f;
    }
    return false;
}

// Signed side of point p against the line through a and b, in the projection.
float Side(Point2 a, Point2 b, Point2 p)
{
    const float nx = b.y - a.y;
    const float ny = -(b.x - a.x);
    const float c = -nx * a.x - ny * a.y;
    return nx * p.x + ny * p.y + c;
}

bool StrictlyInside(Point2 p, const Point2 t[3])
{
    const float d0 = Side(t[0], t[1], p);
    const float d1 = Side(t[1], t[2], p);
    const float d2 = Side(t[2], t[0], p);
    return d0 * d1 > 0.0f && d0 * d2 > 0.0f;
}

} // namespace

bool CoplanarTrianglesOverlap(const CollisionVec3& normal, const CCollisionTriangle& first,
                              const CCollisionTriangle& second)
{
    const float a = std::fabs(normal.x);
    const float b = std::fabs(normal.y);
    const float c = std::fabs(normal.z);
    int i0;
    int i1;
    if (a > b) {
        if (a > c) {
            i0 = 1; i1 = 2; // drop x
        } else {
            i0 = 0; i1 = 1; // drop z
        }
    } else if (c > b) {
        i0 = 0; i1 = 1; // drop z
    } else {
        i0 = 0; i1 = 2; // drop y
    }
    const Point2 v[3] = {Projected(first.vertex1, i0, i1), Projected(first.vertex2, i0, i1),
                         Projected(first.vertex3, i0, i1)};
    const Point2 u[3] = {Projected(second.vertex1, i0, i1), Projected(second.vertex2, i0, i1),
                         Projected(second.vertex3, i0, i1)};
    for (int k = 0; k < 3; ++k) {
        for (int m = 0; m < 3; ++m) {
            if (EdgesCross(v[k], v[(k + 1) % 3], u[m], u[(m + 1) % 3])) {
                return true;
            }
        }
    }
    return StrictlyInside(v[0], u) || StrictlyInside(u[0], v);
}

bool TrianglesOverlap(const CCollisionTriangle& first, const CCollisionTriangle& second)
{
    const CollisionVec3 m = Cross(Subtract(second.vertex2, second.vertex1), Subtract(second.vertex3, second.vertex1));
    const CollisionVec3 n = Cross(Subtract(first.vertex2, first.vertex1), Subtract(first.vertex3, first.vertex1));
    if (IsZero(m) || IsZero(n)) {
        return false;
    }
    float dv[3];
    if (!CornersStraddle(m, -Dot(m, second.vertex1), first, dv)) {
        return false;
    }
    float du[3];
    if (!CornersStraddle(n, -Dot(n, first.vertex1), second, du)) {
        return false;
    }
    const int axis = LargestAxis(Cross(n, m));
    float vp[3];
    float up[3];
    Project(first, axis, vp);
    Project(second, axis, up);
    float firstInterval[2];
    float secondInterval[2];
    if (!ComputeInterval(vp, dv, firstInterval) || !ComputeInterval(up, du, secondInterval)) {
        return CoplanarTrianglesOverlap(n, first, second);
    }
    return !(firstInterval[1] < secondInterval[0] || secondInterval[1] < firstInterval[0]);
}
