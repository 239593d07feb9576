// Mesh adjacency, in-place optimisation and cloning to another vertex format.
#include "platform/d3d9/Formats.h"
#include "platform/d3dx9/Mesh.h"

#include <meshoptimizer.h>

#include <algorithm>
#include <array>
#include <map>
#include <cmath>
#include <cstring>
#include <map>
#include <numeric>
#include <utility>
#include <unordered_map>

namespace plat::mesh {
namespace {

constexpr DWORD kNone = 0xFFFFFFFFu;

D3DXVECTOR3 PositionOf(const Mesh& mesh, DWORD vertex)
{
    D3DXVECTOR3 p;
    std::memcpy(&p.x, mesh.VertexBytes().data() + size_t(vertex) * mesh.Stride(), 12);
    return p;
}

// A coordinate's grid cell, kept far inside the 64-bit range so that the
// neighbour search never overflows: a huge position lands in an edge cell,
// one that is not a number in cell 0. The exact test below still decides.
long long CellOf(float v, float cell)
{
    const double c = std::floor(static_cast<double>(v) / cell);
    constexpr double kLimit = 1e15;
    if (!(c > -kLimit))
        return c != c ? 0 : -static_cast<long long>(kLimit);
    if (c > kLimit)
        return static_cast<long long>(kLimit);
    return static_cast<long long>(c);
}

// Each vertex's representative: the first vertex at the same place (within
// epsilon on every axis). Positions are bucketed on a grid of epsilon cells
// and the neighbouring cells searched.
std::vector<DWORD> PointRepresentatives(Mesh& mesh, float epsilon)
{
    const DWORD count = mesh.GetNumVertices();
    std::vector<DWORD> reps(count);
    const float cell = std::max(epsilon, 1e-6f);
    auto key = [](long long x, long long y, long long z) {
        return std::uint64_t(x & 0x1FFFFF) | (std::uint64_t(y & 0x1FFFFF) << 21) | (std::uint64_t(z & 0x1FFFFF) << 42);
    };
    std::unordered_map<std::uint64_t, std::vector<DWORD>> grid;
    for (DWORD v = 0; v < count; ++v) {
        const D3DXVECTOR3 p = PositionOf(mesh, v);
        const long long cx = CellOf(p.x, cell), cy = CellOf(p.y, cell), cz = CellOf(p.z, cell);
        reps[v] = v;
        for (long long dx = -1; dx <= 1 && reps[v] == v; ++dx)
            for (long long dy = -1; dy <= 1 && reps[v] == v; ++dy)
                for (long long dz = -1; dz <= 1 && reps[v] == v; ++dz) {
                    auto found = grid.find(key(cx + dx, cy + dy, cz + dz));
                    if (found == grid.end())
                        continue;
                    for (DWORD other : found->second) {
                        const D3DXVECTOR3 q = PositionOf(mesh, other);
                        if (std::fabs(p.x - q.x) <= epsilon && std::fabs(p.y - q.y) <= epsilon &&
                            std::fabs(p.z - q.z) <= epsilon) {
                            reps[v] = reps[other];
                            break;
                        }
                    }
                }
        grid[key(cx, cy, cz)].push_back(v);
    }
    return reps;
}

} // namespace

std::vector<DWORD> BuildAdjacency(Mesh& mesh, float epsilon)
{
    const DWORD faces = mesh.GetNumFaces();
    const std::vector<DWORD> reps = PointRepresentatives(mesh, epsilon);
    // An index naming no vertex has no place: its edges join nothing.
    auto rep = [&](size_t i) {
        const DWORD v = mesh.Index(i);
        return v < reps.size() ? reps[v] : kNone;
    };
    std::map<std::pair<DWORD, DWORD>, std::vector<DWORD>> edges; // (rep, rep) -> face * 3 + edge
    for (DWORD f = 0; f < faces; ++f)
        for (int k = 0; k < 3; ++k) {
            const DWORD a = rep(size_t(f) * 3 + k), b = rep(size_t(f) * 3 + (k + 1) % 3);
            if (a != b && a != kNone && b != kNone)
                edges[{std::min(a, b), std::max(a, b)}].push_back(f * 3 + k);
        }
    std::vector<DWORD> adjacency(size_t(faces) * 3, kNone);
    for (const auto& [edge, users] : edges)
        for (DWORD user : users)
            for (DWORD other : users)
                if (other / 3 != user / 3) {
                    adjacency[user] = other / 3;
                    break;
                }
    return adjacency;
}

static std::vector<std::uint8_t> Permuted(const std::vector<std::uint8_t>& bytes, const std::vector<DWORD>& order,
                                          size_t unit)
{
    std::vector<std::uint8_t> out(bytes.size());
    for (size_t i = 0; i < order.size(); ++i)
        std::memcpy(out.data() + i * unit, bytes.data() + size_t(order[i]) * unit, unit);
    return out;
}

// Faces sorted by attribute (stable); vertices renumbered in order of first
// use, unused ones kept at the end.
// Within each run of one attribute, faces in the order that reuses the most
// recently transformed vertices. The run stays where it is, so subsets keep
// drawing as one range.
void Mesh::OrderForVertexCache(std::vector<DWORD>* faceOrder)
{
    std::vector<DWORD>& order = *faceOrder;
    size_t start = 0;
    while (start < order.size()) {
        size_t end = start;
        while (end < order.size() && m_attributes[order[end]] == m_attributes[order[start]])
            ++end;
        OrderRun(order.data() + start, end - start);
        start = end;
    }
}

void Mesh::OrderRun(DWORD* faces, size_t count)
{
    std::vector<unsigned> indices(count * 3), ordered(count * 3);
    for (size_t n = 0; n < count; ++n)
        for (int k = 0; k < 3; ++k) {
            indices[n * 3 + k] = Index(size_t(faces[n]) * 3 + k);
            if (indices[n * 3 + k] >= m_vertices)
                return; // a broken face: the run keeps its order
        }
    meshopt_optimizeVertexCache(ordered.data(), indices.data(), indices.size(), m_vertices);
    // The library hands back triangles, not face numbers: find each one's
    // face among those with the same corners (in order, for repeats).
    std::map<std::array<unsigned, 3>, std::vector<DWORD>> byCorners;
    for (size_t n = count; n-- > 0;)
        byCorners[{indices[n * 3], indices[n * 3 + 1], indices[n * 3 + 2]}].push_back(faces[n]);
    std::vector<DWORD> reordered(count);
    for (size_t n = 0; n < count; ++n) {
        std::vector<DWORD>& same = byCorners[{ordered[n * 3], ordered[n * 3 + 1], ordered[n * 3 + 2]}];
        if (same.empty())
            return; // not a reordering of the run after all: leave it
        reordered[n] = same.back();
        same.pop_back();
    }
    std::copy(reordered.begin(), reordered.end(), faces);
}

HRESULT Mesh::OptimizeInplace(DWORD flags, const DWORD* adjacencyIn, DWORD* adjacencyOut, DWORD* faceRemap,
                              ID3DXBuffer** vertexRemap)
{
    std::vector<DWORD> faceOrder(m_faces);
    std::iota(faceOrder.begin(), faceOrder.end(), 0);
    std::stable_sort(faceOrder.begin(), faceOrder.end(),
                     [this](DWORD a, DWORD b) { return m_attributes[a] < m_attributes[b]; });
    if (flags & (D3DXMESHOPT_VERTEXCACHE | D3DXMESHOPT_STRIPREORDER))
        OrderForVertexCache(&faceOrder);
    std::vector<DWORD> newOfOld(m_vertices, kNone), vertexOrder;
    for (DWORD f : faceOrder)
        for (int k = 0; k < 3; ++k) {
            const DWORD v = Index(size_t(f) * 3 + k);
            if (v < m_vertices && newOfOld[v] == kNone) {
                newOfOld[v] = DWORD(vertexOrder.size());
                vertexOrder.push_back(v);
            }
        }
    for (DWORD v = 0; v < m_vertices; ++v)
        if (newOfOld[v] == kNone) {
            newOfOld[v] = DWORD(vertexOrder.size());
            vertexOrder.push_back(v);
        }
    std::vector<DWORD> oldIndices(size_t(m_faces) * 3), oldAttributes = m_attributes;
    for (size_t i = 0; i < oldIndices.size(); ++i)
        oldIndices[i] = Index(i);
    for (DWORD n = 0; n < m_faces; ++n) {
        m_attributes[n] = oldAttributes[faceOrder[n]];
        for (int k = 0; k < 3; ++k) {
            const DWORD v = oldIndices[size_t(faceOrder[n]) * 3 + k];
            SetIndex(size_t(n) * 3 + k, v < m_vertices ? newOfOld[v] : v);
        }
    }
    VertexBytes() = Permuted(VertexBytes(), vertexOrder, m_stride);

    if (faceRemap)
        std::copy(faceOrder.begin(), faceOrder.end(), faceRemap);
    if (vertexRemap && SUCCEEDED(D3DXCreateBuffer(m_vertices * sizeof(DWORD), vertexRemap)))
        std::memcpy((*vertexRemap)->GetBufferPointer(), vertexOrder.data(), m_vertices * sizeof(DWORD));
    if (adjacencyOut)
        GenerateAdjacency(0.0f, adjacencyOut);
    return D3D_OK;
}

namespace {

struct Element {
    UINT offset = 0;
    UINT size = 0; // 0: absent
};

// Offsets of the parts of a vertex: position, normal, point size, diffuse,
// specular, then 8 texture coordinate sets.
std::vector<Element> Layout(DWORD fvf)
{
    std::vector<Element> parts(13);
    UINT at = 0;
    auto add = [&](int part, UINT size) {
        parts[part] = Element{at, size};
        at += size;
    };
    add(0, d3d::FvfVertexSize(fvf & D3DFVF_POSITION_MASK));
    if (fvf & D3DFVF_NORMAL)
        add(1, 12);
    if (fvf & D3DFVF_PSIZE)
        add(2, 4);
    if (fvf & D3DFVF_DIFFUSE)
        add(3, 4);
    if (fvf & D3DFVF_SPECULAR)
        add(4, 4);
    static constexpr UINT kFloatsByCode[4] = {2, 3, 4, 1};
    const UINT sets = std::min<UINT>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT, 8);
    for (UINT i = 0; i < sets; ++i)
        add(5 + int(i), 4 * kFloatsByCode[(fvf >> (i * 2 + 16)) & 3]);
    return parts;
}

} // namespace

HRESULT Mesh::CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice9* device, ID3DXMesh** clone)
{
    if (!clone)
        return D3DERR_INVALIDCALL;
    HRESULT hr = D3DXCreateMeshFVF(m_faces, m_vertices, options, fvf, device ? device : m_device, clone);
    if (FAILED(hr))
        return hr;
    Mesh* copy = static_cast<Mesh*>(*clone);
    const std::vector<Element> from = Layout(m_fvf), to = Layout(fvf);
    const bool samePosition = (m_fvf & D3DFVF_POSITION_MASK) == (fvf & D3DFVF_POSITION_MASK);
    const std::vector<std::uint8_t>& src = std::as_const(*this).VertexBytes();
    std::vector<std::uint8_t>& dst = copy->VertexBytes();
    for (DWORD v = 0; v < m_vertices; ++v)
        for (size_t part = 0; part < from.size(); ++part) {
            UINT size = std::min(from[part].size, to[part].size);
            if (part == 0 && !samePosition)
                size = size >= 12 ? 12 : 0; // only x, y, z carry over between position kinds
            if (size == 0)
                continue;
            std::memcpy(dst.data() + size_t(v) * copy->m_stride + to[part].offset,
                        src.data() + size_t(v) * m_stride + from[part].offset, size);
        }
    for (size_t i = 0; i < size_t(m_faces) * 3; ++i)
        copy->SetIndex(i, Index(i));
    copy->m_attributes = m_attributes;
    return D3D_OK;
}

} // namespace plat::mesh
