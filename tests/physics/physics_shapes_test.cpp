// Shapes built from the mesh parts, shared through the mesh record, and the
// bodies objects get on them.
#include "physics_fixture.h"

#include "writers/ObjectMeshes.h"

namespace {

using test::Origin;
using test::PhysicsTest;
using tools::MeshVec3;

const std::string kGround = "Data/Ground.msh";
const std::string kLamp = "Data/Lamp.msh";
const std::string kCar = "Data/Car.msh";

class ShapeTest : public PhysicsTest {
protected:
    void SetUp() override
    {
        PhysicsTest::SetUp();
        tools::MeshData ground;
        ground.parts[0] = tools::GroundPart(40.0f);
        ground.parts[12] = ground.parts[0];
        Write(kGround, ground);
        Write(kLamp, test::StandingPostMesh());
        for (const tools::NamedMesh& m : tools::SampleMeshes())
            if (m.name == "Data/Vehicles/01/Body.msh")
                Write(kCar, m.mesh);
    }
    // A static floor at height 0, in the world.
    CStaticObject* Floor()
    {
        CStaticObject* floor = MakeObject(kGround, GTYPE_STATIC);
        const D3DXVECTOR3 at(0, 0, 0), target(0, 0, 1), up(0, 1, 0);
        floor->CreateRigidBody(0.0f, &at, &target, &up);
        AddToWorld(floor);
        return floor;
    }
    // Lets a body fall and settle; its origin's height after.
    float Settle(btRigidBody* body)
    {
        body->activate(true);
        Step(300);
        return Origin(body).y();
    }
};

TEST_F(ShapeTest, CompoundCentreAndChildrenComeFromThePrimitiveParts)
{
    const struct {
        const char* name;
        bool centrePoint;
        MeshVec3 offset;
        MeshVec3 childOrigin;
    } cases[] = {
        {"box centre", false, {1, 2, 3}, {0, 0, 0}},
        {"centre point", true, {1, 1, 1}, {0, 1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tools::MeshData data;
        data.parts[0] = tools::BoxPart({0, 0, 0}, {2, 4, 6});
        data.parts[15] = data.parts[0];
        if (c.centrePoint)
            data.parts[8].points = {{1, 1, 1}};
        const std::string name = std::string("Data/Compound") + (c.centrePoint ? "P" : "") + ".msh";
        CStaticObject* object = MakeObject(Write(name, data), GTYPE_DECORS);
        CMeshRecord* mesh = object->m_pMesh;
        ASSERT_NE(mesh, nullptr);
        mesh->BuildCompoundShape();
        auto* compound = static_cast<btCompoundShape*>(mesh->m_pCompoundShape);
        ASSERT_NE(compound, nullptr);
        const float* offset = &mesh->m_vCentreOffset.x;
        for (int k = 0; k < 3; ++k)
            EXPECT_FLOAT_EQ(offset[k], c.offset[k]);
        ASSERT_EQ(compound->getNumChildShapes(), 1);
        const auto* box = static_cast<const btBoxShape*>(compound->getChildShape(0));
        EXPECT_EQ(box->getShapeType(), BOX_SHAPE_PROXYTYPE);
        const btVector3 half = box->getHalfExtentsWithMargin();
        EXPECT_NEAR(half.x(), 1.0f, 1e-5f);
        EXPECT_NEAR(half.y(), 2.0f, 1e-5f);
        EXPECT_NEAR(half.z(), 3.0f, 1e-5f);
        const btVector3 at = compound->getChildTransform(0).getOrigin();
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(at[k], c.childOrigin[k], 1e-5f);
    }
}

// Dropped from a little height onto a triangle-mesh floor, each shape comes
// to rest with its lowest point on the floor.
TEST_F(ShapeTest, BodiesFallOntoATriangleMeshFloorAndRestOnIt)
{
    Floor();
    // The lamp's base box and the car's wheel cylinders reach model height 0.
    const struct {
        const char* name;
        std::string mesh;
    } cases[] = {{"lamp: box and cylinder", kLamp}, {"car: cylinders", kCar}};
    float x = -10.0f;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CStaticObject* object = MakeObject(c.mesh, GTYPE_DECORS);
        const D3DXVECTOR3 at(x, 0.3f, 0), target(x, 0.3f, 10), up(0, 1, 0);
        object->CreateRigidBody(50.0f, &at, &target, &up);
        ASSERT_NE(object->m_pRigidBody, nullptr);
        AddToWorld(object);
        const float rest = Settle(object->m_pRigidBody) - object->m_vCentreOffset.y;
        EXPECT_NEAR(rest, 0.0f, 0.12f);
        x += 10.0f;
    }
    // The car's hull (parts 12, lowest at model height 0.3) on a body of its own.
    CStaticObject* car = MakeObject(kCar, GTYPE_VEHICLE);
    car->m_pMesh->BuildConvexHullShape();
    ASSERT_NE(car->m_pMesh->m_pConvexHullShape, nullptr);
    btRigidBody* hull = AddBody(car->m_pMesh->m_pConvexHullShape, nullptr, btVector3(x, 0.2f, 0), 50.0f);
    hull->setUserPointer(car);
    EXPECT_NEAR(Settle(hull), -0.3f, 0.12f);
}

TEST_F(ShapeTest, ObjectsOnOneMeshShareItsShapes)
{
    CStaticObject* first = MakeObject(kLamp, GTYPE_LAMPPOST);
    CStaticObject* second = MakeObject(kLamp, GTYPE_LAMPPOST);
    ASSERT_EQ(first->m_pMesh, second->m_pMesh);
    const D3DXVECTOR3 up(0, 1, 0), a(0, 0, 0), b(5, 0, 0), target(0, 0, 10);
    first->CreateRigidBody(20.0f, &a, &target, &up);
    second->CreateRigidBody(20.0f, &b, &target, &up);
    ASSERT_NE(first->m_pRigidBody, nullptr);
    EXPECT_EQ(first->m_pRigidBody->getCollisionShape(), second->m_pRigidBody->getCollisionShape());
    EXPECT_EQ(first->m_pRigidBody->getCollisionShape(), first->m_pMesh->m_pCompoundShape);
    CStaticObject* third = MakeObject(kLamp, GTYPE_LAMPPOST);
    third->CreateRigidBody(0.0f, &b, &target, &up);
    EXPECT_EQ(third->m_pRigidBody->getCollisionShape(), first->m_pMesh->m_pTriangleMeshShape);
    // The shapes, children and triangle arrays go with the record (the
    // sanitizer's leak check sees a shape left behind or freed twice).
}

TEST_F(ShapeTest, BodySettingsFollowTheMass)
{
    CStaticObject* lamp = MakeObject(kLamp, GTYPE_LAMPPOST);
    const D3DXVECTOR3 up(0, 1, 0), at(3, 0, 4), target(3, 0, 14);
    lamp->CreateRigidBody(0.0f, &at, &target, &up);
    btRigidBody* body = lamp->m_pRigidBody;
    ASSERT_NE(body, nullptr);
    EXPECT_TRUE(body->getCollisionFlags() & btCollisionObject::CF_STATIC_OBJECT);
    EXPECT_EQ(body->getActivationState(), ISLAND_SLEEPING);
    EXPECT_EQ(body->getUserPointer(), lamp);
    EXPECT_FLOAT_EQ(body->getFriction(), 0.5f);
    EXPECT_EQ(Origin(body), btVector3(3, 0, 4)); // a static body carries no centre offset

    CStaticObject* moving = MakeObject(kLamp, GTYPE_LAMPPOST);
    moving->CreateRigidBody(5.0f, &at, &target, &up);
    ASSERT_NE(moving->m_pRigidBody, nullptr);
    EXPECT_FALSE(moving->m_pRigidBody->getCollisionFlags() & btCollisionObject::CF_STATIC_OBJECT);
    EXPECT_FLOAT_EQ(moving->m_pRigidBody->getInvMass(), 1.0f / 5.0f);
    EXPECT_FLOAT_EQ(moving->m_pRigidBody->getFriction(), 1.0f);
    EXPECT_NEAR(Origin(moving->m_pRigidBody).y(), 1.5f, 1e-5f); // the part-8 centre

    // Mass -1: the stored placement and mass; the body is moved, not remade.
    D3DXMatrixIdentity(&moving->m_matPlacement);
    moving->m_matPlacement.m[2][0] = 1.0f; // forward along x
    moving->m_matPlacement.m[2][2] = 0.0f;
    moving->m_matPlacement.m[0][0] = 0.0f; // right along -z
    moving->m_matPlacement.m[0][2] = -1.0f;
    moving->m_matPlacement.m[3][0] = 20.0f;
    btRigidBody* before = moving->m_pRigidBody;
    moving->CreateRigidBody(-1.0f, nullptr, nullptr, nullptr);
    EXPECT_EQ(moving->m_pRigidBody, before);
    EXPECT_FLOAT_EQ(moving->m_fMass, 5.0f);
    EXPECT_NEAR(Origin(before).x(), 20.0f, 1e-4f);
    const btVector3 forward = before->getWorldTransform().getBasis() * btVector3(0, 0, 1);
    EXPECT_NEAR(forward.x(), 1.0f, 1e-4f);
}

TEST_F(ShapeTest, AMeshWithoutTheShapesPartsGetsNoBody)
{
    tools::MeshData onlyDrawn, onlyPrimitives, onlyCentreBoxes;
    onlyDrawn.parts[0] = tools::BoxPart({0, 0, 0}, {1, 1, 1});
    onlyPrimitives.parts[0] = onlyDrawn.parts[0];
    onlyPrimitives.parts[15] = onlyDrawn.parts[0];
    onlyCentreBoxes.parts[0] = onlyDrawn.parts[0];
    onlyCentreBoxes.parts[14] = onlyDrawn.parts[0];
    const struct {
        const char* name;
        const tools::MeshData* mesh;
        float mass;
        bool body;
    } cases[] = {
        {"drawn only, static", &onlyDrawn, 0.0f, false},
        {"drawn only, movable", &onlyDrawn, 5.0f, false},
        {"primitives without triangles, static", &onlyPrimitives, 0.0f, false},
        {"primitives, movable", &onlyPrimitives, 5.0f, true},
        {"centre boxes only: an empty compound", &onlyCentreBoxes, 5.0f, true},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CStaticObject* object = MakeObject(Write("Data/NoShape" + std::to_string(n++) + ".msh", *c.mesh), 512);
        const D3DXVECTOR3 at(0, 0, 0), target(0, 0, 1), up(0, 1, 0);
        object->CreateRigidBody(c.mass, &at, &target, &up);
        ASSERT_EQ(object->m_pRigidBody != nullptr, c.body);
        if (!c.body)
            continue;
        EXPECT_NE(object->m_pRigidBody->getCollisionShape(), nullptr);
        const btVector3 inertia = object->m_pRigidBody->getLocalInertia();
        for (int k = 0; k < 3; ++k) {
            EXPECT_TRUE(std::isfinite(inertia[k]));
            EXPECT_GT(inertia[k], 0.0f);
        }
    }
}

TEST_F(ShapeTest, AMovedBodyKeepsNoPairsFromItsOldPlace)
{
    CStaticObject* lamp = MakeObject(kLamp, GTYPE_LAMPPOST);
    CStaticObject* car = MakeObject(kCar, GTYPE_VEHICLE);
    const D3DXVECTOR3 up(0, 1, 0), at(0, 0, 0), target(0, 0, 10);
    lamp->CreateRigidBody(10.0f, &at, &target, &up);
    car->CreateRigidBody(100.0f, &at, &target, &up);
    AddToWorld(lamp);
    AddToWorld(car);
    car->m_pRigidBody->activate(true); // bodies start asleep; two sleepers make no contacts
    m_world->performDiscreteCollisionDetection();
    btOverlappingPairCache* pairs = g_Game.m_pBroadphase->getOverlappingPairCache();
    ASSERT_EQ(pairs->getNumOverlappingPairs(), 1);
    ASSERT_NE(pairs->getOverlappingPairArray()[0].m_algorithm, nullptr);
    ASSERT_GT(g_Game.m_pDispatcher->getNumManifolds(), 0);
    // Moved away: the pair's algorithm and manifold (contact points of the
    // old place) are gone at once; the sweep drops the pair on the next step.
    const D3DXVECTOR3 far(200, 0, 0), farTarget(200, 0, 10);
    car->CreateRigidBody(100.0f, &far, &farTarget, &up);
    EXPECT_EQ(pairs->getOverlappingPairArray()[0].m_algorithm, nullptr);
    EXPECT_EQ(g_Game.m_pDispatcher->getNumManifolds(), 0);
    Step(1);
    EXPECT_EQ(pairs->getNumOverlappingPairs(), 0);
    // Destroying takes the body out of the world before deleting it.
    car->DestroyRigidBody();
    EXPECT_EQ(car->m_pRigidBody, nullptr);
    EXPECT_EQ(m_world->getNumCollisionObjects(), 1);
}

// The shipped meshes give each shape its parts.
TEST_F(ShapeTest, SampleMeshesGiveTheirShapes)
{
    Write("Data/SampleBuilding.msh", tools::BuildingMesh(12.0f, 10.0f, 30.0f));
    Write("Data/SampleLamp.msh", tools::LampPostMesh());
    Write("Data/SampleBench.msh", tools::BenchMesh());
    const struct {
        const char* name;
        std::string mesh;
        bool triangles, hull;
        int compoundChildren;
    } cases[] = {
        {"building", "Data/SampleBuilding.msh", true, true, 0},
        {"lamp post", "Data/SampleLamp.msh", true, true, 2},
        {"bench", "Data/SampleBench.msh", true, true, 2},
        {"car body", kCar, true, true, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CStaticObject* object = MakeObject(c.mesh, GTYPE_DECORS);
        CMeshRecord* mesh = object->m_pMesh;
        ASSERT_NE(mesh, nullptr);
        mesh->BuildTriangleMeshShape();
        mesh->BuildConvexHullShape();
        mesh->BuildCompoundShape();
        EXPECT_EQ(mesh->m_pTriangleMeshShape != nullptr, c.triangles);
        EXPECT_EQ(mesh->m_pConvexHullShape != nullptr, c.hull);
        const auto* compound = static_cast<const btCompoundShape*>(mesh->m_pCompoundShape);
        EXPECT_EQ(compound ? compound->getNumChildShapes() : 0, c.compoundChildren);
    }
}

} // namespace
