// A sample city sector hands its place-map cells to the field objects when
// it becomes active and takes them back when it goes.
#include "world/world_fixture.h"

#include "shell/Settings.h"
#include "world/FieldObjectManager.h"
#include "world/LandscapeSector.h"

#include <filesystem>

namespace {

// The first sector of the sample city whose cells hold trees (and grass).
bool FindTreeSector(int* col, int* row)
{
    const int per = g_Landscape.m_nCellsPerSector;
    for (int r = 0; r < g_Landscape.m_nCells; ++r)
        for (int c = 0; c < g_Landscape.m_nCells; ++c)
            if (g_Landscape.m_PlaceMap[r][c] >= 85 && g_Landscape.m_PlaceMap[r][c] <= 169) {
                *col = c / per;
                *row = r / per;
                return true;
            }
    return false;
}

TEST(SectorFieldObjects, ActivationBuildsAndDeactivationFreesTheSectorsRecords)
{
    test::LoadSampleCity();
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::string(MORVAINE_BUILD_DIR) + "/run");
    g_FieldObjects.Init();
    int col = -1, row = -1;
    ASSERT_TRUE(FindTreeSector(&col, &row));
    auto sector = std::make_unique<CLandscapeSector>();
    sector->Load(col, row);
    sector->SetActive(1);
    EXPECT_EQ(sector->m_bGrassBuilt, 1);
    EXPECT_EQ(sector->m_bTreesBuilt, 1);
    ASSERT_EQ(g_FieldObjects.m_nGrassFields[0], 1);
    ASSERT_EQ(g_FieldObjects.m_nTreeFields[0], 1);
    EXPECT_EQ(g_FieldObjects.m_pTrees[0][0]->pSector, sector.get());
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
    sector->Release();
    g_FieldObjects.Release();
    std::filesystem::current_path(previous);
}

// A sector released while active (the game's reset releases the streamed-in
// sectors as they stand) takes its grass, trees and stones with it: no
// record is left naming the deleted sector.
TEST(SectorFieldObjects, ReleaseFreesTheRecordsOfAnActiveSector)
{
    test::LoadSampleCity();
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::string(MORVAINE_BUILD_DIR) + "/run");
    g_FieldObjects.Init();
    int col = -1, row = -1;
    ASSERT_TRUE(FindTreeSector(&col, &row));
    auto sector = std::make_unique<CLandscapeSector>();
    sector->Load(col, row);
    sector->SetActive(1);
    ASSERT_EQ(g_FieldObjects.m_nTreeFields[0], 1);
    sector->Release();
    sector.reset();
    for (int list = 0; list < 2; ++list) {
        SCOPED_TRACE(list);
        EXPECT_EQ(g_FieldObjects.m_nGrassFields[list], 0);
        EXPECT_EQ(g_FieldObjects.m_nTreeFields[list], 0);
        EXPECT_EQ(g_FieldObjects.m_nStoneFields[list], 0);
    }
    g_FieldObjects.Release();
    std::filesystem::current_path(previous);
}

} // namespace
