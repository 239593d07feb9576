#include "graphics/MeshFile.h"

#include <cmath>
#include <cstring>

namespace {

// A cursor over the file's bytes that never moves past the end.
class ByteCursor {
public:
    ByteCursor(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    // The next count x size bytes, or null when fewer are left.
    const std::uint8_t* Take(std::uint64_t count, std::uint64_t size)
    {
        const std::uint64_t left = m_size - m_pos;
        if (size != 0 && count > left / size)
            return nullptr;
        const std::uint8_t* p = m_data + m_pos;
        m_pos += static_cast<std::size_t>(count * size);
        return p;
    }

    bool TakeU32s(std::uint32_t* out, std::size_t count)
    {
        const std::uint8_t* p = Take(count, 4);
        if (!p)
            return false;
        std::memcpy(out, p, count * 4);
        return true;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

bool PartCountsValid(const MeshFileHeader& h, int p)
{
    return h.vertices[p] >= 1 && h.vertices[p] <= MESH_MAX_VERTICES && h.triangles[p] >= 1;
}

bool IndicesValid(const std::uint8_t* indices, std::uint32_t triangles, std::uint32_t vertices)
{
    for (std::uint64_t i = 0; i < std::uint64_t{triangles} * 3; ++i) {
        std::uint16_t index;
        std::memcpy(&index, indices + i * 2, 2);
        if (index >= vertices)
            return false;
    }
    return true;
}

// Every vertex starts with its position; one that is not a finite number
// makes the whole file malformed (nothing can be drawn or welded with it).
bool PositionsFinite(const std::uint8_t* vertices, std::uint64_t count, std::size_t stride)
{
    for (std::uint64_t v = 0; v < count; ++v) {
        float p[3];
        std::memcpy(p, vertices + v * stride, sizeof(p));
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
            return false;
    }
    return true;
}

bool TakeBounds(ByteCursor& cursor, std::uint32_t frames, MeshFilePart& part)
{
    part.boxes = cursor.Take(frames, 24);
    part.centres = part.boxes ? cursor.Take(frames, 12) : nullptr;
    part.radii = part.centres ? cursor.Take(frames, 4) : nullptr;
    return part.radii != nullptr;
}

bool TakeGeometry(ByteCursor& cursor, const MeshFileHeader& h, int p, std::uint32_t callerFormat,
                  MeshFilePart& part)
{
    const bool wide = GetMeshPartFormat(p, callerFormat, 0).format == MESH_FORMAT_WIDE;
    const std::uint64_t count = wide ? h.vertices[p] : std::uint64_t{h.frames[p]} * h.vertices[p];
    const std::size_t stride = wide ? MESH_WIDE_VERTEX_SIZE : MESH_FILE_VERTEX_SIZE;
    part.vertices = cursor.Take(count, stride);
    if (part.vertices && !PositionsFinite(part.vertices, count, stride))
        return false;
    part.indices = part.vertices ? cursor.Take(h.triangles[p], 6) : nullptr;
    return part.indices && IndicesValid(part.indices, h.triangles[p], h.vertices[p]);
}

} // namespace

bool ParseMeshFile(const std::uint8_t* data, std::size_t size, std::uint32_t callerFormat, MeshFileLayout* out)
{
    if (!data || !out || callerFormat >= MESH_FORMAT_COUNT)
        return false;
    std::memset(out, 0, sizeof(*out));
    ByteCursor cursor(data, size);
    MeshFileHeader& h = out->header;
    if (!cursor.TakeU32s(h.frames, MESH_PART_COUNT) || !cursor.TakeU32s(h.vertices, MESH_PART_COUNT) ||
        !cursor.TakeU32s(h.triangles, MESH_PART_COUNT))
        return false;
    for (int p = 0; p < MESH_PART_COUNT; ++p) {
        if (h.frames[p] && (!PartCountsValid(h, p) || !TakeBounds(cursor, h.frames[p], out->parts[p])))
            return false;
    }
    for (int p = 0; p < MESH_PART_COUNT; ++p) {
        if (h.frames[p] && !TakeGeometry(cursor, h, p, callerFormat, out->parts[p]))
            return false;
    }
    if (!cursor.TakeU32s(out->points, MESH_PART_COUNT))
        return false;
    for (int p = 0; p < MESH_PART_COUNT; ++p) {
        if (out->points[p] && !(out->pointData[p] = cursor.Take(out->points[p], 12)))
            return false;
    }
    return true;
}
