// Building and drawing the light sprite sets.
#include "objects/LightsEffect.h"

#include "graphics/D3DRender.h"
#include "objects/EffectGate.h"
#include "objects/StaticObject.h"
#include "shell/RenderPasses.h"
#include "world/Sky.h"

#include <new>

namespace {

// The round sprite in the lower-right quarter of the light atlas.
const float kRoundSprite[LIGHT_RECT_FLOATS] = {0.501f, 0.501f, 0.501f, 0.999f, 0.999f, 0.501f, 0.999f, 0.999f};
// Corner signs in the order of the rectangles' pairs.
const float kCornerX[4] = {1.0f, 1.0f, -1.0f, -1.0f};
const float kCornerY[4] = {1.0f, -1.0f, 1.0f, -1.0f};

// Lamps and cars grow with distance so they still read as lamps far away.
constexpr float kGrowStart = 8.0f;

template <class T>
void FreeArray(T*& p)
{
    delete[] p;
    p = nullptr;
}

float SizeScale(const CStaticObject* owner)
{
    const float d = owner->m_fCameraDistance;
    if ((owner->m_nType == GTYPE_LAMPPOST || owner->m_nType == GTYPE_VEHICLE) && d > kGrowStart)
        return (d - kGrowStart) / 72.0f * 5.0f + 1.0f;
    if (g_WaterPassActive)
        return 3.0f;
    if (g_CubePassActive)
        return 2.0f;
    return 1.0f;
}

void SetCorners(CLightVertex* v, const D3DXVECTOR3& size, float k)
{
    for (int c = 0; c < 4; ++c)
        v[c].vOffset = D3DXVECTOR3(kCornerX[c] * k * size.x, kCornerY[c] * k * size.y, k * size.z);
}

} // namespace

void CLightsEffect::Build(std::uint32_t list, const D3DXVECTOR3* halfSize, const float* rect)
{
    if (m_pVertices || m_nPointList)
        return;
    m_nPointList = list;
    const std::uint32_t count = OwnerPointCount(m_pOwner, list);
    if (count == 0 || count > SHADER_BATCH_VERTICES / 4)
        return;
    m_pVertices = new (std::nothrow) CLightVertex[count * 4];
    m_pIndices = new (std::nothrow) WORD[count * 6];
    m_pSizes = new (std::nothrow) D3DXVECTOR3[count];
    if (!m_pVertices || !m_pIndices || !m_pSizes) {
        Release();
        return;
    }
    m_nCount = count;
    if (halfSize)
        m_vHalfSize = *halfSize;
    if (!rect)
        rect = kRoundSprite;
    const D3DXVECTOR3* points = OwnerPoints(m_pOwner, list);
    const std::uint32_t colour = OpaqueLightColour(m_Colour);
    const D3DXVECTOR3 axis(0.0f, 1.0f, 0.0f);
    for (std::uint32_t i = 0; i < count; ++i) {
        m_pSizes[i] = m_vHalfSize;
        const D3DXVECTOR3 centre = OwnerWorldPoint(m_pOwner, points[i]);
        CLightVertex* v = m_pVertices + 4 * i;
        for (int c = 0; c < 4; ++c)
            v[c].Set(D3DXVECTOR3(0, 0, 0), colour, rect[2 * c], rect[2 * c + 1], centre, axis);
        SetCorners(v, m_vHalfSize, 1.0f);
        const WORD base = static_cast<WORD>(4 * i);
        const WORD order[6] = {0, 1, 2, 2, 1, 3};
        for (int k = 0; k < 6; ++k)
            m_pIndices[6 * i + k] = static_cast<WORD>(base + order[k]);
    }
    if (m_pOwner->m_nType == GTYPE_LAMPPOST && !m_pGroundPool) {
        m_pGroundPool = new (std::nothrow) CGroundLightPool;
        if (m_pGroundPool)
            m_pGroundPool->Build(m_pOwner, m_Colour.r, m_Colour.g, m_Colour.b, m_Colour.a);
    }
}

void CLightsEffect::UpdateWorldPositions()
{
    const D3DXVECTOR3* points = OwnerPoints(m_pOwner, m_nPointList);
    if (!m_pVertices || !points || OwnerPointCount(m_pOwner, m_nPointList) < m_nCount)
        return;
    for (std::uint32_t i = 0; i < m_nCount; ++i) {
        const D3DXVECTOR3 centre = OwnerWorldPoint(m_pOwner, points[i]);
        for (int c = 0; c < 4; ++c)
            m_pVertices[4 * i + c].vCentre = centre;
    }
}

void CLightsEffect::SetLightSize(std::uint32_t index, const D3DXVECTOR3* size)
{
    if (index < m_nCount && m_pSizes && size)
        m_pSizes[index] = *size;
}

void CLightsEffect::Render()
{
    if (!m_pOwner || !m_pOwner->m_bRender)
        return;
    if (m_pGroundPool)
        m_pGroundPool->Render();
    const float far = ViewDistanceUpTo(400.0f);
    if (!PassesEffectGate(m_pOwner, far, far))
        return;
    const bool lamp = m_pOwner->m_nType == GTYPE_LAMPPOST;
    if ((lamp && !(g_Sky.m_fLightsFactor > 0.0f)) || m_pOwner->m_Material.Diffuse.a == 0.0f)
        return;
    if (!m_nPointList)
        Build(1, nullptr, nullptr);
    if (m_nCount == 0)
        return;
    const float k = SizeScale(m_pOwner);
    if (m_pOwner->m_nType == GTYPE_VEHICLE)
        UpdateWorldPositions();
    float fade = m_pOwner->m_Material.Diffuse.a;
    if (lamp)
        fade *= g_Sky.m_fLightsFactor;
    const std::uint32_t colour = OpaqueLightColour(ScaledColour(m_Colour, fade));
    for (std::uint32_t i = 0; i < m_nCount; ++i) {
        CLightVertex* v = m_pVertices + 4 * i;
        SetCorners(v, m_pSizes[i], k);
        for (int c = 0; c < 4; ++c)
            v[c].nColour = colour;
    }
    g_D3DRender.AddShaderLightBatch(m_pVertices, m_pIndices, 4 * m_nCount, 6 * m_nCount);
}

void CLightsEffect::Release()
{
    FreeArray(m_pVertices);
    FreeArray(m_pIndices);
    FreeArray(m_pSizes);
    m_nCount = 0;
    if (m_pGroundPool) {
        m_pGroundPool->Release();
        delete m_pGroundPool;
        m_pGroundPool = nullptr;
    }
}
