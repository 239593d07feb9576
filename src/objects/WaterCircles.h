// Short-lived decoration the cars leave behind: dark skid trails laid point
// by point under sliding wheels, and light rings spreading on the water
// where a wheel runs through it.
#pragma once

#include "graphics/TextureManager.h"
#include "objects/EffectVertex.h"
#include "platform/D3DX9.h"

#include <cstdint>

enum {
    SKID_TRAILS = 64,
    SKID_TRAIL_POINTS = 64,
    WATER_RINGS = 64,
};

// One strip under a wheel: two vertices per point (left then right edge),
// drawn as one triangle strip. The pool frees a strip 10 seconds after it was
// taken, whoever still holds it; the ticket handed out with the strip tells
// its holder's points from a later holder's.
class CSkidTrail {
public:
    // Appends a point at the ground under position (written back into the
    // caller's vector: ground height + 0.1). Returns 1 when the point was
    // laid; 0 when the strip is full, or is no longer the ticket holder's
    // (freed by age, perhaps taken by another wheel): drop it then.
    int AddPoint(D3DXVECTOR3* position, float intensity, std::uint32_t ticket);
    // Ages and fades the strip; frees it after 10 seconds.
    void Update(float dt);
    void Clear();

    std::uint32_t m_bActive;
    float m_fAge;
    CEffectVertex m_Vertices[SKID_TRAIL_POINTS * 2];
    float m_fIntensities[SKID_TRAIL_POINTS];
    std::uint32_t m_nPoints;
    std::uint32_t m_nTicket; // 0 while free
};

// A ring on the water surface, growing and fading out over 4 seconds.
class CWaterRing {
public:
    void Start(const D3DXVECTOR3* position);
    void Update(float dt);

    std::uint32_t m_bActive;
    D3DXVECTOR3 m_vPosition;
    float m_fAge;
    float m_fRadius;
    CEffectVertex m_Vertices[4];
};

class CWaterCircles {
public:
    CWaterCircles();
    int Init();
    void Release();
    void Reset();
    // The first free strip with no points, or null when all are in use;
    // *ticket receives what its holder passes to AddPoint.
    CSkidTrail* AllocSkidTrail(std::uint32_t* ticket);
    // The first free ring started, or null when all are in use.
    CWaterRing* SpawnRing(const D3DXVECTOR3* position);
    void Update();
    void RenderSkidTrails();
    void RenderRings();

    CSkidTrail m_SkidTrails[SKID_TRAILS];
    CWaterRing m_Rings[WATER_RINGS];
    TextureId m_nRingTexture;
    std::uint32_t m_nLastTicket;
};

extern CWaterCircles g_WaterCircles;
