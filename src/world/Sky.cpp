#include "world/Sky.h"

#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"
#include "objects/StaticObject.h"
#include "shell/GameTimer.h"
#include "shell/Settings.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

namespace {

// Sky and fog colour of the day's nine keys, a quarter of a night or day
// apart, on a scale of 260.
const float kSkyKeys[SKY_KEY_COUNT][3] = {{0, 0, 0},       {260, 0, 0},     {260, 130, 0},
                                          {260, 260, 130}, {260, 260, 260}, {260, 130, 130},
                                          {130, 60, 60},   {130, 0, 0},     {0, 0, 0}};
const float kFogKeys[SKY_KEY_COUNT][3] = {{30, 30, 60}, {60, 60, 30}, {60, 60, 30}, {60, 60, 90}, {90, 90, 120},
                                          {90, 90, 90}, {60, 60, 60}, {60, 30, 30}, {30, 30, 60}};

const DWORD kWhite = 0xFFFFFFFFu;
const float kNoonTime = 1000000.0f;
const float kRadiansPerMs = 3.1415927e-06f;

void SetWhite(float c[4])
{
    c[0] = c[1] = c[2] = c[3] = 1.0f;
}

// The direction turned about the axis, the way the sun and moon move.
D3DXVECTOR3 Rotated(const D3DXVECTOR3& start, const D3DXVECTOR3& axis, float angle)
{
    D3DXVECTOR3 from;
    D3DXVec3Normalize(&from, &start);
    D3DXMATRIX rotation;
    D3DXMatrixRotationAxis(&rotation, &axis, angle);
    D3DXVECTOR3 out;
    D3DXVec3TransformNormal(&out, &from, &rotation);
    return out;
}

void Interpolate(const float keys[SKY_KEY_COUNT][4], std::uint32_t k, float w, float out[4])
{
    for (int c = 0; c < 3; ++c)
        out[c] = keys[k][c] + (keys[k + 1][c] - keys[k][c]) * w;
    out[3] = 1.0f;
}

} // namespace

CSky::CSky()
    : m_pDome(nullptr), m_nSunTexture(INVALID_TEXTURE_ID), m_nMoonTexture(INVALID_TEXTURE_ID), m_Quad(),
      m_vSunDir(0.0f, 0.0f, 0.0f), m_fDaylight(1.0f), m_vMoonDir(0.0f, 0.0f, 0.0f), m_fMoonlight(0.0f),
      m_vLightDir(0.0f, 0.0f, 0.0f), m_fShadowFactor(1.0f), m_fLightsFactor(0.0f), m_fFlareSize(0.0f),
      m_fUnused(0.0f), m_bSunHidden(1), m_nFlareTestTime(0), m_pClouds(nullptr),
      m_nCloudTexture(INVALID_TEXTURE_ID)
{
    for (std::uint32_t k = 0; k < SKY_KEY_COUNT; ++k) {
        SetWhite(m_SkyKeys[k]);
        SetWhite(m_FogKeys[k]);
    }
    SetWhite(m_Colour);
    SetWhite(m_FogColour);
}

int CSky::Init()
{
    m_pDome = new CStaticObject();
    if (m_pDome->Load("Data/Sky/Main.obj", 1, -1, 1) == INVALID_FILE_HANDLE) {
        delete m_pDome; // without its description there is no dome to draw
        m_pDome = nullptr;
    } else {
        // The dome gives no light of its own: the sky's lights tint it.
        std::memset(&m_pDome->m_Material, 0, sizeof(m_pDome->m_Material));
        m_pDome->m_Material.Diffuse = {0.0f, 0.0f, 0.0f, 1.0f};
        m_pDome->m_Material.Ambient = {0.0f, 0.0f, 0.0f, 1.0f};
        m_pDome->m_Material.Specular = {0.0f, 0.0f, 0.0f, 1.0f};
    }
    m_nSunTexture = g_D3DRender.LoadTexture("Data/Sky/Sun.bmp", 1, D3DPOOL_MANAGED);
    m_nMoonTexture = g_D3DRender.LoadTexture("Data/Sky/Moon.dds", 1, D3DPOOL_MANAGED);
    const float uv[4][2] = {{0.001f, 0.001f}, {0.001f, 0.999f}, {0.999f, 0.001f}, {0.999f, 0.999f}};
    for (int i = 0; i < 4; ++i)
        m_Quad[i] = {0.0f, 0.0f, 0.0f, kWhite, uv[i][0], uv[i][1]};
    for (std::uint32_t k = 0; k < SKY_KEY_COUNT; ++k) {
        for (int c = 0; c < 3; ++c) {
            m_SkyKeys[k][c] = kSkyKeys[k][c] / 260.0f;
            m_FogKeys[k][c] = kFogKeys[k][c] / 260.0f;
        }
        m_SkyKeys[k][3] = m_FogKeys[k][3] = 1.0f;
    }
    m_fDaylight = 1.0f;
    m_fMoonlight = 0.0f;
    m_vSunDir = m_vMoonDir = m_vLightDir = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    m_fShadowFactor = 1.0f;
    m_fLightsFactor = 0.0f;
    m_fFlareSize = 0.0f;
    m_fUnused = 0.0f;
    m_bSunHidden = 1;
    m_nFlareTestTime = 0;
    m_pClouds = g_MeshContainer.LoadMesh("Data/Sky/Clouds.msh", 3, 0x220, 1);
    m_nCloudTexture = g_D3DRender.LoadTexture("Data/Sky/Clouds.bmp", 1, D3DPOOL_MANAGED);
    CreateStars();
    return 1;
}

void CSky::Release()
{
    if (m_pDome) {
        m_pDome->Release();
        delete m_pDome;
        m_pDome = nullptr;
    }
    for (TextureId* id : {&m_nSunTexture, &m_nMoonTexture, &m_nCloudTexture, &m_Stars.m_nTexture}) {
        if (*id != INVALID_TEXTURE_ID)
            g_D3DRender.ReleaseTexture(*id);
        *id = INVALID_TEXTURE_ID;
    }
    g_MeshContainer.ReleaseMesh(m_pClouds);
    m_pClouds = nullptr;
    if (m_Stars.m_pVertexBuffer)
        m_Stars.m_pVertexBuffer->Release();
    if (m_Stars.m_pIndexBuffer)
        m_Stars.m_pIndexBuffer->Release();
    m_Stars = CSkyStars();
}

void CSky::Update()
{
    SetTimeOfDay(g_bEditorMode ? kNoonTime : TimeOfDay(g_GameTimer.m_fGameTime));
    const float distance = static_cast<float>(g_nViewDistance);
    g_D3DRender.SetFogRange(distance * 0.5f, distance);
}

// In double precision: a clock of many played hours is far beyond what an
// integer of milliseconds holds.
double CSky::TimeOfDay(double gameTime)
{
    if (!std::isfinite(gameTime))
        gameTime = 0.0;
    double a = std::fmod(std::floor(gameTime) + 500000.0, SKY_DAY_LENGTH);
    if (a < 0.0)
        a += SKY_DAY_LENGTH;
    return a;
}

void CSky::SetTimeOfDay(double timeOfDay)
{
    const float a = static_cast<float>(timeOfDay);
    const float theta = a * kRadiansPerMs;
    m_vSunDir = Rotated(D3DXVECTOR3(0.0f, 1.0f, -1.0f), D3DXVECTOR3(0.0f, 1.0f, 1.0f), theta);
    m_vMoonDir = Rotated(D3DXVECTOR3(0.0f, 1.0f, 1.0f), D3DXVECTOR3(0.0f, 1.0f, -1.0f),
                         -(a + 1000000.0f) * kRadiansPerMs);

    m_vLightDir = m_vSunDir.y < 0.0f ? -m_vSunDir : -m_vMoonDir;
    if (m_vLightDir.y < 0.81f) {
        m_vLightDir.y = 0.81f;
        D3DXVec3Normalize(&m_vLightDir, &m_vLightDir);
    }

    const float sunY = m_vSunDir.y;
    m_fDaylight = sunY > 0.2f ? 0.0f : std::fmin(std::fabs(5.0f * sunY - 1.0f), 1.0f);
    m_fMoonlight = m_vMoonDir.y > 0.0f ? 0.0f : std::fmin(-5.0f * m_vMoonDir.y, 1.0f);
    m_fShadowFactor = std::fabs(sunY) < 0.2f ? std::fabs(sunY) / 0.2f : 1.0f;
    if (sunY > 0.0f)
        m_fShadowFactor *= 0.8f;
    m_fLightsFactor = std::fmin(std::fmax(sunY + 0.5f, 0.0f), 1.0f);

    const float f = 0.0004f * a;
    std::uint32_t k = static_cast<std::uint32_t>(f / 100.0f);
    if (k > SKY_KEY_COUNT - 2)
        k = SKY_KEY_COUNT - 2;
    const float w = (f - 100.0f * static_cast<float>(k)) / 100.0f;
    Interpolate(m_SkyKeys, k, w, m_Colour);
    Interpolate(m_FogKeys, k, w, m_FogColour);
}
