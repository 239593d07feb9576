// One grass tuft: a quarter of the grass atlas standing on the ground,
// coloured by the place colour map and greener and larger near the water.
#include "world/FieldObjects.h"

#include "shell/VectorHelpers.h"
#include "world/FieldObjectManager.h"
#include "world/Landscape.h"

#include <algorithm>
#include <cstdlib>

namespace {

float RandomUnit(int range, float divisor)
{
    return static_cast<float>(std::rand() % range) / divisor;
}

std::uint32_t Channel(float v)
{
    return static_cast<std::uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f);
}

} // namespace

void CGrassObject::Create(const D3DXVECTOR3* position)
{
    const float ox = RandomUnit(201, 100.0f) - 1.0f;
    const float oz = RandomUnit(201, 100.0f) - 1.0f;
    const float spread = g_Landscape.m_fCellSize * 0.43333f;
    D3DXVECTOR3 p = *position + D3DXVECTOR3(ox, 0.0f, oz) * spread;
    p.y = GetExactAltitude(&p);
    const std::uint32_t atlas = static_cast<std::uint32_t>(std::rand() % 4);
    const float size = RandomUnit(101, 200.0f) + 1.0f;
    float w = 0.75f * size, h = 1.5f * size;

    D3DXCOLOR4 place, c;
    g_FieldObjects.GetPlaceColor(&place, &p);
    ColorNormalizeToMax(&c, &place);
    const float tg = RandomUnit(101, 250.0f) - 0.2f;
    const float tr = RandomUnit(101, 250.0f) - 0.2f;
    D3DXCOLOR4 colour = {(c.r + tr) * 0.5f, (c.g + tg) * 0.5f, c.b * 0.5f, (c.a + 1.0f) * 0.5f};
    ColorScaleToLimit(&colour, &colour, 1.0f);
    // Near the water the grass grows lusher.
    const float e = std::max(0.0f, p.y - LandscapeWaterLevel());
    if (e < 2.0f) {
        colour.g += (1.0f - e / 2.0f) * 0.5f;
        colour.a += 1.0f;
        ColorScaleToLimit(&colour, &colour, 1.0f);
        w *= 2.0f - e / 2.0f;
        h *= 2.0f - e / 2.0f;
    }
    m_vBase = p;
    m_fHalfWidth = w;
    m_fHeight = h;
    m_nColor = 0xFF000000u | Channel(colour.r) << 16 | Channel(colour.g) << 8 | Channel(colour.b);
    m_nAtlas = atlas;
}

void CGrassObject::Vertices(CGrassVertex out[4]) const
{
    const AtlasOrigin atlas = g_FieldAtlas[m_nAtlas & 3];
    const float w = m_fHalfWidth, h = m_fHeight, span = FIELD_ATLAS_SPAN;
    const D3DXVECTOR3& p = m_vBase;
    const struct {
        float x, y, u, v;
    } corners[4] = {{w, h, 0, 0}, {w, 0, 0, span}, {-w, h, span, 0}, {-w, 0, span, span}};
    for (int i = 0; i < 4; ++i)
        out[i] = {corners[i].x, corners[i].y, 0.0f, m_nColor, atlas.u + corners[i].u, atlas.v + corners[i].v,
                  p.x, p.y, p.z, 0.0f, 1.0f, 0.0f};
}
