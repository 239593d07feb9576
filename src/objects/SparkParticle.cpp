#include "objects/ParticleEffects.h"

#include "objects/EffectColour.h"
#include "objects/EffectView.h"
#include "shell/GameTimer.h"

#include <algorithm>
#include <cstdlib>

CSparkParticle::CSparkParticle()
    : m_bLive(0), m_vPosition(0, 0, 0), m_vVelocity(0, 0, 0), m_vUp(0, 0, 0), m_fLife(0), m_fAge(0), m_fSize(0),
      m_Colour{1.0f, 1.0f, 1.0f, 1.0f}, m_pOwner(nullptr)
{
}

void CSparkParticle::Start(const D3DXVECTOR3* position, const D3DXVECTOR3* velocity, float size, float r, float g,
                           float b, float a, const D3DXMATRIX* owner)
{
    m_bLive = 1;
    m_vPosition = *position;
    m_vVelocity = *velocity;
    // A random tilt of the fleck in the view plane: y is drawn before x.
    D3DXVECTOR3 up(0.0f, 0.0f, 0.0f);
    up.y = static_cast<float>(std::rand() % 2001) / 1000.0f - 1.0f;
    up.x = static_cast<float>(std::rand() % 2001) / 1000.0f - 1.0f;
    Vec3Normalize(&m_vUp, &up);
    m_fLife = static_cast<float>(std::rand() % 101) / 500.0f + 0.4f;
    m_fAge = 0.0f;
    m_fSize = size;
    m_Colour = {r, g, b, a};
    m_pOwner = owner;
}

void CSparkParticle::Kill()
{
    m_bLive = 0;
    m_pOwner = nullptr;
}

// White-hot at birth, its own colour by mid-life, black at the end.
static std::uint32_t SparkColour(const CSparkParticle& spark)
{
    const float half = spark.m_fLife / 2.0f;
    const float flash = std::max(1.0f - spark.m_fAge / half, 0.0f);
    float r = std::min(spark.m_Colour.r + flash, 1.0f);
    float g = std::min(spark.m_Colour.g + flash, 1.0f);
    float b = std::min(spark.m_Colour.b + flash, 1.0f);
    if (spark.m_fAge > half) {
        const float dim = 1.0f - (spark.m_fAge - half) / half;
        r *= dim;
        g *= dim;
        b *= dim;
    }
    return PackEffectColour(r, g, b, 1.0f);
}

void CSparkParticle::Update(CLightVertex* vertices, std::uint32_t* count)
{
    const float dt = g_GameTimer.m_fDelta;
    m_fAge += dt;
    if (!(m_fAge < m_fLife) || m_fSize < 0.1f) {
        Kill();
        return;
    }
    if (m_pOwner) {
        D3DXVec3TransformCoord(&m_vPosition, &m_vVelocity, m_pOwner);
    } else {
        m_vPosition += m_vVelocity * dt;
        m_vVelocity *= std::max(1.0f - dt, 0.0f);
    }
    m_fSize *= (3.0f - 3.0f * m_fAge / m_fLife) * dt + 1.0f;
    if (!EffectSphereVisible(&m_vPosition, m_fSize) || EffectEyeDistance(&m_vPosition) > 60.0f || !vertices)
        return;
    // The atlas runs through its 16 frames over the spark's life.
    const int frame = static_cast<int>(std::min(16.0f * m_fAge / m_fLife, 16.0f));
    const float u = static_cast<float>(frame % 4) * 0.25f, v = static_cast<float>(frame / 4) * 0.25f;
    const std::uint32_t colour = SparkColour(*this);
    const float s = m_fSize;
    CLightVertex* quad = vertices + *count;
    quad[0].Set(D3DXVECTOR3(s, s, 0.25f * s), colour, u, v, m_vPosition, m_vUp);
    quad[1].Set(D3DXVECTOR3(s, -s, 0.25f * s), colour, u, v + 0.25f, m_vPosition, m_vUp);
    quad[2].Set(D3DXVECTOR3(-s, s, 0.25f * s), colour, u + 0.25f, v, m_vPosition, m_vUp);
    quad[3].Set(D3DXVECTOR3(-s, -s, 0.25f * s), colour, u + 0.25f, v + 0.25f, m_vPosition, m_vUp);
    *count += 4;
}
