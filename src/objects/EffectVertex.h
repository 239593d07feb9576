// The vertex of the pooled effects drawn through the fixed pipeline; their
// camera-facing quads use the light technique's CLightVertex.
#pragma once

#include "graphics/LightVertex.h"
#include "graphics/ScreenDraw.h"
#include "platform/D3D9.h"
#include "platform/D3DX9.h"

#include <cstdint>

// Ground and water decoration drawn through the fixed pipeline: the
// renderer's world vertex (position, colour, one texture coordinate set).
using CEffectVertex = CWorldLineVertex;
static_assert(sizeof(CEffectVertex) == 24, "the device reads 24-byte vertices");
inline constexpr DWORD EFFECT_VERTEX_FVF = WORLD_LINE_VERTEX_FVF;

inline void SetEffectVertex(CEffectVertex* vertex, const D3DXVECTOR3& position, std::uint32_t colour, float u,
                            float v)
{
    *vertex = {position.x, position.y, position.z, colour, u, v};
}

inline D3DXVECTOR3 VertexPosition(const CEffectVertex& vertex)
{
    return D3DXVECTOR3(vertex.x, vertex.y, vertex.z);
}
