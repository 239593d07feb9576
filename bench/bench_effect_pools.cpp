// One frame of every effect pool at its fullest: 512 blood drops, 64 skid
// trails of 64 points, and 256 each of sparks, dust and flames, moved and
// written into plain vertex arrays, all in front of the camera.
#include "objects/BloodEffect.h"
#include "objects/EffectWorld.h"
#include "objects/ParticleEffects.h"
#include "objects/WaterCircles.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

float Spread(int range, float scale)
{
    return static_cast<float>(std::rand() % (2 * range + 1) - range) * scale;
}

// A point in front of the eye, within 25 units.
D3DXVECTOR3 InFront()
{
    return D3DXVECTOR3(Spread(100, 0.08f), 0.5f + Spread(50, 0.02f), 5.0f + Spread(100, 0.1f));
}

struct FullPools {
    std::unique_ptr<CBloodEffect> blood = std::make_unique<CBloodEffect>();
    std::unique_ptr<CWaterCircles> circles = std::make_unique<CWaterCircles>();
    std::unique_ptr<CParticleEffects> particles = std::make_unique<CParticleEffects>();

    FullPools()
    {
        const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
        for (int i = 0; i < BLOOD_DROPS; ++i) {
            const D3DXVECTOR3 at = InFront();
            CBloodParticle* drop = blood->Spawn(&at, &up, {0.5f, 0, 0, 1});
            drop->m_bLanded = i % 2; // half flying, half lying
        }
        for (int t = 0; t < SKID_TRAILS; ++t) {
            std::uint32_t ticket = 0;
            CSkidTrail* trail = circles->AllocSkidTrail(&ticket);
            D3DXVECTOR3 point = InFront();
            for (int p = 0; p < SKID_TRAIL_POINTS; ++p) {
                point.z += 0.3f;
                trail->AddPoint(&point, 1.0f, ticket);
            }
            trail->m_fAge = 7.0f; // fading: every vertex is rewritten each frame
        }
        const D3DXCOLOR4 grey{0.5f, 0.5f, 0.5f, 0.6f};
        for (int i = 0; i < PARTICLES_PER_POOL; ++i) {
            const D3DXVECTOR3 at = InFront();
            particles->AddSpark(&at, &up, 0.2f, 1, 0.8f, 0.3f, 1, nullptr);
            particles->AddDust(&at, &up, 0.5f, 1000.0f, 0.1f, &grey);
            particles->AddFlame(&at, &up, 0.5f, 1000.0f, 0.1f, &grey, i % 2, nullptr);
            particles->m_Sparks[i].m_fLife = 1000.0f;
        }
    }
};

void BM_EffectPoolsFrame(benchmark::State& state)
{
    test::EffectWorld world;
    const FullPools start;
    FullPools pools;
    std::vector<CLightVertex> drops(BLOOD_VERTICES), sparks(PARTICLE_VERTICES), dust(PARTICLE_VERTICES),
        flames(PARTICLE_VERTICES);
    std::vector<CEffectVertex> splats(BLOOD_VERTICES);
    for (auto _ : state) {
        // Every frame starts from the same full pools, so nothing dies or grows away.
        state.PauseTiming();
        *pools.blood = *start.blood;
        *pools.circles = *start.circles;
        *pools.particles = *start.particles;
        state.ResumeTiming();
        pools.blood->UpdateInto(drops.data(), splats.data());
        pools.circles->Update();
        pools.particles->UpdateInto(sparks.data(), dust.data(), flames.data());
        benchmark::DoNotOptimize(drops.data());
        benchmark::DoNotOptimize(flames.data());
    }
    state.counters["drop vertices"] = pools.blood->m_nBillboardVertices + pools.blood->m_nSplatVertices;
    state.counters["particle quads"] =
        pools.particles->m_nSparkQuads + pools.particles->m_nDustQuads + pools.particles->m_nFlameQuads;
}
BENCHMARK(BM_EffectPoolsFrame)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
