// The sample city's placed props, loaded from the sample data set: what the
// shops, the ramp and the lamps need to work, and buildings that stand clear
// of the streets, the walkways and the shop entrances.
#include "world/prop_fixture.h"

#include "objects/LightsEffect.h"
#include "writers/CityPlacement.h"
#include "writers/SampleCity.h"

#include <cmath>

namespace {

class SampleProps : public test::PropTest {
protected:
    void SetUp() override
    {
        PropTest::SetUp();
        for (const auto& list : {tools::SampleObjectDescriptions(), tools::SampleObjectMeshes(),
                                 tools::SampleObjectTextures(), tools::SamplePropFiles()})
            for (const tools::SampleFile& f : list)
                WriteRaw(f.path, f.bytes);
        const D3DXVECTOR3 up(0, 1, 0);
        for (const tools::PlacedProp& p : tools::SampleCityProps()) {
            const D3DXVECTOR3 at(p.x, p.y, p.z), target(p.targetX, p.targetY, p.targetZ);
            ASSERT_NE(g_PropManager.AddProp(p.path.c_str(), &at, &target, &up, 0), nullptr) << p.path;
        }
    }
    static float Reach(const CProp* prop, const D3DXVECTOR3& point)
    {
        return Vec3Distance(&point, &prop->m_vPosition) - prop->m_fSphereRadius;
    }
};

TEST_F(SampleProps, EveryPlacedPropLoadsWithItsMesh)
{
    for (std::uint32_t i = 0; i < g_PropManager.m_nProps; ++i) {
        const CProp* p = g_PropManager.m_pProps[i];
        SCOPED_TRACE(p->m_szPath);
        ASSERT_NE(p->m_pMesh, nullptr);
        EXPECT_NE(p->m_nType & (GTYPE_BUILDING | GTYPE_DECORS | GTYPE_LAMPPOST), 0u);
        EXPECT_NE(p->m_pRigidBody, nullptr);
        if (p->m_nType == GTYPE_LAMPPOST) {
            ASSERT_NE(p->m_pLights, nullptr);
            EXPECT_GT(p->m_pLights->m_fRange, 0.0f);
            EXPECT_GT(p->m_fMass, 0.0f);
            EXPECT_GT(p->m_pMesh->m_nPoints[3], 0u);
        }
    }
}

// A car stopping at either entrance finds its own shop, nearer than any
// other landscape-class building; the showroom places are flat, apart and
// clear of the entrance.
TEST_F(SampleProps, ShopEntrancesFindTheirShops)
{
    ASSERT_EQ(g_PropManager.m_nWorkShops, 1u);
    ASSERT_EQ(g_PropManager.m_nCarShops, 1u);
    for (const D3DXVECTOR3& entrance : {g_PropManager.m_WorkShops[0], g_PropManager.m_CarShops[0]}) {
        CProp* shop = g_PropManager.FindNearestProp(GCLASS_LANDSCAPE, GTYPE_BUILDING, &entrance, 12.0f);
        ASSERT_NE(shop, nullptr);
        EXPECT_EQ(shop->m_nClass, static_cast<std::uint32_t>(GCLASS_LANDSCAPE));
        // A car leaving the shop is put here lowered by 1.5 x its mesh's
        // lower bound (the sample bodies start up to 0.4 above the centre):
        // it must come down no lower than its riding height of about 1.0.
        EXPECT_GE(entrance.y - 16.0f - 1.5f * 0.4f, 1.0f - 0.01f) << "no car is put into the ground";
        EXPECT_LT(entrance.y - 16.0f, 2.0f) << "nor dropped from high";
        for (std::uint32_t i = 0; i < g_PropManager.m_nProps; ++i) {
            const CProp* other = g_PropManager.m_pProps[i];
            if (other == shop || other->m_nType != GTYPE_BUILDING)
                continue;
            EXPECT_GE(Reach(other, entrance), 30.0f) << other->m_szPath << " stands at a shop entrance";
        }
    }
    const CProp* carShop = g_PropManager.FindNearestProp(GCLASS_LANDSCAPE, GTYPE_BUILDING,
                                                         &g_PropManager.m_CarShops[0], 12.0f);
    ASSERT_EQ(carShop->m_bCarShop, 1u);
    ASSERT_EQ(carShop->m_pMesh->m_nPoints[9], 4u);
    D3DXVECTOR3 spots[4];
    for (int k = 0; k < 4; ++k)
        D3DXVec3TransformCoord(&spots[k], &carShop->m_pMesh->m_pPoints[9][k], &carShop->m_matWorld);
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            EXPECT_GE(Vec3Distance(&spots[a], &spots[b]), 5.0f) << a << " " << b;
}

// Buildings stand inside the block rings: no route cell (street, crossing
// or walkway) under any of them, and none overlapping another.
TEST_F(SampleProps, BuildingsStandOffTheRoutes)
{
    const tools::LandscapeMaps maps = tools::SampleCityMaps();
    const float half = static_cast<float>(maps.frame.cells) * maps.frame.cellSize / 2;
    std::vector<const CProp*> buildings;
    for (std::uint32_t i = 0; i < g_PropManager.m_nProps; ++i)
        if (g_PropManager.m_pProps[i]->m_nType == GTYPE_BUILDING)
            buildings.push_back(g_PropManager.m_pProps[i]);
    ASSERT_GT(buildings.size(), 50u);
    for (const CProp* b : buildings) {
        SCOPED_TRACE(std::string(b->m_szPath) + " at " + std::to_string(b->m_vPosition.x) + ", " +
                     std::to_string(b->m_vPosition.z));
        ASSERT_NE(b->m_pBoxCorners, nullptr);
        float x0 = 1e9f, x1 = -1e9f, z0 = 1e9f, z1 = -1e9f;
        for (int k = 0; k < 8; ++k) {
            x0 = std::min(x0, b->m_pBoxCorners[k].x);
            x1 = std::max(x1, b->m_pBoxCorners[k].x);
            z0 = std::min(z0, b->m_pBoxCorners[k].z);
            z1 = std::max(z1, b->m_pBoxCorners[k].z);
        }
        const int c0 = static_cast<int>((x0 + half) / maps.frame.cellSize);
        const int c1 = static_cast<int>((x1 + half) / maps.frame.cellSize);
        const int r0 = static_cast<int>((half - z1) / maps.frame.cellSize);
        const int r1 = static_cast<int>((half - z0) / maps.frame.cellSize);
        int onRoute = 0;
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                onRoute += maps.route[r * tools::kGridSide + c].type != 0;
        EXPECT_EQ(onRoute, 0);
        for (const CProp* other : buildings)
            if (other != b) {
                EXPECT_GT(Vec3Distance(&other->m_vPosition, &b->m_vPosition), 20.0f);
            }
    }
}

TEST_F(SampleProps, TrickRampIsALandscapeDecorWithABody)
{
    int ramps = 0;
    for (std::uint32_t i = 0; i < g_PropManager.m_nProps; ++i) {
        const CProp* p = g_PropManager.m_pProps[i];
        if (p->m_nClass != GCLASS_LANDSCAPE || p->m_nType != GTYPE_DECORS)
            continue;
        ++ramps;
        EXPECT_EQ(p->m_fMass, 0.0f);
        ASSERT_NE(p->m_pMesh->m_pBoxes[12], nullptr);
        const MeshBox& box = p->m_pMesh->m_pBoxes[12][0];
        EXPECT_NEAR(box.vMax.y - box.vMin.y, 2.5f, 0.01f);
        EXPECT_NEAR(box.vMax.z - box.vMin.z, 5.5f, 0.01f);
    }
    EXPECT_EQ(ramps, 1);
}

} // namespace
