// The mesh file: a 192-byte header of per-part counts, the bounds of every
// present part, its geometry and the attachment points. Nothing in the file
// says which vertex layout a part uses; that follows from the format the
// caller loads it with.
#pragma once

#include "graphics/MeshFormats.h"

#include <cstddef>
#include <cstdint>

struct MeshFileHeader {
    std::uint32_t frames[MESH_PART_COUNT];
    std::uint32_t vertices[MESH_PART_COUNT]; // per frame
    std::uint32_t triangles[MESH_PART_COUNT];
};

// Where the blocks of one present part lie in the file's bytes.
struct MeshFilePart {
    const std::uint8_t* boxes;    // frames x (min xyz, max xyz)
    const std::uint8_t* centres;  // frames x xyz
    const std::uint8_t* radii;    // frames x f32
    const std::uint8_t* vertices; // wide format: once; else frames x vertices x 32 bytes
    const std::uint8_t* indices;  // triangles x 3 u16, shared by every frame
};

// A mesh file whose counts, sizes and indices have been checked against its
// bytes; the pointers stay valid while those bytes live.
struct MeshFileLayout {
    MeshFileHeader header;
    MeshFilePart parts[MESH_PART_COUNT];
    std::uint32_t points[MESH_PART_COUNT];
    const std::uint8_t* pointData[MESH_PART_COUNT]; // points x xyz
};

// Lays the file out for the caller's format. False when the file is short,
// a count does not fit its bytes, a present part has no vertex, no triangle
// or more than 65535 vertices, or a triangle names a vertex the part lacks.
bool ParseMeshFile(const std::uint8_t* data, std::size_t size, std::uint32_t callerFormat, MeshFileLayout* out);
