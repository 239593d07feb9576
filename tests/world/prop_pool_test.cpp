// The prop pool: linking, its bound, the queries, the shop-entrance check
// and the occlusion by the nearest building.
#include "world/prop_fixture.h"

#include "roadusers/VehicleManager.h"
#include "world/Landscape.h"
#include "world/LandscapeSector.h"

#include <memory>
#include <vector>

namespace {

using test::PropTest;

// A bare prop of a type at a place, not loaded from any file.
std::unique_ptr<CProp> Bare(std::uint32_t type, const D3DXVECTOR3& at, float radius,
                            std::uint32_t cls = GCLASS_STATIC)
{
    auto prop = std::make_unique<CProp>();
    prop->m_nType = type;
    prop->m_nClass = cls;
    prop->m_vPosition = at;
    prop->m_fSphereRadius = radius;
    return prop;
}

// Links without taking ownership, and empties the pool before the props go.
class PoolTest : public PropTest {
protected:
    void TearDown() override
    {
        g_PropManager.m_nProps = 0;
        PropTest::TearDown();
    }
    CProp* Keep(std::unique_ptr<CProp> prop)
    {
        m_props.push_back(std::move(prop));
        return m_props.back().get();
    }
    std::vector<std::unique_ptr<CProp>> m_props;
};

TEST_F(PoolTest, LinkAndUnlinkKeepOrderAndSkipBridges)
{
    CProp* a = Keep(Bare(GTYPE_DECORS, {0, 0, 0}, 1));
    CProp* bridge = Keep(Bare(GTYPE_BRIDGE, {0, 0, 0}, 1));
    CProp* c = Keep(Bare(GTYPE_BUILDING, {0, 0, 0}, 1));
    CProp* stranger = Keep(Bare(GTYPE_DECORS, {0, 0, 0}, 1));
    g_PropManager.LinkProp(a, true);
    g_PropManager.LinkProp(bridge, true);
    EXPECT_EQ(g_PropManager.m_nProps, 1u) << "a sector does not link a bridge";
    g_PropManager.LinkProp(bridge, false);
    g_PropManager.LinkProp(c, true);
    g_PropManager.LinkProp(a, true);
    ASSERT_EQ(g_PropManager.m_nProps, 3u) << "a prop already in the pool is not linked again";
    g_PropManager.UnlinkProp(bridge, true);
    g_PropManager.UnlinkProp(stranger, false);
    g_PropManager.UnlinkProp(nullptr, false);
    EXPECT_EQ(g_PropManager.m_nProps, 3u);
    g_PropManager.UnlinkProp(a, true);
    ASSERT_EQ(g_PropManager.m_nProps, 2u);
    EXPECT_EQ(g_PropManager.m_pProps[0], bridge);
    EXPECT_EQ(g_PropManager.m_pProps[1], c);
    EXPECT_EQ(g_PropManager.m_pProps[2], nullptr);
}

TEST_F(PoolTest, FullPoolRefusesMore)
{
    CProp* one = Keep(Bare(GTYPE_DECORS, {0, 0, 0}, 1));
    for (int i = 0; i < PROP_POOL_SIZE; ++i)
        g_PropManager.m_pProps[i] = one;
    g_PropManager.m_nProps = PROP_POOL_SIZE;
    CProp* extra = Keep(Bare(GTYPE_DECORS, {0, 0, 0}, 1));
    g_PropManager.LinkProp(extra, false);
    EXPECT_EQ(g_PropManager.m_nProps, static_cast<std::uint32_t>(PROP_POOL_SIZE));
    const D3DXVECTOR3 at(0, 0, 0), target(0, 0, 1), up(0, 1, 0);
    EXPECT_EQ(g_PropManager.AddProp("Data/Test/Any.obj", &at, &target, &up, 0), nullptr);
}

TEST_F(PoolTest, FindNearestAndTouching)
{
    // Distances minus radius from the origin: 4, 4 (a tie), 2 (landscape
    // class), 9 (a lamp), 11.5.
    CProp* first = Keep(Bare(GTYPE_BUILDING, {5, 0, 0}, 1));
    CProp* tie = Keep(Bare(GTYPE_BUILDING, {0, 0, 6}, 2));
    CProp* shop = Keep(Bare(GTYPE_BUILDING, {0, 0, -3}, 1, GCLASS_LANDSCAPE));
    CProp* lamp = Keep(Bare(GTYPE_LAMPPOST, {10, 0, 0}, 1));
    CProp* far = Keep(Bare(GTYPE_BRIDGE, {0, 12.5f, 0}, 1));
    for (CProp* p : {first, tie, shop, lamp, far})
        g_PropManager.LinkProp(p, false);
    const D3DXVECTOR3 origin(0, 0, 0);
    const struct {
        int classMask, typeMask;
        float maxDistance;
        CProp* want;
    } nearest[] = {
        {-1, GTYPE_BUILDING, 12.0f, shop},
        {GCLASS_STATIC, GTYPE_BUILDING, 12.0f, first},
        {GCLASS_LANDSCAPE, GTYPE_BUILDING, 2.0f, nullptr},
        {-1, GTYPE_LAMPPOST, 12.0f, lamp},
        {-1, GTYPE_BRIDGE, 12.0f, far},
        {-1, GTYPE_BRIDGE, 11.5f, nullptr},
        {-1, GTYPE_DECORS, 100.0f, nullptr},
    };
    for (const auto& c : nearest)
        EXPECT_EQ(g_PropManager.FindNearestProp(c.classMask, c.typeMask, &origin, c.maxDistance), c.want)
            << c.classMask << " " << c.typeMask << " " << c.maxDistance;
    const struct {
        int typeMask;
        float radius;
        CProp* want;
    } touching[] = {
        {GTYPE_BUILDING, 4.5f, first},
        {GTYPE_BUILDING, 3.0f, shop},
        {GTYPE_BUILDING, 2.0f, nullptr},
        {GTYPE_LAMPPOST, 9.0f, nullptr},
        {GTYPE_BRIDGE, 11.6f, far},
        {GTYPE_LAMPPOST | GTYPE_BRIDGE, 12.0f, lamp},
    };
    for (const auto& c : touching)
        EXPECT_EQ(g_PropManager.FindPropTouching(c.typeMask, &origin, c.radius), c.want) << c.radius;
}

// From the first bridge or building on, each entry is exchanged with every
// later, nearer one, whatever its type: the pool ends in distance order from
// there, which the occlusion pass relies on.
TEST_F(PoolTest, BuildingSortPutsNearestBuildingsFirst)
{
    const struct {
        std::uint32_t type;
        float distance;
    } props[] = {{GTYPE_DECORS, 1}, {GTYPE_BUILDING, 50}, {GTYPE_LAMPPOST, 3}, {GTYPE_BRIDGE, 20},
                 {GTYPE_BUILDING, 5}, {GTYPE_DECORS, 2}, {GTYPE_BUILDING, 80}};
    std::vector<CProp*> linked;
    for (const auto& p : props) {
        CProp* prop = Keep(Bare(p.type, {0, 0, 0}, 1));
        prop->m_fCameraDistance = p.distance;
        g_PropManager.LinkProp(prop, false);
        linked.push_back(prop);
    }
    g_GameTimer.m_fDelta = 0.05f;
    g_PropManager.m_fSortTimer = 0.0f;
    g_PropManager.SortBuildings();
    EXPECT_EQ(g_PropManager.m_pProps[0], linked[0]) << "no sort before 0.1 s";
    g_PropManager.SortBuildings();
    float last = -1.0f;
    for (std::uint32_t i = 0; i < g_PropManager.m_nProps; ++i) {
        const CProp* p = g_PropManager.m_pProps[i];
        if (p->m_nType == GTYPE_BRIDGE || p->m_nType == GTYPE_BUILDING) {
            EXPECT_GE(p->m_fCameraDistance, last) << i;
            last = p->m_fCameraDistance;
        }
    }
    const int order[] = {0, 5, 2, 4, 3, 1, 6};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(g_PropManager.m_pProps[i], linked[order[i]]) << i;
}

// The tree-driven sort gives exactly the pairwise exchange order, ties and
// non-building entries included, over pools of several sizes and sorts in a
// row with moving distances.
TEST_F(PoolTest, FastSortMatchesThePairwiseExchanges)
{
    const std::uint32_t types[] = {GTYPE_BRIDGE, GTYPE_BUILDING, GTYPE_DECORS, GTYPE_LAMPPOST};
    std::srand(11);
    for (int n : {0, 1, 2, 7, 300, static_cast<int>(PROP_POOL_SIZE)}) {
        SCOPED_TRACE(n);
        m_props.clear();
        for (int i = 0; i < n; ++i) {
            CProp* p = Keep(Bare(types[std::rand() % 4], {0, 0, 0}, 1));
            p->m_fCameraDistance = static_cast<float>(std::rand() % 60) - 5.0f;
        }
        std::vector<CProp*> order(n);
        for (int i = 0; i < n; ++i)
            order[i] = m_props[i].get();
        for (int round = 0; round < 3; ++round) {
            for (int i = 0; i < n; ++i)
                g_PropManager.m_pProps[i] = order[i];
            g_PropManager.m_nProps = static_cast<std::uint32_t>(n);
            g_PropManager.SortBuildingsPairwise();
            std::vector<CProp*> want(g_PropManager.m_pProps, g_PropManager.m_pProps + n);
            for (int i = 0; i < n; ++i)
                g_PropManager.m_pProps[i] = order[i];
            g_PropManager.m_fSortTimer = 1.0f;
            g_PropManager.SortBuildings();
            for (int i = 0; i < n; ++i)
                ASSERT_EQ(g_PropManager.m_pProps[i], want[i]) << "round " << round << " at " << i;
            order = want;
            for (auto& p : m_props)
                p->m_fCameraDistance += static_cast<float>(std::rand() % 7) - 3.0f;
        }
    }
}

// A stopped player car at a shop entrance asks for the shop scene every
// half second; every gate that fails keeps the scene unasked.
TEST_F(PropTest, ShopEntryStartsTheShopScene)
{
    WriteMeshes();
    tools::PropText shop;
    shop.head = HeadOf("GCLASS_LANDSCAPE", "GTYPE_BUILDING", "Data/Test/Workshop.msh");
    WriteProp("Data/Static/Buildings/WorkShops/T/Main.obj", shop);
    tools::PropText plain = shop;
    plain.head.classKeyword = "GCLASS_STATIC";
    WriteProp("Data/Static/Buildings/WorkShops/Plain/Main.obj", plain);
    struct Case {
        const char* what;
        const char* building;
        bool car;
        int controlMode;
        float delta, offset, speed;
        int wantScene;
    } const cases[] = {
        {"stopped at the entrance", "T", true, 2, 0.5f, 3.9f, 4.9f, SCENE_SHOP_VISIT},
        {"backing slowly", "T", true, 2, 0.5f, 0.0f, -4.9f, SCENE_SHOP_VISIT},
        {"no car", "T", false, 2, 0.5f, 0.0f, 0.0f, 0},
        {"not under player control", "T", true, 1, 0.5f, 0.0f, 0.0f, 0},
        {"before half a second", "T", true, 2, 0.49f, 0.0f, 0.0f, 0},
        {"4 from the entrance", "T", true, 2, 0.5f, 4.0f, 0.0f, 0},
        {"too fast", "T", true, 2, 0.5f, 0.0f, 5.0f, 0},
        {"no landscape-class building", "Plain", true, 2, 0.5f, 0.0f, 0.0f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_PropManager.Clear();
        g_PropManager.m_fShopTimer = 0.0f;
        g_CityLogic.SetScene(0, nullptr, nullptr);
        const std::string path = std::string("Data/Static/Buildings/WorkShops/") + c.building + "/Main.obj";
        CProp* building = Add(path, D3DXVECTOR3(0, 16, 0), D3DXVECTOR3(0, 0, -1));
        ASSERT_EQ(g_PropManager.m_nWorkShops, 1u);
        m_car.m_vPosition = g_PropManager.m_WorkShops[0] + D3DXVECTOR3(c.offset, 0, 0);
        m_car.m_fSpeed = c.speed;
        m_car.m_nControlMode = c.controlMode;
        g_pPlayerVehicle = c.car ? &m_car : nullptr;
        g_GameTimer.m_fDelta = c.delta;
        g_PropManager.CheckShopEntry();
        EXPECT_EQ(g_CityLogic.m_nScene, c.wantScene);
        if (c.wantScene) {
            EXPECT_EQ(g_CityLogic.m_pObject, building);
            EXPECT_EQ(g_CityLogic.m_pCar, &m_car);
        }
    }
}

// The shop screens set the timer to -4 when the player drives off: the car
// still at the entrance is not sent back in before 4.5 s.
TEST_F(PropTest, ShopReentryWaitsFourAndAHalfSeconds)
{
    WriteMeshes();
    tools::PropText shop;
    shop.head = HeadOf("GCLASS_LANDSCAPE", "GTYPE_BUILDING", "Data/Test/Workshop.msh");
    WriteProp("Data/Static/Buildings/WorkShops/T/Main.obj", shop);
    Add("Data/Static/Buildings/WorkShops/T/Main.obj", D3DXVECTOR3(0, 16, 0));
    m_car.m_vPosition = g_PropManager.m_WorkShops[0];
    g_pPlayerVehicle = &m_car;
    g_PropManager.m_fShopTimer = -4.0f;
    g_GameTimer.m_fDelta = 0.5f;
    int checks = 0;
    while (g_CityLogic.m_nScene == 0 && checks < 20) {
        g_PropManager.CheckShopEntry();
        ++checks;
    }
    EXPECT_EQ(checks, 9);
}

// A building between the camera and the world behind it: what stands
// behind it disappears from every list the frame draws, what stands in
// front or beside it stays.
class OcclusionPassTest : public PropTest {
protected:
    void TearDown() override
    {
        for (auto& p : m_props)
            g_PropManager.UnlinkProp(p.get(), false);
        g_VehicleManager.m_nCars = 0;
        g_Landscape.m_nActiveSectors = 0;
        PropTest::TearDown();
    }
    std::vector<std::unique_ptr<CProp>> m_props;
    std::vector<std::unique_ptr<CVehicle>> m_cars;
    std::vector<std::unique_ptr<CLandscapeSector>> m_sectors;
};

TEST_F(OcclusionPassTest, ABuildingHidesThePropsCarsAndGroundBehindIt)
{
    CProp* building = AddBuilding("Data/Static/Buildings/Plain/Main.obj", "Data/Test/Building.msh");
    ASSERT_NE(building, nullptr);
    building->m_bVisible = 1;
    m_camera.m_vEye = D3DXVECTOR3(0, 5, -60);
    const struct {
        const char* name;
        D3DXVECTOR3 at;
        int visible;
    } cases[] = {
        {"behind", {0, 5, 40}, 0},
        {"far behind", {3, 3, 120}, 0},
        {"in front", {0, 5, -30}, 1},
        {"beside", {40, 5, 40}, 1},
        {"above the roof line", {0, 60, 40}, 1},
    };
    for (const auto& c : cases) {
        auto prop = std::make_unique<CProp>();
        prop->m_nType = GTYPE_DECORS;
        prop->m_vPosition = c.at;
        prop->m_fSphereRadius = 1.0f;
        prop->m_bVisible = 1;
        g_PropManager.LinkProp(prop.get(), false);
        m_props.push_back(std::move(prop));
        auto car = std::make_unique<CVehicle>();
        car->m_vPosition = c.at;
        car->m_fSphereRadius = 1.0f;
        car->m_bVisible = 1;
        g_VehicleManager.m_Cars[g_VehicleManager.m_nCars++] = car.get();
        m_cars.push_back(std::move(car));
        auto sector = std::make_unique<CLandscapeSector>();
        for (int k = 0; k < 8; ++k)
            sector->m_Corners[k] = c.at + D3DXVECTOR3(k & 1 ? 1.0f : -1.0f, k & 2 ? 1.0f : -1.0f, k & 4 ? 1.0f : -1.0f);
        sector->m_bVisible = 1;
        g_Landscape.m_pActiveSectors[g_Landscape.m_nActiveSectors++] = sector.get();
        m_sectors.push_back(std::move(sector));
    }
    g_PropManager.ApplyBuildingOcclusion();
    EXPECT_EQ(building->m_bVisible, 1);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(m_props[i]->m_bVisible, cases[i].visible) << "prop";
        EXPECT_EQ(m_cars[i]->m_bVisible, cases[i].visible) << "car";
        EXPECT_EQ(m_sectors[i]->m_bVisible, cases[i].visible) << "ground sector";
    }
}

} // namespace
