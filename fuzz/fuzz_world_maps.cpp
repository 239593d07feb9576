// The world's byte maps as the game reads them: the traffic density map, the
// static-objects place map (read by the landscape over a fixed sample frame)
// and the grass colour map "PlaceColor.dat". The first byte picks the map
// the rest of the input is; the lookups over it follow, off-map and broken
// positions included.
#include "FuzzFiles.h"
#include "KeptResources.h"
#include "LandscapeFuzz.h"

#include "graphics/D3DRender.h"
#include "platform/D3DX9.h"
#include "roadusers/VehicleManager.h"
#include "world/FieldObjectManager.h"
#include "world/Landscape.h"
#include "writers/SampleCity.h"

#include <cmath>
#include <filesystem>

namespace {

void LookUpEverywhere()
{
    const float w = g_Landscape.m_fWorldSize;
    for (const D3DXVECTOR3& p : {D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(-w / 2, 0, w / 2), D3DXVECTOR3(w / 2, 0, -w / 2),
                                 D3DXVECTOR3(w * 0.37f, 0, -w * 0.11f), D3DXVECTOR3(-1e30f, 0, 1e30f),
                                 D3DXVECTOR3(NAN, 0, NAN)}) {
        const float density = g_VehicleManager.GetTrafficDensity(p);
        if (!(density >= 0.0f && density <= 1.0f))
            __builtin_trap();
        D3DXCOLOR4 colour;
        g_FieldObjects.GetPlaceColor(&colour, &p);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    fuzz::StartLooseFilesAndSilentAudio();
    // The landscape around the place map: the sample city's frame and
    // altitudes without a route (the route has a target of its own).
    static const bool landscapeWritten = tools::WriteLandscapeFiles(".", tools::SampleCityMaps(), 0) &&
                                         std::filesystem::remove("Data/Landscape/WayPointsMap.dat");
    static_cast<void>(landscapeWritten);
    fuzz::WriteLandscapeTextures();
    g_D3DRender.m_pDevice = fuzz::HeadlessDevice();
    if (size == 0)
        return 0;
    const int pick = data[0] % 3;
    static const char* const kPaths[] = {"Data/Landscape/TrafficDensityMap.dat",
                                         "Data/Landscape/StaticObjectsPlaceMap.dat", "Data/Landscape/PlaceColor.dat"};
    fuzz::SetFile(kPaths[pick], data + 1, size - 1);
    if (pick == 1) {
        fuzz::EmptyLandscapeMaps();
        g_Landscape.Init();
        // The landscape's textures stay loaded for the next input.
        fuzz::KeepLoadedTextures();
        g_Landscape.Release();
        return 0;
    }
    g_Landscape.m_nCells = 600;
    g_Landscape.m_fCellSize = 4.0f;
    g_Landscape.m_fWorldSize = 2400.0f;
    if (pick == 0)
        g_VehicleManager.LoadDensityMap(kPaths[0]);
    else
        g_FieldObjects.Init();
    LookUpEverywhere();
    g_FieldObjects.Release();
    return 0;
}
