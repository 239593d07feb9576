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

CollisionMatrix Adjugate(const CollisionMatrix& m)
{
    const float(*a)[4] = m.m;
    // 2x2 determinants of the upper two rows (s) and the lower two rows (c),
    // shared by the sixteen 3x3 cofactors.
    const float s0 = a[0][0] * a[1][1] - a[1][0] * a[0][1];
    const float s1 = a[0][0] * a[1][2] - a[1][0] * a[0][2];
    const float s2 = a[0][0] * a[1][3] - a[1][0] * a[0][3];
    const float s3 = a[0][1] * a[1][2] - a[1][1] * a[0][2];
    const float s4 = a[0][1] * a[1][3] - a[1][1] * a[0][3];
    const float s5 = a[0][2] * a[1][3] - a[1][2] * a[0][3];
    const float c0 = a[2][0] * a[3][1] - a[3][0] * a[2][1];
    const float c1 = a[2][0] * a[3][2] - a[3][0] * a[2][2];
    const float c2 = a[2][0] * a[3][3] - a[3][0] * a[2][3];
    const float c3 = a[2][1] * a[3][2] - a[3][1] * a[2][2];
    const float c4 = a[2][1] * a[3][3] - a[3][1] * a[2][3];
    const float c5 = a[2][2] * a[3][3] - a[3][2] * a[2][3];
    return {{
        {a[1][1] * c5 - a[1][2] * c4 + a[1][3] * c3, -a[0][1] * c5 + a[0][2] * c4 - a[0][3] * c3,
         a[3][1] * s5 - a[3][2] * s4 + a[3][3] * s3, -a[2][1] * s5 + a[2][2] * s4 - a[2][3] * s3},
        {-a[1][0] * c5 + a[1][2] * c2 - a[1][3] * c1, a[0][0] * c5 - a[0][2] * c2 + a[0][3] * c1,
         -a[3][0] * s5 + a[3][2] * s2 - a[3][3] * s1, a[2][0] * s5 - a[2][2] * s2 + a[2][3] * s1},
        {a[1][0] * c4 - a[1][1] * c2 + a[1][3] * c0, -a[0][0] * c4 + a[0][1] * c2 - a[0][3] * c0,
         a[3][0] * s4 - a[3][1] * s2 + a[3][3] * s0, -a[2][0] * s4 + a[2][1] * s2 - a[2][3] * s0},
        {-a[1][0] * c3 + a[1][1] * c1 - a[1][2] * c0, a[0][0] * c3 - a[0][1] * c1 + a[0][2] * c0,
         -a[3][0] * s3 + a[3][1] * s1 - a[3][2] * s0, a[2][0] * s3 - a[2][1] * s1 + a[2][2] * s0},
    }};
}

namespace {

// Developed along the first row: its entries times their cofactors, which
// are the first column of the adjugate.
float FirstRowDeterminant(const CollisionMatrix& m, const CollisionMatrix& adjugate)
{
    return m.m[0][0] * adjugate.m[0][0] + m.m[0][1] * adjugate.m[1][0] + m.m[0][2] * adjugate.m[2][0] +
           m.m[0][3] * adjugate.m[3][0];
}

} // namespace

float Determinant(const CollisionMatrix& m)
{
    return FirstRowDeterminant(m, Adjugate(m));
}

bool Invert(const CollisionMatrix& m, CollisionMatrix* out)
{
    CollisionMatrix r = Adjugate(m);
    const float det = FirstRowDeterminant(m, r);
    if (det == 0.0f || !std::isfinite(det)) {
        return false;
    }
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
