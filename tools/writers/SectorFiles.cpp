#include "writers/SectorFiles.h"

#include "writers/FileBytes.h"
#include "writers/SectorMeshOrder.h"

#include <btBulletCollisionCommon.h>
#include <BulletCollision/CollisionShapes/btOptimizedBvh.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace tools {

namespace {

constexpr float kRoadLift = 0.05f;
constexpr float kMarkingLift = 0.07f;
constexpr float kSidewalkLift = 0.18f;
// The paving is shaded a little darker than the kerb stones along the road,
// so the kerb line reads from a distance.
constexpr std::uint32_t kPavingShade = 0xFFC4C4C4u, kKerbShade = 0xFFFFFFFFu;
constexpr float kKerbWidth = 0.35f;

void Put(std::string& out, const void* data, std::size_t n)
{
    out.append(static_cast<const char*>(data), n);
}

void PutU32(std::string& out, std::uint32_t v)
{
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    Put(out, b, 4);
}

void PutF32(std::string& out, float f)
{
    std::uint32_t v;
    std::memcpy(&v, &f, 4);
    PutU32(out, v);
}

// A line of 32 key characters followed by the value columns.
std::string Keyed(const char* key, const std::string& rest)
{
    char head[33];
    std::snprintf(head, sizeof head, "%-32.32s", key);
    return head + rest + "\r\n";
}

std::string PositionColumns(float x, float y, float z)
{
    char text[64];
    std::snprintf(text, sizeof text, "%8.2f,%8.2f,%.2f", static_cast<double>(x), static_cast<double>(y),
                  static_cast<double>(z));
    return text;
}

bool IsRoad(const LandscapeMaps& m, int column, int row)
{
    if (column < 0 || row < 0 || column >= m.frame.cells || row >= m.frame.cells)
        return false;
    const std::uint8_t t = m.route[row * kGridSide + column].type;
    return t == 2 || t == 3;
}

std::uint8_t TypeAt(const LandscapeMaps& m, int column, int row)
{
    if (column < 0 || row < 0 || column >= m.frame.cells || row >= m.frame.cells)
        return 0;
    return m.route[row * kGridSide + column].type;
}

// Ground height of a grid vertex, as the game's ground grid has it.
float VertexHeight(const LandscapeMaps& m, int column, int row)
{
    const int last = m.frame.cells - 1;
    return m.altitude[std::min(row, last) * kGridSide + std::min(column, last)];
}

// The four corners of a cell at a lift over the ground, with texture set 0
// every `tile0` units and set 1 every `tile1` units of the world.
void AddCell(const LandscapeMaps& m, SectorMeshData* mesh, int column, int row, float lift, float tile0, float tile1)
{
    const float c = m.frame.cellSize, w = static_cast<float>(m.frame.cells) * c;
    SectorVertex v[4];
    for (int k = 0; k < 4; ++k) {
        const int dc = k & 1, dr = k >> 1 ? 0 : 1; // near row first: row + 1 is further south
        SectorVertex& p = v[k];
        p.x = static_cast<float>(column + dc) * c - w / 2;
        p.z = w / 2 - static_cast<float>(row + dr) * c;
        p.y = VertexHeight(m, column + dc, row + dr) + lift;
        p.u0 = p.x / tile0;
        p.v0 = -p.z / tile0;
        p.u1 = p.x / tile1;
        p.v1 = -p.z / tile1;
    }
    mesh->AddQuad(v[0], v[1], v[2], v[3]);
}

// A dash of the centre line over one cell, running along the road.
void AddMarking(const LandscapeMaps& m, SectorMeshData* mesh, int column, int row, bool alongZ)
{
    const float c = m.frame.cellSize, w = static_cast<float>(m.frame.cells) * c;
    SectorVertex v[4];
    for (int k = 0; k < 4; ++k) {
        const int dc = k & 1, dr = k >> 1 ? 0 : 1;
        SectorVertex& p = v[k];
        p.x = static_cast<float>(column + dc) * c - w / 2;
        p.z = w / 2 - static_cast<float>(row + dr) * c;
        p.y = VertexHeight(m, column + dc, row + dr) + kMarkingLift;
        const float across = static_cast<float>(alongZ ? dc : 1 - dr), along = static_cast<float>(alongZ ? dr : dc);
        p.u0 = p.u1 = across;
        p.v0 = p.v1 = along;
    }
    mesh->AddQuad(v[0], v[1], v[2], v[3]);
}

// The kerb along one edge of a walkway cell that meets the road: the stone's
// top strip at the walkway's height and its face down to the road. Edge 0
// is north, 1 east, 2 south, 3 west.
void AddKerb(const LandscapeMaps& m, SectorMeshData* mesh, int column, int row, int edge)
{
    const float c = m.frame.cellSize, w = static_cast<float>(m.frame.cells) * c;
    const float west = static_cast<float>(column) * c - w / 2, north = w / 2 - static_cast<float>(row) * c;
    // The edge runs from a to b with the walkway on its left; `in` points
    // into the walkway.
    static constexpr int kCorner[4][2][2] = {{{1, 0}, {0, 0}}, {{1, 1}, {1, 0}}, {{0, 1}, {1, 1}}, {{0, 0}, {0, 1}}};
    static constexpr float kIn[4][2] = {{0, -1}, {-1, 0}, {0, 1}, {1, 0}};
    const float inX = kIn[edge][0], inZ = kIn[edge][1];
    SectorVertex top[4], face[4];
    for (int end = 0; end < 2; ++end) {
        const int dc = kCorner[edge][end][0], dr = kCorner[edge][end][1];
        const float x = west + static_cast<float>(dc) * c, z = north - static_cast<float>(dr) * c;
        const float ground = VertexHeight(m, column + dc, row + dr);
        for (SectorVertex* v : {&top[end], &top[end + 2], &face[end], &face[end + 2]}) {
            v->x = x;
            v->z = z;
            v->diffuse = kKerbShade;
        }
        top[end].y = face[end + 2].y = ground + kSidewalkLift;
        top[end + 2].x = x + inX * kKerbWidth;
        top[end + 2].z = z + inZ * kKerbWidth;
        top[end + 2].y = ground + kSidewalkLift;
        face[end].y = ground + kRoadLift;
        face[end].nx = -inX;
        face[end].ny = 0.0f;
        face[end].nz = -inZ;
        face[end + 2].nx = -inX;
        face[end + 2].ny = 0.0f;
        face[end + 2].nz = -inZ;
    }
    for (SectorVertex* v : {top, face})
        for (int k = 0; k < 4; ++k) {
            // Along the edge the stone keeps the paving's scale; across it a
            // thin slice of the texture.
            const float along = (v[k].x + v[k].z) / 4.0f, across = static_cast<float>(k >> 1) * 0.1f;
            v[k].u0 = v[k].u1 = along;
            v[k].v0 = v[k].v1 = across;
        }
    mesh->AddQuad(top[0], top[1], top[2], top[3]);
    mesh->AddQuad(face[0], face[1], face[2], face[3]);
}

} // namespace

void SectorMeshData::AddQuad(const SectorVertex& a, const SectorVertex& b, const SectorVertex& c,
                             const SectorVertex& d)
{
    const auto base = static_cast<std::uint16_t>(vertices.size());
    vertices.insert(vertices.end(), {a, b, c, d});
    // a near-left, b near-right, c far-left, d far-right: both triangles wind
    // as the ground's do.
    for (int i : {0, 1, 2, 2, 1, 3})
        indices.push_back(static_cast<std::uint16_t>(base + i));
}

std::string EncodeSectorMesh(const SectorMeshData& mesh)
{
    std::string out;
    PutU32(out, static_cast<std::uint32_t>(mesh.vertices.size()));
    PutU32(out, static_cast<std::uint32_t>(mesh.indices.size() / 3));
    for (const SectorVertex& v : mesh.vertices) {
        for (float f : {v.x, v.y, v.z, v.nx, v.ny, v.nz})
            PutF32(out, f);
        PutU32(out, v.diffuse);
        for (float f : {v.u0, v.v0, v.u1, v.v1})
            PutF32(out, f);
    }
    for (std::uint16_t i : mesh.indices) {
        const unsigned char b[2] = {static_cast<unsigned char>(i), static_cast<unsigned char>(i >> 8)};
        Put(out, b, 2);
    }
    return out;
}

std::string EncodeMeshShape(const std::vector<float>& xyz, const std::vector<std::uint32_t>& indices)
{
    const int vertexCount = static_cast<int>(xyz.size() / 3), triangles = static_cast<int>(indices.size() / 3);
    std::vector<float> verts(static_cast<std::size_t>(vertexCount) * 4, 0.0f);
    for (int i = 0; i < vertexCount; ++i)
        std::copy(&xyz[i * 3], &xyz[i * 3] + 3, &verts[i * 4]);
    std::vector<std::uint32_t> idx(indices);
    std::string out;
    std::string blob;
    if (triangles > 0) {
        btTriangleIndexVertexArray mesh(triangles, reinterpret_cast<int*>(idx.data()), 12, vertexCount, verts.data(),
                                        16);
        btVector3 lo, hi;
        mesh.calculateAabbBruteForce(lo, hi);
        btOptimizedBvh bvh;
        bvh.build(&mesh, true, lo - btVector3(1, 1, 1), hi + btVector3(1, 1, 1));
        const unsigned size = bvh.calculateSerializeBufferSize();
        void* buffer = ::operator new(size, std::align_val_t(16));
        std::memset(buffer, 0, size);
        bvh.serialize(buffer, size, false);
        blob.assign(static_cast<const char*>(buffer), size);
        ::operator delete(buffer, std::align_val_t(16));
    }
    PutU32(out, static_cast<std::uint32_t>(blob.size()));
    out += blob;
    PutU32(out, static_cast<std::uint32_t>(vertexCount));
    PutU32(out, static_cast<std::uint32_t>(idx.size()));
    for (float f : verts)
        PutF32(out, f);
    for (std::uint32_t i : idx)
        PutU32(out, i);
    return out;
}

std::string EncodeStaticObjects(const std::vector<PlacedObjectLine>& objects)
{
    std::string out = "Static objects\r\nPlaced by the sample city writer\r\nKey / description path\r\n";
    int n = 0;
    for (const PlacedObjectLine& o : objects) {
        char key[32];
        std::snprintf(key, sizeof key, "Object%d", n++);
        out += Keyed(key, o.path);
        out += Keyed("Position", PositionColumns(o.x, o.y, o.z));
        out += Keyed("Target", PositionColumns(o.targetX, o.targetY, o.targetZ));
        out += "-\r\n";
    }
    out += "////\r\n";
    return out;
}

SectorMeshes BuildSectorMeshes(const LandscapeMaps& m, int column, int row)
{
    SectorMeshes out;
    const int cps = m.frame.cellsPerSector;
    for (int r = row * cps; r < (row + 1) * cps; ++r)
        for (int c = column * cps; c < (column + 1) * cps; ++c) {
            const std::uint8_t type = TypeAt(m, c, r);
            if (IsRoad(m, c, r)) {
                AddCell(m, &out.roads, c, r, kRoadLift, 8.0f, 32.0f);
                if (type != 3)
                    continue;
                // Centre lines between crossings only.
                if (TypeAt(m, c - 1, r) == 2 && TypeAt(m, c + 1, r) == 2 && TypeAt(m, c, r - 1) == 3 &&
                    TypeAt(m, c, r + 1) == 3)
                    AddMarking(m, &out.markings, c, r, true);
                else if (TypeAt(m, c, r - 1) == 2 && TypeAt(m, c, r + 1) == 2 && TypeAt(m, c - 1, r) == 3 &&
                         TypeAt(m, c + 1, r) == 3)
                    AddMarking(m, &out.markings, c, r, false);
            } else if (type == 4) {
                const std::size_t first = out.sidewalks.vertices.size();
                AddCell(m, &out.sidewalks, c, r, kSidewalkLift, 4.0f, 12.0f);
                for (std::size_t k = first; k < out.sidewalks.vertices.size(); ++k)
                    out.sidewalks.vertices[k].diffuse = kPavingShade;
                static constexpr int kStep[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
                for (int edge = 0; edge < 4; ++edge)
                    if (IsRoad(m, c + kStep[edge][0], r + kStep[edge][1]))
                        AddKerb(m, &out.sidewalks, c, r, edge);
            }
        }
    return out;
}

bool WriteSectorFiles(const std::string& root, const LandscapeMaps& m, const std::vector<PlacedProp>& props)
{
    const int n = m.frame.sectorsPerSide, cps = m.frame.cellsPerSector;
    const float c = m.frame.cellSize, w = static_cast<float>(m.frame.cells) * c, side = static_cast<float>(cps) * c;
    for (int row = 0; row < n; ++row)
        for (int column = 0; column < n; ++column) {
            char dir[64];
            std::snprintf(dir, sizeof dir, "/Data/Landscape/%02d_%02d/", column, row);
            const std::string base = root + dir;
            SectorMeshes meshes = BuildSectorMeshes(m, column, row);
            for (SectorMeshData* mesh : {&meshes.roads, &meshes.markings, &meshes.sidewalks})
                OrderForVertexCache(mesh);
            std::vector<PlacedObjectLine> objects;
            for (const PlacedProp& p : props) {
                const int pc = static_cast<int>((p.x + w / 2) / side), pr = static_cast<int>((w / 2 - p.z) / side);
                if (p.x + w / 2 >= 0.0f && w / 2 - p.z >= 0.0f && pc == column && pr == row)
                    objects.push_back({p.path, p.x, p.y, p.z, p.targetX, p.targetY, p.targetZ});
            }
            // The collision mesh: the road surface, where cars drive.
            std::vector<float> xyz;
            std::vector<std::uint32_t> idx;
            for (const SectorVertex& v : meshes.roads.vertices)
                xyz.insert(xyz.end(), {v.x, v.y, v.z});
            idx.assign(meshes.roads.indices.begin(), meshes.roads.indices.end());
            if (!WriteFileBytes(base + "Roads.msh", EncodeSectorMesh(meshes.roads)) ||
                !WriteFileBytes(base + "RoadsSectoring.msh", EncodeSectorMesh(meshes.markings)) ||
                !WriteFileBytes(base + "SideWalks.msh", EncodeSectorMesh(meshes.sidewalks)) ||
                !WriteFileBytes(base + "StaticObjects.obj", EncodeStaticObjects(objects)))
                return false;
            if (!idx.empty() && !WriteFileBytes(base + "MeshShape.dat", EncodeMeshShape(xyz, idx)))
                return false;
        }
    return true;
}

bool WriteSampleSectors(const std::string& root)
{
    return WriteSectorFiles(root, SampleCityMaps(), SampleCityProps());
}

} // namespace tools
