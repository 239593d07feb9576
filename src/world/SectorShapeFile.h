// The sector collision file "MeshShape.dat": a serialised quantized BVH
// followed by the triangles it was built on. Bullet trusts the blob, so every
// count, index and escape of it is checked before Bullet sees it.
#pragma once

#include <cstdint>

struct SectorShapeData {
    void* bvhBuffer = nullptr; // 16-byte aligned, freed with FreeSectorShape
    std::uint32_t bvhSize = 0;
    float* verts = nullptr;    // x, y, z, w per vertex
    std::uint32_t numVerts = 0;
    std::uint32_t* indices = nullptr;
    std::uint32_t numIndices = 0;
};

// 1 with the data filled when the file is sound, else 0 and nothing kept.
int ParseSectorShape(const std::uint8_t* data, std::uint32_t size, SectorShapeData* out);
void FreeSectorShape(SectorShapeData* data);
// 1 when a serialised BVH of `size` bytes (16-byte aligned) can be handed to
// Bullet's in-place loader for a mesh of `triangles` triangles.
int CheckSerializedBvh(const void* blob, std::uint32_t size, std::uint32_t triangles);
