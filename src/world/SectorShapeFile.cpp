#include "world/SectorShapeFile.h"

#include <BulletCollision/BroadphaseCollision/btQuantizedBvh.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <new>

namespace {

// Where the header fields lie inside a serialised blob: the blob is the
// object's own memory, so the offsets are taken from a live object.
struct BvhLayout : btQuantizedBvh {
    static std::size_t Offset(const void* base, const void* field)
    {
        return static_cast<std::size_t>(static_cast<const char*>(field) - static_cast<const char*>(base));
    }
    struct Offsets {
        std::size_t aabbMin, aabbMax, quantization, nodes, useQuantization, traversal, subtrees;
    };
    static Offsets Get()
    {
        static const BvhLayout probe;
        const btQuantizedBvh* base = &probe;
        return {Offset(base, &probe.m_bvhAabbMin),     Offset(base, &probe.m_bvhAabbMax),
                Offset(base, &probe.m_bvhQuantization), Offset(base, &probe.m_curNodeIndex),
                Offset(base, &probe.m_useQuantization), Offset(base, &probe.m_traversalMode),
                Offset(base, &probe.m_subtreeHeaderCount)};
    }
};

template <class T>
T At(const void* blob, std::size_t offset)
{
    T v;
    std::memcpy(&v, static_cast<const char*>(blob) + offset, sizeof v);
    return v;
}

bool FiniteVector(const void* blob, std::size_t offset)
{
    const btVector3 v = At<btVector3>(blob, offset);
    return std::isfinite(v.x()) && std::isfinite(v.y()) && std::isfinite(v.z());
}

btQuantizedBvhNode NodeAt(const char* nodes, long long i)
{
    btQuantizedBvhNode node;
    std::memcpy(&node, nodes + static_cast<std::size_t>(i) * sizeof node, sizeof node);
    return node;
}

long long SizeOf(const btQuantizedBvhNode& node)
{
    return node.m_escapeIndexOrTriangleIndex >= 0 ? 1 : -static_cast<long long>(node.m_escapeIndexOrTriangleIndex);
}

// Every internal node's escape stays inside the node array and spans exactly
// its two children (the recursive walk follows them); every leaf names a
// triangle of part 0 that exists.
bool CheckNodes(const char* nodes, int count, std::uint32_t triangles)
{
    for (int i = 0; i < count; ++i) {
        const btQuantizedBvhNode node = NodeAt(nodes, i);
        const int v = node.m_escapeIndexOrTriangleIndex;
        if (v >= 0) {
            if (node.getPartId() != 0 || static_cast<std::uint32_t>(node.getTriangleIndex()) >= triangles)
                return false;
        } else if (v == INT32_MIN || i + SizeOf(node) > count || SizeOf(node) < 3) {
            return false;
        }
    }
    for (int i = 0; i < count; ++i) {
        const btQuantizedBvhNode node = NodeAt(nodes, i);
        if (node.m_escapeIndexOrTriangleIndex >= 0)
            continue;
        const long long end = i + SizeOf(node), right = i + 1 + SizeOf(NodeAt(nodes, i + 1));
        if (right >= end || right + SizeOf(NodeAt(nodes, right)) != end)
            return false;
    }
    return true;
}

bool CheckSubtrees(const char* headers, int count, int nodes)
{
    for (int i = 0; i < count; ++i) {
        btBvhSubtreeInfo info;
        std::memcpy(static_cast<void*>(&info), headers + static_cast<std::size_t>(i) * sizeof info, sizeof info);
        if (info.m_rootNodeIndex < 0 || info.m_subtreeSize < 1 ||
            static_cast<long long>(info.m_rootNodeIndex) + info.m_subtreeSize > nodes)
            return false;
    }
    return true;
}

std::uint32_t U32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

} // namespace

int CheckSerializedBvh(const void* blob, std::uint32_t size, std::uint32_t triangles)
{
    if (!blob || size < sizeof(btQuantizedBvh))
        return 0;
    const BvhLayout::Offsets o = BvhLayout::Get();
    const int nodes = At<int>(blob, o.nodes);
    const int subtrees = At<int>(blob, o.subtrees);
    // Read as a byte: any value but 0 and 1 is no valid flag at all.
    const std::uint8_t quantized = At<std::uint8_t>(blob, o.useQuantization);
    const int traversal = At<int>(blob, o.traversal);
    // Only quantized trees are written for sectors; the other node layout is
    // refused rather than trusted.
    if (nodes < 0 || subtrees < 0 || quantized != 1 || traversal < 0 || traversal > 2)
        return 0;
    if (!FiniteVector(blob, o.aabbMin) || !FiniteVector(blob, o.aabbMax) || !FiniteVector(blob, o.quantization))
        return 0;
    const unsigned long long base = sizeof(btQuantizedBvh) + btQuantizedBvh::getAlignmentSerializationPadding();
    const unsigned long long needed = base + sizeof(btBvhSubtreeInfo) * static_cast<unsigned long long>(subtrees) +
                                      sizeof(btQuantizedBvhNode) * static_cast<unsigned long long>(nodes);
    if (needed > size)
        return 0;
    const char* nodeData = static_cast<const char*>(blob) + sizeof(btQuantizedBvh);
    const char* subtreeData = nodeData + sizeof(btQuantizedBvhNode) * static_cast<std::size_t>(nodes);
    return CheckNodes(nodeData, nodes, triangles) && CheckSubtrees(subtreeData, subtrees, nodes) ? 1 : 0;
}

int ParseSectorShape(const std::uint8_t* data, std::uint32_t size, SectorShapeData* out)
{
    *out = SectorShapeData();
    if (!data || size < 4)
        return 0;
    const std::uint64_t b = U32(data);
    if (4 + b + 8 > size)
        return 0;
    const std::uint64_t v = U32(data + 4 + b), n = U32(data + 8 + b);
    if (n % 3 != 0 || 12 + b + 16 * v + 4 * n > size)
        return 0;
    const std::uint8_t* indexData = data + 12 + b + 16 * v;
    for (std::uint64_t i = 0; i < n; ++i)
        if (U32(indexData + 4 * i) >= v)
            return 0;
    // Aligned for the in-place loader, with its alignment allowance.
    const std::size_t room = static_cast<std::size_t>(b) + btQuantizedBvh::getAlignmentSerializationPadding();
    void* buffer = ::operator new(room, std::align_val_t(16));
    std::memset(buffer, 0, room);
    std::memcpy(buffer, data + 4, static_cast<std::size_t>(b));
    if (!CheckSerializedBvh(buffer, static_cast<std::uint32_t>(b), static_cast<std::uint32_t>(n / 3))) {
        ::operator delete(buffer, std::align_val_t(16));
        return 0;
    }
    out->bvhBuffer = buffer;
    out->bvhSize = static_cast<std::uint32_t>(b);
    out->numVerts = static_cast<std::uint32_t>(v);
    out->numIndices = static_cast<std::uint32_t>(n);
    out->verts = new float[static_cast<std::size_t>(v) * 4 + 1];
    std::memcpy(out->verts, data + 12 + b, static_cast<std::size_t>(v) * 16);
    out->indices = new std::uint32_t[static_cast<std::size_t>(n) + 1];
    std::memcpy(out->indices, indexData, static_cast<std::size_t>(n) * 4);
    return 1;
}

void FreeSectorShape(SectorShapeData* data)
{
    if (data->bvhBuffer)
        ::operator delete(data->bvhBuffer, std::align_val_t(16));
    delete[] data->verts;
    delete[] data->indices;
    *data = SectorShapeData();
}
