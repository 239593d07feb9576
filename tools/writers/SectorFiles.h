// Writes the per-sector files of a landscape ("Data/Landscape/CC_RR/"): the
// road, road-marking and sidewalk meshes, the collision mesh and the list of
// placed objects.
#pragma once

#include "writers/CityPlacement.h"
#include "writers/SampleCity.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

struct SectorVertex {
    float x, y, z;
    float nx = 0.0f, ny = 1.0f, nz = 0.0f;
    std::uint32_t diffuse = 0xFFFFFFFFu;
    float u0 = 0.0f, v0 = 0.0f, u1 = 0.0f, v1 = 0.0f;
};

struct SectorMeshData {
    std::vector<SectorVertex> vertices;
    std::vector<std::uint16_t> indices; // three per triangle
    // Appends a quad over four corners given in the order near-left,
    // near-right, far-left, far-right, facing up.
    void AddQuad(const SectorVertex& a, const SectorVertex& b, const SectorVertex& c, const SectorVertex& d);
};

// "Roads.msh" and its siblings: V, T, 44-byte vertices, 16-bit indices.
std::string EncodeSectorMesh(const SectorMeshData& mesh);
// "MeshShape.dat": the quantized BVH Bullet builds over exactly these
// triangles, serialised in place, then the vertices (x, y, z, 0) and the
// 32-bit indices.
std::string EncodeMeshShape(const std::vector<float>& xyz, const std::vector<std::uint32_t>& indices);

struct PlacedObjectLine {
    std::string path;
    float x, y, z;
    float targetX, targetY, targetZ;
};
// "StaticObjects.obj": three header lines, four-line records (key in columns
// 0-31, values in the 32/8/1/8/1 columns), the "////" end line.
std::string EncodeStaticObjects(const std::vector<PlacedObjectLine>& objects);

// The meshes of one sector built from the route grid: road cells, centre
// line markings between crossings, walkway cells as sidewalks.
struct SectorMeshes {
    SectorMeshData roads, markings, sidewalks;
};
SectorMeshes BuildSectorMeshes(const LandscapeMaps& maps, int column, int row);

// Writes every sector's files of the maps, with the props placed in the
// sector holding their position.
bool WriteSectorFiles(const std::string& root, const LandscapeMaps& maps, const std::vector<PlacedProp>& props);
// The sample city's sectors.
bool WriteSampleSectors(const std::string& root);

} // namespace tools
