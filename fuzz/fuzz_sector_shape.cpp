// A sector's collision file ("MeshShape.dat") loaded by the sector as the
// game loads it: what the checks accept is handed to Bullet's in-place loader
// and built into the sector's body, which rays and box queries then walk as
// the physics world would.
#include "FuzzFiles.h"

#include "world/LandscapeSector.h"

#include <btBulletCollisionCommon.h>

#include <cstdio>

namespace {

struct CountTriangles : btTriangleCallback {
    int count = 0;
    void processTriangle(btVector3*, int, int) override { ++count; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    fuzz::StartLooseFilesAndSilentAudio();
    static CLandscapeSector sector;
    std::snprintf(sector.m_szDir, sizeof sector.m_szDir, "%s", "Data/Landscape/10_14");
    fuzz::SetFile("Data/Landscape/10_14/MeshShape.dat", data, size);
    sector.LoadCollisionMesh();
    if (sector.m_pShape) {
        CountTriangles hits;
        sector.m_pShape->performRaycast(&hits, btVector3(-1000, 500, -1000), btVector3(1000, -500, 1000));
        sector.m_pShape->processAllTriangles(&hits, btVector3(-1e4f, -1e4f, -1e4f), btVector3(1e4f, 1e4f, 1e4f));
    }
    sector.ReleaseBody();
    return 0;
}
