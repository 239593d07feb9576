// Contact damage: the impact strength, the dent pass on a small body, the
// filters, the player's statistics, lamps, repair and random damage.
#include "vehicle_fixture.h"

#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/MessageIds.h"
#include "game/PlayerStats.h"
#include "objects/DirectLightsEffect.h"
#include "objects/ParticleEffects.h"
#include "roadusers/Human.h"
#include "shell/GameTimer.h"
#include "shell/Keywords.h"
#include "world/Landscape.h"
#include "world/Prop.h"

#include <cmath>
#include <cstring>

namespace {

using test::VehicleTest;

class DamageTest : public VehicleTest {
protected:
    void SetUp() override
    {
        VehicleTest::SetUp();
        std::memset(&g_PlayerStats, 0, sizeof(g_PlayerStats));
        g_ParticleEffects.Reset();
        g_GameTimer.m_fGameTime = 100000.0;
        // Every test stands at the same game time: a message another test
        // showed there would still be within its ration. A box another test
        // left open would turn a new message away, so it closes first.
        g_GameInterface.ResetMessageHistory();
        g_GameInterface.ShowMessage(-1, 0.0f, nullptr, 0.0f);
        g_CityLogic.m_pObject = nullptr;
        m_wall.m_nType = GTYPE_STATIC;
        m_wall.m_nClass = GCLASS_STATIC;
    }
    void TearDown() override
    {
        g_pPlayerVehicle = nullptr;
        g_CityLogic.m_pObject = nullptr;
        g_VehicleManager.m_bRaceRunning = 0;
        g_ParticleEffects.Reset();
        g_GameInterface.ShowMessage(-1, 0.0f, nullptr, 0.0f);
        std::memset(&g_PlayerStats, 0, sizeof(g_PlayerStats));
        VehicleTest::TearDown();
    }
    // The player's sample car, heavy enough to count, 20 m/s head-on.
    CVehicle* Player()
    {
        CVehicle* car = Spawned(VEHICLE_PLAYER);
        g_pPlayerVehicle = car;
        car->m_nControlMode = 2;
        car->m_fMass = 1000.0f;
        car->m_fTopSpeedFigure = 150.0f;
        car->m_vLinearVelocity = D3DXVECTOR3(0.0f, 0.0f, 20.0f);
        return car;
    }

    CStaticObject m_wall;
    const D3DXVECTOR3 m_front{0.0f, 0.5f, 2.0f};
    const D3DXVECTOR3 m_back{0.0f, 0.0f, -1.0f}; // the normal of a hit on the front
};

TEST_F(DamageTest, StrengthFromVelocityNormalAndMasses)
{
    CStaticObject heavy;
    heavy.m_fMass = 4000.0f;
    CVehicle* other = Spawned(VEHICLE_TRAFFIC);
    other->m_fMass = 1000.0f;
    other->m_fTopSpeedFigure = 100.0f; // counts as 120
    const struct {
        const char* name;
        float mass;
        D3DXVECTOR3 velocity;
        const CStaticObject* other;
        float expected;
    } cases[] = {
        {"head-on", 1000.0f, {0, 0, 20}, nullptr, 20.0f / 30.0f},
        {"grazing", 1000.0f, {20, 0, 0}, nullptr, std::sqrt(2.0f) / 2.0f * 20.0f / 30.0f},
        {"moving away", 1000.0f, {0, 0, -20}, nullptr, 0.0f},
        {"standing", 1000.0f, {0, 0, 0}, nullptr, 0.0f},
        {"very fast", 1000.0f, {0, 0, 60}, nullptr, 1.0f},
        {"a massless object counts as none", 1000.0f, {0, 0, 20}, &m_wall, 20.0f / 30.0f},
        {"a heavy prop hits harder", 1000.0f, {0, 0, 10}, &heavy, 10.0f / 30.0f * 2.0f},
        {"car against car", 1000.0f, {0, 0, 20}, other, 10.0f / 27.0f},
        {"no mass: no strength", 0.0f, {0, 0, 20}, nullptr, 0.0f},
        {"negative mass: no strength", -5.0f, {0, 0, 20}, &heavy, 0.0f},
    };
    CVehicle* car = Spawned(VEHICLE_TRAFFIC);
    car->m_fTopSpeedFigure = 150.0f;
    for (const auto& c : cases) {
        car->m_fMass = c.mass;
        car->m_vLinearVelocity = c.velocity;
        const float s = car->ImpactStrength(&m_back, c.other);
        EXPECT_TRUE(std::isfinite(s)) << c.name;
        EXPECT_NEAR(s, c.expected, 1e-5f) << c.name;
    }
}

// A 15-vertex body, three vertices per part group, on the test device.
struct SmallBody {
    struct Vertex {
        D3DXVECTOR3 base;
        float amount;
        std::uint8_t twins;
        std::uint16_t twin[4];
    };
    explicit SmallBody(CVehicle* owner, const Vertex (&v)[15]) : car(owner)
    {
        EXPECT_EQ(g_D3DRender.m_pDevice->CreateVertexBuffer(15 * VEHICLE_BODY_VERTEX_SIZE, 0, 0, D3DPOOL_SYSTEMMEM,
                                                            &car->m_pBodyVB, nullptr),
                  D3D_OK);
        car->m_pDeform = new DeformRecord[15];
        car->m_nBodyVertices = 15;
        void* data = nullptr;
        car->m_pBodyVB->Lock(0, 0, &data, 0);
        auto* bytes = static_cast<std::uint8_t*>(data);
        for (int i = 0; i < 15; ++i) {
            DeformRecord& r = car->m_pDeform[i];
            r.vBase = v[i].base;
            r.vDented = v[i].base * 0.5f;
            r.fAmount = v[i].amount;
            r.nTwins = v[i].twins;
            std::memcpy(r.Twins, v[i].twin, sizeof(r.Twins));
            // Where the vertex is drawn now: a fully dented one far from its base.
            const D3DXVECTOR3 at = v[i].amount >= 1.0f ? D3DXVECTOR3(9, 9, 9) : v[i].base;
            std::memcpy(bytes + i * VEHICLE_BODY_VERTEX_SIZE, &at, sizeof(at));
            const std::uint32_t colour = 0x12345678u;
            std::memcpy(bytes + i * VEHICLE_BODY_VERTEX_SIZE + 24, &colour, sizeof(colour));
        }
        car->m_pBodyVB->Unlock();
        for (int g = 0; g < 5; ++g) {
            car->m_PartFirstVertex[g] = 3 * g;
            car->m_PartVertexCount[g] = 3;
        }
    }
    ~SmallBody()
    {
        car->m_pBodyVB->Release();
        car->m_pBodyVB = nullptr;
        delete[] car->m_pDeform;
        car->m_pDeform = nullptr;
        car->m_nBodyVertices = 0;
    }
    CVehicle* car;
};

std::uint32_t Alpha(float a)
{
    return static_cast<std::uint32_t>(a * 255.0f + 0.5f);
}

TEST_F(DamageTest, DentPassMovesEachPointOnceByGroup)
{
    CVehicle car;
    car.m_nKind = VEHICLE_TRAFFIC;
    const SmallBody::Vertex v[15] = {
        /* 0 */ {{0.5f, 0, 0}, 0, 2, {3, 12}}, // twins in groups 1 and 4, at their first index
        /* 1 */ {{0, 1.0f, 0}, 0, 0, {}},      // on the radius: untouched
        /* 2 */ {{0, 0.95f, 0}, 0, 0, {}},     // high up: doubled
        /* 3 */ {{0.5f, 0, 0}, 0, 0, {}},
        /* 4 */ {{0, 0.2f, 0}, 1.0f, 0, {}}, // fully dented: never moves
        /* 5 */ {{2, 0, 0}, 0, 0, {}},
        /* 6 */ {{0, 0.7f, 0}, 0, 0, {}},
        /* 7 */ {{0.1f, 0, 0}, 0, 1, {200}}, // a twin past the body is skipped
        /* 8 */ {{2, 0, 0}, 0, 0, {}},
        /* 9 */ {{0, 0, 0.3f}, 0, 0, {}},
        /* 10 */ {{2, 0, 0}, 0, 0, {}},
        /* 11 */ {{2, 0, 0}, 0, 0, {}},
        /* 12 */ {{0.5f, 0, 0}, 0, 0, {}},
        /* 13 */ {{0, 0, 0.2f}, 0, 9, {14, 14, 14, 14}}, // more than four twins count as four
        /* 14 */ {{0, 0, 0.2f}, 0, 0, {}},
    };
    SmallBody body(&car, v);
    const D3DXVECTOR3 point(0, 0, 0), normal(0, 1, 0);
    car.ApplyCollisionDamage(&point, &normal, &m_wall, 0.5f); // radius 1.0

    // (1 - d / r) x 0.5 x 1.25 x h, h from the height, at most 1.
    const float expected[15] = {0.3125f, 0, 0.0625f, 0.3125f, 1.0f, 0,      0.28125f, 0.5625f,
                                0,       0.4375f,    0,       0,   0.3125f, 0.5f,     0.5f};
    // Alpha by group: 0 the dent, 1 kept, 2 and 4 fading, 3 at once.
    const std::uint32_t alpha[15] = {
        Alpha(0.3125f), 0, Alpha(0.0625f), 0x12, 0x12, 0x12, Alpha(1 - 0.140625f), Alpha(1 - 0.28125f), 0,
        255, 0, 0, Alpha(1 - 0.15625f), Alpha(0.75f), Alpha(0.75f)};
    for (int i = 0; i < 15; ++i) {
        EXPECT_FLOAT_EQ(car.m_pDeform[i].fAmount, expected[i]) << i;
        const D3DXVECTOR3 at = BodyVertex(&car, i);
        const std::uint32_t colour = BodyColour(&car, i);
        if (expected[i] == 0.0f) {
            EXPECT_EQ(at, v[i].base) << i;
            EXPECT_EQ(colour, 0x12345678u) << i;
            continue;
        }
        if (i == 4) {
            EXPECT_EQ(at, D3DXVECTOR3(9, 9, 9));
            EXPECT_EQ(colour, 0x12345678u);
            continue;
        }
        const D3DXVECTOR3 dented = v[i].base * (1.0f - 0.5f * expected[i]);
        const float noise = 0.1f * 0.5f * 0.75f;
        EXPECT_NEAR(at.x, dented.x, noise) << i;
        EXPECT_NEAR(at.y, dented.y, noise) << i;
        EXPECT_NEAR(at.z, dented.z, noise) << i;
        EXPECT_EQ(colour >> 24, alpha[i]) << i;
        if (alpha[i] != 0x12) {
            EXPECT_EQ(colour & 0xFFFFFFu, 0xFFFFFFu) << i;
        }
    }
    EXPECT_EQ(BodyVertex(&car, 3), BodyVertex(&car, 0)) << "twins share the position";
    EXPECT_EQ(BodyVertex(&car, 12), BodyVertex(&car, 0));
    EXPECT_EQ(BodyVertex(&car, 14), BodyVertex(&car, 13));
    EXPECT_NEAR(car.GetMeanDeformation(), (0.3125f * 3 + 0.0625f + 1 + 0.28125f + 0.5625f + 0.4375f + 1) / 15, 1e-6f);

    // Repair 0 changes nothing; 1 puts every vertex back.
    const D3DXVECTOR3 before = BodyVertex(&car, 0);
    car.RepairBody(0.0f);
    EXPECT_EQ(BodyVertex(&car, 0), before);
    EXPECT_FLOAT_EQ(car.m_pDeform[0].fAmount, 0.3125f);
    car.RepairBody(1.0f);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(car.m_pDeform[i].fAmount, 0.0f) << i;
        const D3DXVECTOR3 at = BodyVertex(&car, i);
        EXPECT_NEAR(Vec3Distance(&v[i].base, &at), 0.0f, 1e-5f) << i;
    }
    EXPECT_EQ(car.GetMeanDeformation(), 0.0f);
}

TEST_F(DamageTest, WeakLandscapeHitsOnlySparkOnARoad)
{
    CVehicle* car = Spawned(VEHICLE_TRAFFIC);
    car->m_fMass = 1000.0f;
    car->m_fTopSpeedFigure = 150.0f;
    car->m_vLinearVelocity = D3DXVECTOR3(0, 0, 5.5f); // 0.18, halved below 0.1
    const struct {
        float road;
        int sparks;
    } cases[] = {{0.6f, 1}, {0.4f, 0}};
    for (const auto& c : cases) {
        g_ParticleEffects.Reset();
        car->m_fRoadFactor = c.road;
        g_GameTimer.m_fGameTime += 1000.0;
        car->ApplyCollisionDamage(&m_front, &m_back, nullptr, 0.0f);
        EXPECT_EQ(g_ParticleEffects.m_nSparks, c.sparks) << c.road;
        EXPECT_EQ(car->GetMeanDeformation(), 0.0f);
        EXPECT_EQ(car->m_nImpactSoundStamp, 0);
    }
    // The landscape's own pointer counts as no object.
    g_ParticleEffects.Reset();
    car->m_fRoadFactor = 0.6f;
    g_GameTimer.m_fGameTime += 1000.0;
    car->ApplyCollisionDamage(&m_front, &m_back, &g_Landscape, 0.0f);
    EXPECT_EQ(g_ParticleEffects.m_nSparks, 1);
    EXPECT_EQ(car->m_pLastContact, nullptr);
}

TEST_F(DamageTest, SameObjectWithinAnEighthOfASecondCountsOnce)
{
    CVehicle* car = Player();
    CVehicle* a = Spawned(VEHICLE_TRAFFIC);
    CVehicle* b = Spawned(VEHICLE_TRAFFIC);
    const struct {
        double atMs;
        CVehicle* other;
        int incidents;
    } hits[] = {{0, a, 1}, {50, a, 1}, {60, b, 2}, {100, a, 3}, {150, a, 3}, {300, a, 4}};
    const double start = g_GameTimer.m_fGameTime;
    float mean = 0.0f;
    for (const auto& h : hits) {
        g_GameTimer.m_fGameTime = start + h.atMs;
        car->ApplyCollisionDamage(&m_front, &m_back, h.other, 0.0f);
        EXPECT_EQ(g_PlayerStats.m_nRoadIncidents, h.incidents) << h.atMs;
        const float now = car->GetMeanDeformation();
        EXPECT_EQ(now > mean, h.incidents > 0 && h.atMs != 50 && h.atMs != 150) << h.atMs;
        mean = now;
    }
}

TEST_F(DamageTest, BridgeSceneObjectAndRampLandingSparkAndCountButDoNotDent)
{
    CVehicle* car = Player();
    CProp bridge;
    bridge.m_nType = GTYPE_BRIDGE;
    CProp shop;
    shop.m_nType = GTYPE_BUILDING;
    g_CityLogic.m_pObject = &shop;
    for (CStaticObject* other : {static_cast<CStaticObject*>(&bridge), static_cast<CStaticObject*>(&shop)}) {
        g_ParticleEffects.Reset();
        const float total = g_PlayerStats.m_fDamageTotal;
        car->ApplyCollisionDamage(&m_front, &m_back, other, 0.0f);
        EXPECT_EQ(g_ParticleEffects.m_nSparks, 1);
        EXPECT_GT(g_PlayerStats.m_fDamageTotal, total);
        EXPECT_EQ(car->GetMeanDeformation(), 0.0f);
        EXPECT_EQ(car->m_pLastContact, nullptr);
    }
    // The same hit on a plain wall dents.
    car->ApplyCollisionDamage(&m_front, &m_back, &m_wall, 0.0f);
    EXPECT_GT(car->GetMeanDeformation(), 0.0f);
    EXPECT_EQ(car->m_pLastContact, &m_wall);
}

TEST_F(DamageTest, PlayersStatistics)
{
    CVehicle* rival = Spawned(VEHICLE_RIVAL);
    CVehicle* police = Spawned(VEHICLE_POLICE);
    CVehicle* traffic = Spawned(VEHICLE_TRAFFIC);
    const struct {
        const char* name;
        float s;
        CVehicle* other;
        int race, aiState, incidents;
        float level;
    } cases[] = {
        {"a scrape", 0.24f, traffic, 0, 0, 0, 0.0f},
        {"a crash", 0.26f, traffic, 0, 0, 1, 0.0125f * 0.26f},
        {"ramming the police", 0.31f, police, 0, 0, 1, 0.3f + 0.0125f * 0.31f},
        {"scraping the police", 0.29f, police, 0, 0, 1, 0.0125f * 0.29f},
        {"a rival in the race", 0.5f, rival, 1, 3, 0, 0.0f},
        {"a rival with no race running", 0.5f, rival, 0, 3, 1, 0.0125f * 0.5f},
        {"traffic during a race", 0.5f, traffic, 1, 2, 1, 0.0125f * 0.5f},
    };
    for (const auto& c : cases) {
        CVehicle* car = Player();
        std::memset(&g_PlayerStats, 0, sizeof(g_PlayerStats));
        g_VehicleManager.m_bRaceRunning = c.race;
        c.other->m_nAIState = c.aiState;
        car->ApplyCollisionDamage(&m_front, &m_back, c.other, c.s);
        EXPECT_EQ(g_PlayerStats.m_nRoadIncidents, c.incidents) << c.name;
        EXPECT_FLOAT_EQ(g_PlayerStats.m_fCriminalLevel, c.level) << c.name;
        EXPECT_FLOAT_EQ(g_PlayerStats.m_fDamageTotal, 0.025f * c.s) << c.name;
    }
    g_VehicleManager.m_bRaceRunning = 0;

    // Another car's contacts are not the player's.
    std::memset(&g_PlayerStats, 0, sizeof(g_PlayerStats));
    traffic->ApplyCollisionDamage(&m_front, &m_back, police, 0.9f);
    EXPECT_EQ(g_PlayerStats.m_nRoadIncidents, 0);
    EXPECT_EQ(g_PlayerStats.m_fDamageTotal, 0.0f);
}

TEST_F(DamageTest, HittingAPedestrian)
{
    CVehicle* car = Player();
    CHuman walker;
    walker.m_nType = GTYPE_HUMAN;
    g_ParticleEffects.Reset();
    car->ApplyCollisionDamage(&m_front, &m_back, &walker, 0.0f);
    EXPECT_EQ(g_PlayerStats.m_nPedestriansHit, 1);
    EXPECT_FLOAT_EQ(g_PlayerStats.m_fCriminalLevel, 0.26f) << "at least 0.26 after a hit";
    EXPECT_EQ(g_PlayerStats.m_fDamageTotal, 0.0f);
    EXPECT_EQ(g_ParticleEffects.m_nSparks, 0) << "no sparks off a pedestrian";
    EXPECT_EQ(g_GameInterface.m_nMessageId, MSG_CRIMINAL_LEVEL);

    // One already down is not counted again.
    int body = 0;
    walker.m_pRagdoll = reinterpret_cast<CHumanRagdoll*>(&body);
    g_GameTimer.m_fGameTime += 1000.0;
    car->ApplyCollisionDamage(&m_front, &m_back, &walker, 0.0f);
    EXPECT_EQ(g_PlayerStats.m_nPedestriansHit, 1);
    EXPECT_FLOAT_EQ(g_PlayerStats.m_fCriminalLevel, 0.26f);
    walker.m_pRagdoll = nullptr;
}

TEST_F(DamageTest, LampsNearADentGoOutAndComeBack)
{
    CVehicle* car = Spawned(VEHICLE_TRAFFIC);
    CDirectLightsEffect* lights = car->m_pDirectLights;
    ASSERT_NE(lights, nullptr);
    const D3DXVECTOR3* head = car->m_pMesh->m_pPoints[1];
    ASSERT_GE(lights->m_Head.m_nCount, 2u);
    DeformRecord near;
    near.vBase = head[0];
    car->BreakLightsNear(&near);
    const D3DXVECTOR3 dark(0, 0, 0);
    EXPECT_EQ(lights->m_Head.m_pSizes[0], dark);
    EXPECT_EQ(lights->m_Glare.m_pSizes[0], dark);
    EXPECT_EQ(lights->m_Head.m_pSizes[1], lights->m_Head.m_vHalfSize) << "the other head lamp is too far";
    EXPECT_EQ(lights->m_Glare.m_pSizes[1], lights->m_Glare.m_vHalfSize);
    for (std::uint32_t i = 0; i < lights->m_Rear.m_nCount; ++i)
        EXPECT_EQ(lights->m_Rear.m_pSizes[i], lights->m_Rear.m_vHalfSize) << i;
    // A lamp of the third kind within three of its sizes goes out as well.
    for (std::uint32_t i = 0; i < lights->m_Third.m_nCount; ++i) {
        const D3DXVECTOR3 offset = car->m_pMesh->m_pPoints[3][i] - head[0];
        const bool inReach = Vec3Length(&offset) < 3.0f * lights->m_Third.m_vHalfSize.y;
        EXPECT_EQ(lights->m_Third.m_pSizes[i] == dark, inReach) << i;
    }
    car->RestoreLightsNear(&near);
    EXPECT_EQ(lights->m_Head.m_pSizes[0], lights->m_Head.m_vHalfSize);
    EXPECT_EQ(lights->m_Glare.m_pSizes[0], lights->m_Glare.m_vHalfSize);

    // A set shorter than the model's lamp points leaves the others alone.
    lights->m_Head.m_nCount = 1;
    near.vBase = head[1];
    car->BreakLightsNear(&near);
    EXPECT_EQ(lights->m_Head.m_pSizes[1], lights->m_Head.m_vHalfSize);
    lights->m_Head.m_nCount = 2;
}

TEST_F(DamageTest, RandomDamageWearsAndRepairRestores)
{
    CVehicle* car = Spawned(VEHICLE_TRAFFIC);
    car->ApplyRandomDamage(20, 1.0f);
    EXPECT_GT(car->GetMeanDeformation(), 0.0f);
    EXPECT_GT(car->GetDamageRatio(), 0.0f);
    EXPECT_LE(car->GetDamageRatio(), 1.0f);
    float wear = 0.0f;
    for (float w : car->m_WheelWear)
        wear += w;
    EXPECT_GT(wear + car->m_fBodyDamage, 0.0f);

    car->RepairBody(1.0f);
    EXPECT_EQ(car->GetMeanDeformation(), 0.0f);
    EXPECT_EQ(car->GetDamageRatio(), 0.0f);
    for (std::uint32_t i = 0; i < car->m_nBodyVertices; ++i)
    {
        const D3DXVECTOR3 at = BodyVertex(car, i);
        ASSERT_NEAR(Vec3Distance(&car->m_pDeform[i].vBase, &at), 0.0f, 1e-6f) << i;
    }

    CVehicle bare;
    bare.ApplyRandomDamage(20, 1.0f); // no records: nothing to pick
    EXPECT_EQ(bare.GetMeanDeformation(), 0.0f);
}

// Wear within twice the dent radius (strength + 0.5 before the second
// scaling) of a wheel: S x 0.75 for most cars, police raised and capped.
TEST_F(DamageTest, WheelWearNearTheHit)
{
    const struct {
        int kind;
        float offset, expected;
    } cases[] = {
        {VEHICLE_TRAFFIC, 0.0f, 0.2f * 0.6f},
        {VEHICLE_POLICE, 0.0f, 0.2f * 1.0f},
        {VEHICLE_TRAFFIC, 1.2f, (1.0f - 1.2f / 2.6f) * 0.2f * 0.6f},
        {VEHICLE_POLICE, 1.2f, (1.0f - 1.2f / 3.0f) * 0.2f * 1.0f},
    };
    for (const auto& c : cases) {
        CVehicle* car = Spawned(c.kind);
        const D3DXVECTOR3 hub = car->m_pMesh->m_pPoints[VEHICLE_MESH_WHEEL_PART][0];
        const D3DXVECTOR3 at = hub + D3DXVECTOR3(0, 0, c.offset);
        car->ApplyCollisionDamage(&at, &m_back, &m_wall, 0.8f);
        EXPECT_FLOAT_EQ(car->m_WheelWear[0], c.expected) << c.kind << " " << c.offset;
    }
}

} // namespace
