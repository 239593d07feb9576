// A sample city sector hands its place-map cells to the field objects when
// it becomes active and takes them back when it goes.
#include "world/world_fixture.h"

#include "graphics/MeshContainer.h"
#include "shell/Settings.h"
#include "world/FieldObjectManager.h"
#include "world/LandscapeSector.h"

#include <filesystem>

namespace {

// The sample city with the field-object manager running in the run folder,
// and its first sector whose cells hold trees (and grass) loaded.
class SectorFieldObjects : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::LoadSampleCity();
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(std::string(MORVAINE_BUILD_DIR) + "/run");
        g_FieldObjects.Init();
        const int per = g_Landscape.m_nCellsPerSector;
        for (int r = 0; r < g_Landscape.m_nCells && !m_sector; ++r)
            for (int c = 0; c < g_Landscape.m_nCells && !m_sector; ++c)
                if (g_Landscape.m_PlaceMap[r][c] >= 85 && g_Landscape.m_PlaceMap[r][c] <= 169) {
                    m_sector = std::make_unique<CLandscapeSector>();
                    m_sector->Load(c / per, r / per);
                }
    }
    void TearDown() override
    {
        if (m_sector)
            m_sector->Release();
        m_sector.reset();
        g_FieldObjects.Release();
        // The run folder holds no loose meshes: the records of the meshes
        // that failed to load would answer every later load of those names.
        g_MeshContainer.Release();
        std::filesystem::current_path(m_previous);
    }
    std::filesystem::path m_previous;
    std::unique_ptr<CLandscapeSector> m_sector;
};

TEST_F(SectorFieldObjects, ActivationBuildsAndDeactivationFreesTheSectorsRecords)
{
    ASSERT_NE(m_sector, nullptr);
    CLandscapeSector* sector = m_sector.get();
    sector->SetActive(1);
    EXPECT_EQ(sector->m_bGrassBuilt, 1);
    EXPECT_EQ(sector->m_bTreesBuilt, 1);
    ASSERT_EQ(g_FieldObjects.m_nGrassFields[0], 1);
    ASSERT_EQ(g_FieldObjects.m_nTreeFields[0], 1);
    EXPECT_EQ(g_FieldObjects.m_pTrees[0][0]->pSector, sector);
    EXPECT_GT(g_FieldObjects.m_pTrees[0][0]->nTrees, 0u);
    EXPECT_GE(g_FieldObjects.m_pGrass[0][0]->nCount, 5u);

    // The same sector always gets the same variants.
    const std::uint32_t tufts = g_FieldObjects.m_pGrass[0][0]->nCount;
    sector->SetActive(0);
    EXPECT_EQ(sector->m_bGrassBuilt + sector->m_bTreesBuilt + sector->m_bStonesBuilt, 0);
    EXPECT_EQ(g_FieldObjects.m_nGrassFields[0] + g_FieldObjects.m_nGrassFields[1], 0);
    EXPECT_EQ(g_FieldObjects.m_nTreeFields[0] + g_FieldObjects.m_nTreeFields[1], 0);
    sector->SetActive(1);
    ASSERT_EQ(g_FieldObjects.m_nGrassFields[0], 1);
    EXPECT_EQ(g_FieldObjects.m_pGrass[0][0]->nCount, tufts);

    sector->SetActive(0);
}

// A sector released while active (the game's reset releases the streamed-in
// sectors as they stand) takes its grass, trees and stones with it: no
// record is left naming the deleted sector.
TEST_F(SectorFieldObjects, ReleaseFreesTheRecordsOfAnActiveSector)
{
    ASSERT_NE(m_sector, nullptr);
    m_sector->SetActive(1);
    ASSERT_EQ(g_FieldObjects.m_nTreeFields[0], 1);
    m_sector->Release();
    m_sector.reset();
    for (int list = 0; list < 2; ++list) {
        SCOPED_TRACE(list);
        EXPECT_EQ(g_FieldObjects.m_nGrassFields[list], 0);
        EXPECT_EQ(g_FieldObjects.m_nTreeFields[list], 0);
        EXPECT_EQ(g_FieldObjects.m_nStoneFields[list], 0);
    }
}

} // namespace
