// Camera-facing particles in three pools: sparks (bright flecks animated
// through a 4 x 4 atlas, added onto the frame), dust and flames (soft
// spinning puffs blended back to front; a flame may ride on a car), and
// fixed emitters that throw a spark every 0.1 s while in view.
#pragma once

#include "graphics/TextureManager.h"
#include "objects/EffectVertex.h"
#include "platform/D3D9.h"
#include "platform/D3DX9.h"
#include "shell/VectorHelpers.h"

#include <cstdint>

class CStaticObject;

enum {
    PARTICLES_PER_POOL = 256,
    PARTICLE_VERTICES = PARTICLES_PER_POOL * 4,
    SPARK_EMITTERS = 128,
};

class CSparkParticle {
public:
    CSparkParticle();
    void Start(const D3DXVECTOR3* position, const D3DXVECTOR3* velocity, float size, float r, float g, float b,
               float a, const D3DXMATRIX* owner);
    // Moves the spark; while it lives and shows, appends its quad at
    // vertices[*count] (a null array receives nothing).
    void Update(CLightVertex* vertices, std::uint32_t* count);
    void Kill();

    std::uint32_t m_bLive;
    D3DXVECTOR3 m_vPosition;
    D3DXVECTOR3 m_vVelocity; // with an owner: the offset in the owner's frame
    D3DXVECTOR3 m_vUp;
    float m_fLife;
    float m_fAge;
    float m_fSize;
    D3DXCOLOR4 m_Colour;
    const D3DXMATRIX* m_pOwner; // the world matrix the spark rides on, or null
};

class CSparkEmitter {
public:
    std::uint32_t m_bActive;
    D3DXVECTOR3 m_vPosition;
    D3DXVECTOR3 m_vVelocity;
    float m_fSize;
    D3DXCOLOR4 m_Colour;
    float m_fTimer; // seconds since the last spark
    std::uint32_t m_nGeneration; // of the emitter that last took the slot
    std::uint32_t m_nNextGeneration; // for the next one
};

// What dust and flames share: a puff that spins about the line to the eye.
class CPuffParticle {
public:
    CPuffParticle();

    std::uint32_t m_bLive;
    D3DXVECTOR3 m_vPosition;
    D3DXVECTOR3 m_vVelocity;
    D3DXVECTOR3 m_vUp;
    float m_fSpin;
    float m_fLife;
    float m_fAge;
    float m_fSize;
    float m_fGrowth; // size units per second
    float m_fEyeDistance; // sort key
    D3DXCOLOR4 m_BaseColour;
    D3DXCOLOR4 m_Colour;

protected:
    void StartPuff(const D3DXVECTOR3* position, const D3DXVECTOR3* velocity, float size, float life, float growth,
                   const D3DXCOLOR4* colour);
    // Fades with the eye distance; false when the puff died of it.
    bool FadeByDistance(float* fade);
    void Spin(float dt);
};

class CDustParticle : public CPuffParticle {
public:
    void Start(const D3DXVECTOR3* position, const D3DXVECTOR3* velocity, float size, float life, float growth,
               const D3DXCOLOR4* colour);
    // Appends itself to the draw list while it lives and shows.
    void Update(CDustParticle** list, std::uint32_t* count);
};

class CFlameParticle : public CPuffParticle {
public:
    CFlameParticle();
    void Start(const D3DXVECTOR3* position, const D3DXVECTOR3* velocity, float size, float life, float growth,
               const D3DXCOLOR4* colour, std::uint32_t hot, CStaticObject* owner);
    void Update(CFlameParticle** list, std::uint32_t* count);

    CStaticObject* m_pOwner;
    D3DXVECTOR3 m_vStart;
    std::uint32_t m_bHot; // starts yellow-white and fades in

private:
    void Move(float dt);
    float HotColour();
};

class CParticleEffects {
public:
    CParticleEffects();
    int Init();
    void Release();
    void Reset();
    void AddSpark(const D3DXVECTOR3* position, const D3DXVECTOR3* velocity, float size, float r, float g, float b,
                  float a, const D3DXMATRIX* owner);
    void AddDust(const D3DXVECTOR3* position, const D3DXVECTOR3* velocity, float size, float life, float growth,
                 const D3DXCOLOR4* colour);
    void AddFlame(const D3DXVECTOR3* position, const D3DXVECTOR3* velocity, float size, float life, float growth,
                  const D3DXCOLOR4* colour, std::uint32_t hot, CStaticObject* owner);
    // An id for RemoveSparkEmitter (the slot in its low 7 bits, the slot's
    // generation above), or -1 when all 128 slots are in use.
    int AddSparkEmitter(const D3DXVECTOR3* position, const D3DXVECTOR3* velocity, float size, float r, float g,
                        float b, float a);
    // Acts only on an id handed out for the emitter still in its slot.
    void RemoveSparkEmitter(int id);
    // Every spark riding on this matrix goes, before the matrix is freed.
    void RemoveSparksOf(const D3DXMATRIX* owner);
    // Moves every particle and refills the device buffers.
    void Update();
    // The same into caller-owned arrays of PARTICLE_VERTICES each; a null
    // array receives nothing.
    void UpdateInto(CLightVertex* sparks, CLightVertex* dust, CLightVertex* flames);
    void Render();

    TextureId m_nSparkTexture;
    TextureId m_nDustTexture;
    TextureId m_nFlameTexture;
    IDirect3DVertexBuffer9* m_pSparkBuffer;
    IDirect3DVertexBuffer9* m_pDustBuffer;
    IDirect3DVertexBuffer9* m_pFlameBuffer;
    IDirect3DIndexBuffer9* m_pIndexBuffer;
    CSparkParticle m_Sparks[PARTICLES_PER_POOL];
    int m_nSparks;
    std::uint32_t m_nSparkQuads;
    CSparkEmitter m_Emitters[SPARK_EMITTERS];
    CDustParticle* m_DustList[PARTICLES_PER_POOL];
    CDustParticle m_Dust[PARTICLES_PER_POOL];
    int m_nDust;
    std::uint32_t m_nDustQuads;
    CFlameParticle* m_FlameList[PARTICLES_PER_POOL];
    CFlameParticle m_Flames[PARTICLES_PER_POOL];
    int m_nFlames;
    std::uint32_t m_nFlameQuads;

private:
    void UpdateParticles(CLightVertex* sparks);
    void UpdateSparkEmitters(float dt);
    void UpdateSparks(CLightVertex* vertices);
    void UpdateDust();
    void UpdateFlames();
    void FillSortedBuffers(CLightVertex* dust, CLightVertex* flames);
};

// A puff's quad (camera-facing, spinning on its up direction) with the
// template's texture inset.
void FillPuffQuad(CLightVertex* quad, const CPuffParticle& puff);

extern CParticleEffects g_ParticleEffects;
