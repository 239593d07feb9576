#include "objects/WaterCircles.h"

#include "graphics/D3DRender.h"
#include "shell/GameTimer.h"


CWaterCircles::CWaterCircles() : m_nRingTexture(INVALID_TEXTURE_ID), m_nLastTicket(0)
{
    Reset();
}

int CWaterCircles::Init()
{
    Reset();
    m_nRingTexture = g_D3DRender.LoadTexture("Data/Effects/WaterCircle/WaterCircle.bmp", 0, D3DPOOL_MANAGED);
    return 1;
}

void CWaterCircles::Release()
{
    Reset();
    if (m_nRingTexture != INVALID_TEXTURE_ID)
        g_D3DRender.ReleaseTexture(m_nRingTexture);
    m_nRingTexture = INVALID_TEXTURE_ID;
}

void CWaterCircles::Reset()
{
    for (CSkidTrail& trail : m_SkidTrails)
        trail.Clear();
    for (CWaterRing& ring : m_Rings)
        ring = CWaterRing{};
}

CSkidTrail* CWaterCircles::AllocSkidTrail(std::uint32_t* ticket)
{
    for (CSkidTrail& trail : m_SkidTrails) {
        if (trail.m_bActive)
            continue;
        trail.Clear();
        trail.m_bActive = 1;
        // Tickets never repeat within a game's lifetime in practice; 0 is never one.
        if (++m_nLastTicket == 0)
            ++m_nLastTicket;
        trail.m_nTicket = m_nLastTicket;
        if (ticket)
            *ticket = trail.m_nTicket;
        return &trail;
    }
    return nullptr;
}

CWaterRing* CWaterCircles::SpawnRing(const D3DXVECTOR3* position)
{
    for (CWaterRing& ring : m_Rings) {
        if (!ring.m_bActive) {
            ring.Start(position);
            return &ring;
        }
    }
    return nullptr;
}

void CWaterCircles::Update()
{
    const float dt = g_GameTimer.m_fDelta;
    for (CSkidTrail& trail : m_SkidTrails)
        if (trail.m_bActive)
            trail.Update(dt);
    for (CWaterRing& ring : m_Rings)
        if (ring.m_bActive)
            ring.Update(dt);
}
