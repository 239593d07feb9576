// The world frame "LandscapeData.obj" as the landscape reads it at start-up,
// over fixed altitude and place maps, then the height queries and the terrain
// ray on whatever world it describes.
#include "FuzzFiles.h"
#include "KeptResources.h"
#include "LandscapeFuzz.h"

#include "graphics/D3DRender.h"
#include "world/Landscape.h"
#include "writers/SampleCity.h"

#include <string>
#include <vector>

namespace {

void WriteFixedFilesOnce()
{
    static bool written = false;
    if (written)
        return;
    written = true;
    tools::LandscapeMaps maps;
    for (std::size_t i = 0; i < maps.altitude.size(); ++i)
        maps.altitude[i] = static_cast<float>(i % 37);
    const std::string dir = "Data/Landscape/";
    fuzz::WriteFile(dir + "AltitudeMap.dat", tools::EncodeAltitudeMap(maps.altitude));
    fuzz::WriteFile(dir + "StaticObjectsPlaceMap.dat", tools::EncodeByteMap(maps.placeMap));
    fuzz::WriteLandscapeTextures();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    fuzz::StartLooseFilesAndSilentAudio();
    g_D3DRender.m_pDevice = fuzz::HeadlessDevice();
    WriteFixedFilesOnce();
    fuzz::SetFile("Data/Landscape/LandscapeData.obj", data, size);
    fuzz::EmptyLandscapeMaps();
    if (g_Landscape.Init() && g_Landscape.m_fWorldSize > 0.0f)
        fuzz::QueryHeights();
    fuzz::KeepLoadedTextures();
    g_Landscape.Release();
    g_Landscape.m_fWorldSize = 0.0f;
    return 0;
}
