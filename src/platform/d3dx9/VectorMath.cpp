// Vector helpers and the projection to and from viewport pixels.
#include "platform/D3DX9.h"

#include <cmath>

float D3DXVec3LengthSq(const D3DXVECTOR3* v) { return v->x * v->x + v->y * v->y + v->z * v->z; }
float D3DXVec3Length(const D3DXVECTOR3* v) { return std::sqrt(D3DXVec3LengthSq(v)); }
float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b) { return a->x * b->x + a->y * b->y + a->z * b->z; }

D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
    *out = D3DXVECTOR3(a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x);
    return out;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v)
{
    const float length = D3DXVec3Length(v);
    *out = length > 0.0f ? *v / length : D3DXVECTOR3(0, 0, 0);
    return out;
}

D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    const auto& a = m->m;
    *out = D3DXVECTOR4(v->x * a[0][0] + v->y * a[1][0] + v->z * a[2][0] + a[3][0],
                       v->x * a[0][1] + v->y * a[1][1] + v->z * a[2][1] + a[3][1],
                       v->x * a[0][2] + v->y * a[1][2] + v->z * a[2][2] + a[3][2],
                       v->x * a[0][3] + v->y * a[1][3] + v->z * a[2][3] + a[3][3]);
    return out;
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    D3DXVECTOR4 r;
    D3DXVec3Transform(&r, v, m);
    const float k = r.w != 0.0f ? 1.0f / r.w : 0.0f;
    *out = D3DXVECTOR3(r.x * k, r.y * k, r.z * k);
    return out;
}

D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    const auto& a = m->m;
    *out = D3DXVECTOR3(v->x * a[0][0] + v->y * a[1][0] + v->z * a[2][0],
                       v->x * a[0][1] + v->y * a[1][1] + v->z * a[2][1],
                       v->x * a[0][2] + v->y * a[1][2] + v->z * a[2][2]);
    return out;
}

static D3DXMATRIX Combined(const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world)
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    if (world)
        m = m * *world;
    if (view)
        m = m * *view;
    if (projection)
        m = m * *projection;
    return m;
}

D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT9* vp,
                             const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world)
{
    const D3DXMATRIX m = Combined(projection, view, world);
    D3DXVECTOR3 c;
    D3DXVec3TransformCoord(&c, v, &m);
    *out = D3DXVECTOR3(vp->X + (1.0f + c.x) * vp->Width * 0.5f, vp->Y + (1.0f - c.y) * vp->Height * 0.5f,
                       vp->MinZ + c.z * (vp->MaxZ - vp->MinZ));
    return out;
}

D3DXVECTOR3* D3DXVec3Unproject(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT9* vp,
                               const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world)
{
    const D3DXMATRIX m = Combined(projection, view, world);
    D3DXMATRIX inverse;
    if (!D3DXMatrixInverse(&inverse, nullptr, &m) || vp->Width == 0 || vp->Height == 0)
        return nullptr;
    const float depth = vp->MaxZ - vp->MinZ;
    const D3DXVECTOR3 c((v->x - vp->X) * 2.0f / vp->Width - 1.0f, 1.0f - (v->y - vp->Y) * 2.0f / vp->Height,
                        depth != 0.0f ? (v->z - vp->MinZ) / depth : 0.0f);
    D3DXVec3TransformCoord(out, &c, &inverse);
    return out;
}
