// The sky of the city and the clock of its day: a dome, sun, moon, stars and
// a cloud layer, and the light of the hour that the rest of the world reads
// (the two directional lights, fog and ambient colour, shadow direction and
// strength, and how far lamps and car lights are switched on).
#pragma once

#include "graphics/TextureManager.h"
#include "platform/D3D9.h"
#include "platform/D3DX9.h"

#include <cstdint>

class CMeshRecord;
class CStaticObject;

// A day of game time in ms; 0 is midnight, a quarter sunrise, half noon.
inline constexpr double SKY_DAY_LENGTH = 2000000.0;
inline constexpr std::uint32_t SKY_KEY_COUNT = 9;
inline constexpr std::uint32_t SKY_STAR_COUNT = 100;

// The vertex of the sun and moon square: position, colour, texture.
struct CSkyQuadVertex {
    float x, y, z;
    DWORD colour;
    float u, v;
};
inline constexpr DWORD SKY_QUAD_FVF = 0x142;

// The vertex of the star field: position and texture.
struct CSkyStarVertex {
    float x, y, z;
    float u, v;
};
inline constexpr DWORD SKY_STAR_FVF = 0x102;

struct CSkyStars {
    std::int32_t m_nCount = 0;
    TextureId m_nTexture = INVALID_TEXTURE_ID;
    IDirect3DVertexBuffer9* m_pVertexBuffer = nullptr;
    IDirect3DIndexBuffer9* m_pIndexBuffer = nullptr;
};

class CSky {
public:
    CSky();

    int Init();
    void Release();
    void Update();
    void Render();
    // For a pass left out that would have drawn the sky: takes the one number
    // the stars' twinkling draws from the game's random sequence, so the rest
    // of the game draws the same numbers whichever passes run.
    void SkipRender();
    void RenderSunFlare();
    void CreateStars();

    // The hour of the day (ms into the day) the game clock stands for.
    static double TimeOfDay(double gameTime);
    // The light and colours of that hour (ms into the day, 0..1,999,999).
    void SetTimeOfDay(double timeOfDay);
    // The flare's half-size this frame for the sun seen at (x, y) on the
    // 800x600 screen with that view depth: the target size, the occlusion
    // test when it is due, and the approach towards the target.
    float UpdateFlareSize(float x, float y, float depth, const D3DXVECTOR3* eye, const D3DXVECTOR3* sun);

    // The dome model. Owned; null when its description does not load.
    CStaticObject* m_pDome;
    TextureId m_nSunTexture;
    TextureId m_nMoonTexture;
    CSkyQuadVertex m_Quad[4];
    D3DXVECTOR3 m_vSunDir; // the way sunlight travels (y < 0 by day)
    float m_SkyKeys[SKY_KEY_COUNT][4];
    float m_Colour[4]; // sunlight
    float m_fDaylight;
    D3DXVECTOR3 m_vMoonDir; // the way moonlight travels
    float m_FogKeys[SKY_KEY_COUNT][4];
    // Fog, moonlight and the scene's ambient colour.
    float m_FogColour[4];
    float m_fMoonlight;
    // From the scene towards the light that casts shadows; never lower than
    // y = 0.81 before normalising, so shadows stay short and the shadow
    // camera stays above the ground it looks at.
    D3DXVECTOR3 m_vLightDir;
    float m_fShadowFactor;
    float m_fLightsFactor; // 0 by day, 1 at night: lamps and car lights
    float m_fFlareSize;
    float m_fUnused;
    std::int32_t m_bSunHidden;
    std::int32_t m_nFlareTestTime;
    CMeshRecord* m_pClouds;
    TextureId m_nCloudTexture;
    CSkyStars m_Stars;

private:
    // Each says whether it drew anything.
    bool RenderStars();
    static float DrawTwinkle();
    bool RenderMoon();
    // Added onto what the stars and moon left, or simply drawn over the
    // cleared black when they left nothing: the same colours either way.
    void RenderDome(bool onBlack);
    void RenderSun();
    void RenderClouds();
    void RenderHorizonBand();
    // Additive, or blended by the texture's alpha.
    void DrawQuad(const D3DXVECTOR3* centre, float half, DWORD colour, TextureId texture, int additive);
};

extern CSky g_Sky;

// The occlusion ray of the sun flare: 1 when something of the world lies
// between the two points. Tests count and steer the rays through it.
using SkyRayTest = int (*)(const D3DXVECTOR3* from, const D3DXVECTOR3* to);
extern SkyRayTest g_pSkyRayTest;
