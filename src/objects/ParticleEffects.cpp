#include "objects/ParticleEffects.h"

#include "objects/EffectView.h"
#include "shell/GameTimer.h"

#include <cstring>

namespace {

// Emitter ids: the slot in the low bits, the slot's generation above, kept
// within a positive int.
constexpr int kSlotBits = 7;
constexpr std::uint32_t kGenerationLimit = 1u << (31 - kSlotBits);
static_assert(SPARK_EMITTERS == 1 << kSlotBits, "emitter ids hold the slot in 7 bits");

// Packed pools: the first count entries live. Adding appends; a particle
// that dies during the update is replaced by the last one, which is then
// updated in its place.
template <class Particle, class Step>
void UpdatePacked(Particle* pool, int* count, Step step)
{
    for (int i = 0; i < *count;) {
        if (pool[i].m_bLive)
            step(pool[i]);
        if (pool[i].m_bLive) {
            ++i;
            continue;
        }
        pool[i] = pool[*count - 1];
        --*count;
    }
}

} // namespace

CParticleEffects::CParticleEffects()
    : m_nSparkTexture(INVALID_TEXTURE_ID), m_nDustTexture(INVALID_TEXTURE_ID), m_nFlameTexture(INVALID_TEXTURE_ID),
      m_pSparkBuffer(nullptr), m_pDustBuffer(nullptr), m_pFlameBuffer(nullptr), m_pIndexBuffer(nullptr), m_nSparks(0),
      m_nSparkQuads(0), m_Emitters{}, m_DustList{}, m_nDust(0), m_nDustQuads(0), m_FlameList{}, m_nFlames(0),
      m_nFlameQuads(0)
{
}

void CParticleEffects::Reset()
{
    m_nSparks = m_nDust = m_nFlames = 0;
    m_nSparkQuads = m_nDustQuads = m_nFlameQuads = 0;
    for (CSparkParticle& spark : m_Sparks)
        spark = CSparkParticle();
    for (CDustParticle& dust : m_Dust)
        dust = CDustParticle();
    for (CFlameParticle& flame : m_Flames)
        flame = CFlameParticle();
    // Generations survive a reset, so an id from the last game stays stale.
    for (CSparkEmitter& emitter : m_Emitters) {
        const std::uint32_t generation = emitter.m_nGeneration, next = emitter.m_nNextGeneration;
        emitter = CSparkEmitter{};
        emitter.m_nGeneration = generation;
        emitter.m_nNextGeneration = next;
    }
    std::memset(m_DustList, 0, sizeof(m_DustList));
    std::memset(m_FlameList, 0, sizeof(m_FlameList));
}

void CParticleEffects::AddSpark(const D3DXVECTOR3* position, const D3DXVECTOR3* velocity, float size, float r,
                                float g, float b, float a, const D3DXMATRIX* owner)
{
    if (m_nSparks < PARTICLES_PER_POOL)
        m_Sparks[m_nSparks++].Start(position, velocity, size, r, g, b, a, owner);
}

void CParticleEffects::AddDust(const D3DXVECTOR3* position, const D3DXVECTOR3* velocity, float size, float life,
                               float growth, const D3DXCOLOR4* colour)
{
    if (m_nDust < PARTICLES_PER_POOL)
        m_Dust[m_nDust++].Start(position, velocity, size, life, growth, colour);
}

void CParticleEffects::AddFlame(const D3DXVECTOR3* position, const D3DXVECTOR3* velocity, float size, float life,
                                float growth, const D3DXCOLOR4* colour, std::uint32_t hot, CStaticObject* owner)
{
    if (m_nFlames < PARTICLES_PER_POOL)
        m_Flames[m_nFlames++].Start(position, velocity, size, life, growth, colour, hot, owner);
}

int CParticleEffects::AddSparkEmitter(const D3DXVECTOR3* position, const D3DXVECTOR3* velocity, float size, float r,
                                      float g, float b, float a)
{
    for (int slot = 0; slot < SPARK_EMITTERS; ++slot) {
        CSparkEmitter& emitter = m_Emitters[slot];
        if (emitter.m_bActive)
            continue;
        // The first tenant of a slot gets generation 0, so its id is the slot.
        const std::uint32_t generation = emitter.m_nNextGeneration;
        emitter.m_nNextGeneration = (generation + 1) % kGenerationLimit;
        emitter.m_bActive = 1;
        emitter.m_vPosition = *position;
        emitter.m_vVelocity = *velocity;
        emitter.m_fSize = size;
        emitter.m_Colour = {r, g, b, a};
        emitter.m_fTimer = 0.0f;
        emitter.m_nGeneration = generation;
        return static_cast<int>(generation << kSlotBits) | slot;
    }
    return -1;
}

void CParticleEffects::RemoveSparkEmitter(int id)
{
    if (id < 0)
        return;
    const int slot = id & (SPARK_EMITTERS - 1);
    const std::uint32_t generation = static_cast<std::uint32_t>(id) >> kSlotBits;
    CSparkEmitter& emitter = m_Emitters[slot];
    if (emitter.m_nGeneration == generation)
        emitter.m_bActive = 0;
}

void CParticleEffects::RemoveSparksOf(const D3DXMATRIX* owner)
{
    if (!owner)
        return;
    for (int i = 0; i < m_nSparks;) {
        if (m_Sparks[i].m_pOwner != owner) {
            ++i;
            continue;
        }
        m_Sparks[i] = m_Sparks[m_nSparks - 1];
        m_Sparks[--m_nSparks].Kill();
    }
}

// An emitter far from the eye is switched off for good; one out of view
// waits with its timer held.
void CParticleEffects::UpdateSparkEmitters(float dt)
{
    for (CSparkEmitter& emitter : m_Emitters) {
        if (!emitter.m_bActive)
            continue;
        if (EffectEyeDistance(&emitter.m_vPosition) > 120.0f) {
            emitter.m_bActive = 0;
            continue;
        }
        if (!EffectSphereVisible(&emitter.m_vPosition, 2.0f * emitter.m_fSize))
            continue;
        emitter.m_fTimer += dt;
        if (emitter.m_fTimer >= 0.1f) {
            const D3DXCOLOR4& c = emitter.m_Colour;
            AddSpark(&emitter.m_vPosition, &emitter.m_vVelocity, emitter.m_fSize, c.r, c.g, c.b, c.a, nullptr);
            emitter.m_fTimer = 0.0f;
        }
    }
}

void CParticleEffects::UpdateSparks(CLightVertex* vertices)
{
    std::uint32_t written = 0;
    UpdatePacked(m_Sparks, &m_nSparks, [&](CSparkParticle& spark) { spark.Update(vertices, &written); });
    m_nSparkQuads = written / 4;
}

void CParticleEffects::UpdateDust()
{
    m_nDustQuads = 0;
    UpdatePacked(m_Dust, &m_nDust, [&](CDustParticle& dust) { dust.Update(m_DustList, &m_nDustQuads); });
}

void CParticleEffects::UpdateFlames()
{
    m_nFlameQuads = 0;
    UpdatePacked(m_Flames, &m_nFlames, [&](CFlameParticle& flame) { flame.Update(m_FlameList, &m_nFlameQuads); });
}

void CParticleEffects::UpdateParticles(CLightVertex* sparks)
{
    UpdateSparkEmitters(g_GameTimer.m_fDelta);
    UpdateSparks(sparks);
    UpdateDust();
    UpdateFlames();
}
