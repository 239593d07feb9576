// Landscapes for the world tests: small maps written with the sample data's
// own writers into a fresh folder, or the sample city the build wrote.
#pragma once

#include "shell/Settings.h"
#include "support/TempDir.h"
#include "world/Landscape.h"
#include "writers/SampleCity.h"

#include <gtest/gtest.h>

#include <string>

namespace test {

// A flat map of `cells` cells of 4.0 at ground height 16, one sector.
tools::LandscapeMaps SmallMap(int cells);

// Writes the maps (route rows limited for speed) into the current folder and
// runs CLandscape::Init on loose files. Returns Init's result.
int LoadMaps(const tools::LandscapeMaps& maps, int routeRows = 40);

// Loads the sample city from the build's run folder, once per process.
void LoadSampleCity();

// World point of a cell's centre on the loaded map.
D3DXVECTOR3 CellCentre(int column, int row);

// Each test gets its own folder and a released landscape afterwards. The
// file manager setting goes back to what it was before the test, and the
// file manager is started afresh on it as the game does: the texture
// manager reads the setting each time, the file manager only at Init, and
// the tests after this one must find the two agreeing.
class LandscapeTest : public ::testing::Test {
protected:
    void TearDown() override;
    int m_savedFileManager = g_bFileManager;
    ScopedTempDir m_dir;
};

} // namespace test
