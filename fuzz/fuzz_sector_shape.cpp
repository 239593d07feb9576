// A sector's collision file ("MeshShape.dat"): what the checks accept is
// handed to Bullet's in-place loader and walked by rays and box queries, as
// the physics world would.
#include "world/SectorShapeFile.h"

#include <btBulletCollisionCommon.h>
#include <BulletCollision/CollisionShapes/btOptimizedBvh.h>

#include <cstdint>

namespace {

struct CountTriangles : btTriangleCallback {
    int count = 0;
    void processTriangle(btVector3*, int, int) override { ++count; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SectorShapeData shape;
    if (!ParseSectorShape(data, static_cast<std::uint32_t>(size), &shape))
        return 0;
    btQuantizedBvh* bvh = btQuantizedBvh::deSerializeInPlace(shape.bvhBuffer, shape.bvhSize, false);
    if (bvh && shape.numIndices > 0) {
        btTriangleIndexVertexArray mesh(static_cast<int>(shape.numIndices / 3), reinterpret_cast<int*>(shape.indices),
                                        12, static_cast<int>(shape.numVerts), shape.verts, 16);
        btBvhTriangleMeshShape body(&mesh, true, false);
        body.setOptimizedBvh(reinterpret_cast<btOptimizedBvh*>(bvh));
        CountTriangles hits;
        body.performRaycast(&hits, btVector3(-1000, 500, -1000), btVector3(1000, -500, 1000));
        body.processAllTriangles(&hits, btVector3(-1e4f, -1e4f, -1e4f), btVector3(1e4f, 1e4f, 1e4f));
    }
    if (bvh)
        bvh->~btQuantizedBvh();
    FreeSectorShape(&shape);
    return 0;
}
