// Which objects collide: the class table through real contacts in the world.
#include "physics_fixture.h"

#include "objects/CollisionFilter.h"
#include "roadusers/Human.h"
#include "world/Landscape.h"

namespace {

using test::PhysicsTest;

// The classes as the owners make them: terrain, scenery, no object, props,
// a walking pedestrian, a knocked-down one, a car.
class FilterTest : public PhysicsTest {
protected:
    void SetUp() override
    {
        PhysicsTest::SetUp();
        m_scenery.m_nType = GTYPE_TREE;
        m_prop.m_nType = GTYPE_LAMPPOST;
        m_walker.m_nType = GTYPE_HUMAN;
        m_fallen.m_nType = GTYPE_HUMAN;
        m_fallen.m_pRagdoll = reinterpret_cast<CHumanRagdoll*>(&m_fallen);
        m_car.m_nType = GTYPE_VEHICLE;
    }
    void* OfClass(int c)
    {
        void* objects[7] = {&g_Landscape, &m_scenery, nullptr, &m_prop, &m_walker, &m_fallen, &m_car};
        return objects[c];
    }
    // Whether two touching spheres owned by a and b end up with contact points.
    bool TouchInWorld(void* a, void* b)
    {
        btRigidBody* first = AddBody(Sphere(1.0f), a, btVector3(0, 0, 0));
        btRigidBody* second = AddBody(Sphere(1.0f), b, btVector3(1.5f, 0, 0), 1.0f);
        m_world->performDiscreteCollisionDetection();
        bool touching = false;
        for (int i = 0; i < g_Game.m_pDispatcher->getNumManifolds(); ++i)
            touching |= g_Game.m_pDispatcher->getManifoldByIndexInternal(i)->getNumContacts() > 0;
        for (btRigidBody* body : {first, second}) {
            m_world->removeRigidBody(body);
            delete body->getMotionState();
            delete body;
        }
        return touching;
    }

    CStaticObject m_scenery, m_prop, m_car;
    CHuman m_walker, m_fallen;
};

TEST_F(FilterTest, EveryClassPairCollidesAsTheTableSays)
{
    const int expected[7][7] = {
        {0, 0, 0, 1, 1, 1, 1}, {0, 0, 0, 1, 0, 1, 1}, {0, 0, 0, 0, 0, 0, 0}, {1, 1, 0, 1, 0, 1, 1},
        {1, 0, 0, 0, 0, 0, 1}, {1, 1, 0, 1, 0, 0, 1}, {1, 1, 0, 1, 1, 1, 1},
    };
    for (int a = 0; a < 7; ++a)
        for (int b = 0; b < 7; ++b) {
            // Two objects of one class: a second object of the same kind.
            CStaticObject twinStatic;
            CHuman twinHuman;
            void* second = OfClass(b);
            if (a == b && second && second != &g_Landscape) {
                if (b == 4 || b == 5) {
                    twinHuman.m_nType = GTYPE_HUMAN;
                    twinHuman.m_pRagdoll = static_cast<CHuman*>(second)->m_pRagdoll;
                    second = &twinHuman;
                } else {
                    twinStatic.m_nType = static_cast<CStaticObject*>(second)->m_nType;
                    second = &twinStatic;
                }
            }
            EXPECT_EQ(CanObjectsCollide(OfClass(a), second), expected[a][b]) << a << " x " << b;
            EXPECT_EQ(TouchInWorld(OfClass(a), second), expected[a][b] != 0) << a << " x " << b;
        }
}

TEST_F(FilterTest, TypesOutsideTheTableAndNullObjectsCollideWithNothing)
{
    CStaticObject wheel, unknown, between;
    wheel.m_nType = GTYPE_WHEEL;
    unknown.m_nType = 0;
    between.m_nType = 100; // inside the scenery range though no named type
    EXPECT_EQ(GetCollisionClass(&between), COLLISION_CLASS_SCENERY);
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(CanObjectsCollide(&wheel, OfClass(c)), 0) << c;
        EXPECT_EQ(CanObjectsCollide(OfClass(c), &unknown), 0) << c;
        EXPECT_EQ(CanObjectsCollide(nullptr, OfClass(c)), 0) << c;
    }
    EXPECT_FALSE(TouchInWorld(&wheel, &m_car));
}

TEST_F(FilterTest, RefusedPairsNeverReachThePairCache)
{
    AddBody(Sphere(1.0f), &g_Landscape, btVector3(0, 0, 0));
    AddBody(Sphere(1.0f), &m_scenery, btVector3(1, 0, 0));
    EXPECT_EQ(g_Game.m_pBroadphase->getOverlappingPairCache()->getNumOverlappingPairs(), 0);
    AddBody(Sphere(1.0f), &m_car, btVector3(0, 1, 0), 1.0f);
    m_world->performDiscreteCollisionDetection();
    EXPECT_EQ(g_Game.m_pBroadphase->getOverlappingPairCache()->getNumOverlappingPairs(), 2);
}

} // namespace

namespace {

// A pair the broadphase made stays cached while the boxes overlap; when one
// object's class changes (a walker knocked down, a type rewritten), the near
// callback still asks the table before any contact is made.
TEST_F(FilterTest, TheNearCallbackAsksTheTableForPairsAlreadyCached)
{
    CHuman walker;
    walker.m_nType = GTYPE_HUMAN;
    AddBody(Sphere(1.0f), &m_car, btVector3(0, 0, 0));
    AddBody(Sphere(1.0f), &walker, btVector3(1.5f, 0, 0), 1.0f);
    m_world->performDiscreteCollisionDetection();
    ASSERT_EQ(g_Game.m_pDispatcher->getNumManifolds(), 1);
    ASSERT_GT(g_Game.m_pDispatcher->getManifoldByIndexInternal(0)->getNumContacts(), 0);
    g_Game.m_pDispatcher->getManifoldByIndexInternal(0)->clearManifold();

    walker.m_nType = GTYPE_WHEEL;
    m_world->performDiscreteCollisionDetection();
    EXPECT_EQ(g_Game.m_pBroadphase->getOverlappingPairCache()->getNumOverlappingPairs(), 1);
    for (int i = 0; i < g_Game.m_pDispatcher->getNumManifolds(); ++i)
        EXPECT_EQ(g_Game.m_pDispatcher->getManifoldByIndexInternal(i)->getNumContacts(), 0);
}

} // namespace
