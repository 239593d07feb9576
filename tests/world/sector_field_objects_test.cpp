// A sample city sector hands its place-map cells to the field objects when
// it becomes active and takes them back when it goes; streamed in during
// play, it gets the same objects over several frames without disturbing the
// game's random sequence.
#include "world/world_fixture.h"

#include "graphics/MeshContainer.h"
#include "shell/Settings.h"
#include "world/FieldObjectManager.h"
#include "world/LandscapeSector.h"
#include "world/SectorFieldQueue.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

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
        g_SectorFieldQueue.Clear();
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

// Everything the active records of the sector hold, as raw floats: tuft by
// tuft, tree by tree with its leaf clusters, stone by stone.
std::vector<float> ActiveObjects()
{
    std::vector<float> out;
    auto add = [&out](const void* data, std::size_t bytes) {
        const std::size_t at = out.size();
        out.resize(at + bytes / sizeof(float));
        std::memcpy(out.data() + at, data, bytes);
    };
    auto addPlaced = [&](auto* const* objects, std::uint32_t count) {
        for (std::uint32_t k = 0; k < count; ++k) {
            add(&objects[k]->m_matWorld, sizeof(D3DXMATRIX));
            out.push_back(static_cast<float>(objects[k]->m_nKind * 10 + objects[k]->m_nSize));
        }
    };
    for (int i = 0; i < g_FieldObjects.m_nGrassFields[0]; ++i) {
        const GrassRecord* g = g_FieldObjects.m_pGrass[0][i];
        add(g->pTufts, g->nCount * sizeof(CGrassObject));
    }
    for (int i = 0; i < g_FieldObjects.m_nTreeFields[0]; ++i) {
        const TreeRecord* t = g_FieldObjects.m_pTrees[0][i];
        addPlaced(t->ppTrees, t->nTrees);
        const std::size_t bytes = t->nBranchVertices * sizeof(CBranchVertex);
        void* uploaded = nullptr;
        if (t->pBranchVertices)
            add(t->pBranchVertices, bytes);
        else if (t->pVB && t->pVB->Lock(0, 0, &uploaded, D3DLOCK_READONLY) == D3D_OK) {
            add(uploaded, bytes);
            t->pVB->Unlock();
        }
    }
    for (int i = 0; i < g_FieldObjects.m_nStoneFields[0]; ++i) {
        const StoneRecord* s = g_FieldObjects.m_pStones[0][i];
        addPlaced(s->ppStones, s->nStones);
    }
    return out;
}

// Activates the sector in a streaming pass of play: queued, with the stones
// placed at the pass's end (it is the pass's last sector).
void QueueInPlay(CLandscapeSector* sector, float nearDistance)
{
    g_SectorFieldQueue.BeginPass(1);
    sector->SetActive(1);
    g_SectorFieldQueue.EndPass(nearDistance);
}

// Built at once, then the game draws; queued and placed in slices of a given
// work with the game drawing between them: the same objects, and the game's
// draws the same numbers.
TEST_F(SectorFieldObjects, SlicedPlacementMatchesTheAtOnceBuildAndKeepsTheRandomSequence)
{
    ASSERT_NE(m_sector, nullptr);
    CLandscapeSector* sector = m_sector.get();
    std::srand(7);
    sector->SetActive(1);
    const std::vector<float> atOnce = ActiveObjects();
    std::vector<int> gameDraws;
    for (int i = 0; i < 200; ++i)
        gameDraws.push_back(std::rand());
    ASSERT_GT(atOnce.size(), 100u);
    sector->SetActive(0);

    for (int work : {1, 97, 5000, 1000000}) {
        SCOPED_TRACE(work);
        std::srand(7);
        QueueInPlay(sector, -1.0f);
        ASSERT_EQ(g_SectorFieldQueue.m_nBuilds, 1);
        std::vector<int> draws;
        bool shownEarly = false;
        while (g_SectorFieldQueue.m_nBuilds > 0) {
            shownEarly = shownEarly || g_FieldObjects.m_nTreeFields[0] > 0;
            g_SectorFieldQueue.Advance(work);
            if (draws.size() < gameDraws.size())
                draws.push_back(std::rand());
        }
        EXPECT_FALSE(shownEarly) << "a half-placed sector shows nothing";
        while (draws.size() < gameDraws.size())
            draws.push_back(std::rand());
        EXPECT_EQ(draws, gameDraws);
        EXPECT_EQ(ActiveObjects(), atOnce);
        sector->SetActive(0);
    }
}

// Near the camera a streamed-in sector is placed in its own pass; going
// inactive while queued finishes and frees it; released while queued, it
// leaves the queue with nothing behind.
TEST_F(SectorFieldObjects, QueuedSectorsNearGoneOrReleasedLeaveNothingWaiting)
{
    ASSERT_NE(m_sector, nullptr);
    CLandscapeSector* sector = m_sector.get();
    sector->m_fDistance = 100.0f;
    QueueInPlay(sector, 150.0f);
    EXPECT_EQ(g_SectorFieldQueue.m_nBuilds, 0);
    EXPECT_EQ(g_FieldObjects.m_nTreeFields[0], 1);
    sector->SetActive(0);

    QueueInPlay(sector, 50.0f);
    ASSERT_EQ(g_SectorFieldQueue.m_nBuilds, 1);
    g_SectorFieldQueue.Advance(500);
    sector->SetActive(0);
    EXPECT_EQ(g_SectorFieldQueue.m_nBuilds, 0);
    EXPECT_EQ(g_FieldObjects.m_nTreeFields[0] + g_FieldObjects.m_nTreeFields[1], 0);
    EXPECT_EQ(sector->m_bGrassBuilt + sector->m_bTreesBuilt + sector->m_bStonesBuilt, 0);

    QueueInPlay(sector, 50.0f);
    g_SectorFieldQueue.Advance(500);
    m_sector->Release();
    m_sector.reset();
    EXPECT_EQ(g_SectorFieldQueue.m_nBuilds, 0);
    for (int list = 0; list < 2; ++list) {
        SCOPED_TRACE(list);
        EXPECT_EQ(g_FieldObjects.m_nGrassFields[list] + g_FieldObjects.m_nTreeFields[list] +
                      g_FieldObjects.m_nStoneFields[list],
                  0);
    }
}

} // namespace
