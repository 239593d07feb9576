// Writes mesh files: the 192-byte header of per-part counts, the bounds of
// every present part (worked out from its vertices), the geometry and the
// attachment points.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tools {

using MeshVec3 = std::array<float, 3>;

// The file's vertex: position, normal, uv.
struct MeshFileVertex {
    MeshVec3 position;
    MeshVec3 normal;
    float u, v;
};

// The wide vertex a part loaded in the wide format keeps as stored.
struct MeshWideVertex {
    MeshVec3 position;
    MeshVec3 normal;
    std::uint32_t diffuse;
    float u, v, u2, v2;
};

struct MeshPartData {
    // One vertex list per frame, all of the same length.
    std::vector<std::vector<MeshFileVertex>> frames;
    // Parts meant for the wide format: the frame count and the one vertex
    // list every frame uses (frames above stays empty).
    std::uint32_t wideFrames = 0;
    std::vector<MeshWideVertex> wide;
    std::vector<std::uint16_t> indices; // three per triangle
    std::vector<MeshVec3> points;       // attachment points, written even for an absent part
};

struct MeshData {
    std::array<MeshPartData, 16> parts;
};

std::string EncodeMesh(const MeshData& mesh);
bool WriteMesh(const std::string& path, const MeshData& mesh);

// An axis-aligned box from min to max: 24 vertices with face normals, 12
// outward triangles.
MeshPartData BoxPart(const MeshVec3& min, const MeshVec3& max);
// A flat square of the given edge at height 0, facing up: 4 vertices, 2 triangles.
MeshPartData GroundPart(float edge);

// A box from min to max as 8 shared corners and 12 outward triangles, for
// occluder parts.
MeshPartData ClosedBoxPart(const MeshVec3& min, const MeshVec3& max);

// Sample meshes of the city, by name: a box building, a ground tile and a
// car body with glass, chrome, shadow, collision and physics parts.
struct NamedMesh {
    std::string name;
    MeshData mesh;
};
std::vector<NamedMesh> SampleMeshes();

// Offsets into the header, for tests that damage a file.
inline std::size_t MeshFramesOffset(int part) { return 4u * part; }
inline std::size_t MeshVerticesOffset(int part) { return 64u + 4u * part; }
inline std::size_t MeshTrianglesOffset(int part) { return 128u + 4u * part; }

} // namespace tools
