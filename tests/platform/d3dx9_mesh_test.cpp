#include "d3d9_fixture.h"

#include "platform/D3DX9.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using plat::D3DOp;

// Two quads side by side in format 0x112 (position, normal, uv): vertices 0-3
// the left quad, 4-7 the right one, sharing the edge x = 1 by position only.
struct Vertex112 {
    float x, y, z, nx, ny, nz, u, v;
};

class MeshTest : public test::HeadlessDeviceTest {
protected:
    void Build(DWORD options)
    {
        ASSERT_EQ(D3DXCreateMeshFVF(4, 8, options, 0x112, device, &mesh), D3D_OK);
        Vertex112* v = nullptr;
        ASSERT_EQ(mesh->LockVertexBuffer(D3DLOCK_DISCARD, reinterpret_cast<void**>(&v)), D3D_OK);
        for (int i = 0; i < 8; ++i) {
            const float x = float((i / 4) + (i % 2)), y = float((i / 2) % 2);
            v[i] = Vertex112{x, y, 0, 0, 0, -1, float(i), float(i) * 10};
        }
        mesh->UnlockVertexBuffer();
        WORD* idx = nullptr;
        ASSERT_EQ(mesh->LockIndexBuffer(D3DLOCK_DISCARD, reinterpret_cast<void**>(&idx)), D3D_OK);
        const WORD faces[12] = {0, 2, 1, 1, 2, 3, 4, 6, 5, 5, 6, 7};
        std::memcpy(idx, faces, sizeof faces);
        mesh->UnlockIndexBuffer();
    }
    void TearDown() override
    {
        if (mesh)
            mesh->Release();
        test::HeadlessDeviceTest::TearDown();
    }
    // Corner positions of each face, to compare geometry before and after.
    std::vector<float> FaceCorners(ID3DXMesh* m)
    {
        std::vector<float> corners;
        BYTE* v = nullptr;
        WORD* idx = nullptr;
        m->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&v));
        m->LockIndexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&idx));
        for (DWORD i = 0; i < m->GetNumFaces() * 3; ++i) {
            const float* p = reinterpret_cast<const float*>(v + size_t(idx[i]) * m->GetNumBytesPerVertex());
            corners.insert(corners.end(), p, p + 3);
        }
        m->UnlockIndexBuffer();
        m->UnlockVertexBuffer();
        return corners;
    }
    // The same for a mesh with 32-bit indices.
    std::vector<float> FaceCorners32(ID3DXMesh* m)
    {
        std::vector<float> corners;
        BYTE* v = nullptr;
        DWORD* idx = nullptr;
        m->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&v));
        m->LockIndexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&idx));
        for (DWORD i = 0; i < m->GetNumFaces() * 3; ++i) {
            const float* p = reinterpret_cast<const float*>(v + size_t(idx[i]) * m->GetNumBytesPerVertex());
            corners.insert(corners.end(), p, p + 3);
        }
        m->UnlockIndexBuffer();
        m->UnlockVertexBuffer();
        return corners;
    }
    ID3DXMesh* mesh = nullptr;
};

TEST_F(MeshTest, CountsAndOptionsOfANewMesh)
{
    Build(D3DXMESH_SYSTEMMEM);
    EXPECT_EQ(mesh->GetNumFaces(), 4u);
    EXPECT_EQ(mesh->GetNumVertices(), 8u);
    EXPECT_EQ(mesh->GetFVF(), 0x112u);
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 32u);
    IDirect3DVertexBuffer9* vb = nullptr;
    mesh->GetVertexBuffer(&vb);
    D3DVERTEXBUFFER_DESC desc{};
    vb->GetDesc(&desc);
    EXPECT_EQ(desc.Pool, D3DPOOL_SYSTEMMEM);
    EXPECT_EQ(desc.Size, 8u * 32u);
    vb->Release();

    ID3DXMesh* bad = nullptr;
    EXPECT_EQ(D3DXCreateMeshFVF(1, 70000, D3DXMESH_MANAGED, 0x112, device, &bad), D3DERR_INVALIDCALL)
        << "16-bit indices cannot reach 70000 vertices";
    EXPECT_EQ(D3DXCreateMeshFVF(1, 3, D3DXMESH_MANAGED, 0, device, &bad), D3DERR_INVALIDCALL);
}

TEST_F(MeshTest, AdjacencyJoinsFacesAcrossSharedEdges)
{
    Build(D3DXMESH_SYSTEMMEM);
    std::vector<DWORD> adjacency(12);
    ASSERT_EQ(mesh->GenerateAdjacency(0.01f, adjacency.data()), D3D_OK);
    // Face 0 (0,2,1): edge 2-1 meets face 1. Face 1 (1,2,3): edge 3-1 lies on
    // x = 1, shared by position only with face 2 (4,6,5) edge 4-6.
    EXPECT_EQ(adjacency[0 * 3 + 1], 1u);
    EXPECT_EQ(adjacency[1 * 3 + 0], 0u);
    EXPECT_EQ(adjacency[1 * 3 + 2], 2u);
    EXPECT_EQ(adjacency[2 * 3 + 0], 1u);
    EXPECT_EQ(adjacency[0 * 3 + 0], 0xFFFFFFFFu) << "outer edge";
}

TEST_F(MeshTest, AdjacencyIgnoresEdgesOfIndicesNamingNoVertex)
{
    Build(D3DXMESH_SYSTEMMEM);
    WORD* idx = nullptr;
    ASSERT_EQ(mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&idx)), D3D_OK);
    idx[3 * 3 + 2] = 40000; // face 3 (5, 6, 7) now ends past the 8 vertices
    mesh->UnlockIndexBuffer();
    std::vector<DWORD> adjacency(12);
    ASSERT_EQ(mesh->GenerateAdjacency(0.01f, adjacency.data()), D3D_OK);
    EXPECT_EQ(adjacency[3 * 3 + 0], 2u) << "edge 5-6 still meets face 2";
    EXPECT_EQ(adjacency[3 * 3 + 1], 0xFFFFFFFFu);
    EXPECT_EQ(adjacency[3 * 3 + 2], 0xFFFFFFFFu);
    EXPECT_EQ(adjacency[0 * 3 + 1], 1u);
}

TEST_F(MeshTest, OptimizeInPlaceSortsByAttributeAndKeepsTheGeometry)
{
    Build(D3DXMESH_SYSTEMMEM);
    DWORD* attributes = nullptr;
    mesh->LockAttributeBuffer(0, &attributes);
    attributes[0] = 1;
    attributes[2] = 1;
    mesh->UnlockAttributeBuffer();
    const std::vector<float> before = FaceCorners(mesh);
    std::vector<DWORD> adjacency(12), faceRemap(4);
    mesh->GenerateAdjacency(0.01f, adjacency.data());
    ID3DXBuffer* vertexRemap = nullptr;
    ASSERT_EQ(mesh->OptimizeInplace(D3DXMESHOPT_VERTEXCACHE | D3DXMESHOPT_DEVICEINDEPENDENT, adjacency.data(),
                                    nullptr, faceRemap.data(), &vertexRemap),
              D3D_OK);
    EXPECT_EQ(faceRemap, (std::vector<DWORD>{1, 3, 0, 2}));
    const std::vector<float> after = FaceCorners(mesh);
    for (DWORD n = 0; n < 4; ++n)
        for (int k = 0; k < 9; ++k)
            EXPECT_EQ(after[n * 9 + k], before[faceRemap[n] * 9 + k]) << "face " << n;
    ASSERT_NE(vertexRemap, nullptr);
    EXPECT_EQ(vertexRemap->GetBufferSize(), 8 * sizeof(DWORD));
    vertexRemap->Release();
}

// Vertices a 16-entry first-in first-out cache transforms per face: how a
// vertex-cache order is judged.
double TransformsPerFace(const std::vector<DWORD>& indices)
{
    std::vector<DWORD> cache;
    size_t misses = 0;
    for (DWORD v : indices)
        if (std::find(cache.begin(), cache.end(), v) == cache.end()) {
            ++misses;
            cache.push_back(v);
            if (cache.size() > 16)
                cache.erase(cache.begin());
        }
    return double(misses) / double(indices.size() / 3);
}

// A 24 x 24 grid whose faces come in a scattered order, in two subsets:
// the vertex-cache flag reorders each subset's faces so far fewer vertices
// are transformed, keeping every face (by the face remap) and the subsets.
TEST_F(MeshTest, VertexCacheOrderTransformsFewerVertices)
{
    constexpr DWORD kSide = 24, kFaces = kSide * kSide * 2, kVertices = (kSide + 1) * (kSide + 1);
    ASSERT_EQ(D3DXCreateMeshFVF(kFaces, kVertices, D3DXMESH_SYSTEMMEM | D3DXMESH_32BIT, 0x112, device, &mesh), D3D_OK);
    Vertex112* v = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v));
    for (DWORD i = 0; i < kVertices; ++i)
        v[i] = Vertex112{float(i % (kSide + 1)), float(i / (kSide + 1)), 0, 0, 0, -1, 0, 0};
    mesh->UnlockVertexBuffer();
    std::vector<DWORD> faces;
    for (DWORD q = 0; q < kSide * kSide; ++q) {
        const DWORD a = q / kSide * (kSide + 1) + q % kSide, b = a + 1, c = a + kSide + 1, d = c + 1;
        faces.insert(faces.end(), {a, c, b, b, c, d});
    }
    std::vector<DWORD> scattered;
    for (DWORD f = 0; f < kFaces; ++f) {
        const DWORD from = (f * 331) % kFaces; // 331 is prime to the face count: every face once
        scattered.insert(scattered.end(), faces.begin() + from * 3, faces.begin() + from * 3 + 3);
    }
    DWORD* idx = nullptr;
    mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&idx));
    std::memcpy(idx, scattered.data(), scattered.size() * 4);
    mesh->UnlockIndexBuffer();
    DWORD* attributes = nullptr;
    mesh->LockAttributeBuffer(0, &attributes);
    for (DWORD f = 0; f < kFaces; ++f)
        attributes[f] = f % 3 == 0 ? 1 : 0;
    mesh->UnlockAttributeBuffer();
    const std::vector<float> before = FaceCorners32(mesh);

    std::vector<DWORD> faceRemap(kFaces);
    ASSERT_EQ(mesh->OptimizeInplace(D3DXMESHOPT_VERTEXCACHE, nullptr, nullptr, faceRemap.data(), nullptr), D3D_OK);
    std::vector<DWORD> after(kFaces * 3);
    mesh->LockIndexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&idx));
    std::memcpy(after.data(), idx, after.size() * 4);
    mesh->UnlockIndexBuffer();
    // Each subset is a scattered third of the grid, so even a good order
    // stays above a whole grid's 0.6-0.7.
    EXPECT_LT(TransformsPerFace(after), 0.5 * TransformsPerFace(scattered))
        << TransformsPerFace(after) << ", scattered: " << TransformsPerFace(scattered);

    const std::vector<float> corners = FaceCorners32(mesh);
    mesh->LockAttributeBuffer(D3DLOCK_READONLY, &attributes);
    for (DWORD n = 0; n < kFaces; ++n) {
        EXPECT_EQ(attributes[n], faceRemap[n] % 3 == 0 ? 1u : 0u) << n;
        if (n > 0) {
            EXPECT_LE(attributes[n - 1], attributes[n]) << "subsets stay one run each";
        }
        for (int k = 0; k < 9; ++k)
            ASSERT_EQ(corners[n * 9 + k], before[faceRemap[n] * 9 + k]) << "face " << n;
    }
    mesh->UnlockAttributeBuffer();
}

TEST_F(MeshTest, CloneToAnotherFormatCopiesSharedComponents)
{
    Build(D3DXMESH_SYSTEMMEM);
    ID3DXMesh* clone = nullptr;
    ASSERT_EQ(mesh->CloneMeshFVF(D3DXMESH_MANAGED, 0x152, device, &clone), D3D_OK);
    EXPECT_EQ(clone->GetNumBytesPerVertex(), 36u);
    struct Vertex152 {
        float x, y, z, nx, ny, nz;
        DWORD diffuse;
        float u, v;
    };
    Vertex152* v = nullptr;
    clone->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&v));
    EXPECT_EQ(v[5].x, 2.0f);
    EXPECT_EQ(v[5].nz, -1.0f);
    EXPECT_EQ(v[5].diffuse, 0u);
    EXPECT_EQ(v[5].u, 5.0f);
    EXPECT_EQ(v[5].v, 50.0f);
    clone->UnlockVertexBuffer();
    EXPECT_EQ(FaceCorners(clone), FaceCorners(mesh));
    clone->Release();
}

TEST_F(MeshTest, DrawSubsetDrawsEachRunOfItsFaces)
{
    Build(D3DXMESH_MANAGED);
    DWORD* attributes = nullptr;
    mesh->LockAttributeBuffer(0, &attributes);
    attributes[1] = 1;
    mesh->UnlockAttributeBuffer();
    Log().Clear();
    EXPECT_EQ(mesh->DrawSubset(0), D3D_OK);
    const std::vector<plat::D3DCall> draws = Log().Of(D3DOp::DrawIndexedPrimitive);
    ASSERT_EQ(draws.size(), 2u) << "faces 0 and 2-3 form two runs";
    EXPECT_EQ(draws[0].e, 0u);
    EXPECT_EQ(draws[0].f, 1u);
    EXPECT_EQ(draws[1].e, 6u);
    EXPECT_EQ(draws[1].f, 2u);
    EXPECT_EQ(draws[1].c, 4u) << "lowest vertex of the run";
    EXPECT_EQ(Log().Of(D3DOp::SetFVF)[0].a, 0x112u);
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
}

} // namespace
