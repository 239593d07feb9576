// What the landscape fuzz targets share: one-pixel stand-ins for every
// texture the landscape loads at start-up, so that loading them stays quiet
// (and, kept loaded, costs nothing after the first input), and the empty
// maps the game's one landscape starts from.
#pragma once

#include "FuzzFiles.h"

#include "world/Landscape.h"
#include "writers/ImageWriters.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace fuzz {

// Each ".bmp" stand-in comes with its ".jpg" twin: with "BMP to JPG" on (as
// it is by default) the game asks for the twin, and a texture that is not
// there is asked for again at every input.
inline void WriteLandscapeTextures()
{
    static bool written = false;
    if (written)
        return;
    written = true;
    const std::string dir = "Data/Landscape/";
    const tools::ArgbImage pixel = tools::SolidImage(1, 1, 0xFF808080u);
    const std::string bmp = tools::EncodeBmp(pixel, 24), jpg = tools::EncodeJpeg(pixel, 90),
                      dds = tools::EncodeDds({pixel}, tools::DdsPixels::A8R8G8B8, 1);
    const auto writeTwins = [&](const std::string& stem) {
        WriteFile(dir + stem + ".bmp", bmp);
        WriteFile(dir + stem + ".jpg", jpg);
    };
    for (int i = 1; i <= 32; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "Surfaces/WaterA%02d", i);
        writeTwins(name);
    }
    for (const char* stem : {"LandscapeTex", "RoadsAlpha", "Surfaces/DetailMap", "Surfaces/Noise2D",
                             "Surfaces/Roads01", "Surfaces/Roads02", "Surfaces/SideWalks"})
        writeTwins(stem);
    WriteFile(dir + "Surfaces/Sectoring.dds", dds);
    WriteFile(dir + "Surfaces/StreetDirt.dds", dds);
}

// The game loads its landscape once, into maps that start empty; a map file
// shorter than its grid leaves the rest as it was. Each input starts from
// empty maps, so none sees what an earlier one read.
inline void EmptyLandscapeMaps()
{
    std::memset(g_Landscape.m_fAltitude, 0, sizeof g_Landscape.m_fAltitude);
    std::memset(g_Landscape.m_PlaceMap, 0, sizeof g_Landscape.m_PlaceMap);
}

// The height queries at the corners, inside and far off the map, and the
// terrain ray from one corner down to the other.
inline void QueryHeights()
{
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

} // namespace fuzz
