// The car body file: vertex and triangle counts, the five part groups and
// the vertices, indices and dent records, checked before anything is used.
#pragma once

#include <cstddef>
#include <cstdint>

struct VehicleBodyLayout {
    std::uint32_t nVertices = 0;
    std::uint32_t nTriangles = 0;
    std::uint32_t firstVertex[5] = {};
    std::uint32_t vertexCount[5] = {};
    std::uint32_t firstTriangle[5] = {};
    std::uint32_t triangleCount[5] = {};
    // Into the checked bytes.
    const std::uint8_t* pVertices = nullptr; // 36 bytes each
    const std::uint8_t* pIndices = nullptr;  // 3 u16 per triangle
    const std::uint8_t* pRecords = nullptr;  // 40 bytes each
};

// True when the bytes are a whole body file: size 88 + 76V + 6T, at most
// 10,000 vertices, every group inside the vertices and triangles with group
// 4 ending at the last vertex, every index below its group's vertex count,
// at most 4 twins per record and every twin a vertex.
bool ParseVehicleBody(const std::uint8_t* data, std::size_t size, VehicleBodyLayout* out);

// The body file's name: the description path up to its last '.', then
// "Extra.dat". A path without a dot keeps all of it.
void VehicleBodyFileName(char* out, std::size_t size, const char* path);
