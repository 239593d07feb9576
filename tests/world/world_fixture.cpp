#include "world/world_fixture.h"

#include "shell/FileManager.h"
#include "shell/Settings.h"

#include <filesystem>

namespace test {

tools::LandscapeMaps SmallMap(int cells)
{
    tools::LandscapeMaps m;
    m.frame.cells = cells;
    m.frame.sectorsPerSide = 1;
    m.frame.cellsPerSector = cells;
    for (int row = 0; row < cells; ++row)
        for (int column = 0; column < cells; ++column)
            m.Altitude(column, row) = 16.0f;
    return m;
}

namespace {

void UseLooseFiles()
{
    g_bFileManager = 0;
    g_FileManager.Init();
}

} // namespace

int LoadMaps(const tools::LandscapeMaps& maps, int routeRows)
{
    if (!tools::WriteLandscapeFiles(".", maps, routeRows))
        return -1;
    UseLooseFiles();
    return g_Landscape.Init();
}

void LoadSampleCity()
{
    static bool loaded = false;
    if (loaded && g_Landscape.m_fWorldSize > 0.0f)
        return;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::string(MORVAINE_BUILD_DIR) + "/run");
    UseLooseFiles();
    const int result = g_Landscape.Init();
    std::filesystem::current_path(previous);
    ASSERT_EQ(result, 1);
    ASSERT_EQ(g_Landscape.m_fWorldSize, 2400.0f) << "the build writes the sample city";
    loaded = true;
}

D3DXVECTOR3 CellCentre(int column, int row)
{
    const float c = g_Landscape.m_fCellSize, half = g_Landscape.m_fWorldSize / 2;
    return D3DXVECTOR3((static_cast<float>(column) + 0.5f) * c - half, 0.0f,
                       half - (static_cast<float>(row) + 0.5f) * c);
}

void LandscapeTest::TearDown()
{
    g_Landscape.Release();
    g_Landscape.m_fWorldSize = 0.0f;
    g_bFileManager = m_savedFileManager;
    g_FileManager.Init();
}

} // namespace test
