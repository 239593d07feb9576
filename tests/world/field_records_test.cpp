// Field objects without drawing: the colour map, one tuft, branch clusters,
// records through their lists, fades and the update cadence.
#include "world/field_fixture.h"

#include "shell/Log.h"

#include <btBulletDynamicsCommon.h>

#include <cmath>
#include <cstdio>

namespace {

using test::FieldObjectTest;

// A 60-cell map reads 30 x 30 pixels of the colour map.
std::string ColourMap(std::size_t bytes)
{
    std::string map(bytes, '\0');
    auto put = [&map](int row, int col, char r, char g, char b) {
        const std::size_t at = (static_cast<std::size_t>(row) * 30 + col) * 3;
        map[at] = r;
        map[at + 1] = g;
        map[at + 2] = b;
    };
    put(0, 0, char(255), 0, 0);
    put(29, 29, 0, 0, char(255));
    put(0, 29, 0, char(102), 0);
    return map;
}

TEST_F(FieldObjectTest, PlaceColourAtTheMapsEdgesAndWithoutTheMap)
{
    D3DXCOLOR4 c;
    const D3DXVECTOR3 origin(0, 0, 0);
    g_FieldObjects.GetPlaceColor(&c, &origin);
    EXPECT_FLOAT_EQ(c.g, 0.5f) << "no map: a fixed mid green";
    EXPECT_FLOAT_EQ(c.r, 0.3f);

    WriteRaw("Data/Landscape/PlaceColor.dat", ColourMap(2700));
    g_FieldObjects.Init();
    const struct {
        D3DXVECTOR3 at;
        float r, g, b;
    } cases[] = {
        {{-119.9f, 0, 119.9f}, 1, 0, 0},    // the -x, +z corner
        {{-500.0f, 0, 500.0f}, 1, 0, 0},    // off the map: clamped to that corner
        {{119.9f, 0, -119.9f}, 0, 0, 1},    // the +x, -z corner
        {{900.0f, 0, -900.0f}, 0, 0, 1},
        {{119.9f, 0, 119.9f}, 0, 0.4f, 0},  // the +x, +z corner
        {{0.0f, 0, 0.0f}, 0.5f, 0.5f, 0.5f}, // a black pixel: neutral
        {{NAN, 0, NAN}, 1, 0, 0},           // a broken position: the first pixel
    };
    for (const auto& k : cases) {
        g_FieldObjects.GetPlaceColor(&c, &k.at);
        EXPECT_NEAR(c.r, k.r, 1e-3f) << k.at.x << ", " << k.at.z;
        EXPECT_NEAR(c.g, k.g, 1e-3f) << k.at.x << ", " << k.at.z;
        EXPECT_NEAR(c.b, k.b, 1e-3f) << k.at.x << ", " << k.at.z;
        EXPECT_EQ(c.a, 1.0f);
    }

    // Shorter than the loaded map: the rest is black, and the log says so.
    g_bDebugLog = 1;
    std::remove("debug.txt");
    WriteRaw("Data/Landscape/PlaceColor.dat", ColourMap(2700).substr(0, 2000));
    g_FieldObjects.Init();
    EXPECT_NE(test::ReadWholeFile("debug.txt").find("PlaceColor.dat"), std::string::npos);
    g_bDebugLog = 0;

    // Longer than the map holds: only the map's size is read.
    WriteRaw("Data/Landscape/PlaceColor.dat", ColourMap(300000));
    g_FieldObjects.Init();
    const D3DXVECTOR3 corner(-119.9f, 0, 119.9f);
    EXPECT_FLOAT_EQ(g_FieldObjects.GetPlaceColor(&c, &corner)->r, 1.0f);
}

TEST_F(FieldObjectTest, TuftStandsOnTheGroundFacingTheEyeWithItsAtlasQuarter)
{
    struct Case {
        float ground;     // altitude of the whole map
        float minHeight;  // the tuft's smallest possible height there
        float maxHeight;
        bool greener;     // low ground adds green
    };
    // Water level 8: 16 is well above, 9 is 1.0 above it (x1.5 and more green).
    for (const Case k : {Case{16.0f, 1.5f, 2.25f, false}, Case{9.0f, 2.25f, 3.375f, true}}) {
        tools::LandscapeMaps m = test::SmallMap(60);
        for (int row = 0; row < 60; ++row)
            for (int col = 0; col < 60; ++col)
                m.Altitude(col, row) = k.ground;
        ASSERT_EQ(test::LoadMaps(m, 2), 1);
        WriteRaw("Data/Landscape/PlaceColor.dat", std::string(2700, char(100)));
        g_FieldObjects.Init();
        for (int n = 0; n < 20; ++n) {
            CGrassObject tuft;
            const D3DXVECTOR3 at(10.0f, 0.0f, 10.0f);
            tuft.Create(&at);
            CGrassVertex v[4];
            tuft.Vertices(v);
            const float w = v[0].x, h = v[0].y;
            EXPECT_NEAR(h, 2.0f * w, 1e-4f);
            EXPECT_GE(h, k.minHeight - 1e-4f);
            EXPECT_LE(h, k.maxHeight + 1e-4f);
            const float expect[4][2] = {{w, h}, {w, 0}, {-w, h}, {-w, 0}};
            for (int i = 0; i < 4; ++i) {
                EXPECT_FLOAT_EQ(v[i].x, expect[i][0]);
                EXPECT_FLOAT_EQ(v[i].y, expect[i][1]);
                EXPECT_EQ(v[i].z, 0.0f);
                EXPECT_FLOAT_EQ(v[i].baseY, k.ground);
                EXPECT_NEAR(v[i].baseX, 10.0f, 4.0f * 0.43333f + 1e-3f);
                EXPECT_EQ(v[i].baseX, v[0].baseX);
                EXPECT_EQ(v[i].axisY, 1.0f);
                EXPECT_EQ(v[i].color, v[0].color);
            }
            EXPECT_EQ(v[0].color >> 24, 255u);
            // One quarter of the atlas: the far corner 0.49 beyond the near one.
            EXPECT_NEAR(v[3].u - v[0].u, 0.49f, 1e-5f);
            EXPECT_NEAR(v[3].v - v[0].v, 0.49f, 1e-5f);
            EXPECT_TRUE(v[0].u == 0.005f || v[0].u == 0.505f);
            const std::uint32_t g = (v[0].color >> 8) & 0xFF, r = (v[0].color >> 16) & 0xFF;
            if (k.greener)
                EXPECT_GT(g, r + 5) << "grey ground colour with the green boost";
            else
                EXPECT_LE(g, 153u) << "grey: (1 + at most 0.2) / 2";
        }
    }
}

TEST_F(FieldObjectTest, GrassRecordsThroughTheirLists)
{
    CLandscapeSector a, b, c, empty;
    const D3DXVECTOR3 p(0, 0, 0);
    const unsigned boxes = plat::MessageBoxCount();
    g_FieldObjects.BeginCell(FIELD_GRASS, &a);
    for (int i = 0; i < 4097; ++i)
        CreateFieldObject(FIELD_GRASS, &p, nullptr);
    EXPECT_EQ(plat::MessageBoxCount(), boxes + 1);
    EXPECT_STREQ(plat::LastMessageBoxText(), "Grass objects too much!");
    EXPECT_STREQ(plat::LastMessageBoxCaption(), "CreateFieldObject() error!");
    g_FieldObjects.EndCell(FIELD_GRASS, &a);
    ASSERT_EQ(g_FieldObjects.m_nGrassFields[1], 1);
    EXPECT_EQ(g_FieldObjects.m_pGrass[1][0]->nCount, 4096u);
    EXPECT_EQ(a.m_bGrassBuilt, 1);

    Build(FIELD_GRASS, &empty, 0);
    EXPECT_EQ(g_FieldObjects.m_nGrassFields[1], 1) << "nothing stored for a sector without grass";
    EXPECT_EQ(empty.m_bGrassBuilt, 0);

    Build(FIELD_GRASS, &b, 3);
    Build(FIELD_GRASS, &c, 2);
    // Active in the order switched on; the stored ones keep theirs.
    g_FieldObjects.SetSectorActive(true, &c);
    g_FieldObjects.SetSectorActive(true, &a);
    ASSERT_EQ(g_FieldObjects.m_nGrassFields[0], 2);
    EXPECT_EQ(g_FieldObjects.m_pGrass[0][0]->pSector, &c);
    EXPECT_EQ(g_FieldObjects.m_pGrass[0][1]->pSector, &a);
    EXPECT_EQ(g_FieldObjects.m_pGrass[1][0]->pSector, &b);
    EXPECT_NE(g_FieldObjects.m_pGrass[0][1]->pTufts, nullptr);

    g_FieldObjects.ReleaseSectorCells(FIELD_GRASS, &c, 1);
    EXPECT_EQ(c.m_bGrassBuilt, 0);
    ASSERT_EQ(g_FieldObjects.m_nGrassFields[0], 1);
    EXPECT_EQ(g_FieldObjects.m_pGrass[0][0]->pSector, &a);
    g_FieldObjects.SetSectorActive(false, &a);
    EXPECT_EQ(g_FieldObjects.m_pGrass[1][1]->pSector, &a);
    EXPECT_EQ(g_FieldObjects.m_pGrass[1][1]->pVB, nullptr);
    g_FieldObjects.Clear();
    EXPECT_EQ(g_FieldObjects.m_nGrassFields[0] + g_FieldObjects.m_nGrassFields[1], 0);
}

TEST_F(FieldObjectTest, FullListsRefuseNewRecords)
{
    static CLandscapeSector sectors[FIELD_MAX_RECORDS + 1];
    for (CLandscapeSector& s : sectors)
        Build(FIELD_GRASS, &s, 1);
    EXPECT_EQ(g_FieldObjects.m_nGrassFields[1], FIELD_MAX_RECORDS);
    EXPECT_EQ(sectors[FIELD_MAX_RECORDS].m_bGrassBuilt, 0) << "the 401st record is discarded";
    g_FieldObjects.ReleaseSectorCells(FIELD_GRASS, &sectors[0], 1);
    Build(FIELD_GRASS, &sectors[FIELD_MAX_RECORDS], 1);
    for (CLandscapeSector& s : sectors)
        g_FieldObjects.SetSectorActive(true, &s);
    EXPECT_EQ(g_FieldObjects.m_nGrassFields[0], FIELD_MAX_RECORDS);
    EXPECT_EQ(g_FieldObjects.m_nGrassFields[1], 0);
    // A full active list leaves the next record stored instead of overrunning.
    Build(FIELD_GRASS, &sectors[0], 1);
    g_FieldObjects.SetSectorActive(true, &sectors[0]);
    EXPECT_EQ(g_FieldObjects.m_nGrassFields[0], FIELD_MAX_RECORDS);
    EXPECT_EQ(g_FieldObjects.m_nGrassFields[1], 1);
    g_FieldObjects.Clear();
    for (CLandscapeSector& s : sectors)
        s.m_bGrassBuilt = 0;
}

TEST_F(FieldObjectTest, TreesAndStonesLoadStandAndCarryBranches)
{
    CLandscapeSector s;
    Build(FIELD_TREES, &s, 3);
    Build(FIELD_STONES, &s, 2);
    ASSERT_EQ(g_FieldObjects.m_nTreeFields[1], 1);
    ASSERT_EQ(g_FieldObjects.m_nStoneFields[1], 1);
    TreeRecord* trees = g_FieldObjects.m_pTrees[1][0];
    ASSERT_EQ(trees->nTrees, 3u);
    // The sample trees have six branch points: three clusters of 8 vertices.
    EXPECT_EQ(trees->nBranchVertices, 3u * 24u);
    for (std::uint32_t i = 0; i < trees->nTrees; ++i) {
        const CTreeObject* t = trees->ppTrees[i];
        EXPECT_EQ(t->m_nType, std::uint32_t(GTYPE_TREE));
        EXPECT_GT(t->m_matWorld._22, 0.8f) << "the model's y axis leans only a little off up";
        EXPECT_EQ(t->m_pRigidBody, nullptr) << "no body until the camera comes near";
    }
    for (std::uint32_t i = 0; i < trees->nBranchVertices; ++i)
        EXPECT_TRUE(std::isfinite(trees->pBranchVertices[i].x) && std::isfinite(trees->pBranchVertices[i].nx));
    for (std::uint32_t i = 0; i < trees->nTrees; ++i)
        EXPECT_EQ(trees->ppTrees[i]->m_pBranchVertices, nullptr) << "only the record keeps the clusters";
    const StoneRecord* stones = g_FieldObjects.m_pStones[1][0];
    ASSERT_EQ(stones->nStones, 2u);
    for (std::uint32_t i = 0; i < stones->nStones; ++i) {
        const D3DXMATRIX& m = stones->ppStones[i]->m_matWorld;
        EXPECT_NEAR(m._11 * m._11 + m._12 * m._12 + m._13 * m._13, 1.0f, 1e-4f) << "a proper turn";
        EXPECT_EQ(stones->ppStones[i]->m_nType, std::uint32_t(GTYPE_STONE));
    }
    EXPECT_EQ(s.m_bTreesBuilt + s.m_bStonesBuilt, 2);
    g_FieldObjects.ReleaseSectorCells(FIELD_TREES, &s, 1);
    g_FieldObjects.ReleaseSectorCells(FIELD_STONES, &s, 1);
    EXPECT_EQ(s.m_bTreesBuilt + s.m_bStonesBuilt, 0);
}

TEST_F(FieldObjectTest, BranchPointsThatCoincideGiveFiniteClusters)
{
    tools::MeshData mesh = tools::TreeMesh(1, 1.0f);
    mesh.parts[8].points.assign(4, tools::MeshVec3{0.5f, 3.0f, 0.5f});
    Write("Data/Static/Nature/Trees/Tree01S1.msh", mesh);
    CTreeObject tree;
    const D3DXVECTOR3 at(0, 16, 0), up(0, 1, 0);
    ASSERT_EQ(tree.Load(1, 1, &at, &up), 1);
    tree.BuildBranches();
    ASSERT_EQ(tree.m_nBranchVertices, 16u);
    for (std::uint32_t i = 0; i < tree.m_nBranchVertices; ++i)
        EXPECT_TRUE(std::isfinite(tree.m_pBranchVertices[i].x) && std::isfinite(tree.m_pBranchVertices[i].y));
    tree.ReleaseBranches();
    tree.Release();
}

TEST_F(FieldObjectTest, MissingDescriptionsCountNothing)
{
    std::filesystem::remove_all("Data/Static/Nature");
    CLandscapeSector s;
    Build(FIELD_TREES, &s, 2);
    Build(FIELD_STONES, &s, 2);
    EXPECT_EQ(g_FieldObjects.m_nTreeFields[1] + g_FieldObjects.m_nStoneFields[1], 0);
    EXPECT_EQ(s.m_bTreesBuilt + s.m_bStonesBuilt, 0);
}

TEST_F(FieldObjectTest, NearTreesFadeOnAnEighthSecondCadence)
{
    CLandscapeSector s;
    Place(&s, 10.0f);
    Build(FIELD_TREES, &s, 1);
    g_FieldObjects.SetSectorActive(true, &s);
    CTreeObject* tree = g_FieldObjects.m_pTrees[0][0]->ppTrees[0];
    const float r = tree->m_fSphereRadius;
    const D3DXVECTOR3 eye = g_Game.m_pCamera->m_vEye;
    auto placeAt = [&](float distance) { tree->m_vPosition = eye + D3DXVECTOR3(0, 0, distance + r); };
    struct Step {
        float delta;
        float distance;
        float alpha; // after the step
    };
    // The first call updates at once; then once per 0.125 s of frame time.
    const Step steps[] = {
        {0.04f, 84.0f, 1.0f},  {0.04f, 126.0f, 1.0f}, {0.04f, 126.0f, 1.0f}, {0.04f, 126.0f, 0.5f},
        {0.04f, 168.0f, 0.5f}, {0.04f, 168.0f, 0.5f}, {0.04f, 168.0f, 0.0f},
    };
    g_GameTimer.m_fDelta = 0.0f;
    g_FieldObjects.m_fUpdateTimer = 0.0f;
    for (const Step& k : steps) {
        g_GameTimer.m_fDelta = k.delta;
        placeAt(k.distance);
        g_FieldObjects.Update();
        EXPECT_NEAR(tree->m_Material.Diffuse.a, k.alpha, 1e-4f) << k.distance;
    }
    g_GameTimer.m_fDelta = 0.0f;
}

// A tree or stone has a body only while the camera is within 20 of it: made
// at its place when it comes near, freed when it leaves.
TEST_F(FieldObjectTest, TreesAndStonesHoldBodiesOnlyNearTheCamera)
{
    ASSERT_EQ(g_Game.InitPhysics(), 1);
    CLandscapeSector s;
    Place(&s, 10.0f);
    Build(FIELD_TREES, &s, 1);
    Build(FIELD_STONES, &s, 1);
    g_FieldObjects.SetSectorActive(true, &s);
    CStaticObject* objects[] = {g_FieldObjects.m_pTrees[0][0]->ppTrees[0], g_FieldObjects.m_pStones[0][0]->ppStones[0]};
    const FieldBodyPlace places[] = {g_FieldObjects.m_pTrees[0][0]->ppTrees[0]->m_Body,
                                     g_FieldObjects.m_pStones[0][0]->ppStones[0]->m_Body};
    const D3DXVECTOR3 eye = g_Game.m_pCamera->m_vEye;
    const struct {
        float distance;
        bool body;
    } cases[] = {{30.0f, false}, {19.0f, true}, {20.0f, true}, {21.0f, false}, {5.0f, true}};
    g_GameTimer.m_fDelta = 0.0f;
    for (const auto& k : cases) {
        for (CStaticObject* o : objects)
            o->m_vPosition = eye + D3DXVECTOR3(0, 0, k.distance + o->m_fSphereRadius);
        g_FieldObjects.m_fUpdateTimer = 0.0f;
        g_FieldObjects.Update();
        for (int i = 0; i < 2; ++i) {
            const CStaticObject* o = objects[i];
            ASSERT_EQ(o->m_pRigidBody != nullptr, k.body) << i << " at " << k.distance;
            EXPECT_EQ(o->m_bInWorld != 0, k.body) << i << " at " << k.distance;
            if (!o->m_pRigidBody)
                continue;
            EXPECT_TRUE(o->m_pRigidBody->isInWorld());
            const btVector3 at = o->m_pRigidBody->getWorldTransform().getOrigin();
            EXPECT_EQ(at.x(), places[i].at.x);
            EXPECT_EQ(at.y(), places[i].at.y);
            EXPECT_EQ(at.z(), places[i].at.z);
        }
    }
    g_FieldObjects.Clear();
    g_Game.ReleasePhysics();
}

} // namespace
