// The sample city's meshes load from the World archive and draw.
#include "mesh_fixture.h"

#include "graphics/ModelInstance.h"
#include "writers/ArchiveWriter.h"

#include <filesystem>

namespace {

using test::MeshTest;

TEST_F(MeshTest, SampleMeshesLoadFromTheWorldArchiveAndDraw)
{
    const std::vector<tools::NamedMesh> samples = tools::SampleMeshes();
    for (const tools::NamedMesh& m : samples)
        Write(m.name, m.mesh);
    ASSERT_TRUE(tools::PackDataTree("."));
    std::filesystem::remove_all("Data/Buildings");
    std::filesystem::remove_all("Data/Ground");
    std::filesystem::remove_all("Data/Vehicles");
    g_bFileManager = 1;
    g_FileManager.Init();
    for (const tools::NamedMesh& m : samples) {
        SCOPED_TRACE(m.name);
        CModelInstance model;
        model.LoadMesh(m.name.c_str(), 0, D3DXMESH_MANAGED, 1);
        ASSERT_NE(model.m_pMesh, nullptr);
        EXPECT_GT(model.m_fSphereRadius, 0.0f);
        ASSERT_NE(model.m_pMesh->m_ppCollisionModels, nullptr);
        plat::RecordedCalls(m_device).Clear();
        model.DrawPart(0);
        EXPECT_EQ(plat::RecordedCalls(m_device).Count(plat::D3DOp::DrawIndexedPrimitive), 1u);
        model.ReleaseMesh();
    }
    EXPECT_EQ(RecordCount(), 0);
    g_bFileManager = 0;
    g_FileManager.Init();
}

TEST_F(MeshTest, SampleCarBodyCarriesItsRolePartsAndPoints)
{
    const tools::NamedMesh car = tools::SampleMeshes()[2];
    CMeshRecord* r = g_MeshContainer.LoadMesh(Write(car.name, car.mesh).c_str(), 0, D3DXMESH_MANAGED, 1);
    ASSERT_NE(r, nullptr);
    for (int part : {0, 3, 4, 11, 12, 15})
        EXPECT_EQ(r->m_nFrames[part], 1u) << "part " << part;
    EXPECT_EQ(r->m_nFrames[13], 4u);
    EXPECT_EQ(r->m_nPoints[0], 1u);
    EXPECT_EQ(r->m_nPoints[1], 2u);
    EXPECT_EQ(r->m_nPoints[2], 2u);
    EXPECT_EQ(r->m_nPoints[8], 1u);
    // Wheels sit at the four corners, below the body's floor.
    EXPECT_LT(r->m_pBoxes[13][0].vMin.x, 0.0f);
    EXPECT_GT(r->m_pBoxes[13][3].vMax.x, 0.0f);
    EXPECT_NE(r->m_pSphereCentres[13][0], r->m_pSphereCentres[13][1]);
}

} // namespace
