// The two vertex layouts of the pooled effects.
#pragma once

#include "platform/D3D9.h"
#include "platform/D3DX9.h"

#include <cstdint>

// Ground and water decoration drawn through the fixed pipeline: world
// position, colour, one texture coordinate set.
struct CEffectVertex {
    D3DXVECTOR3 position;
    std::uint32_t colour;
    float u, v;
};
static_assert(sizeof(CEffectVertex) == 24, "the device reads 24-byte vertices");
inline constexpr DWORD EFFECT_VERTEX_FVF = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

inline void SetEffectVertex(CEffectVertex* vertex, const D3DXVECTOR3& position, std::uint32_t colour, float u,
                            float v)
{
    vertex->position = position;
    vertex->colour = colour;
    vertex->u = u;
    vertex->v = v;
}

// Camera-facing quads placed by the billboard technique: the corner offset,
// colour, texture coordinates, the quad's centre and its up axis.
struct EffectBillboardVertex {
    D3DXVECTOR3 offset;
    std::uint32_t colour;
    float u, v;
    D3DXVECTOR3 centre;
    D3DXVECTOR3 axis;
};
static_assert(sizeof(EffectBillboardVertex) == 48, "the device reads 48-byte vertices");
inline constexpr DWORD EFFECT_BILLBOARD_FVF = 0x140342;

inline void SetBillboardVertex(EffectBillboardVertex* vertex, const D3DXVECTOR3& offset, std::uint32_t colour,
                               float u, float v, const D3DXVECTOR3& centre, const D3DXVECTOR3& axis)
{
    vertex->offset = offset;
    vertex->colour = colour;
    vertex->u = u;
    vertex->v = v;
    vertex->centre = centre;
    vertex->axis = axis;
}
