// What the effects write for the device: positions, colours and texture
// coordinates of known drops, trails, rings, sparks and puffs.
#include "EffectFixture.h"

#include "objects/BloodEffect.h"
#include "objects/EffectColour.h"
#include "objects/ParticleEffects.h"
#include "objects/StaticObject.h"
#include "shell/Keywords.h"
#include "objects/WaterCircles.h"

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

int Alpha(std::uint32_t c) { return int(c >> 24); }
int Red(std::uint32_t c) { return int((c >> 16) & 0xFF); }
int Green(std::uint32_t c) { return int((c >> 8) & 0xFF); }
int Blue(std::uint32_t c) { return int(c & 0xFF); }

struct Corner {
    float x, y, z, u, v;
};

void ExpectVector(const D3DXVECTOR3& actual, float x, float y, float z, const char* what)
{
    EXPECT_NEAR(actual.x, x, 1e-4f) << what;
    EXPECT_NEAR(actual.y, y, 1e-4f) << what;
    EXPECT_NEAR(actual.z, z, 1e-4f) << what;
}

void ExpectQuad(const CLightVertex* quad, const Corner (&corners)[4], float scale)
{
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        ExpectVector(quad[i].vOffset, corners[i].x * scale, corners[i].y * scale, corners[i].z * scale, "offset");
        EXPECT_NEAR(quad[i].fU, corners[i].u, 1e-6f);
        EXPECT_NEAR(quad[i].fV, corners[i].v, 1e-6f);
    }
}

TEST(EffectColour, ChannelsSaturateInsteadOfWrapping)
{
    const struct {
        float value;
        std::uint32_t byte;
    } cases[] = {{-0.5f, 0},   {0.0f, 0},    {0.5f, 127},  {1.0f, 255},
                 {1.01f, 255}, {3.0f, 255},  {1e30f, 255}, {std::numeric_limits<float>::quiet_NaN(), 0}};
    for (const auto& c : cases)
        EXPECT_EQ(EffectChannel(c.value), c.byte) << c.value;
    EXPECT_EQ(PackEffectColour(1.0f, 0.5f, 0.0f, 0.375f), 0x5FFF7F00u);
}

class BloodVerticesTest : public test::EffectWorldTest {
protected:
    // A drop past its growth, standing still at position.
    CBloodParticle* Drop(const D3DXVECTOR3& position, int landed = 0, D3DXCOLOR4 colour = {0.5f, 0, 0, 1})
    {
        const D3DXVECTOR3 still(0.0f, 0.0f, 0.0f);
        CBloodParticle* drop = pool->Spawn(&position, &still, colour);
        drop->m_vPosition = position;
        drop->m_vVelocity = still;
        drop->m_fTotalLife = 20.0f;
        drop->m_fLife = 10.0f;
        drop->m_fSize = 0.25f;
        drop->m_fAtlasU = 0.5f;
        drop->m_fAtlasV = 0.0f;
        drop->m_bLanded = landed;
        return drop;
    }
    void Fill() { pool->UpdateInto(billboards.data(), splats.data()); }

    std::unique_ptr<CBloodEffect> pool = std::make_unique<CBloodEffect>();
    std::vector<CLightVertex> billboards = std::vector<CLightVertex>(BLOOD_VERTICES);
    std::vector<CEffectVertex> splats = std::vector<CEffectVertex>(BLOOD_VERTICES);
};

TEST_F(BloodVerticesTest, FlyingDropStandsOnItsPositionInItsAtlasQuarter)
{
    Drop(D3DXVECTOR3(0.0f, 1.0f, 0.0f));
    Fill();
    ASSERT_EQ(pool->m_nBillboardVertices, 4u);
    EXPECT_EQ(pool->m_nSplatVertices, 0u);
    // One frame of gravity: velocity -0.1, moved by 2 dt of it.
    const Corner corners[4] = {{1, 1, 0, 0.5f, 0}, {1, 0, 0, 0.5f, 0.5f}, {-1, 1, 0, 1, 0}, {-1, 0, 0, 1, 0.5f}};
    ExpectQuad(billboards.data(), corners, 0.25f);
    for (int i = 0; i < 4; ++i) {
        ExpectVector(billboards[i].vCentre, 0.0f, 0.996f, 0.0f, "centre");
        ExpectVector(billboards[i].vAxis, 0.0f, 1.0f, 0.0f, "axis");
        EXPECT_EQ(billboards[i].nColour, 0x5F7F0000u) << "red 0.5 in daylight, alpha 0.375";
    }
}

TEST_F(BloodVerticesTest, ColourFollowsDaylightAndLife)
{
    const struct {
        float daylight, lifeLeft, red;
        std::uint32_t colour;
    } cases[] = {
        {1.0f, 10.0f, 0.5f, 0x5F7F0000u},  {0.25f, 10.0f, 0.5f, 0x5F1F0000u}, {0.0f, 10.0f, 0.5f, 0x5F1F0000u},
        {1.0f, 2.5f + kFrame, 0.5f, 0x2F7F0000u}, // an eighth of life left: alpha halved
        {1.0f, 10.0f, 3.0f, 0x5FFF0000u},  // too bright saturates, never wraps to a dark red
    };
    for (const auto& c : cases) {
        g_Sky.m_fDaylight = c.daylight;
        CBloodParticle* drop = Drop(D3DXVECTOR3(0.0f, 1.0f, 0.0f), 1, {c.red, 0, 0, 1});
        drop->m_fLife = c.lifeLeft;
        Fill();
        ASSERT_EQ(pool->m_nSplatVertices, 4u);
        EXPECT_EQ(splats[0].colour, c.colour) << c.daylight << " " << c.lifeLeft << " " << c.red;
        pool->Reset();
    }
}

TEST_F(BloodVerticesTest, DropFallsLandsHalfSunkAndThenRests)
{
    CBloodParticle* drop = Drop(D3DXVECTOR3(0.0f, 1.0f, 0.0f));
    int frames = 0;
    while (!drop->m_bLanded && frames < 1000) {
        Fill();
        ++frames;
    }
    ASSERT_TRUE(drop->m_bLanded);
    EXPECT_FLOAT_EQ(drop->m_vPosition.y, 0.05f);
    EXPECT_EQ(drop->m_vVelocity.y, 0.0f);
    Frames(20, [&] { Fill(); });
    EXPECT_FLOAT_EQ(drop->m_vPosition.y, 0.05f) << "a landed drop never moves";
    EXPECT_EQ(pool->m_nSplatVertices, 4u);
    EXPECT_EQ(pool->m_nBillboardVertices, 0u);
}

// A slow drop lies as a square; a fast one trails 2 units behind its motion.
TEST_F(BloodVerticesTest, SplatStretchesWithTheLandingSpeed)
{
    const struct {
        float speed, length;
    } cases[] = {{0.0f, 0.5f}, {1.0f, 0.5f}, {3.0f, 1.5f}, {5.0f, 2.5f}, {9.0f, 2.5f}};
    for (const auto& c : cases) {
        CBloodParticle* drop = Drop(D3DXVECTOR3(0.0f, 0.05f, 2.0f), 1);
        drop->m_vVelocity = D3DXVECTOR3(c.speed, 0.0f, 0.0f);
        Fill();
        ASSERT_EQ(pool->m_nSplatVertices, 4u);
        const D3DXVECTOR3 p0 = VertexPosition(splats[0]), p1 = VertexPosition(splats[1]), p2 = VertexPosition(splats[2]);
        const float length = Vec3Distance(&p0, &p1);
        EXPECT_NEAR(length, c.length, 1e-4f) << c.speed;
        EXPECT_NEAR(Vec3Distance(&p0, &p2), 0.5f, 1e-4f) << "0.5 wide";
        if (c.speed > 1.0f) {
            EXPECT_LT(p1.x, p0.x) << "the trail lies behind the motion";
        }
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(splats[i].y, 0.05f, 1e-5f);
        pool->Reset();
    }
}

TEST_F(BloodVerticesTest, DropsBeyondThirtyFromTheEyeWriteNothing)
{
    // The eye is at (0, 1, -10): 30 and 30.01 straight ahead.
    Drop(D3DXVECTOR3(0.0f, 1.0f, 20.0f), 1);
    Fill();
    EXPECT_EQ(pool->m_nSplatVertices, 4u);
    pool->Reset();
    Drop(D3DXVECTOR3(0.0f, 1.0f, 20.01f), 1);
    Fill();
    EXPECT_EQ(pool->m_nSplatVertices, 0u);
    pool->Reset();
    Drop(D3DXVECTOR3(0.0f, 1.0f, -15.0f), 1); // behind the eye
    Fill();
    EXPECT_EQ(pool->m_nSplatVertices, 0u);
}

TEST_F(BloodVerticesTest, AFullFrameKeepsWholeQuadsBelowTheBufferSize)
{
    for (int i = 0; i < BLOOD_DROPS; ++i)
        Drop(D3DXVECTOR3(0.0f, 0.05f, 2.0f), 1);
    Fill();
    EXPECT_EQ(pool->m_nSplatVertices, BLOOD_VERTICES - 4u);
    pool->UpdateInto(nullptr, nullptr);
    EXPECT_EQ(pool->m_nSplatVertices, 0u) << "no buffer, nothing written or counted";
}

class CirclesVerticesTest : public test::EffectWorldTest {
protected:
    std::unique_ptr<CWaterCircles> circles = std::make_unique<CWaterCircles>();
};

TEST_F(CirclesVerticesTest, TrailPointsLieOnTheGroundAcrossThePath)
{
    std::uint32_t ticket = 0;
    CSkidTrail* trail = circles->AllocSkidTrail(&ticket);
    D3DXVECTOR3 first(0.0f, 5.0f, 0.0f);
    ASSERT_EQ(trail->AddPoint(&first, 1.0f, ticket), 1);
    EXPECT_FLOAT_EQ(first.y, 0.1f) << "the caller's point is put on the ground";
    ExpectVector(VertexPosition(trail->m_Vertices[0]), -0.1f, 0.1f, 0.0f, "first pair along x");
    EXPECT_EQ(trail->m_Vertices[0].colour, 63u << 24);

    D3DXVECTOR3 second(2.0f, 0.0f, 0.0f); // heading +x: the sides are -z and +z
    trail->AddPoint(&second, 0.5f, ticket);
    ExpectVector(VertexPosition(trail->m_Vertices[0]), 0.0f, 0.1f, 0.1f, "first pair turned across the path");
    ExpectVector(VertexPosition(trail->m_Vertices[1]), 0.0f, 0.1f, -0.1f, "first pair turned across the path");
    EXPECT_EQ(trail->m_Vertices[0].colour, 0u) << "the strip starts transparent";
    ExpectVector(VertexPosition(trail->m_Vertices[2]), 2.0f, 0.1f, 0.1f, "left edge");
    ExpectVector(VertexPosition(trail->m_Vertices[3]), 2.0f, 0.1f, -0.1f, "right edge");
    EXPECT_EQ(trail->m_Vertices[3].colour, 31u << 24);

    for (int i = 2; i < SKID_TRAIL_POINTS + 3; ++i) {
        D3DXVECTOR3 next(2.0f + i, 0.0f, 0.0f);
        EXPECT_EQ(trail->AddPoint(&next, 1.0f, ticket), i < SKID_TRAIL_POINTS ? 1 : 0) << i;
    }
    EXPECT_EQ(trail->m_nPoints, static_cast<std::uint32_t>(SKID_TRAIL_POINTS));
}

TEST_F(CirclesVerticesTest, TrailKeepsItsAlphaSixSecondsThenFades)
{
    std::uint32_t ticket = 0;
    CSkidTrail* trail = circles->AllocSkidTrail(&ticket);
    D3DXVECTOR3 a(0, 0, 0), b(0, 0, 1), c(0, 0, 2);
    trail->AddPoint(&a, 1.0f, ticket);
    trail->AddPoint(&b, 1.0f, ticket);
    trail->AddPoint(&c, 0.0f, ticket);
    const struct {
        float age;
        std::uint32_t alpha; // of the second point
    } cases[] = {{5.0f, 63}, {7.0f, 47}, {8.0f, 31}, {9.9f, 1}};
    for (const auto& k : cases) {
        trail->m_fAge = k.age - kFrame;
        circles->Update();
        EXPECT_EQ(trail->m_Vertices[2].colour >> 24, k.alpha) << k.age;
        EXPECT_EQ(trail->m_Vertices[4].colour, 0u) << "intensity 0 stays transparent";
    }
    trail->m_fAge = 10.0f;
    circles->Update();
    EXPECT_FALSE(trail->m_bActive);
}

TEST_F(CirclesVerticesTest, RingSpreadsByTwoAndDimsAtNight)
{
    const D3DXVECTOR3 at(3.0f, 7.0f, 4.0f);
    g_Landscape.m_fHeight = 25.0f; // water at 2
    for (int i = 0; i < 20; ++i) {
        CWaterRing* ring = circles->SpawnRing(&at);
        EXPECT_GE(ring->m_fRadius, 0.1f);
        EXPECT_LE(ring->m_fRadius, 0.6f);
        ring->m_bActive = 0;
    }
    const struct {
        float lightsFactor, age;
        std::uint32_t colour;
    } cases[] = {{0.0f, 1.0f, 0xFF161E26u}, {1.0f, 1.0f, 0xFF090C0Fu}, {0.0f, 3.0f, 0xFF0B0F13u}};
    for (const auto& c : cases) {
        g_Sky.m_fLightsFactor = c.lightsFactor;
        CWaterRing* ring = circles->SpawnRing(&at);
        ring->m_fAge = c.age - kFrame;
        circles->Update();
        EXPECT_EQ(ring->m_Vertices[0].colour, c.colour) << c.lightsFactor << " " << c.age;
        const float r = ring->m_fRadius;
        ExpectVector(VertexPosition(ring->m_Vertices[0]), 3.0f - r, 2.0f, 4.0f + r, "corner 0");
        ExpectVector(VertexPosition(ring->m_Vertices[3]), 3.0f + r, 2.0f, 4.0f - r, "corner 3");
        EXPECT_EQ(ring->m_Vertices[1].u, 0.0f);
        EXPECT_EQ(ring->m_Vertices[1].v, 1.0f);
        ring->m_bActive = 0;
    }
    CWaterRing* ring = circles->SpawnRing(&at);
    const float start = ring->m_fRadius;
    Frames(static_cast<int>(4.0f / kFrame), [&] { circles->Update(); });
    EXPECT_NEAR(ring->m_fRadius - start, 2.0f, 0.02f);
    circles->Update();
    circles->Update();
    EXPECT_FALSE(ring->m_bActive);
}

class ParticleVerticesTest : public test::EffectWorldTest {
protected:
    void Fill() { particles->UpdateInto(sparks.data(), dust.data(), flames.data()); }

    std::unique_ptr<CParticleEffects> particles = std::make_unique<CParticleEffects>();
    std::vector<CLightVertex> sparks = std::vector<CLightVertex>(PARTICLE_VERTICES);
    std::vector<CLightVertex> dust = std::vector<CLightVertex>(PARTICLE_VERTICES);
    std::vector<CLightVertex> flames = std::vector<CLightVertex>(PARTICLE_VERTICES);
};

// White-hot at birth, its own colour at mid-life, dimming to black; the
// atlas frame follows the age.
TEST_F(ParticleVerticesTest, SparkRunsThroughItsAtlasAndColours)
{
    const D3DXVECTOR3 at(0.0f, 1.0f, 0.0f), still(0.0f, 0.0f, 0.0f);
    const struct {
        float age; // after the update, of a life of 0.5
        float u, v;
        std::uint32_t colour;
    } cases[] = {{0.02f, 0.0f, 0.0f, 0xFFFFEAEAu},
                 {0.26f, 0.0f, 0.5f, 0xFFF40000u},
                 {0.385f, 0.0f, 0.75f, 0xFF750000u}};
    for (const auto& c : cases) {
        particles->AddSpark(&at, &still, 0.5f, 1.0f, 0.0f, 0.0f, 1.0f, nullptr);
        CSparkParticle& spark = particles->m_Sparks[0];
        spark.m_fLife = 0.5f;
        spark.m_fAge = c.age - kFrame;
        Fill();
        ASSERT_EQ(particles->m_nSparkQuads, 1u) << c.age;
        const Corner corners[4] = {{1, 1, 0.25f, c.u, c.v},
                                   {1, -1, 0.25f, c.u, c.v + 0.25f},
                                   {-1, 1, 0.25f, c.u + 0.25f, c.v},
                                   {-1, -1, 0.25f, c.u + 0.25f, c.v + 0.25f}};
        ExpectQuad(sparks.data(), corners, spark.m_fSize);
        EXPECT_EQ(sparks[0].nColour, c.colour) << c.age;
        ExpectVector(sparks[0].vCentre, 0.0f, 1.0f, 0.0f, "centre");
        EXPECT_NEAR(Vec3Length(&sparks[0].vAxis), 1.0f, 1e-5f);
        particles->Reset();
    }
}

// A buffer that could not be locked gets nothing, while the particles
// still live and move.
TEST_F(ParticleVerticesTest, NoArraysMeanNoQuads)
{
    const D3DXVECTOR3 at(0.0f, 1.0f, 0.0f), rise(0.0f, 1.0f, 0.0f);
    const D3DXCOLOR4 grey{0.5f, 0.5f, 0.5f, 0.5f};
    particles->AddSpark(&at, &rise, 0.5f, 1, 1, 1, 1, nullptr);
    particles->AddDust(&at, &rise, 0.5f, 2.0f, 0.0f, &grey);
    particles->AddFlame(&at, &rise, 0.5f, 2.0f, 0.0f, &grey, 0, nullptr);
    particles->UpdateInto(nullptr, nullptr, nullptr);
    EXPECT_EQ(particles->m_nSparkQuads + particles->m_nDustQuads + particles->m_nFlameQuads, 0u);
    EXPECT_EQ(particles->m_nSparks + particles->m_nDust + particles->m_nFlames, 3);
    EXPECT_GT(particles->m_Flames[0].m_vPosition.y, 1.0f);
}

TEST_F(ParticleVerticesTest, TinySparksAndOldSparksDie)
{
    const D3DXVECTOR3 at(0.0f, 1.0f, 0.0f), still(0.0f, 0.0f, 0.0f);
    particles->AddSpark(&at, &still, 0.09f, 1, 1, 1, 1, nullptr);
    particles->AddSpark(&at, &still, 0.5f, 1, 1, 1, 1, nullptr);
    particles->m_Sparks[1].m_fAge = particles->m_Sparks[1].m_fLife;
    Fill();
    EXPECT_EQ(particles->m_nSparks, 0);
    EXPECT_EQ(particles->m_nSparkQuads, 0u);
}

// Puffs fade with age and distance; drawn farthest first.
TEST_F(ParticleVerticesTest, DustFadesWithDistanceAndSortsFarthestFirst)
{
    const D3DXVECTOR3 still(0.0f, 0.0f, 0.0f);
    const D3DXCOLOR4 colour{0.4f, 0.3f, 0.1f, 0.8f};
    const struct {
        float distance; // from the eye, less half the size
        int lives;
        std::uint32_t alpha;
    } cases[] = {{0.5f, 1, 102}, // nearer than its size: thinned so it never fills the view
                 {10.0f, 1, 204}, {45.0f, 1, 204}, {52.5f, 1, 102}, {60.0f, 0, 0}, {61.0f, 0, 0}};
    for (const auto& c : cases) {
        const D3DXVECTOR3 at(0.0f, 1.0f, -10.0f + c.distance + 0.5f);
        particles->AddDust(&at, &still, 1.0f, 2.0f, 0.0f, &colour);
        Fill();
        EXPECT_EQ(particles->m_nDust, c.lives) << c.distance;
        if (c.lives) {
            ASSERT_EQ(particles->m_nDustQuads, 1u);
            EXPECT_EQ(dust[0].nColour >> 24, c.alpha) << c.distance;
        }
        particles->Reset();
    }

    const D3DXVECTOR3 near(0.0f, 1.0f, 2.0f), far(0.5f, 1.0f, 8.0f);
    particles->AddDust(&near, &still, 1.0f, 2.0f, 0.0f, &colour);
    particles->AddDust(&far, &still, 1.0f, 2.0f, 0.0f, &colour);
    Fill();
    ASSERT_EQ(particles->m_nDustQuads, 2u);
    ExpectVector(dust[0].vCentre, 0.5f, 1.0f, 8.0f, "the farther puff first");
    const Corner corners[4] = {{1, 1, 0.5f, 0.001f, 0.001f},
                               {1, -1, 0.5f, 0.001f, 0.999f},
                               {-1, 1, 0.5f, 0.999f, 0.001f},
                               {-1, -1, 0.5f, 0.999f, 0.999f}};
    ExpectQuad(dust.data() + 4, corners, 1.0f);
    // The quad's up direction turns about the line to the eye.
    const D3DXVECTOR3 toEye = m_camera.m_vEye - dust[4].vCentre;
    EXPECT_NEAR(Vec3Length(&dust[4].vAxis), 1.0f, 1e-4f);
    EXPECT_NEAR(D3DXVec3Dot(&dust[4].vAxis, &toEye), 0.0f, 1e-3f);
}

TEST_F(ParticleVerticesTest, HotFlameStartsYellowWhiteAndFadesIn)
{
    const D3DXVECTOR3 at(0.0f, 1.0f, 0.0f), rise(0.0f, 1.0f, 0.0f);
    const D3DXCOLOR4 smoke{0.0f, 0.0f, 0.0f, 1.0f};
    particles->AddFlame(&at, &rise, 1.0f, 1.0f, 0.0f, &smoke, 1, nullptr);
    CFlameParticle& flame = particles->m_Flames[0];
    flame.m_BaseColour = smoke; // without the random lightening
    flame.m_fAge = 0.1f - kFrame; // half-way through the fade-in
    Fill();
    ASSERT_EQ(particles->m_nFlameQuads, 1u);
    const std::uint32_t early = flames[0].nColour;
    EXPECT_NEAR(Alpha(early), 127, 1);
    EXPECT_EQ(Red(early), Green(early)) << "yellow-white";
    EXPECT_GT(Red(early), Blue(early));
    EXPECT_GT(Red(early), 80);
    ExpectVector(flames[0].vCentre, 0.0f, 1.02f, 0.0f, "an owner-less flame drifts with its velocity");

    flame.m_fAge = 0.75f - kFrame; // black smoke, half faded out
    Fill();
    EXPECT_EQ(flames[0].nColour, 0x7F000000u);
}

// A flame on a car sits at its offset in the car's frame and trails back
// towards where it was born; on any other owner it drifts freely.
TEST_F(ParticleVerticesTest, FlamesRideOnlyOnCars)
{
    auto car = std::make_unique<CStaticObject>();
    auto lamp = std::make_unique<CStaticObject>();
    car->m_nType = GTYPE_VEHICLE;
    lamp->m_nType = GTYPE_STATIC;
    D3DXMatrixTranslation(&car->m_matWorld, 10.0f, 0.0f, 0.0f);
    D3DXMatrixTranslation(&lamp->m_matWorld, 10.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 born(10.0f, 1.0f, 0.0f), offset(0.0f, 1.0f, 0.0f);
    const D3DXCOLOR4 smoke{0.0f, 0.0f, 0.0f, 0.5f};
    particles->AddFlame(&born, &offset, 0.5f, 1.0f, 0.0f, &smoke, 0, car.get());
    particles->AddFlame(&born, &offset, 0.5f, 1.0f, 0.0f, &smoke, 0, lamp.get());
    D3DXMatrixTranslation(&car->m_matWorld, 12.0f, 0.0f, 0.0f);
    particles->m_Flames[0].m_fAge = 0.5f - kFrame;
    Fill();
    ExpectVector(particles->m_Flames[0].m_vPosition, 11.5f, 1.0f, 0.0f, "a quarter of the way back");
    ExpectVector(particles->m_Flames[1].m_vPosition, 10.0f, 1.02f, 0.0f, "free, with its velocity");
}

} // namespace
