#include "shell/VectorHelpers.h"

#include "graphics/WorldCamera.h"
#include "shell/Game.h"

#include <LinearMath/btTransform.h>
#include <cmath>

D3DXVECTOR3 g_BoxCorners[8];

float SquareRoot(float v)
{
    return std::sqrt(v);
}

float Vec3LengthSq(const D3DXVECTOR3* v)
{
    return v->x * v->x + v->y * v->y + v->z * v->z;
}

float Vec3Length(const D3DXVECTOR3* v)
{
    return SquareRoot(Vec3LengthSq(v));
}

D3DXVECTOR3* Vec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v)
{
    const float length = Vec3Length(v);
    if (length == 0.0f) {
        *out = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        return out;
    }
    *out = *v / length;
    return out;
}

float Vec3Distance(const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
    const D3DXVECTOR3 d = *a - *b;
    return Vec3Length(&d);
}

float Vec3Mean(const D3DXVECTOR3* v)
{
    return (v->x + v->y + v->z) / 3.0f;
}

// r wins a tie with g; the running maximum wins a tie with b.
static float LargestComponent(const D3DXCOLOR4* c)
{
    float m = c->g > c->r ? c->g : c->r;
    return c->b > m ? c->b : m;
}

D3DXCOLOR4* ColorNormalizeToMax(D3DXCOLOR4* out, const D3DXCOLOR4* c)
{
    const float m = LargestComponent(c);
    // Black has no hue to keep: it becomes white rather than a division by 0.
    if (!(m > 0.0f)) {
        *out = {1.0f, 1.0f, 1.0f, 1.0f};
        return out;
    }
    *out = {c->r / m, c->g / m, c->b / m, 1.0f};
    return out;
}

D3DXCOLOR4* ColorScaleToLimit(D3DXCOLOR4* out, const D3DXCOLOR4* c, float limit)
{
    const float m = LargestComponent(c);
    if (m > limit) {
        const float s = m / limit;
        *out = {c->r / s, c->g / s, c->b / s, c->a / s};
    } else {
        *out = *c;
    }
    return out;
}

D3DXMATRIX* GetWorldViewMatrix(D3DXMATRIX* out, const D3DXMATRIX* world)
{
    return D3DXMatrixMultiply(out, world, &g_Game.m_pCamera->m_matView);
}

D3DXMATRIX* GetWorldViewProjMatrix(D3DXMATRIX* out, const D3DXMATRIX* world)
{
    D3DXMATRIX worldView;
    GetWorldViewMatrix(&worldView, world);
    return D3DXMatrixMultiply(out, &worldView, &g_Game.m_pCamera->m_matProj);
}

D3DXMATRIX* GetViewProjMatrix(D3DXMATRIX* out)
{
    return D3DXMatrixMultiply(out, &g_Game.m_pCamera->m_matView, &g_Game.m_pCamera->m_matProj);
}

static void SetRow(D3DXMATRIX* m, int row, const D3DXVECTOR3& v, float w)
{
    m->m[row][0] = v.x;
    m->m[row][1] = v.y;
    m->m[row][2] = v.z;
    m->m[row][3] = w;
}

D3DXMATRIX* BuildLookAtMatrix(D3DXMATRIX* out, const D3DXVECTOR3* position, const D3DXVECTOR3* target,
                              const D3DXVECTOR3* up)
{
    D3DXVECTOR3 upRow;
    D3DXVECTOR3 forward = *target - *position;
    Vec3Normalize(&upRow, up);
    Vec3Normalize(&forward, &forward);
    D3DXVECTOR3 right;
    D3DXVec3Cross(&right, &upRow, &forward);
    D3DXVec3Cross(&upRow, &forward, &right); // up made exactly perpendicular
    Vec3Normalize(&right, &right);
    Vec3Normalize(&upRow, &upRow);
    SetRow(out, 0, right, 0.0f);
    SetRow(out, 1, upRow, 0.0f);
    SetRow(out, 2, forward, 0.0f);
    SetRow(out, 3, *position, 1.0f);
    return out;
}

D3DXVECTOR3* Vec3SideDirection(D3DXVECTOR3* out, const D3DXVECTOR3* from, const D3DXVECTOR3* to,
                               const D3DXVECTOR3* up)
{
    D3DXVECTOR3 direction = *to - *from;
    Vec3Normalize(&direction, &direction);
    D3DXVECTOR3 cross;
    D3DXVec3Cross(&cross, &direction, up);
    *out = -cross;
    return out;
}

D3DXVECTOR3* ComputeBoxCorners(D3DXVECTOR3** corners, const D3DXVECTOR3* origin, const D3DXVECTOR3* size,
                               const D3DXMATRIX* matrix)
{
    if (!*corners)
        *corners = new D3DXVECTOR3[8];
    const D3DXVECTOR3& o = *origin;
    const D3DXVECTOR3& s = *size;
    g_BoxCorners[0] = o;
    g_BoxCorners[1] = o + D3DXVECTOR3(0, 0, s.z);
    g_BoxCorners[2] = o + D3DXVECTOR3(s.x, 0, 0);
    g_BoxCorners[3] = o + D3DXVECTOR3(s.x, 0, s.z);
    g_BoxCorners[4] = o + D3DXVECTOR3(0, s.y, 0);
    g_BoxCorners[5] = o + D3DXVECTOR3(0, s.y, s.z);
    g_BoxCorners[6] = o + D3DXVECTOR3(s.x, s.y, 0);
    g_BoxCorners[7] = o + s;
    for (int i = 0; i < 8; ++i)
        D3DXVec3TransformCoord(&(*corners)[i], &g_BoxCorners[i], matrix);
    return *corners;
}

void AddOrRemoveEdge(std::uint16_t (*edges)[2], int* count, std::uint16_t a, std::uint16_t b)
{
    for (int i = 0; i < *count; ++i) {
        const bool same = (edges[i][0] == a && edges[i][1] == b) || (edges[i][0] == b && edges[i][1] == a);
        if (!same)
            continue;
        if (*count >= 2) {
            edges[i][0] = edges[*count - 1][0];
            edges[i][1] = edges[*count - 1][1];
        }
        --*count;
        return;
    }
    edges[*count][0] = a;
    edges[*count][1] = b;
    ++*count;
}

// Row-vector rows are the images of the axes; the library's basis holds them
// as columns, so its basis is the transpose of the matrix's upper 3x3.
void MatrixToBtTransform(const D3DXMATRIX* matrix, btTransform* out)
{
    const D3DXMATRIX& m = *matrix;
    out->getBasis().setValue(m.m[0][0], m.m[1][0], m.m[2][0], m.m[0][1], m.m[1][1], m.m[2][1], m.m[0][2],
                             m.m[1][2], m.m[2][2]);
    out->setOrigin(btVector3(m.m[3][0], m.m[3][1], m.m[3][2]));
}

D3DXMATRIX* BtTransformToMatrix(const btTransform* transform, D3DXMATRIX* out)
{
    const btMatrix3x3& b = transform->getBasis();
    for (int row = 0; row < 3; ++row)
        SetRow(out, row, D3DXVECTOR3(b[0][row], b[1][row], b[2][row]), 0.0f);
    const btVector3& o = transform->getOrigin();
    SetRow(out, 3, D3DXVECTOR3(o.x(), o.y(), o.z()), 1.0f);
    return out;
}
