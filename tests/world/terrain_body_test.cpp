// The physics heightfield lines up with the drawn ground, so bodies rest on
// what the player sees.
#include "world/world_fixture.h"

#include "objects/StaticObject.h"
#include "shell/Game.h"

#include <btBulletDynamicsCommon.h>

#include <cstdlib>

namespace {

class TerrainBody : public test::LandscapeTest {
protected:
    void SetUp() override { g_Game.InitPhysics(); }
    void TearDown() override
    {
        test::LandscapeTest::TearDown();
        EXPECT_EQ(g_Landscape.m_pTerrainBody, nullptr);
        EXPECT_EQ(g_Game.m_pDynamicsWorld->getNumCollisionObjects(), 0) << "the landscape took its body out";
        g_Game.ReleasePhysics();
    }
    // Bullet rays straight down against the heightfield compared with the
    // exact height query at random points of the map.
    static void ExpectRaysMeetTheDrawnGround(int samples, unsigned seed)
    {
        const float w = g_Landscape.m_fWorldSize, top = 2.0f * g_Landscape.m_fHeight + 10.0f;
        std::srand(seed);
        for (int i = 0; i < samples; ++i) {
            const float x = (static_cast<float>(std::rand()) / RAND_MAX - 0.5f) * w * 0.999f;
            const float z = (static_cast<float>(std::rand()) / RAND_MAX - 0.5f) * w * 0.999f;
            const btVector3 from(x, top, z), to(x, -10.0f, z);
            btCollisionWorld::ClosestRayResultCallback hit(from, to);
            g_Game.m_pDynamicsWorld->rayTest(from, to, hit);
            ASSERT_TRUE(hit.hasHit()) << x << ", " << z;
            const D3DXVECTOR3 p(x, 0, z);
            ASSERT_NEAR(hit.m_hitPointWorld.y(), GetExactAltitude(&p), 1e-3f) << x << ", " << z;
        }
    }
};

TEST_F(TerrainBody, MatchesTheGroundOfAnyMap)
{
    tools::LandscapeMaps m = test::SmallMap(12);
    m.frame.cellSize = 2.5f;
    m.frame.height = 40.0f;
    for (int row = 0; row < 12; ++row)
        for (int column = 0; column < 12; ++column)
            m.Altitude(column, row) = static_cast<float>((column * 7 + row * row * 3) % 23) + 1.0f;
    ASSERT_EQ(test::LoadMaps(m), 1);
    g_Landscape.Update();
    ASSERT_NE(g_Landscape.m_pTerrainBody, nullptr);
    ExpectRaysMeetTheDrawnGround(400, 1);
    // A second update keeps the one body.
    g_Landscape.Update();
    EXPECT_EQ(g_Game.m_pDynamicsWorld->getNumCollisionObjects(), 1);
}

TEST_F(TerrainBody, BoxRestsOnASlopeOfTheSampleCity)
{
    test::LoadSampleCity();
    g_Landscape.Update();
    ASSERT_NE(g_Landscape.m_pTerrainBody, nullptr);
    ExpectRaysMeetTheDrawnGround(200, 2);

    // On the shore that falls towards the sea on the west side.
    const D3DXVECTOR3 spot(-1158.0f, 0.0f, 3.0f);
    const float ground = GetExactAltitude(&spot);
    ASSERT_LT(ground, 16.0f);
    btBoxShape box(btVector3(0.5f, 0.5f, 0.5f));
    btVector3 inertia;
    box.calculateLocalInertia(1.0f, inertia);
    btTransform start;
    start.setIdentity();
    start.setOrigin(btVector3(spot.x, ground + 2.0f, spot.z));
    btRigidBody::btRigidBodyConstructionInfo info(1.0f, nullptr, &box, inertia);
    info.m_startWorldTransform = start;
    info.m_friction = 0.9f;
    btRigidBody body(info);
    // A body with no object collides with nothing: the box stands for a prop.
    CStaticObject prop;
    prop.m_nType = GTYPE_DECORS;
    body.setUserPointer(&prop);
    g_Game.m_pDynamicsWorld->addRigidBody(&body);
    for (int i = 0; i < 180; ++i)
        g_Game.m_pDynamicsWorld->stepSimulation(1.0f / 60.0f, 0, 1.0f / 60.0f);
    const btVector3 at = body.getWorldTransform().getOrigin();
    g_Game.m_pDynamicsWorld->removeRigidBody(&body);
    const D3DXVECTOR3 under(at.x(), 0.0f, at.z());
    EXPECT_NEAR(at.y() - 0.5f, GetExactAltitude(&under), 0.1f);
}

} // namespace
