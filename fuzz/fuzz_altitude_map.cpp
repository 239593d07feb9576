// The altitude map "AltitudeMap.dat" as the landscape reads it at start-up,
// over a fixed small world frame (16 cells a side): the input's floats fill
// the cells the frame uses, row by row, in a file laid out as the game's
// 600-wide grid. The height queries, the terrain ray, the drawn ground and
// the physics heightfield are then built and walked on whatever heights it
// gave, NaN and infinities included.
#include "FuzzFiles.h"
#include "KeptResources.h"
#include "LandscapeFuzz.h"

#include "graphics/D3DRender.h"
#include "shell/Game.h"
#include "world/Landscape.h"
#include "writers/SampleCity.h"

#include <btBulletDynamicsCommon.h>

#include <cstring>
#include <string>

namespace {

constexpr int kCells = 16;

void WriteSmallWorld()
{
    tools::LandscapeFrame frame;
    frame.cells = kCells;
    frame.sectorsPerSide = 2;
    frame.cellsPerSector = kCells / 2;
    const std::string dir = "Data/Landscape/";
    fuzz::WriteFile(dir + "LandscapeData.obj", tools::EncodeLandscapeData(frame));
    fuzz::WriteFile(dir + "StaticObjectsPlaceMap.dat", std::string(kCells, '\0'));
    fuzz::WriteLandscapeTextures();
}

// The input's floats placed in the first rows of a 600-wide grid file; the
// bytes past the last whole float end the file.
std::string AltitudeFile(const std::uint8_t* data, std::size_t size)
{
    const std::size_t values = size / 4;
    const std::size_t rows = (values + kCells - 1) / kCells;
    std::string file(rows * LANDSCAPE_GRID * 4, '\0');
    for (std::size_t k = 0; k < values; ++k)
        std::memcpy(&file[((k / kCells) * LANDSCAPE_GRID + k % kCells) * 4], data + 4 * k, 4);
    if (rows > 0)
        file.resize(((rows - 1) * LANDSCAPE_GRID + (values - 1) % kCells + 1) * 4);
    return file + std::string(reinterpret_cast<const char*>(data + 4 * values), size % 4);
}

void WalkTheGround()
{
    fuzz::QueryHeights();
    const float w = g_Landscape.m_fWorldSize;
    const D3DXVECTOR3 from(-w / 2, 2 * g_Landscape.m_fHeight, w / 2), to(w / 2, -1.0f, -w / 2);
    g_Landscape.BuildTerrainBody();
    btCollisionWorld::ClosestRayResultCallback ray(btVector3(from.x, from.y, from.z), btVector3(to.x, to.y, to.z));
    g_Game.m_pDynamicsWorld->rayTest(ray.m_rayFromWorld, ray.m_rayToWorld, ray);
    g_Landscape.ReleaseTerrainBody();
    g_Landscape.BuildTerrainMesh();
    g_Landscape.ReleaseTerrainMesh();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    if (!fuzz::StartHeadlessGame(true, WriteSmallWorld) || !g_Game.m_pDynamicsWorld)
        return 0;
    fuzz::SetFile("Data/Landscape/AltitudeMap.dat", AltitudeFile(data, size));
    fuzz::EmptyLandscapeMaps();
    if (g_Landscape.Init() && g_Landscape.m_fWorldSize > 0.0f)
        WalkTheGround();
    fuzz::KeepLoadedTextures();
    g_Landscape.Release();
    g_Landscape.m_fWorldSize = 0.0f;
    return 0;
}
