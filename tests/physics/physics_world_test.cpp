// The world's life cycle around the bodies: a reset takes what no owner
// removed, and a full broadphase refuses a body instead of corrupting itself.
#include "physics_fixture.h"

#include "shell/Log.h"

#include <string>

namespace {

using test::PhysicsTest;

TEST_F(PhysicsTest, AResetDeletesLeftoverBodiesWithTheirMotionStates)
{
    for (int i = 0; i < 3; ++i)
        AddBody(Sphere(1.0f), nullptr, btVector3(static_cast<float>(i) * 5.0f, 0, 0), 1.0f);
    CStaticObject* lamp = MakeObject(Write("Data/Lamp.msh", test::StandingPostMesh()), GTYPE_LAMPPOST);
    const D3DXVECTOR3 at(0, 0, 0), target(0, 0, 1), up(0, 1, 0);
    lamp->CreateRigidBody(5.0f, &at, &target, &up);
    AddToWorld(lamp);
    lamp->DestroyRigidBody(); // its owner took it out; the reset must not see it
    ASSERT_EQ(m_world->getNumCollisionObjects(), 3);
    g_Game.Reset();
    // The leak check of the sanitizer build sees any motion state left.
    EXPECT_EQ(m_world->getNumCollisionObjects(), 0);
    Step(2);
}

TEST_F(PhysicsTest, AFullWorldRefusesAFurtherBodyAndSaysSo)
{
    // Tiny spheres along a diagonal: each new one sorts to the end on every
    // axis, and bodies of no object never pair.
    btCollisionShape* sphere = Sphere(0.01f);
    const float spacing = 2800.0f / static_cast<float>(PHYSICS_MAX_BODIES);
    for (int i = 0; i < PHYSICS_MAX_BODIES; ++i) {
        const float p = -1400.0f + spacing * static_cast<float>(i);
        AddBody(sphere, nullptr, btVector3(p, p, p));
    }
    ASSERT_EQ(m_world->getNumCollisionObjects(), PHYSICS_MAX_BODIES);
    btRigidBody* refused = AddBody(sphere, nullptr, btVector3(1450, 1450, 1450));
    EXPECT_EQ(m_world->getNumCollisionObjects(), PHYSICS_MAX_BODIES);
    EXPECT_EQ(refused->getBroadphaseHandle(), nullptr);
    EXPECT_NE(Log().find("Physics world full"), std::string::npos);
    m_world->removeRigidBody(refused); // harmless for a body not in the world
    delete refused->getMotionState();
    delete refused;
    // Room again once one body leaves.
    btCollisionObject* first = m_world->getCollisionObjectArray()[0];
    m_world->removeCollisionObject(first);
    delete btRigidBody::upcast(first)->getMotionState();
    delete first;
    btRigidBody* admitted = AddBody(sphere, nullptr, btVector3(1450, 1450, 1450));
    EXPECT_NE(admitted->getBroadphaseHandle(), nullptr);
}

} // namespace
