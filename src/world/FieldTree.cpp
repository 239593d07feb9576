// A tree of the open ground: a description-file object leaning with the
// ground, with leaf clusters at its mesh's branch points.
#include "world/FieldObjects.h"

#include "shell/VectorHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

D3DXVECTOR3 MatrixRow(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

void SetMatrixRow(D3DXMATRIX* m, int row, const D3DXVECTOR3& v, float w)
{
    m->m[row][0] = v.x;
    m->m[row][1] = v.y;
    m->m[row][2] = v.z;
    m->m[row][3] = w;
}

float RandomUnit(int range, float divisor)
{
    return static_cast<float>(std::rand() % range) / divisor;
}

struct LocalCorner {
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
    int du, dv; // 0 or 1: which edge of the atlas quarter
};

// Two crossed quads around the branch point, in the branch frame: the local
// z axis points out of the crown.
void BranchCorners(float w, float h, LocalCorner out[8])
{
    D3DXVECTOR3 leftDown(-1, -1, 0), rightDown(1, -1, 0);
    Vec3Normalize(&leftDown, &leftDown);
    Vec3Normalize(&rightDown, &rightDown);
    const D3DXVECTOR3 back(0, 0, -1), front(0, 0, 1);
    out[0] = {D3DXVECTOR3(-w, -w / 2, 0), leftDown, 0, 0};
    out[1] = {D3DXVECTOR3(0, 0, -h), back, 0, 1};
    out[2] = {D3DXVECTOR3(0, 0, h), front, 1, 0};
    out[3] = {D3DXVECTOR3(w, -w / 2, 0), rightDown, 1, 1};
    out[4] = {D3DXVECTOR3(0, w, 0), D3DXVECTOR3(0, 1, 0), 0, 0};
    out[5] = {D3DXVECTOR3(0, 0, -h), back, 0, 1};
    out[6] = {D3DXVECTOR3(0, 0, h), front, 1, 0};
    out[7] = {D3DXVECTOR3(0, -w, 0), D3DXVECTOR3(0, -1, 0), 1, 1};
}

} // namespace

int CTreeObject::Load(int kind, int size, const D3DXVECTOR3* position, const D3DXVECTOR3* normal)
{
    m_nKind = static_cast<std::uint32_t>(kind);
    m_nSize = static_cast<std::uint32_t>(size);
    char path[STATIC_OBJECT_PATH_SIZE];
    std::snprintf(path, sizeof path, "Data/Static/Nature/Trees/Main%02dS%d.obj", kind, size);
    if (CStaticObject::Load(path, 1, -1, 1) == INVALID_FILE_HANDLE)
        return 0;
    m_vPosition = *position;
    D3DXVECTOR3 lean = *normal + D3DXVECTOR3(0.0f, 2.0f + RandomUnit(101, 100.0f), 0.0f);
    Vec3Normalize(&lean, &lean);
    D3DXVECTOR3 d(0, 0, 0);
    while (Vec3LengthSq(&d) == 0.0f)
        d = D3DXVECTOR3(RandomUnit(201, 100.0f) - 1.0f, 0.0f, RandomUnit(201, 100.0f) - 1.0f);
    Vec3Normalize(&d, &d);
    D3DXMATRIX look;
    const D3DXVECTOR3 target = *position + lean;
    BuildLookAtMatrix(&look, position, &target, &d);
    // The model's y axis follows the lean.
    SetMatrixRow(&m_matWorld, 0, MatrixRow(look, 1), 0.0f);
    SetMatrixRow(&m_matWorld, 1, MatrixRow(look, 2), 0.0f);
    SetMatrixRow(&m_matWorld, 2, MatrixRow(look, 0), 0.0f);
    SetMatrixRow(&m_matWorld, 3, *position, 1.0f);
    const D3DXVECTOR3 forward = *position + MatrixRow(m_matWorld, 2);
    const D3DXVECTOR3 up = MatrixRow(m_matWorld, 1);
    m_Body = {*position, forward, up};
    m_matPlacement = m_matWorld;
    return 1;
}

void CTreeObject::ReleaseBranches()
{
    delete[] m_pBranchVertices;
    m_pBranchVertices = nullptr;
    m_nBranchVertices = 0;
}

void CTreeObject::BuildBranches()
{
    ReleaseBranches();
    if (!m_pMesh || m_pMesh->m_nPoints[8] == 0 || !m_pMesh->m_pPoints[8])
        return;
    const int n = static_cast<int>(m_pMesh->m_nPoints[8]);
    D3DXVECTOR3* points = m_pMesh->m_pPoints[8];
    const AtlasOrigin atlas = g_FieldAtlas[std::rand() % 4];
    // Every tree of this mesh takes a different half of the points.
    for (int i = 0; i < 10 * n; ++i)
        std::swap(points[std::rand() % n], points[std::rand() % n]);
    D3DXVECTOR3 mean(0, 0, 0);
    for (int i = 0; i < n; ++i)
        mean += points[i];
    mean *= 1.0f / static_cast<float>(n);
    float radius = 0.0f;
    for (int i = 0; i < n; ++i)
        radius = std::max(radius, Vec3Distance(&points[i], &mean));

    const int clusters = n / 2;
    if (clusters == 0)
        return;
    m_nBranchVertices = static_cast<std::uint32_t>(clusters * 8);
    m_pBranchVertices = new CBranchVertex[m_nBranchVertices];
    const D3DXVECTOR3 up(0, 1, 0);
    for (int i = 0; i < clusters; ++i) {
        const D3DXVECTOR3& p = points[i];
        const D3DXVECTOR3 target = p * 2.0f + D3DXVECTOR3(0.0f, -0.25f * Vec3Length(&p), 0.0f);
        D3DXMATRIX local, frame;
        BuildLookAtMatrix(&local, &p, &target, &up);
        D3DXMatrixMultiply(&frame, &local, &m_matWorld);
        // Points that all coincide give no height range: their clusters take
        // the low end's size.
        const float t = radius > 0.0f ? std::clamp((p.y - mean.y) / radius, 0.0f, 1.0f) : 0.0f;
        const float f = (2.0f - t) * 0.25f;
        const float s = (RandomUnit(101, 200.0f) + 0.75f) * f;
        const float a = RandomUnit(101, 250.0f) + 0.8f;
        const float b = RandomUnit(101, 250.0f) + 0.8f;
        LocalCorner corners[8];
        BranchCorners(a * radius * s * 1.75f, b * radius * s * 1.75f, corners);
        for (int k = 0; k < 8; ++k) {
            D3DXVECTOR3 wp, wn;
            D3DXVec3TransformCoord(&wp, &corners[k].position, &frame);
            D3DXVec3TransformNormal(&wn, &corners[k].normal, &frame);
            CBranchVertex& v = m_pBranchVertices[i * 8 + k];
            v = {wp.x, wp.y, wp.z, wn.x, wn.y, wn.z, atlas.u + corners[k].du * FIELD_ATLAS_SPAN,
                 atlas.v + corners[k].dv * FIELD_ATLAS_SPAN};
        }
    }
}
