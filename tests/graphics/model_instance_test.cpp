// Model instances: mesh and texture slots, drawing one part through the
// device, and the placement helpers.
#include "mesh_fixture.h"

#include "graphics/ModelInstance.h"
#include "writers/ImageWriters.h"

#include <vector>

namespace {

using plat::D3DCall;
using plat::D3DOp;
using test::MeshTest;

const TextureId kNone = INVALID_TEXTURE_ID;

class ModelTest : public MeshTest {
protected:
    void SetUp() override
    {
        MeshTest::SetUp();
        tools::MeshData data;
        data.parts[0] = tools::BoxPart({-1, 0, -1}, {1, 2, 1});
        data.parts[4] = test::TrianglePart();
        data.parts[5] = test::TrianglePart();
        data.parts[5].frames.push_back(test::TrianglePart(3.0f).frames[0]);
        Write("Data/Model.msh", data);
        g_D3DRender.m_nFacesPerFrame[0] = 0;
    }
    void TearDown() override
    {
        m_model.ReleaseMesh();
        MeshTest::TearDown();
    }

    // The device calls of the draw, without the render states the
    // renderer's material setter may add.
    std::vector<D3DCall> DrawCalls(std::uint32_t part)
    {
        plat::RecordedCalls(m_device).Clear();
        m_model.DrawPart(part);
        std::vector<D3DCall> calls;
        for (const D3DCall& c : plat::RecordedCalls(m_device).Calls())
            if (c.op != D3DOp::SetRenderState)
                calls.push_back(c);
        return calls;
    }

    CModelInstance m_model;
};

TEST_F(ModelTest, LoadMeshTakesTheSphereAndAWhiteMaterial)
{
    m_model.LoadMesh("Data/Model.msh", 0, D3DXMESH_MANAGED, 1);
    ASSERT_NE(m_model.m_pMesh, nullptr);
    EXPECT_EQ(m_model.m_vSphereCentre, D3DXVECTOR3(0, 1, 0));
    EXPECT_FLOAT_EQ(m_model.m_fSphereRadius, std::sqrt(3.0f));
    EXPECT_EQ(m_model.m_Material.Diffuse.r, 1.0f);
    EXPECT_EQ(m_model.m_Material.Diffuse.a, 1.0f);
    EXPECT_EQ(m_model.m_Material.Ambient.g, 1.0f);
    EXPECT_EQ(m_model.m_Material.Specular.r, 0.0f);
    EXPECT_EQ(m_model.m_Material.Power, 0.0f);
    m_model.ReleaseMesh();
    EXPECT_EQ(m_model.m_pMesh, nullptr);
    EXPECT_EQ(RecordCount(), 0);

    CModelInstance missing;
    missing.LoadMesh("Data/Missing.msh", 0, D3DXMESH_MANAGED, 1);
    EXPECT_EQ(missing.m_pMesh, nullptr);
    EXPECT_EQ(missing.m_fSphereRadius, 0.0f);
    EXPECT_TRUE(DrawCalls(0).empty());
}

TEST_F(ModelTest, DrawPartBindsTheFrameMeshAndCountsItsFaces)
{
    m_model.LoadMesh("Data/Model.msh", 0, D3DXMESH_MANAGED, 1);
    D3DXMatrixTranslation(&m_model.m_matWorld, 5, 6, 7);
    const CMeshRecord* mesh = m_model.m_pMesh;
    struct Case {
        std::uint32_t part, frame;
        DWORD fvf, stride, vertices, faces;
    };
    const Case cases[] = {{0, 0, 0x112, 32, 24, 12}, {4, 0, 0x12, 24, 3, 1}, {5, 1, 0x102, 20, 3, 1}};
    std::uint32_t faces = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.part);
        m_model.m_nFrame = c.frame;
        const std::vector<D3DCall> calls = DrawCalls(c.part);
        ASSERT_EQ(calls.size(), 6u);
        EXPECT_EQ(calls[0].op, D3DOp::SetTransform);
        EXPECT_EQ(calls[0].a, DWORD{D3DTS_WORLD});
        EXPECT_EQ(calls[1].op, D3DOp::SetMaterial);
        EXPECT_EQ(calls[2].op, D3DOp::SetFVF);
        EXPECT_EQ(calls[2].a, c.fvf);
        EXPECT_EQ(calls[3].op, D3DOp::SetStreamSource);
        EXPECT_EQ(calls[3].a, 0u);
        EXPECT_EQ(calls[3].b, 0u);
        EXPECT_EQ(calls[3].c, c.stride);
        IDirect3DVertexBuffer9* vb = nullptr;
        mesh->m_ppMeshes[c.part][c.frame]->GetVertexBuffer(&vb);
        EXPECT_EQ(calls[3].object, vb);
        vb->Release();
        EXPECT_EQ(calls[4].op, D3DOp::SetIndices);
        EXPECT_NE(calls[4].object, nullptr);
        const D3DCall& draw = calls[5];
        EXPECT_EQ(draw.op, D3DOp::DrawIndexedPrimitive);
        EXPECT_EQ(draw.a, DWORD{D3DPT_TRIANGLELIST});
        EXPECT_EQ(draw.b, 0u);
        EXPECT_EQ(draw.c, 0u);
        EXPECT_EQ(draw.d, c.vertices);
        EXPECT_EQ(draw.e, 0u);
        EXPECT_EQ(draw.f, c.faces);
        faces += c.faces;
        EXPECT_EQ(g_D3DRender.m_nFacesPerFrame[0], faces);
    }
    D3DMATRIX world{};
    m_device->GetTransform(D3DTS_WORLD, &world);
    EXPECT_EQ(world._42, 6.0f);
    D3DMATERIAL9 material{};
    m_device->GetMaterial(&material);
    EXPECT_EQ(material.Diffuse.b, 1.0f);
}

TEST_F(ModelTest, DrawPartSkipsWhatIsNotThere)
{
    m_model.LoadMesh("Data/Model.msh", 0, D3DXMESH_MANAGED, 1);
    EXPECT_TRUE(DrawCalls(1).empty());  // absent part
    EXPECT_TRUE(DrawCalls(16).empty()); // no such part
    m_model.m_nFrame = 1;
    EXPECT_TRUE(DrawCalls(0).empty()); // frame past the part's frames
    EXPECT_EQ(DrawCalls(5).size(), 6u);
    EXPECT_EQ(g_D3DRender.m_nFacesPerFrame[0], 1u);
}

TEST_F(ModelTest, TextureSlotsRefuseBadArguments)
{
    EXPECT_EQ(m_model.LoadTexture(0, "", 0), kNone);
    EXPECT_EQ(m_model.LoadTexture(0, nullptr, 0), kNone);
    EXPECT_EQ(m_model.LoadTexture(8, "Data/Tex.dds", 0), kNone);
    EXPECT_EQ(m_model.LoadTexture(0, std::string(255, 't').c_str(), 0), kNone);
    EXPECT_EQ(m_model.LoadTexture(1, "Data/NotThere.dds", 0), kNone);
    EXPECT_EQ(m_model.m_nTextureCount, 0u);
    EXPECT_STREQ(m_model.TextureName(0), "");
    for (TextureId id : m_model.m_nTextureIds)
        EXPECT_EQ(id, kNone);
}

TEST_F(ModelTest, LoadedTexturesAreCountedAndAllGivenBack)
{
    const std::string dds = tools::EncodeDds({tools::SolidImage(4, 4, 0xFF336699u)}, tools::DdsPixels::A8R8G8B8, 1);
    WriteRaw("Data/Tex/A.dds", dds);
    WriteRaw("Data/Tex/B.dds", dds);
    const TextureId a = m_model.LoadTexture(0, "Data/Tex/A.dds", 1);
    const TextureId b = m_model.LoadTexture(1, "Data/Tex/B.dds", 1);
    ASSERT_NE(a, kNone);
    ASSERT_NE(b, kNone);
    EXPECT_NE(a, b);
    EXPECT_EQ(m_model.m_nTextureCount, 2u);
    EXPECT_STREQ(m_model.TextureName(1), "Data/Tex/B.dds");
    // Another owner of the same file shares its slot.
    CModelInstance other;
    EXPECT_EQ(other.LoadTexture(0, "Data/Tex/A.dds", 1), a);
    m_model.ReleaseTextures();
    EXPECT_EQ(m_model.m_nTextureIds[0], kNone);
    EXPECT_EQ(m_model.m_nTextureIds[1], kNone);
    EXPECT_EQ(m_model.m_nTextureCount, 0u);
    EXPECT_NE(g_D3DRender.GetTexture(a), nullptr);
    EXPECT_EQ(g_D3DRender.GetTexture(b), nullptr);
    other.ReleaseTextures();
    EXPECT_EQ(g_D3DRender.GetTexture(a), nullptr);
}

// A slot above the count (after a failed load in a lower slot) is given
// back as well.
TEST_F(ModelTest, ReleaseTexturesEmptiesEverySlot)
{
    WriteRaw("Data/Late.dds", tools::EncodeDds({tools::SolidImage(4, 4, 0xFF000000u)}, tools::DdsPixels::A8R8G8B8, 1));
    EXPECT_EQ(m_model.LoadTexture(0, "Data/Missing.dds", 1), kNone);
    const TextureId late = m_model.LoadTexture(6, "Data/Late.dds", 1);
    ASSERT_NE(late, kNone);
    EXPECT_EQ(m_model.m_nTextureCount, 1u);
    EXPECT_STREQ(m_model.TextureName(6), "Data/Late.dds");
    m_model.ReleaseTextures();
    for (TextureId id : m_model.m_nTextureIds)
        EXPECT_EQ(id, kNone);
    EXPECT_EQ(m_model.m_nTextureCount, 0u);
    EXPECT_EQ(g_D3DRender.GetTexture(late), nullptr);
    EXPECT_STREQ(m_model.TextureName(6), "") << "an emptied slot names nothing";
}

TEST_F(ModelTest, ResetClearsEverything)
{
    m_model.LoadMesh("Data/Model.msh", 0, D3DXMESH_MANAGED, 1);
    CMeshRecord* held = m_model.m_pMesh;
    m_model.m_nFrame = 3;
    m_model.m_nTextureIds[2] = 5;
    m_model.m_matWorld._41 = 9;
    m_model.Reset();
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    EXPECT_EQ(std::memcmp(&m_model.m_matWorld, &identity, sizeof(identity)), 0);
    EXPECT_EQ(m_model.m_pMesh, nullptr);
    EXPECT_EQ(m_model.m_nFrame, 0u);
    EXPECT_EQ(m_model.m_nTextureIds[2], kNone);
    EXPECT_EQ(m_model.m_fSphereRadius, 0.0f);
    g_MeshContainer.ReleaseMesh(held);
}

TEST_F(ModelTest, LookAtPlacesTheInstanceAndWorldToLocalUndoesIt)
{
    const D3DXVECTOR3 origin(0, 0, 0), ahead(0, 0, 1), up(0, 1, 0);
    m_model.SetLookAtTransform(&origin, &ahead, &up);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    EXPECT_EQ(std::memcmp(&m_model.m_matWorld, &identity, sizeof(identity)), 0);

    // Facing +x from (10, 0, 5) with a slanted up: right is -z, forward +x.
    const D3DXVECTOR3 position(10, 0, 5), target(20, 0, 5), slanted(1, 1, 0);
    m_model.SetLookAtTransform(&position, &target, &slanted);
    const D3DXMATRIX& m = m_model.m_matWorld;
    EXPECT_NEAR(m._11, 0.0f, 1e-6f);
    EXPECT_NEAR(m._13, -1.0f, 1e-6f);
    EXPECT_NEAR(m._22, 1.0f, 1e-6f);
    EXPECT_NEAR(m._31, 1.0f, 1e-6f);
    EXPECT_EQ(m._41, 10.0f);
    EXPECT_EQ(m._44, 1.0f);

    struct Case {
        D3DXVECTOR3 world, local;
    };
    const Case cases[] = {{{10, 0, 5}, {0, 0, 0}}, {{10, 0, 4}, {1, 0, 0}}, {{10, 2, 5}, {0, 2, 0}},
                          {{13, 0, 5}, {0, 0, 3}}};
    for (const Case& c : cases) {
        D3DXVECTOR3 local;
        m_model.WorldToLocal(&local, &c.world);
        EXPECT_NEAR(local.x, c.local.x, 1e-5f);
        EXPECT_NEAR(local.y, c.local.y, 1e-5f);
        EXPECT_NEAR(local.z, c.local.z, 1e-5f);
    }
}

} // namespace
