#include "objects/BloodEffect.h"

#include "graphics/D3DRender.h"
#include "graphics/ReleaseAndClear.h"
#include "objects/EffectQuads.h"

#include <cstring>

CBloodEffect::CBloodEffect()
    : m_nTexture(INVALID_TEXTURE_ID), m_pBillboardBuffer(nullptr), m_pSplatBuffer(nullptr), m_pIndexBuffer(nullptr),
      m_nBillboardVertices(0), m_nSplatVertices(0), m_pBillboardWrite(nullptr), m_pSplatWrite(nullptr)
{
}

int CBloodEffect::Init()
{
    m_nTexture = g_D3DRender.LoadTexture("Data/Effects/Bloods/Blood.dds", 0, D3DPOOL_MANAGED);
    m_pBillboardBuffer = CreateEffectVertexBuffer(BLOOD_VERTICES * sizeof(CLightVertex), LIGHT_VERTEX_FVF);
    m_pSplatBuffer = CreateEffectVertexBuffer(BLOOD_VERTICES * sizeof(CEffectVertex), EFFECT_VERTEX_FVF);
    m_pIndexBuffer = CreateQuadIndexBuffer(BLOOD_VERTICES / 4);
    return 1;
}

void CBloodEffect::Release()
{
    if (m_nTexture != INVALID_TEXTURE_ID)
        g_D3DRender.ReleaseTexture(m_nTexture);
    m_nTexture = INVALID_TEXTURE_ID;
    ReleaseAndClear(m_pBillboardBuffer);
    ReleaseAndClear(m_pSplatBuffer);
    ReleaseAndClear(m_pIndexBuffer);
    Reset();
}

void CBloodEffect::Reset()
{
    for (CBloodParticle& drop : m_Particles)
        if (drop.m_bLive)
            drop.Kill();
    m_nBillboardVertices = 0;
    m_nSplatVertices = 0;
}

CBloodParticle* CBloodEffect::FindFreeParticle()
{
    for (CBloodParticle& drop : m_Particles)
        if (!drop.m_bLive)
            return &drop;
    return nullptr;
}

CBloodParticle* CBloodEffect::Spawn(const D3DXVECTOR3* position, const D3DXVECTOR3* direction, D3DXCOLOR4 colour)
{
    CBloodParticle* drop = FindFreeParticle();
    if (drop)
        drop->Start(position, direction, colour);
    return drop;
}

void CBloodEffect::Update()
{
    void* billboards = LockWholeBuffer(m_pBillboardBuffer, D3DLOCK_DISCARD);
    void* splats = LockWholeBuffer(m_pSplatBuffer, D3DLOCK_DISCARD);
    UpdateInto(static_cast<CLightVertex*>(billboards), static_cast<CEffectVertex*>(splats));
    if (billboards)
        m_pBillboardBuffer->Unlock();
    if (splats)
        m_pSplatBuffer->Unlock();
}

void CBloodEffect::UpdateInto(CLightVertex* billboards, CEffectVertex* splats)
{
    m_pBillboardWrite = billboards;
    m_pSplatWrite = splats;
    m_nBillboardVertices = 0;
    m_nSplatVertices = 0;
    for (CBloodParticle& drop : m_Particles)
        if (drop.m_bLive)
            drop.Update(this);
    m_pBillboardWrite = nullptr;
    m_pSplatWrite = nullptr;
}

// Whole quads only, and never the last one that would fill the buffer.
template <class Vertex>
static void AppendVertices(Vertex* buffer, std::uint32_t* count, const Vertex* vertices, std::uint32_t n)
{
    if (!buffer || *count + n >= BLOOD_VERTICES)
        return;
    std::memcpy(buffer + *count, vertices, n * sizeof(Vertex));
    *count += n;
}

void CBloodEffect::AddBillboardVertices(const CLightVertex* vertices, std::uint32_t n)
{
    AppendVertices(m_pBillboardWrite, &m_nBillboardVertices, vertices, n);
}

void CBloodEffect::AddSplatVertices(const CEffectVertex* vertices, std::uint32_t n)
{
    AppendVertices(m_pSplatWrite, &m_nSplatVertices, vertices, n);
}
