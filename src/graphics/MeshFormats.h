// Vertex formats of the mesh files and the format each mesh part is kept in.
#pragma once

#include "platform/D3DX9.h"

#include <cstdint>

enum {
    MESH_PART_COUNT = 16,
    MESH_FORMAT_COUNT = 8,
    MESH_FORMAT_WIDE = 7,        // stored in the file as kept, once per part
    MESH_MAX_VERTICES = 65535,   // 16-bit indices
    MESH_FILE_VERTEX_SIZE = 32,  // position, normal, uv
    MESH_WIDE_VERTEX_SIZE = 44,  // position, normal, diffuse, uv, second uv
    MESH_COLLISION_PART = 12,
};

// One vertex format: its FVF code, its size in bytes, and where the loader
// puts the normal, the diffuse colour and the first uv of a converted file
// vertex (-1: the format has none).
struct MeshVertexFormat {
    DWORD fvf;
    std::uint32_t size;
    int normalOffset;
    int diffuseOffset;
    int uvOffset;
};

extern const MeshVertexFormat g_MeshFVFTable[MESH_FORMAT_COUNT];

// The format id and mesh options a part is kept in: the caller's, except for
// the parts with a fixed role (effect geometry, occluders, shadows and the
// physics and collision parts).
struct MeshPartFormat {
    std::uint32_t format;
    DWORD options;
};
MeshPartFormat GetMeshPartFormat(int part, std::uint32_t callerFormat, DWORD callerOptions);

// Turns count 32-byte file vertices into the layout of the format (not the
// wide format); fields the file does not supply are zero, diffuse is white.
void ConvertFileVertices(const std::uint8_t* fileVertices, std::uint32_t count, std::uint32_t format,
                         std::uint8_t* out);
