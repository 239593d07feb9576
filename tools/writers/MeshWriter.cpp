#include "writers/MeshWriter.h"

#include "writers/FileBytes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tools {

namespace {

void Append(std::string* out, const void* data, std::size_t size)
{
    out->append(static_cast<const char*>(data), size);
}

void AppendU32(std::string* out, std::uint32_t v) { Append(out, &v, 4); }
void AppendVec(std::string* out, const MeshVec3& v) { Append(out, v.data(), 12); }

std::uint32_t FrameCount(const MeshPartData& part)
{
    return part.wideFrames ? part.wideFrames : static_cast<std::uint32_t>(part.frames.size());
}

std::uint32_t VertexCount(const MeshPartData& part)
{
    if (part.wideFrames)
        return static_cast<std::uint32_t>(part.wide.size());
    return part.frames.empty() ? 0 : static_cast<std::uint32_t>(part.frames[0].size());
}

std::vector<MeshVec3> FramePositions(const MeshPartData& part, std::uint32_t frame)
{
    std::vector<MeshVec3> positions;
    if (part.wideFrames) {
        for (const MeshWideVertex& v : part.wide)
            positions.push_back(v.position);
    } else {
        for (const MeshFileVertex& v : part.frames[frame])
            positions.push_back(v.position);
    }
    return positions;
}

struct FrameBounds {
    MeshVec3 min, max, centre;
    float radius;
};

// Box of the positions; sphere about the box centre through the farthest vertex.
FrameBounds BoundsOf(const std::vector<MeshVec3>& positions)
{
    FrameBounds b{{}, {}, {}, 0.0f};
    if (positions.empty())
        return b;
    b.min = b.max = positions[0];
    for (const MeshVec3& p : positions) {
        for (int a = 0; a < 3; ++a) {
            b.min[a] = std::min(b.min[a], p[a]);
            b.max[a] = std::max(b.max[a], p[a]);
        }
    }
    for (int a = 0; a < 3; ++a)
        b.centre[a] = (b.min[a] + b.max[a]) * 0.5f;
    for (const MeshVec3& p : positions) {
        const float dx = p[0] - b.centre[0], dy = p[1] - b.centre[1], dz = p[2] - b.centre[2];
        b.radius = std::max(b.radius, std::sqrt(dx * dx + dy * dy + dz * dz));
    }
    return b;
}

void AppendBounds(std::string* out, const MeshPartData& part)
{
    const std::uint32_t frames = FrameCount(part);
    std::vector<FrameBounds> bounds;
    for (std::uint32_t f = 0; f < frames; ++f)
        bounds.push_back(BoundsOf(FramePositions(part, f)));
    for (const FrameBounds& b : bounds) {
        AppendVec(out, b.min);
        AppendVec(out, b.max);
    }
    for (const FrameBounds& b : bounds)
        AppendVec(out, b.centre);
    for (const FrameBounds& b : bounds)
        Append(out, &b.radius, 4);
}

void AppendGeometry(std::string* out, const MeshPartData& part)
{
    if (part.wideFrames) {
        for (const MeshWideVertex& v : part.wide) {
            AppendVec(out, v.position);
            AppendVec(out, v.normal);
            AppendU32(out, v.diffuse);
            const float uv[4] = {v.u, v.v, v.u2, v.v2};
            Append(out, uv, sizeof(uv));
        }
    } else {
        for (const std::vector<MeshFileVertex>& frame : part.frames) {
            for (const MeshFileVertex& v : frame) {
                AppendVec(out, v.position);
                AppendVec(out, v.normal);
                const float uv[2] = {v.u, v.v};
                Append(out, uv, sizeof(uv));
            }
        }
    }
    Append(out, part.indices.data(), part.indices.size() * 2);
}

} // namespace

std::string EncodeMesh(const MeshData& mesh)
{
    std::string out;
    for (const MeshPartData& p : mesh.parts)
        AppendU32(&out, FrameCount(p));
    for (const MeshPartData& p : mesh.parts)
        AppendU32(&out, VertexCount(p));
    for (const MeshPartData& p : mesh.parts)
        AppendU32(&out, static_cast<std::uint32_t>(p.indices.size() / 3));
    for (const MeshPartData& p : mesh.parts)
        if (FrameCount(p))
            AppendBounds(&out, p);
    for (const MeshPartData& p : mesh.parts)
        if (FrameCount(p))
            AppendGeometry(&out, p);
    for (const MeshPartData& p : mesh.parts)
        AppendU32(&out, static_cast<std::uint32_t>(p.points.size()));
    for (const MeshPartData& p : mesh.parts)
        for (const MeshVec3& point : p.points)
            AppendVec(&out, point);
    return out;
}

bool WriteMesh(const std::string& path, const MeshData& mesh)
{
    return WriteFileBytes(path, EncodeMesh(mesh));
}

} // namespace tools
