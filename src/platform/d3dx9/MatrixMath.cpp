// Matrix helpers: row vectors, left-handed, products left to right.
#include "platform/D3DX9.h"

#include <cmath>

D3DXMATRIX::D3DXMATRIX(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24,
                       float m31, float m32, float m33, float m34, float m41, float m42, float m43, float m44)
    : D3DMATRIX{}
{
    const float v[16] = {m11, m12, m13, m14, m21, m22, m23, m24, m31, m32, m33, m34, m41, m42, m43, m44};
    for (int i = 0; i < 16; ++i)
        m[i / 4][i % 4] = v[i];
}

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& o) const
{
    D3DXMATRIX out;
    D3DXMatrixMultiply(&out, this, &o);
    return out;
}

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out)
{
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b)
{
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i) {
        const float a0 = a->m[i][0], a1 = a->m[i][1], a2 = a->m[i][2], a3 = a->m[i][3];
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a0 * b->m[0][j] + a1 * b->m[1][j] + a2 * b->m[2][j] + a3 * b->m[3][j];
    }
    *out = r;
    return out;
}

D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m)
{
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = m->m[j][i];
    *out = r;
    return out;
}

// Inverse through the cofactors of the 2x2 minors of the upper and lower rows.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* in)
{
    const auto& a = in->m;
    const double s0 = double(a[0][0]) * a[1][1] - double(a[1][0]) * a[0][1];
    const double s1 = double(a[0][0]) * a[1][2] - double(a[1][0]) * a[0][2];
    const double s2 = double(a[0][0]) * a[1][3] - double(a[1][0]) * a[0][3];
    const double s3 = double(a[0][1]) * a[1][2] - double(a[1][1]) * a[0][2];
    const double s4 = double(a[0][1]) * a[1][3] - double(a[1][1]) * a[0][3];
    const double s5 = double(a[0][2]) * a[1][3] - double(a[1][2]) * a[0][3];
    const double c5 = double(a[2][2]) * a[3][3] - double(a[3][2]) * a[2][3];
    const double c4 = double(a[2][1]) * a[3][3] - double(a[3][1]) * a[2][3];
    const double c3 = double(a[2][1]) * a[3][2] - double(a[3][1]) * a[2][2];
    const double c2 = double(a[2][0]) * a[3][3] - double(a[3][0]) * a[2][3];
    const double c1 = double(a[2][0]) * a[3][2] - double(a[3][0]) * a[2][2];
    const double c0 = double(a[2][0]) * a[3][1] - double(a[3][0]) * a[2][1];
    const double det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (determinant)
        *determinant = float(det);
    if (det == 0.0 || !std::isfinite(det))
        return nullptr;
    const double k = 1.0 / det;
    const double r[16] = {
        (a[1][1] * c5 - a[1][2] * c4 + a[1][3] * c3) * k,  (-a[0][1] * c5 + a[0][2] * c4 - a[0][3] * c3) * k,
        (a[3][1] * s5 - a[3][2] * s4 + a[3][3] * s3) * k,  (-a[2][1] * s5 + a[2][2] * s4 - a[2][3] * s3) * k,
        (-a[1][0] * c5 + a[1][2] * c2 - a[1][3] * c1) * k, (a[0][0] * c5 - a[0][2] * c2 + a[0][3] * c1) * k,
        (-a[3][0] * s5 + a[3][2] * s2 - a[3][3] * s1) * k, (a[2][0] * s5 - a[2][2] * s2 + a[2][3] * s1) * k,
        (a[1][0] * c4 - a[1][1] * c2 + a[1][3] * c0) * k,  (-a[0][0] * c4 + a[0][1] * c2 - a[0][3] * c0) * k,
        (a[3][0] * s4 - a[3][1] * s2 + a[3][3] * s0) * k,  (-a[2][0] * s4 + a[2][1] * s2 - a[2][3] * s0) * k,
        (-a[1][0] * c3 + a[1][1] * c1 - a[1][2] * c0) * k, (a[0][0] * c3 - a[0][1] * c1 + a[0][2] * c0) * k,
        (-a[3][0] * s3 + a[3][1] * s1 - a[3][2] * s0) * k, (a[2][0] * s3 - a[2][1] * s1 + a[2][2] * s0) * k,
    };
    for (int i = 0; i < 16; ++i)
        out->m[i / 4][i % 4] = float(r[i]);
    return out;
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up)
{
    D3DXVECTOR3 z = *at - *eye, x, y;
    D3DXVec3Normalize(&z, &z);
    D3DXVec3Cross(&x, up, &z);
    D3DXVec3Normalize(&x, &x);
    D3DXVec3Cross(&y, &z, &x);
    *out = D3DXMATRIX(x.x, y.x, z.x, 0, x.y, y.y, z.y, 0, x.z, y.z, z.z, 0, -D3DXVec3Dot(&x, eye),
                      -D3DXVec3Dot(&y, eye), -D3DXVec3Dot(&z, eye), 1);
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zNear, float zFar)
{
    const float yScale = 1.0f / std::tan(fovY / 2);
    const float xScale = yScale / aspect;
    const float q = zFar / (zFar - zNear);
    *out = D3DXMATRIX(xScale, 0, 0, 0, 0, yScale, 0, 0, 0, 0, q, 1, 0, 0, -zNear * q, 0);
    return out;
}

D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float l, float r, float b, float t, float zn, float zf)
{
    *out = D3DXMATRIX(2 / (r - l), 0, 0, 0, 0, 2 / (t - b), 0, 0, 0, 0, 1 / (zf - zn), 0, (l + r) / (l - r),
                      (t + b) / (b - t), zn / (zn - zf), 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle)
{
    D3DXVECTOR3 v;
    D3DXVec3Normalize(&v, axis);
    const float c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    *out = D3DXMATRIX(t * v.x * v.x + c, t * v.x * v.y + s * v.z, t * v.x * v.z - s * v.y, 0,
                      t * v.x * v.y - s * v.z, t * v.y * v.y + c, t * v.y * v.z + s * v.x, 0,
                      t * v.x * v.z + s * v.y, t * v.y * v.z - s * v.x, t * v.z * v.z + c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz)
{
    *out = D3DXMATRIX(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z)
{
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixReflect(D3DXMATRIX* out, const D3DXPLANE* plane)
{
    D3DXPLANE p;
    D3DXPlaneNormalize(&p, plane);
    const float a = p.a, b = p.b, c = p.c, d = p.d;
    *out = D3DXMATRIX(1 - 2 * a * a, -2 * a * b, -2 * a * c, 0, -2 * a * b, 1 - 2 * b * b, -2 * b * c, 0,
                      -2 * a * c, -2 * b * c, 1 - 2 * c * c, 0, -2 * a * d, -2 * b * d, -2 * c * d, 1);
    return out;
}
