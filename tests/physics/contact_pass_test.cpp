// The pass after each step: touched flags, one damage call per car and
// manifold, knock-downs handed on after the manifolds are done with.
#include "physics_fixture.h"

#include "roadusers/Human.h"
#include "roadusers/Vehicle.h"
#include "world/Landscape.h"

namespace {

using test::PhysicsTest;

class ContactTest : public PhysicsTest {
protected:
    void SetUp() override
    {
        PhysicsTest::SetUp();
        m_world->setGravity(btVector3(0, 0, 0));
        m_carA.m_nType = m_carB.m_nType = GTYPE_VEHICLE;
        m_human.m_nType = GTYPE_HUMAN;
    }
    btRigidBody* Car(CVehicle* car, float x, float speed)
    {
        btRigidBody* body = AddBody(Box(btVector3(1.0f, 0.7f, 2.0f)), car, btVector3(x, 0, 0), 1000.0f);
        body->setLinearVelocity(btVector3(speed, 0, 0));
        body->setActivationState(DISABLE_DEACTIVATION);
        return body;
    }

    CVehicle m_carA, m_carB;
    CHuman m_human;
};

TEST_F(ContactTest, TwoCarsPressedTogetherAreEachHitOncePerStep)
{
    Car(&m_carA, -2.5f, 3.0f);
    Car(&m_carB, 2.5f, -3.0f);
    int steps = 0;
    while (g_ContactRecord.nCarContacts == 0 && steps < 120) {
        Step(1);
        ++steps;
    }
    ASSERT_EQ(g_ContactRecord.nCarContacts, 2) << "after " << steps << " steps";
    EXPECT_EQ(m_carA.m_bTouched, 1);
    EXPECT_EQ(m_carB.m_bTouched, 1);
    // The manifolds are emptied by the pass, so each step's points are new
    // again and every step in contact is one call per car.
    for (int step = 1; step <= 5; ++step) {
        Step(1);
        EXPECT_EQ(g_ContactRecord.nCarContacts, 2 + 2 * step);
    }
    for (int i = 0; i < g_ContactRecord.nCarContacts; i += 2) {
        const RecordedCarContact& first = g_ContactRecord.carContacts[i];
        const RecordedCarContact& second = g_ContactRecord.carContacts[i + 1];
        EXPECT_NE(first.car, second.car);
        EXPECT_EQ(first.other, static_cast<void*>(second.car));
        EXPECT_EQ(second.other, static_cast<void*>(first.car));
        EXPECT_EQ(first.strength, 0.0f);
        // The normal points to each car in turn: opposite for the two.
        EXPECT_NEAR(first.normal.x, -second.normal.x, 1e-5f);
        EXPECT_NEAR(std::fabs(first.normal.x), 1.0f, 1e-3f);
        // Each point is in its own car's frame, on the face towards the other.
        const float towardsOther = first.car == &m_carA ? 1.0f : -1.0f;
        EXPECT_NEAR(first.localPoint.x, towardsOther, 0.1f);
    }
    EXPECT_EQ(g_ContactRecord.nKnockDowns, 0);
}

TEST_F(ContactTest, ACarKnocksDownAPedestrianOnceAndIsDamagedInTheSamePass)
{
    Car(&m_carA, -2.0f, 5.0f);
    Car(&m_carB, 2.0f, -5.0f);
    AddBody(Box(btVector3(0.2f, 0.85f, 0.15f)), &m_human, btVector3(0, 0, 0), 70.0f);
    for (int steps = 0; g_ContactRecord.nKnockDowns == 0 && steps < 60; ++steps)
        Step(1);
    // Both cars reach the pedestrian in the same step: one knock-down.
    ASSERT_EQ(g_ContactRecord.nKnockDowns, 1);
    EXPECT_EQ(g_ContactRecord.knockDowns[0], &m_human);
    EXPECT_EQ(m_human.m_bTouched, 1);
    bool damagedByHuman = false;
    for (int i = 0; i < g_ContactRecord.nCarContacts; ++i)
        damagedByHuman |= g_ContactRecord.carContacts[i].other == &m_human;
    EXPECT_TRUE(damagedByHuman);
}

// The pedestrian's handler swaps its standing body for a ragdoll: the body
// leaves the world, which frees its manifolds. The pass must be done with
// them by then.
btDiscreteDynamicsWorld* g_pHookWorld = nullptr;
btRigidBody* g_pRemovedBody = nullptr;
int g_nRemovals = 0;

void RemoveBodyOnKnockDown(CStaticObject* human)
{
    RecordKnockDown(human);
    if (g_pRemovedBody) {
        g_pHookWorld->removeRigidBody(g_pRemovedBody);
        ++g_nRemovals;
        g_pRemovedBody = nullptr;
    }
}

void RemoveBodyOnCarContact(CStaticObject* car, const D3DXVECTOR3* point, const D3DXVECTOR3* normal, void* other,
                            float strength)
{
    RecordCarContact(car, point, normal, other, strength);
    if (g_pRemovedBody && other == g_pRemovedBody->getUserPointer()) {
        g_pHookWorld->removeRigidBody(g_pRemovedBody);
        ++g_nRemovals;
        g_pRemovedBody = nullptr;
    }
}

TEST_F(ContactTest, HandlersThatRemoveBodiesInsideThePassAreSafe)
{
    const struct {
        const char* name;
        bool onKnockDown;
    } cases[] = {{"knock-down", true}, {"car damage", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearContactRecord();
        g_pHookWorld = m_world;
        g_nRemovals = 0;
        if (c.onKnockDown)
            g_pfnKnockDown = RemoveBodyOnKnockDown;
        else
            g_pfnCarContact = RemoveBodyOnCarContact;
        btRigidBody* carA = Car(&m_carA, -2.0f, 5.0f);
        btRigidBody* carB = Car(&m_carB, 2.0f, -5.0f);
        btRigidBody* standing = AddBody(Box(btVector3(0.2f, 0.85f, 0.15f)), &m_human, btVector3(0, 0, 0), 70.0f);
        g_pRemovedBody = standing;
        for (int steps = 0; g_nRemovals == 0 && steps < 60; ++steps)
            Step(1);
        EXPECT_EQ(g_nRemovals, 1);
        Step(3); // the world goes on without the body
        for (btRigidBody* body : {carA, carB, standing}) {
            m_world->removeRigidBody(body);
            delete body->getMotionState();
            delete body;
        }
        g_pfnKnockDown = RecordKnockDown;
        g_pfnCarContact = RecordCarContact;
    }
}

// The terrain keeps its contacts on purpose: a car resting on it is passed
// on every step, while a pair of other objects only with new points.
TEST_F(ContactTest, TerrainPairsCountEveryStepAndScenerySkipsTheLandscapeClass)
{
    m_world->setGravity(btVector3(0, -10, 0));
    AddBody(Box(btVector3(50, 1, 50)), &g_Landscape, btVector3(0, -1, 0));
    btRigidBody* car = Car(&m_carA, 0.0f, 0.0f);
    car->getWorldTransform().setOrigin(btVector3(0, 0.69f, 0));
    Step(30);
    ClearContactRecord();
    Step(10);
    EXPECT_EQ(g_ContactRecord.nCarContacts, 10);
    EXPECT_EQ(g_ContactRecord.carContacts[0].other, static_cast<void*>(&g_Landscape));
    EXPECT_GT(g_ContactRecord.carContacts[0].normal.y, 0.9f);

    // An object of the landscape class is touched but never damages.
    m_carB.m_nClass = GCLASS_LANDSCAPE;
    m_carB.m_nType = GTYPE_VEHICLE;
    btRigidBody* other = Car(&m_carB, 0.0f, 0.0f);
    other->getWorldTransform().setOrigin(btVector3(1.9f, 0.69f, 0));
    ClearContactRecord();
    m_carA.m_bTouched = 0;
    Step(5);
    for (int i = 0; i < g_ContactRecord.nCarContacts; ++i)
        EXPECT_NE(g_ContactRecord.carContacts[i].car, &m_carB);
    EXPECT_EQ(m_carB.m_bTouched, 1);
}

// A car under a steep stretch of terrain lies inside its bounding box and
// keeps an empty manifold with it: that is no touch. Meeting the slope is.
TEST_F(ContactTest, OverlappingBoxesWithoutPointsAreNoTouch)
{
    btTriangleMesh mesh;
    mesh.addTriangle(btVector3(-50, 0, -50), btVector3(50, 0, -50), btVector3(-50, 20, 50)); // y = (z + 50) / 5
    btBvhTriangleMeshShape ground(&mesh, true);
    btRigidBody* floor = AddBody(&ground, &g_Landscape, btVector3(0, 0, 0));
    btRigidBody* car = Car(&m_carA, 0.0f, 0.0f);
    const struct {
        float y;
        int touched;
    } cases[] = {{3.0f, 0}, {10.0f, 1}};
    for (const auto& c : cases) {
        btTransform at;
        at.setIdentity();
        at.setOrigin(btVector3(-20, c.y, 0));
        car->setWorldTransform(at);
        m_carA.m_bTouched = 0;
        Step(1);
        ASSERT_GT(g_Game.m_nManifolds, 0) << "the pair keeps a manifold";
        EXPECT_EQ(m_carA.m_bTouched, c.touched) << c.y;
    }
    m_world->removeRigidBody(floor);
    delete floor->getMotionState();
    delete floor;
}

} // namespace
