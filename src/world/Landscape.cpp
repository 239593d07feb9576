// The landscape object: construction, loading of the world data and release.
#include "world/Landscape.h"

#include "graphics/D3DRender.h"
#include "shell/FileManager.h"
#include "shell/Log.h"
#include "shell/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char* const kSurfaceTextures[LANDSCAPE_SURFACE_TEXTURES] = {
    "Data/Landscape/LandscapeTex.jpg",        "Data/Landscape/Surfaces/DetailMap.bmp",
    "Data/Landscape/Surfaces/Noise2D.bmp",    "Data/Landscape/Surfaces/Roads01.bmp",
    "Data/Landscape/Surfaces/Roads02.bmp",    "Data/Landscape/RoadsAlpha.bmp",
    "Data/Landscape/Surfaces/Sectoring.dds",  "Data/Landscape/Surfaces/SideWalks.bmp",
    "Data/Landscape/Surfaces/StreetDirt.dds",
};

D3DMATERIAL9 Material(float diffuse, float specular, float power)
{
    D3DMATERIAL9 m;
    std::memset(&m, 0, sizeof m);
    m.Diffuse = {diffuse, diffuse, diffuse, 1.0f};
    m.Ambient = {diffuse, diffuse, diffuse, 1.0f};
    if (specular > 0.0f)
        m.Specular = {specular, specular, specular, 1.0f};
    m.Power = power;
    return m;
}

// Reads a whole file of the landscape directory into a fixed grid: at most
// the grid's capacity, and never more than the file's size.
bool ReadGridFile(const char* path, void* grid, std::uint32_t capacity)
{
    std::uint32_t size = 0;
    const FileHandle f = g_FileManager.Open(path, ARCHIVE_WORLD, &size);
    if (f == INVALID_FILE_HANDLE)
        return false;
    const std::uint32_t n = std::min(size, capacity);
    if (n > 0)
        g_FileManager.Read(grid, 1, n, f);
    g_FileManager.Close(f);
    return true;
}

} // namespace

CLandscape::CLandscape()
{
    for (auto& row : m_Route)
        for (RouteCell& cell : row)
            std::memset(static_cast<void*>(&cell), 0, sizeof cell);
    std::memset(m_szDirectory, 0, sizeof m_szDirectory);
    m_fWorldSize = 0.0f;
    m_nCells = m_nCellsPerSector = m_nSectorsPerSide = m_nSectorCount = 0;
    m_fCellSize = m_fHeight = m_fSectorRadius = 0.0f;
    m_vSortPoint = m_vStreamPoint = D3DXVECTOR3(100000.0f, 100000.0f, 100000.0f);
    m_fViewDistance = 0.0f;
    m_fRefreshTimer = 0.0f;
    std::fill(std::begin(m_pSectors), std::end(m_pSectors), nullptr);
    std::fill(std::begin(m_pActiveSectors), std::end(m_pActiveSectors), nullptr);
    m_nActiveSectors = 0;
    std::memset(m_fAltitude, 0, sizeof m_fAltitude);
    std::memset(m_WayPointsMap, 0, sizeof m_WayPointsMap);
    std::memset(m_PlaceMap, 0, sizeof m_PlaceMap);
    m_nRoadCells = m_nWalkwayCells = 0;
    std::fill(std::begin(m_nWaterTextures), std::end(m_nWaterTextures), -1);
    m_fWaterFrame = 0.0f;
    std::fill(std::begin(m_nSurfaceTextures), std::end(m_nSurfaceTextures), -1);
    m_Materials[0] = Material(1.0f, 0.0f, 0.0f);
    m_Materials[1] = Material(1.0f, 1.0f, 16.0f);
    m_Materials[2] = Material(2.0f, 0.0f, 0.0f);
    m_Materials[3] = Material(1.0f, 2.0f, 32.0f);
    m_Materials[4] = Material(1.0f, 0.4f, 32.0f);
    m_pTerrainShape = nullptr;
    m_pTerrainBody = nullptr;
    m_pTerrainHeights = nullptr;
    m_pTerrainVB = m_pWaterVB = nullptr;
    m_nTerrainVerts = m_nWaterVerts = 0;
    std::fill(std::begin(m_pDetailIB), std::end(m_pDetailIB), nullptr);
    std::fill(std::begin(m_nDetailTris), std::end(m_nDetailTris), 0u);
    m_pWaterPatchIB = nullptr;
    m_nWaterPatchVerts = m_nWaterPatchTris = 0;
    m_nClosedWaterParts = m_nInnerParts = 0;
    m_bRouteDebug = 0;
}

int CLandscape::InitFailed()
{
    Release();
    m_fWorldSize = 0.0f;
    return 0;
}

// The five caption/value pairs of "LandscapeData.obj". 0 when the file is
// missing (the game then runs without a landscape).
int CLandscape::LoadWorldFrame()
{
    char path[300];
    std::snprintf(path, sizeof path, "%s/LandscapeData.obj", m_szDirectory);
    const FileHandle f = g_FileManager.Open(path, ARCHIVE_OBJECTS);
    if (f == INVALID_FILE_HANDLE)
        return 0;
    char caption[26];
    char value[5][100];
    for (auto& v : value) {
        g_FileManager.ReadLine(caption, sizeof caption, f);
        g_FileManager.ReadLine(v, sizeof v, f);
    }
    g_FileManager.Close(f);
    m_nCells = std::atoi(value[0]);
    m_nSectorsPerSide = std::atoi(value[1]);
    m_nCellsPerSector = std::atoi(value[2]);
    m_fCellSize = static_cast<float>(std::atof(value[3]));
    m_fHeight = static_cast<float>(std::atof(value[4]));
    return 1;
}

// The world numbers must fit the fixed grids, the sector table and the 16-bit
// index lists of a sector's ground; anything else would index past them.
int CLandscape::CheckWorldFrame() const
{
    const long long cells = m_nCells, perSide = m_nSectorsPerSide, perSector = m_nCellsPerSector;
    return cells >= 1 && cells <= LANDSCAPE_GRID && perSide >= 1 && perSide <= 32 && perSector >= 1 &&
           perSide * perSector <= cells && std::isfinite(m_fCellSize) && m_fCellSize >= 0.01f &&
           std::isfinite(m_fHeight) && m_fHeight >= 0.0f && perSector * (cells + 1) + perSector <= 65535;
}

int CLandscape::Init()
{
    m_fViewDistance = static_cast<float>(std::min(g_nViewDistance, 500));
    for (int i = 0; i < LANDSCAPE_WATER_TEXTURES; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "Data/Landscape/Surfaces/WaterA%02d.bmp", i + 1);
        m_nWaterTextures[i] = static_cast<std::int32_t>(g_D3DRender.LoadTexture(name, 0, D3DPOOL_MANAGED));
    }
    for (int i = 0; i < LANDSCAPE_SURFACE_TEXTURES; ++i)
        m_nSurfaceTextures[i] =
            static_cast<std::int32_t>(g_D3DRender.LoadTexture(kSurfaceTextures[i], 0, D3DPOOL_MANAGED));
    std::snprintf(m_szDirectory, sizeof m_szDirectory, "%s", "Data/Landscape");

    if (!LoadWorldFrame()) {
        Release();
        m_fWorldSize = 0.0f;
        return 1;
    }
    if (!CheckWorldFrame()) {
        ErrorBox("Wrong landscape size data!", "Landscape error!", MB_OK);
        return InitFailed();
    }
    m_fWorldSize = static_cast<float>(m_nCells) * m_fCellSize;
    m_nSectorCount = m_nSectorsPerSide * m_nSectorsPerSide;
    const float half = static_cast<float>(m_nCellsPerSector) * m_fCellSize / 2;
    m_fSectorRadius = std::sqrt(half * half * 2 + m_fHeight * m_fHeight / 4);

    char path[300];
    std::snprintf(path, sizeof path, "%s/AltitudeMap.dat", m_szDirectory);
    // Without the altitude map start-up fails and the program ends; said
    // nothing, the player would see the game simply vanish, so it names the
    // missing file like the place map below.
    if (!ReadGridFile(path, m_fAltitude, sizeof m_fAltitude)) {
        ErrorBox("Open altitude map error!", "Landscape error!", MB_OK);
        return InitFailed();
    }
    std::snprintf(path, sizeof path, "%s/StaticObjectsPlaceMap.dat", m_szDirectory);
    if (!ReadGridFile(path, m_PlaceMap, sizeof m_PlaceMap)) {
        ErrorBox("Open static objects place map error!", "Landscape error!", MB_OK);
        return InitFailed();
    }
    LoadRoute();
    return 1;
}

void CLandscape::Release()
{
    ReleaseSectors();
    ReleaseTerrainBody();
    // Each id is one reference of ours: drop it once and forget it, so that a
    // second release leaves other owners' textures alone.
    for (std::int32_t& id : m_nWaterTextures) {
        g_D3DRender.ReleaseTexture(static_cast<TextureId>(id));
        id = -1;
    }
    for (std::int32_t& id : m_nSurfaceTextures) {
        g_D3DRender.ReleaseTexture(static_cast<TextureId>(id));
        id = -1;
    }
    // Nothing of the world is left to stand on or draw with: a later
    // BuildSectors or query finds no landscape instead of the old size over
    // freed textures.
    m_fWorldSize = 0.0f;
}

void CLandscape::OnVehicleBodyBuilt(CVehicle*)
{
}

void CLandscape::OnVehicleStep(CVehicle*)
{
}
