// Planes, ray tests and vertex sizes.
#include "platform/D3DX9.h"
#include "platform/d3d9/Formats.h"

#include <algorithm>
#include <cmath>

D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point, const D3DXVECTOR3* normal)
{
    *out = D3DXPLANE(normal->x, normal->y, normal->z, -D3DXVec3Dot(point, normal));
    return out;
}

D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                               const D3DXVECTOR3* p3)
{
    const D3DXVECTOR3 e1 = *p2 - *p1, e2 = *p3 - *p1;
    D3DXVECTOR3 normal;
    D3DXVec3Cross(&normal, &e1, &e2);
    D3DXVec3Normalize(&normal, &normal);
    return D3DXPlaneFromPointNormal(out, p1, &normal);
}

float D3DXPlaneDotCoord(const D3DXPLANE* p, const D3DXVECTOR3* v)
{
    return p->a * v->x + p->b * v->y + p->c * v->z + p->d;
}

D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p)
{
    const float length = std::sqrt(p->a * p->a + p->b * p->b + p->c * p->c);
    const float k = length > 0.0f ? 1.0f / length : 0.0f;
    *out = D3DXPLANE(p->a * k, p->b * k, p->c * k, p->d * k);
    return out;
}

BOOL D3DXIntersectTri(const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                      const D3DXVECTOR3* position, const D3DXVECTOR3* direction, float* u, float* v,
                      float* distance)
{
    const D3DXVECTOR3 e1 = *p1 - *p0, e2 = *p2 - *p0;
    D3DXVECTOR3 p, q;
    D3DXVec3Cross(&p, direction, &e2);
    const float det = D3DXVec3Dot(&e1, &p);
    if (std::fabs(det) < 1e-12f)
        return FALSE;
    const float inv = 1.0f / det;
    const D3DXVECTOR3 t = *position - *p0;
    const float bu = D3DXVec3Dot(&t, &p) * inv;
    if (bu < 0.0f || bu > 1.0f)
        return FALSE;
    D3DXVec3Cross(&q, &t, &e1);
    const float bv = D3DXVec3Dot(direction, &q) * inv;
    if (bv < 0.0f || bu + bv > 1.0f)
        return FALSE;
    const float d = D3DXVec3Dot(&e2, &q) * inv;
    if (d < 0.0f)
        return FALSE;
    if (u)
        *u = bu;
    if (v)
        *v = bv;
    if (distance)
        *distance = d;
    return TRUE;
}

BOOL D3DXBoxBoundProbe(const D3DXVECTOR3* boxMin, const D3DXVECTOR3* boxMax, const D3DXVECTOR3* position,
                       const D3DXVECTOR3* direction)
{
    const float lo[3] = {boxMin->x, boxMin->y, boxMin->z};
    const float hi[3] = {boxMax->x, boxMax->y, boxMax->z};
    const float origin[3] = {position->x, position->y, position->z};
    const float dir[3] = {direction->x, direction->y, direction->z};
    float enter = 0.0f, leave = INFINITY;
    for (int axis = 0; axis < 3; ++axis) {
        if (dir[axis] == 0.0f) {
            if (origin[axis] < lo[axis] || origin[axis] > hi[axis])
                return FALSE;
            continue;
        }
        float t0 = (lo[axis] - origin[axis]) / dir[axis];
        float t1 = (hi[axis] - origin[axis]) / dir[axis];
        if (t0 > t1)
            std::swap(t0, t1);
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
        if (enter > leave)
            return FALSE;
    }
    return TRUE;
}

UINT D3DXGetFVFVertexSize(DWORD fvf)
{
    return plat::d3d::FvfVertexSize(fvf);
}
