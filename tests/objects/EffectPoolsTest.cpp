// Life cycles of the effect pools: filling, refusing, expiring and reusing
// slots, and ids and tickets that outlive what they named.
#include "EffectFixture.h"

#include "objects/BloodEffect.h"
#include "objects/ParticleEffects.h"
#include "objects/WaterCircles.h"

#include <climits>
#include <functional>
#include <memory>

namespace {

class EffectPoolsTest : public test::EffectWorldTest {
protected:
    std::unique_ptr<CBloodEffect> blood = std::make_unique<CBloodEffect>();
    std::unique_ptr<CWaterCircles> circles = std::make_unique<CWaterCircles>();
    std::unique_ptr<CParticleEffects> particles = std::make_unique<CParticleEffects>();
};

int LiveDrops(const CBloodEffect& pool)
{
    int n = 0;
    for (const CBloodParticle& drop : pool.m_Particles)
        n += drop.m_bLive ? 1 : 0;
    return n;
}

template <class Slot>
int Active(const Slot* slots, int count)
{
    int n = 0;
    for (int i = 0; i < count; ++i)
        n += slots[i].m_bActive ? 1 : 0;
    return n;
}

TEST_F(EffectPoolsTest, EachPoolFillsRefusesExpiresAndIsReused)
{
    const D3DXVECTOR3 at(0.0f, 2.0f, 5.0f), still(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    const D3DXCOLOR4 grey{0.5f, 0.5f, 0.5f, 0.5f};
    std::uint32_t ticket = 0;
    struct Case {
        const char* name;
        int capacity;
        std::function<bool()> add; // true when the pool took it
        std::function<int()> live;
        std::function<void()> update;
        float lifetime; // longest life, seconds
    } cases[] = {
        {"blood drops", BLOOD_DROPS, [&] { return blood->Spawn(&at, &up, {0.5f, 0, 0, 1}) != nullptr; },
         [&] { return LiveDrops(*blood); }, [&] { blood->Update(); }, 20.0f},
        {"skid trails", SKID_TRAILS, [&] { return circles->AllocSkidTrail(&ticket) != nullptr; },
         [&] { return Active(circles->m_SkidTrails, SKID_TRAILS); }, [&] { circles->Update(); }, 10.0f},
        {"water rings", WATER_RINGS, [&] { return circles->SpawnRing(&at) != nullptr; },
         [&] { return Active(circles->m_Rings, WATER_RINGS); }, [&] { circles->Update(); }, 4.0f},
        {"sparks", PARTICLES_PER_POOL,
         [&] {
             const int before = particles->m_nSparks;
             particles->AddSpark(&at, &up, 0.2f, 1, 1, 1, 1, nullptr);
             return particles->m_nSparks == before + 1;
         },
         [&] { return particles->m_nSparks; }, [&] { particles->Update(); }, 0.6f},
        {"dust", PARTICLES_PER_POOL,
         [&] {
             const int before = particles->m_nDust;
             particles->AddDust(&at, &still, 0.5f, 1.0f, 0.5f, &grey);
             return particles->m_nDust == before + 1;
         },
         [&] { return particles->m_nDust; }, [&] { particles->Update(); }, 1.0f},
        {"flames", PARTICLES_PER_POOL,
         [&] {
             const int before = particles->m_nFlames;
             particles->AddFlame(&at, &up, 0.5f, 1.0f, 0.5f, &grey, 1, nullptr);
             return particles->m_nFlames == before + 1;
         },
         [&] { return particles->m_nFlames; }, [&] { particles->Update(); }, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < c.capacity; ++i)
            ASSERT_TRUE(c.add()) << i;
        EXPECT_EQ(c.live(), c.capacity);
        EXPECT_FALSE(c.add()) << "a full pool refuses";
        EXPECT_EQ(c.live(), c.capacity);
        Frames(static_cast<int>(c.lifetime / kFrame) + 2, c.update);
        EXPECT_EQ(c.live(), 0) << "everything expired";
        EXPECT_TRUE(c.add()) << "a freed slot is taken again";
        EXPECT_EQ(c.live(), 1);
    }
}

TEST_F(EffectPoolsTest, ResetEmptiesEveryPool)
{
    const D3DXVECTOR3 at(0.0f, 2.0f, 5.0f), up(0.0f, 1.0f, 0.0f);
    const D3DXCOLOR4 grey{0.5f, 0.5f, 0.5f, 0.5f};
    blood->Spawn(&at, &up, {1, 0, 0, 1});
    std::uint32_t ticket = 0;
    circles->AllocSkidTrail(&ticket);
    circles->SpawnRing(&at);
    particles->AddSpark(&at, &up, 0.2f, 1, 1, 1, 1, nullptr);
    particles->AddDust(&at, &up, 0.5f, 1.0f, 0.0f, &grey);
    particles->AddFlame(&at, &up, 0.5f, 1.0f, 0.0f, &grey, 0, nullptr);
    particles->AddSparkEmitter(&at, &up, 0.2f, 1, 1, 1, 1);
    blood->Reset();
    circles->Reset();
    particles->Reset();
    EXPECT_EQ(LiveDrops(*blood), 0);
    EXPECT_EQ(Active(circles->m_SkidTrails, SKID_TRAILS) + Active(circles->m_Rings, WATER_RINGS), 0);
    EXPECT_EQ(particles->m_nSparks + particles->m_nDust + particles->m_nFlames, 0);
    EXPECT_EQ(Active(particles->m_Emitters, SPARK_EMITTERS), 0);
}

TEST_F(EffectPoolsTest, FreedSlotsAreReusedLowestFirst)
{
    const D3DXVECTOR3 at(0.0f, 2.0f, 5.0f), up(0.0f, 1.0f, 0.0f);
    for (int i = 0; i < 3; ++i)
        blood->Spawn(&at, &up, {1, 0, 0, 1});
    blood->m_Particles[1].Kill();
    EXPECT_EQ(blood->Spawn(&at, &up, {1, 0, 0, 1}), &blood->m_Particles[1]);
    EXPECT_EQ(blood->Spawn(&at, &up, {1, 0, 0, 1}), &blood->m_Particles[3]);

    circles->SpawnRing(&at);
    circles->SpawnRing(&at);
    circles->m_Rings[0].m_bActive = 0;
    EXPECT_EQ(circles->SpawnRing(&at), &circles->m_Rings[0]);
}

// Emitter ids name one emitter: once its slot is taken again the old id is
// stale, and ids never handed out do nothing.
TEST_F(EffectPoolsTest, EmitterIdsActOnlyOnTheEmitterTheyNamed)
{
    const D3DXVECTOR3 at(0.0f, 2.0f, 5.0f), up(0.0f, 1.0f, 0.0f);
    for (int i = 0; i < SPARK_EMITTERS; ++i)
        ASSERT_EQ(particles->AddSparkEmitter(&at, &up, 0.2f, 1, 1, 1, 1), i) << "first ids are the slots";
    EXPECT_EQ(particles->AddSparkEmitter(&at, &up, 0.2f, 1, 1, 1, 1), -1);
    for (int id : {-1, -2, INT_MIN, int(SPARK_EMITTERS), SPARK_EMITTERS + 5, 1000, INT_MAX})
        particles->RemoveSparkEmitter(id);
    EXPECT_EQ(Active(particles->m_Emitters, SPARK_EMITTERS), SPARK_EMITTERS) << "no id above was handed out";

    particles->RemoveSparkEmitter(5);
    EXPECT_FALSE(particles->m_Emitters[5].m_bActive);
    const int reused = particles->AddSparkEmitter(&at, &up, 0.2f, 1, 1, 1, 1);
    EXPECT_NE(reused, 5);
    EXPECT_TRUE(particles->m_Emitters[5].m_bActive) << "slot 5 taken again";
    particles->RemoveSparkEmitter(5);
    EXPECT_TRUE(particles->m_Emitters[5].m_bActive) << "the stale id removed nothing";
    particles->RemoveSparkEmitter(reused);
    EXPECT_FALSE(particles->m_Emitters[5].m_bActive);

    particles->Reset();
    const int afterReset = particles->AddSparkEmitter(&at, &up, 0.2f, 1, 1, 1, 1);
    particles->RemoveSparkEmitter(0);
    EXPECT_TRUE(particles->m_Emitters[0].m_bActive) << "an id from before the reset is stale";
    particles->RemoveSparkEmitter(afterReset);
    EXPECT_FALSE(particles->m_Emitters[0].m_bActive);
}

TEST_F(EffectPoolsTest, EmittersThrowSparksInViewAndSwitchOffFarAway)
{
    const D3DXVECTOR3 near(0.0f, 1.0f, 5.0f), far(0.0f, 1.0f, 105.0f), behind(0.0f, 1.0f, -30.0f);
    const D3DXVECTOR3 still(0.0f, 0.0f, 0.0f);
    const int inView = particles->AddSparkEmitter(&near, &still, 0.2f, 1, 1, 1, 1);
    const int outOfView = particles->AddSparkEmitter(&behind, &still, 0.2f, 1, 1, 1, 1);
    const int distant = particles->AddSparkEmitter(&far, &still, 0.2f, 1, 1, 1, 1);
    Frames(6, [&] { particles->Update(); });
    EXPECT_EQ(particles->m_nSparks, 2) << "one spark per 0.1 s from each emitter in view";
    EXPECT_FLOAT_EQ(particles->m_Emitters[outOfView].m_fTimer, 0.0f) << "out of view the timer waits";

    LookFrom(D3DXVECTOR3(0.0f, 1.0f, -10.0f - 6.0f)); // the distant emitter is now 121 away
    particles->Update();
    EXPECT_FALSE(particles->m_Emitters[distant].m_bActive);
    LookFrom(D3DXVECTOR3(0.0f, 1.0f, 100.0f));
    Frames(10, [&] { particles->Update(); });
    EXPECT_FALSE(particles->m_Emitters[distant].m_bActive) << "switched off for good";
    EXPECT_TRUE(particles->m_Emitters[inView].m_bActive);
}

// A wheel's strip is freed by age whoever holds it; the old holder's ticket
// then lays nothing, not even once another wheel has taken the strip.
TEST_F(EffectPoolsTest, SkidTrailTicketsStopAnOldHolder)
{
    std::uint32_t first = 0, second = 0, other = 0;
    CSkidTrail* trail = circles->AllocSkidTrail(&first);
    ASSERT_NE(trail, nullptr);
    CSkidTrail* neighbour = circles->AllocSkidTrail(&other);
    EXPECT_NE(neighbour, trail) << "two wheels never share a strip";
    D3DXVECTOR3 point(0.0f, 3.0f, 0.0f);
    EXPECT_EQ(trail->AddPoint(&point, 1.0f, first), 1);
    EXPECT_EQ(trail->AddPoint(&point, 1.0f, other), 0) << "another wheel's ticket";

    Frames(static_cast<int>(10.0f / kFrame) + 2, [&] { circles->Update(); });
    EXPECT_FALSE(trail->m_bActive);
    EXPECT_EQ(trail->AddPoint(&point, 1.0f, first), 0) << "freed by age";
    EXPECT_EQ(trail->m_nPoints, 0u);

    EXPECT_EQ(circles->AllocSkidTrail(&second), trail) << "the same strip, for a new wheel";
    EXPECT_NE(second, first);
    EXPECT_EQ(trail->AddPoint(&point, 1.0f, first), 0);
    EXPECT_EQ(trail->m_nPoints, 0u) << "the old wheel writes nothing into the new wheel's strip";
    EXPECT_EQ(trail->AddPoint(&point, 1.0f, second), 1);
    EXPECT_EQ(trail->AddPoint(&point, 1.0f, 0), 0) << "0 is never a ticket";
}

TEST_F(EffectPoolsTest, SparksOfAnOwnerGoWithIt)
{
    D3DXMATRIX car, otherCar;
    D3DXMatrixTranslation(&car, 0.0f, 1.0f, 5.0f);
    D3DXMatrixTranslation(&otherCar, 2.0f, 1.0f, 5.0f);
    const D3DXVECTOR3 offset(1.0f, 0.0f, 0.0f);
    const D3DXMATRIX* owners[] = {&car, &otherCar, nullptr, &car};
    for (const D3DXMATRIX* owner : owners)
        particles->AddSpark(&offset, &offset, 0.2f, 1, 1, 1, 1, owner);
    particles->RemoveSparksOf(nullptr);
    EXPECT_EQ(particles->m_nSparks, 4) << "an owner with no sparks changes nothing";
    particles->RemoveSparksOf(&car);
    ASSERT_EQ(particles->m_nSparks, 2);
    for (int i = 0; i < particles->m_nSparks; ++i)
        EXPECT_NE(particles->m_Sparks[i].m_pOwner, &car);

    // A spark rides on its owner's matrix, at its offset.
    particles->Update();
    const CSparkParticle& riding =
        particles->m_Sparks[0].m_pOwner == &otherCar ? particles->m_Sparks[0] : particles->m_Sparks[1];
    EXPECT_FLOAT_EQ(riding.m_vPosition.x, 3.0f);
    D3DXMatrixTranslation(&otherCar, 10.0f, 1.0f, 5.0f);
    particles->Update();
    EXPECT_FLOAT_EQ(riding.m_vPosition.x, 11.0f);
}

} // namespace
