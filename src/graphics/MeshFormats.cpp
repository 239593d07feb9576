#include "graphics/MeshFormats.h"

#include <cstring>

const MeshVertexFormat g_MeshFVFTable[MESH_FORMAT_COUNT] = {
    {0x112, 32, 12, -1, 24},    // position, normal, uv
    {0x152, 36, 12, 24, 28},    // position, normal, diffuse, uv
    {0x142, 24, -1, 12, 16},    // position, diffuse, uv
    {0x102, 20, -1, -1, 12},    // position, uv
    {0x12, 24, 12, -1, -1},     // position, normal
    {0x140342, 48, -1, 12, 16}, // position, diffuse, uv, two 3-component sets
    {0x140312, 56, 12, -1, 24}, // position, normal, uv, two 3-component sets
    {0x252, 44, 12, 24, 28},    // position, normal, diffuse, uv, second uv
};

MeshPartFormat GetMeshPartFormat(int part, std::uint32_t callerFormat, DWORD callerOptions)
{
    switch (part) {
    case 2:
    case 5:
        return {3, D3DXMESH_MANAGED};
    case 3:
        return {0, D3DXMESH_MANAGED};
    case 4:
    case 10:
    case 11:
        return {4, D3DXMESH_MANAGED};
    case 12:
    case 13:
    case 14:
    case 15:
        return {4, D3DXMESH_SYSTEMMEM};
    default:
        return {callerFormat, callerOptions};
    }
}

void ConvertFileVertices(const std::uint8_t* fileVertices, std::uint32_t count, std::uint32_t format,
                         std::uint8_t* out)
{
    const MeshVertexFormat& f = g_MeshFVFTable[format];
    const std::uint32_t white = 0xFFFFFFFFu;
    std::memset(out, 0, static_cast<std::size_t>(count) * f.size);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* src = fileVertices + static_cast<std::size_t>(i) * MESH_FILE_VERTEX_SIZE;
        std::uint8_t* dst = out + static_cast<std::size_t>(i) * f.size;
        std::memcpy(dst, src, 12);
        if (f.normalOffset >= 0)
            std::memcpy(dst + f.normalOffset, src + 12, 12);
        if (f.diffuseOffset >= 0)
            std::memcpy(dst + f.diffuseOffset, &white, 4);
        if (f.uvOffset >= 0)
            std::memcpy(dst + f.uvOffset, src + 24, 8);
    }
}
