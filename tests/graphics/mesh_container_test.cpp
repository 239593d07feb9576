// Sharing meshes by name and format, reference counts, and the shut-down log.
#include "mesh_fixture.h"

namespace {

using test::MeshTest;

tools::MeshData SmallMesh()
{
    tools::MeshData data;
    data.parts[0] = test::TrianglePart();
    return data;
}

TEST_F(MeshTest, SameNameAndFormatShareOneRecord)
{
    Write("Data/A.msh", SmallMesh());
    Write("Data/a.msh", SmallMesh());
    CMeshRecord* first = g_MeshContainer.LoadMesh("Data/A.msh", 0, D3DXMESH_MANAGED, 1);
    CMeshRecord* again = g_MeshContainer.LoadMesh("Data/A.msh", 0, D3DXMESH_MANAGED, 1);
    CMeshRecord* otherFormat = g_MeshContainer.LoadMesh("Data/A.msh", 3, D3DXMESH_MANAGED, 1);
    CMeshRecord* otherCase = g_MeshContainer.LoadMesh("Data/a.msh", 0, D3DXMESH_MANAGED, 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(again, first);
    EXPECT_EQ(first->m_nRefCount, 2u);
    ASSERT_NE(otherFormat, nullptr);
    ASSERT_NE(otherCase, nullptr);
    EXPECT_NE(otherFormat, first);
    EXPECT_NE(otherCase, first);
    EXPECT_NE(otherCase, otherFormat);
    EXPECT_EQ(otherFormat->m_dwFVF[0], 0x102u);
    // Ids follow the load order, and so does the list. The running number
    // only grows for the whole process, so the ids count on from the first.
    EXPECT_EQ(otherFormat->m_nId, first->m_nId + 1);
    EXPECT_EQ(otherCase->m_nId, first->m_nId + 2);
    EXPECT_EQ(g_MeshContainer.m_pHead, first);
    EXPECT_EQ(first->m_pNext, otherFormat);
    EXPECT_EQ(otherFormat->m_pNext, otherCase);
}

TEST_F(MeshTest, RecordIsFreedByItsLastRelease)
{
    for (const char* name : {"Data/A.msh", "Data/B.msh", "Data/C.msh"})
        Write(name, SmallMesh());
    CMeshRecord* a = g_MeshContainer.LoadMesh("Data/A.msh", 0, D3DXMESH_MANAGED, 0);
    CMeshRecord* b = g_MeshContainer.LoadMesh("Data/B.msh", 0, D3DXMESH_MANAGED, 0);
    CMeshRecord* c = g_MeshContainer.LoadMesh("Data/C.msh", 0, D3DXMESH_MANAGED, 0);
    const int firstId = a->m_nId;
    ASSERT_EQ(g_MeshContainer.LoadMesh("Data/B.msh", 0, D3DXMESH_MANAGED, 0), b);
    g_MeshContainer.ReleaseMesh(b);
    EXPECT_EQ(b->m_nRefCount, 1u);
    EXPECT_EQ(RecordCount(), 3);
    g_MeshContainer.ReleaseMesh(b);
    ASSERT_EQ(RecordCount(), 2);
    EXPECT_EQ(a->m_pNext, c);
    g_MeshContainer.ReleaseMesh(a);
    EXPECT_EQ(g_MeshContainer.m_pHead, c);
    g_MeshContainer.ReleaseMesh(nullptr);
    EXPECT_EQ(RecordCount(), 1);
    // A new record keeps counting ids from where they were.
    EXPECT_EQ(g_MeshContainer.LoadMesh("Data/A.msh", 0, D3DXMESH_MANAGED, 0)->m_nId, firstId + 3);
}

TEST_F(MeshTest, ShutDownReportsEveryRecordInLoadOrder)
{
    Write("Data/One.msh", SmallMesh());
    Write("Data/Two.msh", SmallMesh());
    g_MeshContainer.LoadMesh("Data/Two.msh", 0, D3DXMESH_MANAGED, 0);
    g_MeshContainer.LoadMesh("Data/One.msh", 0, D3DXMESH_MANAGED, 0);
    g_MeshContainer.LoadMesh("Data/One.msh", 0, D3DXMESH_MANAGED, 0);
    g_MeshContainer.LoadMesh("Data/Gone.msh", 0, D3DXMESH_MANAGED, 0);
    std::remove("debug.txt");
    g_MeshContainer.Release();
    EXPECT_EQ(Log(), "\tCMeshContainer::Release() start...\n"
                     "\t\tMesh lost! (ID: 0; REF: 1; Name: Data/Two.msh\n"
                     "\t\tMesh lost! (ID: 1; REF: 2; Name: Data/One.msh\n"
                     "\t\tMesh lost! (ID: 2; REF: 1; Name: Data/Gone.msh\n"
                     "\tCMeshContainer::Release() done!\n");
    EXPECT_EQ(g_MeshContainer.m_pHead, nullptr);
}

// Names are written as they are, even with conversion characters in them.
TEST_F(MeshTest, ReleaseOfAnUnheldRecordOnlyLogs)
{
    Write("Data/100%s%d.msh", SmallMesh());
    CMeshRecord* r = g_MeshContainer.LoadMesh("Data/100%s%d.msh", 0, D3DXMESH_MANAGED, 0);
    ASSERT_NE(r, nullptr);
    r->m_nRefCount = 0;
    std::remove("debug.txt");
    g_MeshContainer.ReleaseMesh(r);
    EXPECT_EQ(Log(), "Mesh reference counter in use! (ID: 0; Name: Data/100%s%d.msh\n");
    EXPECT_EQ(g_MeshContainer.m_pHead, r);
    g_MeshContainer.Release();
    EXPECT_NE(Log().find("Mesh lost! (ID: 0; REF: 0; Name: Data/100%s%d.msh\n"), std::string::npos);
}

TEST_F(MeshTest, RendererReleaseReportsTheMeshesFirst)
{
    Write("Data/Kept.msh", SmallMesh());
    ASSERT_NE(g_MeshContainer.LoadMesh("Data/Kept.msh", 0, D3DXMESH_MANAGED, 0), nullptr);
    std::remove("debug.txt");
    m_device->AddRef(); // the renderer's release gives back one reference
    g_D3DRender.FreeD3DRender();
    EXPECT_EQ(Log().rfind("\nCD3DRender::FreeD3DRender() start...\n"
                          "\tCMeshContainer::Release() start...\n"
                          "\t\tMesh lost! (ID: 0; REF: 1; Name: Data/Kept.msh\n",
                          0),
              0u);
    EXPECT_EQ(g_MeshContainer.m_pHead, nullptr);
}

} // namespace
