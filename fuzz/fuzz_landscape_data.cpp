// The world frame "LandscapeData.obj" as the landscape reads it at start-up,
// over fixed altitude and place maps, then the height queries and the terrain
// ray on whatever world it describes.
#include "FuzzFiles.h"

#include "graphics/D3DRender.h"
#include "world/Landscape.h"
#include "writers/ImageWriters.h"
#include "writers/SampleCity.h"

#include <cstdio>
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
    // The textures, so that loading them stays quiet.
    const tools::ArgbImage pixel = tools::SolidImage(1, 1, 0xFF808080u);
    const std::string bmp = tools::EncodeBmp(pixel, 24), dds = tools::EncodeDds({pixel}, tools::DdsPixels::A8R8G8B8, 1);
    for (int i = 1; i <= 32; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "Data/Landscape/Surfaces/WaterA%02d.bmp", i);
        fuzz::WriteFile(name, bmp);
    }
    for (const char* name : {"LandscapeTex.jpg", "RoadsAlpha.bmp", "Surfaces/DetailMap.bmp", "Surfaces/Noise2D.bmp",
                             "Surfaces/Roads01.bmp", "Surfaces/Roads02.bmp", "Surfaces/SideWalks.bmp"})
        fuzz::WriteFile(dir + name, bmp);
    fuzz::WriteFile(dir + "Surfaces/Sectoring.dds", dds);
    fuzz::WriteFile(dir + "Surfaces/StreetDirt.dds", dds);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::EnterScratchDirectory();
    fuzz::StartLooseFilesAndSilentAudio();
    g_D3DRender.m_pDevice = fuzz::HeadlessDevice();
    WriteFixedFilesOnce();
    fuzz::SetFile("Data/Landscape/LandscapeData.obj", data, size);
    if (g_Landscape.Init() && g_Landscape.m_fWorldSize > 0.0f) {
        const float w = g_Landscape.m_fWorldSize;
        for (const D3DXVECTOR3& p : {D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(-w / 2, 0, w / 2), D3DXVECTOR3(w / 2, 0, -w / 2),
                                     D3DXVECTOR3(w * 0.37f, 0, -w * 0.11f), D3DXVECTOR3(-1e30f, 0, 1e30f)}) {
            GetExactAltitude(&p);
            g_Landscape.GetGridAltitude(&p);
        }
        const D3DXVECTOR3 from(-w / 2, 2 * g_Landscape.m_fHeight, w / 2), to(w / 2, -1.0f, -w / 2);
        D3DXVECTOR3 hit;
        g_Landscape.CastRay(&from, &to, &hit, 1);
    }
    g_Landscape.Release();
    g_Landscape.m_fWorldSize = 0.0f;
    return 0;
}
