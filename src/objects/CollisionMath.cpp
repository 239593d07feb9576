#include "objects/CollisionMath.h"

#include <cmath>

const CollisionVec3 g_CollisionZeroVector = {0.0f, 0.0f, 0.0f};
const CollisionMatrix g_CollisionIdentity = {{
    {1.0f, 0.0f, 0.0f, 0.0f},
    {0.0f, 1.0f, 0.0f, 0.0f},
    {0.0f, 0.0f, 1.0f, 0.0f},
    {0.0f, 0.0f, 0.0f, 1.0f},
}};

CollisionVec3 Normalize(const CollisionVec3& a)
{
    const float length = std::sqrt(LengthSquared(a));
    return {a.x / length, a.y / length, a.z / length};
}

CollisionVec3 TransformPoint(const CollisionVec3& p, const CollisionMatrix& m)
{
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

CollisionVec3 TransformDirection(const CollisionVec3& d, const CollisionMatrix& m)
{
    return {d.x * m.m[0][0] + d.y * m.m[1][0] + d.z * m.m[2][0],
            d.x * m.m[0][1] + d.y * m.m[1][1] + d.z * m.m[2][1],
            d.x * m.m[0][2] + d.y * m.m[1][2] + d.z * m.m[2][2]};
}

CollisionMatrix Multiply(const CollisionMatrix& a, const CollisionMatrix& b)
{
    CollisionMatrix r;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            r.m[row][col] = a.m[row][0] * b.m[0][col] + a.m[row][1] * b.m[1][col] +
                            a.m[row][2] * b.m[2][col] + a.m[row][3] * b.m[3][col];
        }
    }
    return r;
}

CollisionMatrix MatrixFromFloats(const float* m16)
{
    CollisionMatrix r;
    for (int i = 0; i < 16; ++i) {
        r.m[i / 4][i % 4] = m16[i];
    }
    return r;
}

namespace {

// Determinant of the 3x3 matrix left after removing one row and one column.
float Minor(const CollisionMatrix& m, int skipRow, int skipCol)
{
    float a[3][3];
    for (int r = 0, i = 0; r < 4; ++r) {
        if (r == skipRow) {
            continue;
        }
        for (int c = 0, j = 0; c < 4; ++c) {
            if (c != skipCol) {
                a[i][j++] = m.m[r][c];
            }
        }
        ++i;
    }
    return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
           a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
           a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

float Cofactor(const CollisionMatrix& m, int row, int col)
{
    const float minor = Minor(m, row, col);
    return ((row + col) % 2 == 0) ? minor : -minor;
}

} // namespace

float Determinant(const CollisionMatrix& m)
{
    float det = 0.0f;
    for (int col = 0; col < 4; ++col) {
        det += m.m[0][col] * Cofactor(m, 0, col);
    }
    return det;
}

CollisionMatrix Adjugate(const CollisionMatrix& m)
{
    CollisionMatrix r;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            r.m[col][row] = Cofactor(m, row, col);
        }
    }
    return r;
}

bool Invert(const CollisionMatrix& m, CollisionMatrix* out)
{
    const float det = Determinant(m);
    if (det == 0.0f || !std::isfinite(det)) {
        return false;
    }
    CollisionMatrix r = Adjugate(m);
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            r.m[row][col] /= det;
            if (!std::isfinite(r.m[row][col])) {
                return false;
            }
        }
    }
    *out = r;
    return true;
}
