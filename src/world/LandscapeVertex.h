// The 44-byte vertex of the ground grids, the sector meshes and the water
// planes: position, normal, diffuse colour and two texture sets.
#pragma once

#include <cstdint>

struct LandscapeVertex {
    float x, y, z;
    float nx, ny, nz;
    std::uint32_t diffuse;
    float u0, v0;
    float u1, v1;
};
static_assert(sizeof(LandscapeVertex) == 44, "the files and buffers store 44-byte vertices");

// Position, normal, diffuse colour and two texture sets.
inline constexpr std::uint32_t LANDSCAPE_FVF = 0x252;
