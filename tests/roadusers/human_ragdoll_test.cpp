// The standing body and the ragdoll on the real physics world, down to a
// car driven into a pedestrian through the contact pass.
#include "human_fixture.h"

namespace {

using test::HumanTest;

class RagdollTest : public HumanTest {
protected:
    void SetUp() override
    {
        HumanTest::SetUp();
        m_world = g_Game.m_pDynamicsWorld;
    }
    void TearDown() override
    {
        g_HumanManager.Clear();
        for (btRigidBody* body : m_bodies) {
            m_world->removeRigidBody(body);
            delete body->getMotionState();
            delete body;
        }
        HumanTest::TearDown();
    }
    btRigidBody* Box(void* owner, const btVector3& half, const btVector3& at, float mass)
    {
        m_shapes.push_back(std::make_unique<btBoxShape>(half));
        btTransform t;
        t.setIdentity();
        t.setOrigin(at);
        btVector3 inertia(0, 0, 0);
        if (mass > 0)
            m_shapes.back()->calculateLocalInertia(mass, inertia);
        auto* body = new btRigidBody(mass, new btDefaultMotionState(t), m_shapes.back().get(), inertia);
        body->setUserPointer(owner);
        m_world->addRigidBody(body);
        m_bodies.push_back(body);
        return body;
    }
    int ConstraintsInWorld() const { return m_world->getNumConstraints(); }

    btDiscreteDynamicsWorld* m_world = nullptr;
    std::vector<std::unique_ptr<btCollisionShape>> m_shapes;
    std::vector<btRigidBody*> m_bodies;
};

TEST_F(RagdollTest, TheStandingBodyFollowsTheFigureAndNeverSleeps)
{
    const D3DXVECTOR3 start = test::KerbPoint();
    CHuman* h = Make(start);
    ASSERT_NE(h->m_pRigidBody, nullptr);
    EXPECT_EQ(h->m_bInWorld, 1);
    EXPECT_EQ(h->m_pRigidBody->getActivationState(), DISABLE_DEACTIVATION);
    EXPECT_FLOAT_EQ(1.0f / h->m_pRigidBody->getInvMass(), 75.0f);
    EXPECT_NEAR(h->m_pRigidBody->getWorldTransform().getOrigin().y(), start.y + 0.95f, 1e-4f);
    // Every pedestrian of a model shares the one standing shape.
    CHuman* other = Make(start + D3DXVECTOR3(5, 0, 0));
    EXPECT_EQ(other->m_pRigidBody->getCollisionShape(), h->m_pRigidBody->getCollisionShape());

    // Moved while standing: same body, at the new place.
    btRigidBody* body = h->m_pRigidBody;
    const D3DXVECTOR3 moved = start + D3DXVECTOR3(0, 0, 3);
    const D3DXVECTOR3 ahead = moved + D3DXVECTOR3(0, 0, 1);
    h->SetPosition(&moved, &ahead);
    EXPECT_EQ(h->m_pRigidBody, body);
    EXPECT_NEAR(body->getWorldTransform().getOrigin().z(), moved.z, 1e-4f);
    // A target on the spot keeps the way it faced.
    h->SetPosition(&moved, &moved);
    EXPECT_NEAR(h->m_matWorld._33, 1.0f, 1e-5f);
    h->Update();
    EXPECT_NEAR(body->getWorldTransform().getOrigin().y(), h->m_vGround.y + 0.95f, 1e-3f);
}

TEST_F(RagdollTest, AKnockDownBuildsTheTabledRagdollOnce)
{
    CHuman* h = Make(test::KerbPoint(), ACTION_WALK);
    const int before = BodiesInWorld();
    h->SetRagdoll(1);
    CHumanRagdoll* ragdoll = h->m_pRagdoll;
    ASSERT_NE(ragdoll, nullptr);
    h->SetRagdoll(1);
    EXPECT_EQ(h->m_pRagdoll, ragdoll);
    EXPECT_EQ(BodiesInWorld(), before - 1 + RAGDOLL_BODIES);
    EXPECT_EQ(ConstraintsInWorld(), RAGDOLL_JOINTS);
    EXPECT_EQ(h->m_nAction, ACTION_DEAD);
    EXPECT_EQ(h->m_bInWorld, 1);
    for (btRigidBody* body : ragdoll->m_pBodies) {
        EXPECT_FLOAT_EQ(1.0f / body->getInvMass(), 10.0f);
        EXPECT_FLOAT_EQ(body->getFriction(), 0.75f);
        EXPECT_FLOAT_EQ(body->getAngularDamping(), 1.0f);
        EXPECT_EQ(body->getUserPointer(), h);
    }
    // The head sits 0.45 above the standing body's centre, the right lower
    // arm 0.22 to the side.
    const btTransform base = ragdoll->m_pBodies[0]->getWorldTransform();
    const btVector3 head = base.invXform(ragdoll->m_pBodies[2]->getWorldTransform().getOrigin());
    EXPECT_NEAR(head.y(), 0.45000005f + 0.09999996f, 1e-4f);
    const btVector3 hand = base.invXform(ragdoll->m_pBodies[10]->getWorldTransform().getOrigin());
    EXPECT_NEAR(std::fabs(hand.x()), 0.22f, 1e-4f);
    int hinges = 0;
    for (btTypedConstraint* joint : ragdoll->m_pJoints)
        hinges += joint->getConstraintType() == HINGE_CONSTRAINT_TYPE;
    EXPECT_EQ(hinges, 5);
    const auto* box = static_cast<const btBoxShape*>(g_HumanBodyShapes[0]);
    EXPECT_NEAR(box->getHalfExtentsWithMargin().y(), 0.6f * 0.30f, 1e-5f);
    EXPECT_FLOAT_EQ(box->getMargin(), 0.05f);

    // Standing again brings the standing body back.
    h->SetRagdoll(0);
    EXPECT_EQ(h->m_pRagdoll, nullptr);
    EXPECT_EQ(BodiesInWorld(), before);
    EXPECT_EQ(ConstraintsInWorld(), 0);
}

TEST_F(RagdollTest, ARestingRagdollLeavesTheWorldAndStopsBleeding)
{
    CHuman* h = Make(test::KerbPoint());
    const int before = BodiesInWorld();
    h->SetRagdoll(1);
    h->Update();
    EXPECT_EQ(h->m_bInWorld, 1);
    for (int i = 0; i < RAGDOLL_BODIES - 1; ++i)
        h->m_pRagdoll->m_pBodies[i]->setActivationState(ISLAND_SLEEPING);
    h->Update();
    EXPECT_EQ(h->m_bInWorld, 1) << "one part still moves";
    h->m_pRagdoll->m_pBodies[RAGDOLL_BODIES - 1]->setActivationState(DISABLE_SIMULATION);
    h->Update();
    EXPECT_EQ(h->m_bInWorld, 0);
    EXPECT_EQ(BodiesInWorld(), before - 1);
    EXPECT_EQ(ConstraintsInWorld(), 0);
    EXPECT_NE(h->m_pRagdoll, nullptr);
    const float bleed = h->m_fBleedTimer;
    h->Update();
    EXPECT_EQ(h->m_fBleedTimer, bleed);
    // Removed from a world it has already left, without trouble.
    g_HumanManager.RemoveHuman(h);
    EXPECT_EQ(BodiesInWorld(), before - 1);
}

TEST_F(RagdollTest, ACarDrivenIntoAPedestrianKnocksItDown)
{
    m_world->setGravity(btVector3(0, -9.8f, 0));
    const D3DXVECTOR3 start = test::KerbPoint();
    CHuman* h = Make(start);
    // A wall right behind the pedestrian that its ragdoll will fall against.
    CStaticObject wall;
    wall.m_nType = GTYPE_BUILDING;
    Box(&wall, btVector3(0.2f, 2.0f, 2.0f), btVector3(start.x + 0.45f, start.y + 2.0f, start.z), 0.0f);
    // The ground under both.
    CStaticObject ground;
    ground.m_nType = GTYPE_BUILDING;
    Box(&ground, btVector3(20, 0.5f, 20), btVector3(start.x, start.y - 0.5f, start.z), 0.0f);
    CVehicle car;
    car.m_nType = GTYPE_VEHICLE;
    btRigidBody* carBody =
        Box(&car, btVector3(2.0f, 0.7f, 1.0f), btVector3(start.x - 4.0f, start.y + 0.75f, start.z), 1200.0f);
    carBody->setLinearVelocity(btVector3(8.0f, 0, 0));
    carBody->setActivationState(DISABLE_DEACTIVATION);
    g_GameTimer.m_fDelta = 1.0f / 60.0f;
    for (int i = 0; i < 90 && !h->m_pRagdoll; ++i) {
        g_Game.StepPhysics();
        g_HumanManager.Update();
    }
    ASSERT_NE(h->m_pRagdoll, nullptr);
    EXPECT_EQ(h->m_nAction, ACTION_DEAD);
    // The parts keep moving and stay out of the wall's inside.
    for (int i = 0; i < 120; ++i) {
        g_Game.StepPhysics();
        g_HumanManager.Update();
    }
    ASSERT_EQ(g_HumanManager.m_nHumans, 1u);
    for (btRigidBody* part : h->m_pRagdoll->m_pBodies) {
        const btVector3 at = part->getWorldTransform().getOrigin();
        EXPECT_TRUE(std::isfinite(at.x()) && std::isfinite(at.y()));
        EXPECT_GT(at.y(), start.y - 1.0f);
    }
}

} // namespace

namespace {

int LiveBlood()
{
    int n = 0;
    for (const CBloodParticle& p : g_BloodEffect.m_Particles)
        n += p.m_bLive != 0;
    return n;
}

TEST_F(RagdollTest, AFallenPedestrianBleedsUntilItsRagdollRests)
{
    g_BloodEffect.Reset();
    CHuman* h = Make(test::KerbPoint());
    h->SetRagdoll(1);
    for (int i = 0; i < 120; ++i)
        h->Update();
    EXPECT_GT(LiveBlood(), 0);
    for (btRigidBody* part : h->m_pRagdoll->m_pBodies)
        part->setActivationState(ISLAND_SLEEPING);
    h->Update();
    g_BloodEffect.Reset();
    for (int i = 0; i < 120; ++i)
        h->Update();
    EXPECT_EQ(LiveBlood(), 0);
}

} // namespace
