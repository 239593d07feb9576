#include "objects/Occluder.h"

#include "shell/VectorHelpers.h"

#include <cstring>

D3DXVECTOR3 g_vOccluderPos(0.0f, 0.0f, 0.0f);
D3DXPLANE g_OccluderPlanes[OCCLUDER_MAX_PLANES];
std::uint32_t g_nOccluderPlanes = 0;

namespace {

std::uint16_t g_Edges[OCCLUDER_MAX_EDGES][2];
int g_nEdges = 0;

// Toggles an edge; false when the list is full and the edge is not in it.
bool ToggleEdge(std::uint16_t a, std::uint16_t b)
{
    if (g_nEdges >= OCCLUDER_MAX_EDGES) {
        for (int i = 0; i < g_nEdges; ++i)
            if ((g_Edges[i][0] == a && g_Edges[i][1] == b) || (g_Edges[i][0] == b && g_Edges[i][1] == a)) {
                AddOrRemoveEdge(g_Edges, &g_nEdges, a, b);
                return true;
            }
        return false;
    }
    AddOrRemoveEdge(g_Edges, &g_nEdges, a, b);
    return true;
}

D3DXVECTOR3 WorldVertex(const std::uint8_t* vertices, DWORD stride, std::uint16_t index, const D3DXMATRIX* world)
{
    D3DXVECTOR3 local;
    std::memcpy(&local, vertices + std::size_t{index} * stride, sizeof(local));
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &local, world);
    return out;
}

// The silhouette: edges of the faces turned away from the eye that no other
// such face shares. False when the edge list overflows.
bool CollectSilhouette(const std::uint8_t* vertices, const std::uint16_t* indices, DWORD vertexCount,
                       DWORD faceCount, DWORD stride, const D3DXMATRIX* world, const D3DXVECTOR3* eye)
{
    g_nEdges = 0;
    for (DWORD t = 0; t < faceCount; ++t) {
        const std::uint16_t* face = indices + std::size_t{t} * 3;
        if (face[0] >= vertexCount || face[1] >= vertexCount || face[2] >= vertexCount)
            continue;
        const D3DXVECTOR3 a = WorldVertex(vertices, stride, face[0], world);
        const D3DXVECTOR3 b = WorldVertex(vertices, stride, face[1], world);
        const D3DXVECTOR3 c = WorldVertex(vertices, stride, face[2], world);
        D3DXVECTOR3 normal, view;
        const D3DXVECTOR3 ab = b - a, bc = c - b;
        D3DXVec3Cross(&normal, &ab, &bc);
        const D3DXVECTOR3 towards = (a + b + c) / 3.0f - *eye;
        Vec3Normalize(&view, &towards);
        if (D3DXVec3Dot(&normal, &view) < 0.0f)
            continue;
        if (!ToggleEdge(face[0], face[1]) || !ToggleEdge(face[1], face[2]) || !ToggleEdge(face[2], face[0]))
            return false;
    }
    return true;
}

void BuildPlanes(const std::uint8_t* vertices, DWORD stride, const D3DXMATRIX* world, const D3DXVECTOR3* centre,
                 const D3DXVECTOR3* eye)
{
    for (int i = 0; i < g_nEdges; ++i) {
        const D3DXVECTOR3 p1 = WorldVertex(vertices, stride, g_Edges[i][0], world);
        const D3DXVECTOR3 p2 = WorldVertex(vertices, stride, g_Edges[i][1], world);
        const D3DXVECTOR3 middle = (p1 + p2) * 0.5f;
        D3DXVECTOR3 away;
        const D3DXVECTOR3 fromEye = middle - *eye;
        Vec3Normalize(&away, &fromEye);
        const D3DXVECTOR3 far = middle + away * 2000.0f;
        D3DXPLANE& plane = g_OccluderPlanes[g_nOccluderPlanes++];
        D3DXPlaneFromPoints(&plane, &p1, &p2, &far);
        // The edge's direction follows the winding of the faces it came
        // from; the occluder's own centre is inside the shadow whatever the
        // winding, so the plane is turned to hold it on its behind side.
        if (D3DXPlaneDotCoord(&plane, centre) < 0.0f)
            plane = D3DXPLANE(-plane.a, -plane.b, -plane.c, -plane.d);
    }
    // Only what lies beyond the building's centre counts as behind it.
    D3DXVECTOR3 normal;
    const D3DXVECTOR3 fromEye = *centre - *eye;
    Vec3Normalize(&normal, &fromEye);
    D3DXPlaneFromPointNormal(&g_OccluderPlanes[g_nOccluderPlanes++], centre, &normal);
}

} // namespace

void ClearOccluder()
{
    g_nOccluderPlanes = 0;
    g_nEdges = 0;
}

int BuildOccluderPlanes(ID3DXMesh* mesh, const D3DXMATRIX* world, const D3DXVECTOR3* centre,
                        const D3DXVECTOR3* eye)
{
    ClearOccluder();
    if (!mesh)
        return 0;
    g_vOccluderPos = *centre;
    void* vertexData = nullptr;
    void* indexData = nullptr;
    if (FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertexData)) || !vertexData)
        return 0;
    if (FAILED(mesh->LockIndexBuffer(D3DLOCK_READONLY, &indexData)) || !indexData) {
        mesh->UnlockVertexBuffer();
        return 0;
    }
    const auto* vertices = static_cast<const std::uint8_t*>(vertexData);
    const DWORD stride = mesh->GetNumBytesPerVertex();
    const bool whole = CollectSilhouette(vertices, static_cast<const std::uint16_t*>(indexData),
                                         mesh->GetNumVertices(), mesh->GetNumFaces(), stride, world, eye);
    // Every edge needs a plane and the centre one more.
    if (whole && g_nEdges > 0 && g_nEdges < OCCLUDER_MAX_PLANES)
        BuildPlanes(vertices, stride, world, centre, eye);
    g_nEdges = 0;
    mesh->UnlockIndexBuffer();
    mesh->UnlockVertexBuffer();
    return g_nOccluderPlanes != 0;
}

int IsBoxOccluded(const D3DXVECTOR3* corners)
{
    if (!corners || g_nOccluderPlanes == 0)
        return 0;
    for (std::uint32_t p = 0; p < g_nOccluderPlanes; ++p)
        for (int c = 0; c < 8; ++c)
            if (D3DXPlaneDotCoord(&g_OccluderPlanes[p], &corners[c]) < 0.0f)
                return 0;
    return 1;
}

int IsSphereOccluded(const D3DXVECTOR3* centre, float radius)
{
    if (g_nOccluderPlanes == 0)
        return 0;
    for (std::uint32_t p = 0; p < g_nOccluderPlanes; ++p)
        if (D3DXPlaneDotCoord(&g_OccluderPlanes[p], centre) < radius)
            return 0;
    return 1;
}
