// Checks of the car body file.
#include "roadusers/VehicleBody.h"

#include "platform/LittleEndian.h"
#include "roadusers/Vehicle.h"

#include <cstdio>
#include <cstring>

namespace {

bool GroupsFit(const VehicleBodyLayout& b)
{
    for (int g = 0; g < VEHICLE_PART_GROUPS; ++g) {
        const std::uint64_t vertexEnd = std::uint64_t{b.firstVertex[g]} + b.vertexCount[g];
        const std::uint64_t triangleEnd = std::uint64_t{b.firstTriangle[g]} + b.triangleCount[g];
        if (vertexEnd > b.nVertices || triangleEnd > b.nTriangles)
            return false;
    }
    return std::uint64_t{b.firstVertex[4]} + b.vertexCount[4] == b.nVertices;
}

// Indices are relative to their group's first vertex.
bool IndicesFit(const VehicleBodyLayout& b)
{
    for (int g = 0; g < VEHICLE_PART_GROUPS; ++g) {
        const std::uint8_t* index = b.pIndices + std::size_t{b.firstTriangle[g]} * 6;
        for (std::uint32_t i = 0; i < b.triangleCount[g] * 3u; ++i)
            if (plat::ReadLE16(index + 2 * i) >= b.vertexCount[g])
                return false;
    }
    return true;
}

bool TwinsFit(const VehicleBodyLayout& b)
{
    for (std::uint32_t v = 0; v < b.nVertices; ++v) {
        const std::uint8_t* record = b.pRecords + std::size_t{v} * sizeof(DeformRecord);
        const std::uint8_t twins = record[offsetof(DeformRecord, nTwins)];
        if (twins > VEHICLE_MAX_TWINS)
            return false;
        for (int t = 0; t < twins; ++t)
            if (plat::ReadLE16(record + offsetof(DeformRecord, Twins) + 2 * t) >= b.nVertices)
                return false;
    }
    return true;
}

} // namespace

bool ParseVehicleBody(const std::uint8_t* data, std::size_t size, VehicleBodyLayout* out)
{
    if (!data || size < VEHICLE_BODY_HEADER_SIZE)
        return false;
    VehicleBodyLayout b;
    b.nVertices = plat::ReadLE32(data);
    b.nTriangles = plat::ReadLE32(data + 4);
    for (int g = 0; g < VEHICLE_PART_GROUPS; ++g) {
        b.firstVertex[g] = plat::ReadLE32(data + 8 + 4 * g);
        b.vertexCount[g] = plat::ReadLE32(data + 28 + 4 * g);
        b.firstTriangle[g] = plat::ReadLE32(data + 48 + 4 * g);
        b.triangleCount[g] = plat::ReadLE32(data + 68 + 4 * g);
    }
    if (b.nVertices == 0 || b.nVertices > VEHICLE_MAX_BODY_VERTICES)
        return false;
    const std::uint64_t expected = VEHICLE_BODY_HEADER_SIZE + std::uint64_t{b.nVertices} * 76u +
                                   std::uint64_t{b.nTriangles} * 6u;
    if (expected != size || !GroupsFit(b))
        return false;
    b.pVertices = data + VEHICLE_BODY_HEADER_SIZE;
    b.pIndices = b.pVertices + std::size_t{b.nVertices} * VEHICLE_BODY_VERTEX_SIZE;
    b.pRecords = b.pIndices + std::size_t{b.nTriangles} * 6;
    if (!IndicesFit(b) || !TwinsFit(b))
        return false;
    *out = b;
    return true;
}

void VehicleBodyFileName(char* out, std::size_t size, const char* path)
{
    if (size == 0)
        return;
    const char* dot = std::strrchr(path, '.');
    const std::size_t stem = dot ? static_cast<std::size_t>(dot - path) : std::strlen(path);
    std::snprintf(out, size, "%.*sExtra.dat", static_cast<int>(stem), path);
}
