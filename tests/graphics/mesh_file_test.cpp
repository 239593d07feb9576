// Reading mesh files: vertex layouts per format, the fixed formats of the
// role parts, bounds, points and the collision models of the collision part.
#include "mesh_fixture.h"

#include "objects/BoxTreeCollisionModel.h"

#include <vector>

namespace {

using test::MeshTest;
using test::ReadF32;
using test::ReadU32;

struct FormatCase {
    std::uint32_t format;
    DWORD fvf;
    DWORD stride;
    int normal;  // byte offset, -1 none
    int diffuse; // byte offset of a white diffuse, -1 none
    int uv;      // byte offset, -1 none
};

class MeshFormatTest : public MeshTest, public ::testing::WithParamInterface<FormatCase> {};

// Vertex 1 of the triangle: position (0, 1, 0), normal (0, 1, 0), uv (0.75, 0.125).
TEST_P(MeshFormatTest, VertexBytesFollowTheFormat)
{
    const FormatCase& c = GetParam();
    tools::MeshData data;
    data.parts[0] = test::TrianglePart();
    CMeshRecord* r = g_MeshContainer.LoadMesh(Write("Data/Tri.msh", data).c_str(), c.format, D3DXMESH_MANAGED, 0);
    ASSERT_NE(r, nullptr);
    ID3DXMesh* mesh = r->m_ppMeshes[0][0];
    EXPECT_EQ(r->m_dwFVF[0], c.fvf);
    EXPECT_EQ(mesh->GetFVF(), c.fvf);
    ASSERT_EQ(mesh->GetNumBytesPerVertex(), c.stride);
    EXPECT_EQ(mesh->GetOptions(), DWORD{D3DXMESH_MANAGED});
    void* bytes = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, &bytes), D3D_OK);
    const auto* v = static_cast<const std::uint8_t*>(bytes) + c.stride;
    EXPECT_EQ(ReadF32(v + 4), 1.0f);
    if (c.normal >= 0) {
        EXPECT_EQ(ReadF32(v + c.normal + 4), 1.0f);
    }
    if (c.diffuse >= 0) {
        EXPECT_EQ(ReadU32(v + c.diffuse), 0xFFFFFFFFu);
    }
    if (c.uv >= 0) {
        EXPECT_EQ(ReadF32(v + c.uv), 0.75f);
        EXPECT_EQ(ReadF32(v + c.uv + 4), 0.125f);
    }
    mesh->UnlockVertexBuffer();
}

INSTANTIATE_TEST_SUITE_P(Formats, MeshFormatTest,
                         ::testing::Values(FormatCase{0, 0x112, 32, 12, -1, 24}, FormatCase{1, 0x152, 36, 12, 24, 28},
                                           FormatCase{2, 0x142, 24, -1, 12, 16}, FormatCase{3, 0x102, 20, -1, -1, 12},
                                           FormatCase{4, 0x12, 24, 12, -1, -1}, FormatCase{5, 0x140342, 48, -1, -1, 16},
                                           FormatCase{6, 0x140312, 56, 12, -1, 24}));

TEST_F(MeshTest, WideFormatIsReadAsStoredAndSharedByEveryFrame)
{
    tools::MeshData data;
    tools::MeshPartData& part = data.parts[0];
    part.wideFrames = 3;
    part.wide = {{{0, 0, 0}, {0, 0, 1}, 0x11223344u, 0.1f, 0.2f, 0.3f, 0.4f},
                 {{0, 2, 0}, {0, 1, 0}, 0x55667788u, 0.5f, 0.6f, 0.7f, 0.8f},
                 {{2, 2, 0}, {1, 0, 0}, 0x99AABBCCu, 0.9f, 1.0f, 1.1f, 1.2f}};
    part.indices = {0, 1, 2};
    data.parts[6].points = {{7, 8, 9}}; // read after the vertices: only right when they are stored once
    CMeshRecord* r = g_MeshContainer.LoadMesh(Write("Data/Wide.msh", data).c_str(), 7, D3DXMESH_MANAGED, 0);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->m_nFrames[0], 3u);
    EXPECT_EQ(r->m_dwFVF[0], 0x252u);
    for (std::uint32_t f = 0; f < 3; ++f) {
        ID3DXMesh* mesh = r->m_ppMeshes[0][f];
        ASSERT_EQ(mesh->GetNumBytesPerVertex(), 44u);
        void* bytes = nullptr;
        ASSERT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, &bytes), D3D_OK);
        const auto* v = static_cast<const std::uint8_t*>(bytes) + 2 * 44;
        EXPECT_EQ(ReadF32(v), 2.0f) << "frame " << f;
        EXPECT_EQ(ReadU32(v + 24), 0x99AABBCCu) << "frame " << f;
        EXPECT_EQ(ReadF32(v + 40), 1.2f) << "frame " << f;
        mesh->UnlockVertexBuffer();
    }
    ASSERT_EQ(r->m_nPoints[6], 1u);
    EXPECT_EQ(r->m_pPoints[6][0], D3DXVECTOR3(7, 8, 9));
}

// The caller's format and options apply to the free parts only.
TEST_F(MeshTest, RolePartsKeepTheirOwnFormatAndOptions)
{
    tools::MeshData data;
    for (int p : {0, 2, 3, 4, 5, 6, 10, 11, 12, 13, 14, 15})
        data.parts[p] = test::TrianglePart();
    CMeshRecord* r = g_MeshContainer.LoadMesh(Write("Data/Roles.msh", data).c_str(), 1, D3DXMESH_SYSTEMMEM, 0);
    ASSERT_NE(r, nullptr);
    struct Expect {
        int part;
        DWORD fvf, options;
    };
    const Expect expected[] = {{0, 0x152, D3DXMESH_SYSTEMMEM}, {2, 0x102, D3DXMESH_MANAGED},
                               {3, 0x112, D3DXMESH_MANAGED},   {4, 0x12, D3DXMESH_MANAGED},
                               {5, 0x102, D3DXMESH_MANAGED},   {6, 0x152, D3DXMESH_SYSTEMMEM},
                               {10, 0x12, D3DXMESH_MANAGED},   {11, 0x12, D3DXMESH_MANAGED},
                               {12, 0x12, D3DXMESH_SYSTEMMEM}, {13, 0x12, D3DXMESH_SYSTEMMEM},
                               {14, 0x12, D3DXMESH_SYSTEMMEM}, {15, 0x12, D3DXMESH_SYSTEMMEM}};
    for (const Expect& e : expected) {
        EXPECT_EQ(r->m_dwFVF[e.part], e.fvf) << "part " << e.part;
        EXPECT_EQ(r->m_ppMeshes[e.part][0]->GetFVF(), e.fvf) << "part " << e.part;
        EXPECT_EQ(r->m_ppMeshes[e.part][0]->GetOptions(), e.options) << "part " << e.part;
    }
    EXPECT_EQ(r->m_nFrames[1], 0u);
    EXPECT_EQ(r->m_ppMeshes[1], nullptr);
}

TEST_F(MeshTest, BoundsPerFrameAndRecordBoundsFromTheLowestPresentPart)
{
    tools::MeshData data;
    data.parts[2] = tools::BoxPart({-1, -2, -3}, {1, 2, 3});
    data.parts[2].frames.push_back(tools::BoxPart({0, 0, 0}, {4, 4, 4}).frames[0]);
    data.parts[7] = tools::BoxPart({10, 10, 10}, {20, 20, 20});
    data.parts[0].points = {{1, 2, 3}};
    data.parts[9].points = {{4, 5, 6}, {7, 8, 9}};
    CMeshRecord* r = g_MeshContainer.LoadMesh(Write("Data/Bounds.msh", data).c_str(), 0, D3DXMESH_MANAGED, 1);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->m_nFrames[2], 2u);
    EXPECT_EQ(r->m_nFrames[7], 1u);
    EXPECT_EQ(r->m_ppMeshes[2][1]->GetNumFaces(), 12u);
    EXPECT_EQ(r->m_ppMeshes[2][1]->GetNumVertices(), 24u);
    EXPECT_EQ(r->m_pBoxes[2][1].vMin, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(r->m_pBoxes[2][1].vMax, D3DXVECTOR3(4, 4, 4));
    EXPECT_EQ(r->m_pBoxSizes[2][1], D3DXVECTOR3(4, 4, 4));
    EXPECT_EQ(r->m_pSphereCentres[2][1], D3DXVECTOR3(2, 2, 2));
    EXPECT_FLOAT_EQ(r->m_pSphereRadii[2][1], std::sqrt(12.0f));
    EXPECT_EQ(r->m_vBoxMin, D3DXVECTOR3(-1, -2, -3));
    EXPECT_EQ(r->m_vBoxMax, D3DXVECTOR3(1, 2, 3));
    EXPECT_EQ(r->m_vBoxSize, D3DXVECTOR3(2, 4, 6));
    EXPECT_EQ(r->m_vSphereCentre, D3DXVECTOR3(0, 0, 0));
    EXPECT_FLOAT_EQ(r->m_fSphereRadius, std::sqrt(14.0f));
    ASSERT_EQ(r->m_nPoints[0], 1u);
    ASSERT_EQ(r->m_nPoints[9], 2u);
    EXPECT_EQ(r->m_nPoints[2], 0u);
    EXPECT_EQ(r->m_pPoints[0][0], D3DXVECTOR3(1, 2, 3));
    EXPECT_EQ(r->m_pPoints[9][1], D3DXVECTOR3(7, 8, 9));
}

TEST_F(MeshTest, CollisionPartGivesOneModelPerFrameWithTheFilesTriangles)
{
    tools::MeshData data;
    data.parts[12] = tools::BoxPart({0, 0, 0}, {2, 2, 2});
    data.parts[12].frames.push_back(tools::BoxPart({5, 0, 0}, {7, 2, 2}).frames[0]);
    CMeshRecord* r = g_MeshContainer.LoadMesh(Write("Data/Hit.msh", data).c_str(), 0, D3DXMESH_MANAGED, 1);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->m_vBoxMax, D3DXVECTOR3(2, 2, 2));
    ASSERT_NE(r->m_ppCollisionModels, nullptr);
    const float down[3] = {0, -1, 0};
    for (int f = 0; f < 2; ++f) {
        auto* model = dynamic_cast<CBoxTreeCollisionModel*>(r->m_ppCollisionModels[f]);
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(model->TriangleCount(), 12);
        const float above[3] = {f ? 6.0f : 1.0f, 5, 1};
        const float missed[3] = {f ? 1.0f : 6.0f, 5, 1};
        EXPECT_TRUE(model->IntersectRay(above, down, true, 0, 100)) << "frame " << f;
        EXPECT_FALSE(model->IntersectRay(missed, down, true, 0, 100)) << "frame " << f;
    }
}

TEST_F(MeshTest, NoCollisionModelsWithoutTheCollisionPart)
{
    tools::MeshData data;
    data.parts[0] = test::TrianglePart();
    CMeshRecord* r = g_MeshContainer.LoadMesh(Write("Data/Tri.msh", data).c_str(), 0, D3DXMESH_MANAGED, 0);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->m_ppCollisionModels, nullptr);
}

} // namespace
