#include "objects/CollisionAxisBox.h"

#include <cmath>

CRelativeTransform MakeRelativeTransform(const CollisionMatrix& matrix)
{
    CRelativeTransform r;
    r.matrix = matrix;
    for (int k = 0; k < 3; ++k) {
        r.rows[k] = CollisionVec(matrix.m[k][0], matrix.m[k][1], matrix.m[k][2]);
    }
    return r;
}

void CAxisBox::SetBox(const CollisionVec3& minimum, const CollisionVec3& edges)
{
    position = minimum;
    size = edges;
    centre = Add(position, Scale(size, 0.5f));
}

namespace {

// The three edge-direction axes of the box crossed with a line direction:
// false when one of them separates the line (through offset t) from the box.
bool CrossAxesOverlap(const CollisionVec3& e, const CollisionVec3& line, const CollisionVec3& t)
{
    const CollisionVec3 w = Cross(line, t);
    if (std::fabs(w.x) > e.y * std::fabs(line.z) + e.z * std::fabs(line.y)) {
        return false;
    }
    if (std::fabs(w.y) > e.x * std::fabs(line.z) + e.z * std::fabs(line.x)) {
        return false;
    }
    return !(std::fabs(w.z) > e.x * std::fabs(line.y) + e.y * std::fabs(line.x));
}

} // namespace

bool CAxisBox::IntersectsSegment(const CollisionVec3& origin, const CollisionVec3& direction, float end) const
{
    if (end > 3e30f) {
        return IntersectsRay(origin, direction);
    }
    CollisionVec3 midpoint;
    CollisionVec3 half;
    HalveSegment(origin, direction, end, &midpoint, &half);
    return IntersectsHalfSegment(midpoint, half);
}

bool CAxisBox::IntersectsHalfSegment(const CollisionVec3& midpoint, const CollisionVec3& half) const
{
    return IntersectsHalfSegment(midpoint, half, {std::fabs(half.x), std::fabs(half.y), std::fabs(half.z)});
}

bool CAxisBox::IntersectsHalfSegment(const CollisionVec3& midpoint, const CollisionVec3& half,
                                     const CollisionVec3& absHalf) const
{
    const CollisionVec3 e = Scale(size, 0.5f);
    const CollisionVec3 t = Subtract(midpoint, centre);
    if (std::fabs(t.x) > e.x + absHalf.x || std::fabs(t.y) > e.y + absHalf.y || std::fabs(t.z) > e.z + absHalf.z) {
        return false;
    }
    const CollisionVec3 w = Cross(half, t);
    if (std::fabs(w.x) > e.y * absHalf.z + e.z * absHalf.y) {
        return false;
    }
    if (std::fabs(w.y) > e.x * absHalf.z + e.z * absHalf.x) {
        return false;
    }
    return !(std::fabs(w.z) > e.x * absHalf.y + e.y * absHalf.x);
}

bool CAxisBox::IntersectsRay(const CollisionVec3& origin, const CollisionVec3& direction) const
{
    const CollisionVec3 e = Scale(size, 0.5f);
    const CollisionVec3 t = Subtract(origin, centre);
    for (int k = 0; k < 3; ++k) {
        if (std::fabs(t[k]) > e[k] && t[k] * direction[k] >= 0.0f) {
            return false;
        }
    }
    return CrossAxesOverlap(e, direction, t);
}

bool CAxisBox::IntersectsBox(const CAxisBox& other, const CRelativeTransform& relative) const
{
    const CollisionVec3 tv = Subtract(TransformPoint(other.centre, relative.matrix), centre);
    const float t[3] = {tv.x, tv.y, tv.z};
    const float e[3] = {0.5f * size.x, 0.5f * size.y, 0.5f * size.z};
    const float f[3] = {0.5f * other.size.x, 0.5f * other.size.y, 0.5f * other.size.z};
    // r[i][j]: this box's axis i against the other box's axis j.
    float r[3][3];
    float a[3][3];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            r[i][j] = relative.rows[j][i];
            a[i][j] = std::fabs(r[i][j]);
        }
    }
    for (int i = 0; i < 3; ++i) {
        if (std::fabs(t[i]) > e[i] + f[0] * a[i][0] + f[1] * a[i][1] + f[2] * a[i][2]) {
            return false;
        }
    }
    for (int j = 0; j < 3; ++j) {
        const float projected = t[0] * r[0][j] + t[1] * r[1][j] + t[2] * r[2][j];
        if (std::fabs(projected) > e[0] * a[0][j] + e[1] * a[1][j] + e[2] * a[2][j] + f[j]) {
            return false;
        }
    }
    for (int i = 0; i < 3; ++i) {
        const int i1 = (i + 1) % 3;
        const int i2 = (i + 2) % 3;
        for (int j = 0; j < 3; ++j) {
            const int j1 = (j + 1) % 3;
            const int j2 = (j + 2) % 3;
            const float distance = std::fabs(t[i2] * r[i1][j] - t[i1] * r[i2][j]);
            const float reach = e[i1] * a[i2][j] + e[i2] * a[i1][j] + f[j1] * a[i][j2] + f[j2] * a[i][j1];
            if (distance > reach) {
                return false;
            }
        }
    }
    return true;
}

bool CAxisBox::IntersectsSphere(const CollisionVec3& sphereCentre, float radius) const
{
    float distanceSquared = 0.0f;
    for (int k = 0; k < 3; ++k) {
        const float c = sphereCentre[k];
        if (c < position[k]) {
            distanceSquared += (c - position[k]) * (c - position[k]);
        } else if (c > position[k] + size[k]) {
            const float beyond = c - (position[k] + size[k]);
            distanceSquared += beyond * beyond;
        }
    }
    return radius * radius >= distanceSquared;
}
