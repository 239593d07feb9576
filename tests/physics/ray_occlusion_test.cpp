// Ray tests against a building through its collision model and through its
// static body, and the building as an occluder seen from the camera.
#include "physics_fixture.h"

#include "objects/Occluder.h"
#include "shell/RayHitInfo.h"
#include "shell/VectorHelpers.h"

namespace {

using test::PhysicsTest;

const std::string kBuilding = "Data/Building.msh";

// The sample building: a 10 x 20 x 10 box standing on its origin, with a
// closed occluder box of the same size.
class BuildingTest : public PhysicsTest {
protected:
    void SetUp() override
    {
        PhysicsTest::SetUp();
        for (const tools::NamedMesh& m : tools::SampleMeshes())
            if (m.name == "Data/Buildings/Box01.msh")
                Write(kBuilding, m.mesh);
        g_RayHit.Init();
        g_Game.m_pCamera = &g_Game.m_Cameras[0];
    }
    void TearDown() override
    {
        ClearOccluder();
        g_Game.m_pCamera = nullptr;
        PhysicsTest::TearDown();
    }
    // A building at the place, facing target, with its static body.
    CStaticObject* Building(const D3DXVECTOR3& at, const D3DXVECTOR3& target)
    {
        CStaticObject* building = MakeObject(kBuilding, GTYPE_BUILDING);
        const D3DXVECTOR3 up(0, 1, 0);
        building->SetLookAtTransform(&at, &target, &up);
        building->CreateRigidBody(0.0f, &at, &target, &up);
        D3DXVec3TransformCoord(&building->m_vPosition, &building->m_vSphereCentre, &building->m_matWorld);
        return building;
    }
};

TEST_F(BuildingTest, TheCollisionModelAndTheBodyAgreeOnTheHitPoint)
{
    // Turned a quarter: its local +z front faces world +x.
    CStaticObject* building = Building(D3DXVECTOR3(100, 0, 50), D3DXVECTOR3(200, 0, 50));
    const struct {
        const char* name;
        D3DXVECTOR3 from, to, hit;
    } cases[] = {
        {"front wall", {130, 7, 52}, {90, 7, 52}, {105, 7, 52}},
        {"roof from above", {101, 40, 49}, {101, 0, 49}, {101, 20, 49}},
        {"side wall, slanting", {98, 3, 80}, {102, 5, 40}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        D3DXVECTOR3 picked, tested;
        g_RayHit.Init();
        ASSERT_EQ(building->IntersectRay(&c.from, &c.to, &picked, 1), 1);
        EXPECT_EQ(g_RayHit.m_pObject, building);
        EXPECT_EQ(g_RayHit.m_nType, GTYPE_BUILDING);
        ASSERT_EQ(building->RayTestBody(&c.from, &c.to, &tested, 0), 1);
        EXPECT_NEAR(picked.x, tested.x, 1e-3f);
        EXPECT_NEAR(picked.y, tested.y, 1e-3f);
        EXPECT_NEAR(picked.z, tested.z, 1e-3f);
        if (c.hit.x != 0.0f) {
            EXPECT_NEAR(picked.x, c.hit.x, 1e-3f);
            EXPECT_NEAR(picked.y, c.hit.y, 1e-3f);
            EXPECT_NEAR(picked.z, c.hit.z, 1e-3f);
        }
    }
}

TEST_F(BuildingTest, RaysThatMissOrObjectsOutOfTheTestsAreNotHit)
{
    CStaticObject* building = Building(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 10));
    const D3DXVECTOR3 from(30, 5, 0), to(-30, 5, 0), past(30, 5, 20), pastEnd(-30, 5, 20);
    D3DXVECTOR3 out;
    EXPECT_EQ(building->IntersectRay(&past, &pastEnd, &out, 1), 0);
    EXPECT_EQ(building->RayTestBody(&past, &pastEnd, &out, 0), 0);
    EXPECT_EQ(building->IntersectRay(&from, &from, &out, 1), 0); // no length, no direction
    EXPECT_EQ(g_RayHit.m_pObject, nullptr);

    // A hit with no out point still records the object.
    EXPECT_EQ(building->IntersectRay(&from, &to, nullptr, 0), 1);
    EXPECT_EQ(g_RayHit.m_pObject, building);
    EXPECT_EQ(building->RayTestBody(&from, &to, nullptr, 0), 1);

    building->m_bRayTest = 0;
    EXPECT_EQ(building->IntersectRay(&from, &to, &out, 1), 0);
    EXPECT_EQ(building->RayTestBody(&from, &to, &out, 0), 0);
    building->m_bRayTest = 1;
    building->DestroyRigidBody();
    EXPECT_EQ(building->RayTestBody(&from, &to, &out, 0), 0);
}

// Small boxes as the objects tested against the building's planes.
class OcclusionTest : public BuildingTest {
protected:
    CStaticObject* Prop(const D3DXVECTOR3& centre, bool corners)
    {
        CStaticObject* prop = MakeObject("", GTYPE_DECORS);
        prop->m_vPosition = centre;
        prop->m_fSphereRadius = 1.0f;
        if (corners) {
            const D3DXVECTOR3 origin = centre - D3DXVECTOR3(1, 1, 1), size(2, 2, 2);
            ComputeBoxCorners(&prop->m_pBoxCorners, &origin, &size, &g_matIdentity);
        }
        return prop;
    }
};

TEST_F(OcclusionTest, ABuildingHidesWhatIsBehindItAndNotWhatIsBeside)
{
    g_Game.m_pCamera->m_vEye = D3DXVECTOR3(3, 8, -60);
    CStaticObject* building = Building(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 10));
    ASSERT_EQ(building->BuildOcclusionPlanes(), 1);
    // Seen from in front, below the roof and within its width, only the
    // front face is in view: the outline is its four edges, and the centre
    // plane comes last.
    EXPECT_EQ(g_nOccluderPlanes, 5u);
    const struct {
        const char* name;
        D3DXVECTOR3 centre;
        int hidden;
    } cases[] = {
        {"behind", {0, 5, 40}, 1},
        {"far behind and low", {5, 1.5f, 150}, 1},
        {"beside", {40, 5, 40}, 0},
        {"above the roof line", {0, 60, 40}, 0},
        {"in front, in line", {0, 5, -30}, 0},
        {"just past the centre, but inside the building", {0, 5, 1}, 0},
    };
    for (const auto& c : cases)
        for (bool corners : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (corners ? " (corners)" : " (sphere)"));
            EXPECT_EQ(Prop(c.centre, corners)->IsOccluded(), c.hidden);
        }
}

TEST_F(OcclusionTest, OnePlanePerSilhouetteEdgeAndOneThroughTheCentre)
{
    CStaticObject* building = Building(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 10));
    const struct {
        const char* name;
        D3DXVECTOR3 eye;
        std::uint32_t planes;
    } cases[] = {
        {"one face in view", {0, 8, -60}, 5},
        {"two faces in view", {0, 40, -60}, 7},
        {"three faces in view", {30, 40, -60}, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_Game.m_pCamera->m_vEye = c.eye;
        EXPECT_EQ(building->BuildOcclusionPlanes(), 1);
        EXPECT_EQ(g_nOccluderPlanes, c.planes);
        // The occluder's centre is behind all its planes.
        for (std::uint32_t p = 0; p < g_nOccluderPlanes; ++p)
            EXPECT_GE(D3DXPlaneDotCoord(&g_OccluderPlanes[p], &building->m_vPosition), -1e-3f);
    }
}

TEST_F(OcclusionTest, NoPlanesHideNothing)
{
    CStaticObject* building = Building(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 10));
    CStaticObject* behind = Prop(D3DXVECTOR3(0, 5, 40), true);
    // From inside the occluder every face turns away and all edges cancel.
    g_Game.m_pCamera->m_vEye = D3DXVECTOR3(0, 5, 0);
    EXPECT_EQ(building->BuildOcclusionPlanes(), 0);
    EXPECT_EQ(g_nOccluderPlanes, 0u);
    EXPECT_EQ(behind->IsOccluded(), 0);
    EXPECT_EQ(IsBoxOccluded(behind->m_pBoxCorners), 0);
    EXPECT_EQ(IsBoxOccluded(nullptr), 0);
    // A mesh without an occluder part builds nothing and forgets the last one.
    g_Game.m_pCamera->m_vEye = D3DXVECTOR3(0, 8, -60);
    ASSERT_EQ(building->BuildOcclusionPlanes(), 1);
    CStaticObject* lamp = MakeObject(Write("Data/Lamp.msh", test::StandingPostMesh()), GTYPE_LAMPPOST);
    EXPECT_EQ(lamp->BuildOcclusionPlanes(), 0);
    EXPECT_EQ(behind->IsOccluded(), 0);
}

// An occluder part with more silhouette than the tables hold gives no
// planes rather than a partial set that would hide what is in view.
TEST_F(OcclusionTest, ASilhouetteTooLargeForTheTablesGivesNoPlanes)
{
    const struct {
        const char* name;
        int steps;
    } cases[] = {{"fits", 40}, {"more edges than planes", 120}, {"more edges than the list", 300}};
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A zig-zag strip of thin quads, all facing away from the eye.
        tools::MeshData data;
        data.parts[0] = tools::BoxPart({0, 0, 0}, {1, 1, 1});
        tools::MeshPartData& strip = data.parts[10];
        strip.frames.resize(1);
        for (int i = 0; i < c.steps; ++i) {
            const auto base = static_cast<std::uint16_t>(strip.frames[0].size());
            const float x = static_cast<float>(i) * 0.5f - 20.0f;
            for (const tools::MeshVec3& p : {tools::MeshVec3{x, 0, 0}, {x, 10, 0}, {x + 0.25f, 10, 0}, {x + 0.25f, 0, 0}})
                strip.frames[0].push_back({p, {0, 0, 1}, 0, 0});
            for (std::uint16_t k : {0, 2, 1, 0, 3, 2})
                strip.indices.push_back(static_cast<std::uint16_t>(base + k));
        }
        CStaticObject* wall = MakeObject(Write("Data/Strip" + std::to_string(n++) + ".msh", data), GTYPE_BUILDING);
        wall->m_vPosition = D3DXVECTOR3(0, 5, 0);
        g_Game.m_pCamera->m_vEye = D3DXVECTOR3(0, 5, -50);
        const int built = wall->BuildOcclusionPlanes();
        EXPECT_LE(g_nOccluderPlanes, static_cast<std::uint32_t>(OCCLUDER_MAX_PLANES));
        if (c.steps * 4 + 1 <= OCCLUDER_MAX_PLANES)
            EXPECT_EQ(built, 1);
        else
            EXPECT_EQ(built, 0);
    }
}

} // namespace
