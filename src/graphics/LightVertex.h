// The vertices of the additive light sprites that the object renderers drop
// into the renderer's two light batches during a frame.
#pragma once

#include "graphics/ScreenDraw.h"
#include "platform/D3D9.h"
#include "platform/D3DX9.h"

// XYZ | DIFFUSE | TEX3, the last two sets of three floats.
inline constexpr DWORD LIGHT_VERTEX_FVF =
    D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX3 | D3DFVF_TEXCOORDSIZE3(1) | D3DFVF_TEXCOORDSIZE3(2);

// A corner of a light sprite drawn by the light technique, which places the
// corner from the centre, the offset and the axis, so one batch holds sprites
// of many objects without a world transform per object.
struct CLightVertex {
    D3DXVECTOR3 vOffset; // the corner relative to the centre, in the quad's own axes
    DWORD nColour;       // ARGB
    float fU, fV;        // in the light atlas
    D3DXVECTOR3 vCentre; // the light's world position
    D3DXVECTOR3 vAxis;   // (0, 1, 0) for sprites and beams

    CLightVertex& Set(const D3DXVECTOR3& offset, DWORD colour, float u, float v, const D3DXVECTOR3& centre,
                      const D3DXVECTOR3& axis)
    {
        vOffset = offset;
        nColour = colour;
        fU = u;
        fV = v;
        vCentre = centre;
        vAxis = axis;
        return *this;
    }
};
static_assert(sizeof(CLightVertex) == 48, "the light technique reads 48-byte vertices");
static_assert(LIGHT_VERTEX_FVF == 0x140342, "the light vertex format");

// The ground light pools are drawn without shaders from plain world vertices.
using CFixedLightVertex = CWorldLineVertex;
inline constexpr DWORD FIXED_LIGHT_VERTEX_FVF = WORLD_LINE_VERTEX_FVF;
static_assert(sizeof(CFixedLightVertex) == 24, "the fixed light batch's stride");

// The batch limits: a frame's sprites beyond them are dropped.
enum {
    SHADER_BATCH_VERTICES = 5000,
    SHADER_BATCH_INDICES = 7500,
    FIXED_BATCH_VERTICES = 2500,
    FIXED_BATCH_INDICES = 3750,
};
