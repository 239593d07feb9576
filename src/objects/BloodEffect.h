// The blood drops: thrown from a point, they fly under gravity and drag as
// small camera-facing quads and lie on the ground as splats, stretched along
// their last motion, until their life runs out.
#pragma once

#include "graphics/TextureManager.h"
#include "objects/EffectVertex.h"
#include "platform/D3D9.h"
#include "platform/D3DX9.h"
#include "shell/VectorHelpers.h"

#include <cstdint>

class CBloodEffect;

enum {
    BLOOD_DROPS = 512,
    BLOOD_VERTICES = 2048, // per buffer; a quad is kept only while the count stays below this
};

class CBloodParticle {
public:
    CBloodParticle();
    void Start(const D3DXVECTOR3* position, const D3DXVECTOR3* direction, const D3DXCOLOR4& colour);
    void Update(CBloodEffect* pool);
    void Kill();

    std::uint32_t m_bLive;
    D3DXVECTOR3 m_vPosition; // bottom centre while flying, splat centre once landed
    D3DXVECTOR3 m_vVelocity;
    D3DXCOLOR4 m_Colour;
    float m_fSize; // half-width of the quad
    float m_fTotalLife;
    float m_fLife; // remaining seconds
    std::uint32_t m_bLanded;
    std::uint32_t m_bVisible;
    CLightVertex m_Billboard[4];
    CEffectVertex m_Splat[4];
    float m_fAtlasU; // 0 or 0.5: which quarter of the texture
    float m_fAtlasV;
    std::uint32_t m_bSplatFixed; // stretched corners computed once

private:
    void Fly(float dt);
    std::uint32_t FrameColour() const;
    void BuildBillboard(std::uint32_t colour);
    void BuildSplat(std::uint32_t colour);
};

class CBloodEffect {
public:
    CBloodEffect();
    int Init();
    void Release();
    void Reset();
    // The first free drop started, or null when all are in use.
    CBloodParticle* Spawn(const D3DXVECTOR3* position, const D3DXVECTOR3* direction, D3DXCOLOR4 colour);
    CBloodParticle* FindFreeParticle();
    // Moves every drop and refills the device buffers.
    void Update();
    // The same into caller-owned arrays of BLOOD_VERTICES each; a null array
    // receives nothing (a buffer that could not be locked).
    void UpdateInto(CLightVertex* billboards, CEffectVertex* splats);
    void Render();
    void AddBillboardVertices(const CLightVertex* vertices, std::uint32_t n);
    void AddSplatVertices(const CEffectVertex* vertices, std::uint32_t n);

    CBloodParticle m_Particles[BLOOD_DROPS];
    TextureId m_nTexture;
    IDirect3DVertexBuffer9* m_pBillboardBuffer;
    IDirect3DVertexBuffer9* m_pSplatBuffer;
    IDirect3DIndexBuffer9* m_pIndexBuffer;
    std::uint32_t m_nBillboardVertices;
    std::uint32_t m_nSplatVertices;
    CLightVertex* m_pBillboardWrite;
    CEffectVertex* m_pSplatWrite;

private:
    void RenderFlying();
    void RenderSplats();
};

extern CBloodEffect g_BloodEffect;
