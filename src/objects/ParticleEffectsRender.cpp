#include "objects/ParticleEffects.h"

#include "graphics/D3DRender.h"
#include "graphics/ReleaseAndClear.h"
#include "objects/EffectQuads.h"

#include <algorithm>
#include <vector>

namespace {

// Every quad a unit square facing the eye, the texture inset half a texel
// so its edges never bleed; updates overwrite what moves.
void FillTemplate(IDirect3DVertexBuffer9* buffer)
{
    std::vector<CLightVertex> quads(PARTICLE_VERTICES);
    const D3DXVECTOR3 centre(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    for (unsigned i = 0; i < PARTICLE_VERTICES; i += 4) {
        quads[i].Set(D3DXVECTOR3(1, 1, 0.25f), 0xFFFFFFFFu, 0.001f, 0.001f, centre, up);
        quads[i + 1].Set(D3DXVECTOR3(1, -1, 0.25f), 0xFFFFFFFFu, 0.001f, 0.999f, centre, up);
        quads[i + 2].Set(D3DXVECTOR3(-1, 1, 0.25f), 0xFFFFFFFFu, 0.999f, 0.001f, centre, up);
        quads[i + 3].Set(D3DXVECTOR3(-1, -1, 0.25f), 0xFFFFFFFFu, 0.999f, 0.999f, centre, up);
    }
    if (void* data = LockWholeBuffer(buffer, D3DLOCK_DISCARD)) {
        std::copy(quads.begin(), quads.end(), static_cast<CLightVertex*>(data));
        buffer->Unlock();
    }
}

IDirect3DVertexBuffer9* CreateParticleBuffer()
{
    IDirect3DVertexBuffer9* buffer =
        CreateEffectVertexBuffer(PARTICLE_VERTICES * sizeof(CLightVertex), LIGHT_VERTEX_FVF);
    FillTemplate(buffer);
    return buffer;
}

// Farthest first, so nearer puffs blend over farther ones.
template <class Particle>
void SortFarthestFirst(Particle** list, std::uint32_t count)
{
    std::sort(list, list + count,
              [](const Particle* a, const Particle* b) { return a->m_fEyeDistance > b->m_fEyeDistance; });
}

template <class Particle>
void FillSorted(Particle** list, std::uint32_t count, CLightVertex* vertices)
{
    SortFarthestFirst(list, count);
    if (!vertices)
        return;
    for (std::uint32_t k = 0; k < count; ++k)
        FillPuffQuad(vertices + 4 * k, *list[k]);
}

void ReleaseTextureId(TextureId* id)
{
    if (*id != INVALID_TEXTURE_ID)
        g_D3DRender.ReleaseTexture(*id);
    *id = INVALID_TEXTURE_ID;
}

} // namespace

int CParticleEffects::Init()
{
    m_nSparkTexture = g_D3DRender.LoadTexture("Data/Effects/Sparks/Sparks.bmp", 0, D3DPOOL_MANAGED);
    m_nDustTexture = g_D3DRender.LoadTexture("Data/Effects/Dusts/Dusts.dds", 0, D3DPOOL_MANAGED);
    m_nFlameTexture = g_D3DRender.LoadTexture("Data/Effects/Flames/Flame.dds", 0, D3DPOOL_MANAGED);
    m_pSparkBuffer = CreateParticleBuffer();
    m_pDustBuffer = CreateParticleBuffer();
    m_pFlameBuffer = CreateParticleBuffer();
    m_pIndexBuffer = CreateQuadIndexBuffer(PARTICLES_PER_POOL);
    m_nSparkQuads = m_nDustQuads = m_nFlameQuads = 0;
    return 1;
}

void CParticleEffects::Release()
{
    ReleaseTextureId(&m_nSparkTexture);
    ReleaseTextureId(&m_nDustTexture);
    ReleaseTextureId(&m_nFlameTexture);
    ReleaseAndClear(m_pSparkBuffer);
    ReleaseAndClear(m_pDustBuffer);
    ReleaseAndClear(m_pFlameBuffer);
    ReleaseAndClear(m_pIndexBuffer);
    Reset();
}

void CParticleEffects::Update()
{
    void* sparks = LockWholeBuffer(m_pSparkBuffer, D3DLOCK_DISCARD);
    UpdateParticles(static_cast<CLightVertex*>(sparks));
    if (sparks)
        m_pSparkBuffer->Unlock();
    void* dust = m_nDustQuads ? LockWholeBuffer(m_pDustBuffer, D3DLOCK_DISCARD) : nullptr;
    void* flames = m_nFlameQuads ? LockWholeBuffer(m_pFlameBuffer, D3DLOCK_DISCARD) : nullptr;
    FillSortedBuffers(static_cast<CLightVertex*>(dust), static_cast<CLightVertex*>(flames));
    if (dust)
        m_pDustBuffer->Unlock();
    if (flames)
        m_pFlameBuffer->Unlock();
}

void CParticleEffects::UpdateInto(CLightVertex* sparks, CLightVertex* dust,
                                  CLightVertex* flames)
{
    UpdateParticles(sparks);
    FillSortedBuffers(dust, flames);
}

// A list that could not be written draws nothing rather than old vertices.
void CParticleEffects::FillSortedBuffers(CLightVertex* dust, CLightVertex* flames)
{
    FillSorted(m_DustList, m_nDustQuads, dust);
    if (!dust)
        m_nDustQuads = 0;
    FillSorted(m_FlameList, m_nFlameQuads, flames);
    if (!flames)
        m_nFlameQuads = 0;
}

static void DrawPool(TextureId texture, IDirect3DVertexBuffer9* buffer, IDirect3DIndexBuffer9* indices,
                     std::uint32_t quads)
{
    if (quads == 0)
        return;
    g_D3DRender.SetEffectTexture("texBaseMap1", g_D3DRender.GetTexture(texture));
    DrawTechniqueQuads(buffer, sizeof(CLightVertex), indices, 4 * quads);
}

// Sparks add light; dust and flames cover what lies behind them. Fog and
// culling stay as the pass left them.
void CParticleEffects::Render()
{
    if (!g_D3DRender.m_pDevice || !g_D3DRender.m_bShader11 || !g_D3DRender.m_pEffect)
        return;
    g_D3DRender.SetTechnique(g_szTechDirectLights, 0);
    D3DXMATRIX viewProj;
    g_D3DRender.m_pEffect->SetMatrix("matViewProj", GetViewProjMatrix(&viewProj));
    g_D3DRender.SetZEnable(1);
    g_D3DRender.SetZWriteEnable(0);
    g_D3DRender.SetLighting(0);
    g_D3DRender.SetAlphaBlendEnable(1);
    g_D3DRender.SetBlendMode(D3DBLEND_ONE, D3DBLEND_ONE);
    g_D3DRender.m_pDevice->SetFVF(LIGHT_VERTEX_FVF);
    g_D3DRender.m_pDevice->SetIndices(m_pIndexBuffer);
    DrawPool(m_nSparkTexture, m_pSparkBuffer, m_pIndexBuffer, m_nSparkQuads);
    g_D3DRender.SetBlendMode(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    DrawPool(m_nDustTexture, m_pDustBuffer, m_pIndexBuffer, m_nDustQuads);
    DrawPool(m_nFlameTexture, m_pFlameBuffer, m_pIndexBuffer, m_nFlameQuads);
}
