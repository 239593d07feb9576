#include "writers/FuzzSeeds.h"
#include "writers/PropDescriptions.h"

#include "writers/FileBytes.h"
#include "writers/ImageWriters.h"
#include "writers/SampleCity.h"
#include "writers/SectorFiles.h"

#include <filesystem>

namespace tools {

namespace {

namespace fs = std::filesystem;

bool WriteSeed(const fs::path& dir, const std::string& name, const std::string& bytes)
{
    return WriteFileBytes(dir / name, bytes);
}

// Two files in one input: a little-endian length of prefixBytes, the first
// file, then the second.
std::string LengthPrefixed(const std::string& first, const std::string& second, int prefixBytes = 2)
{
    std::string out;
    for (int i = 0; i < prefixBytes; ++i)
        out.push_back(static_cast<char>((first.size() >> (8 * i)) & 0xFF));
    return out + first + second;
}

// A whole file of the sample set as the seed of one target.
bool CopySeed(const fs::path& root, const char* file, const fs::path& outDir, const char* target)
{
    std::string bytes;
    return ReadFileBytes(root / file, &bytes) && WriteSeed(outDir / target, fs::path(file).filename().string(), bytes);
}

// Small images of every kind the texture loaders read.
bool WriteImageSeeds(const fs::path& dir)
{
    ArgbImage image = SolidImage(8, 8, 0xFF336699u);
    image.pixels[5] = 0x80FF0000u;
    const std::vector<ArgbImage> face = {image};
    const std::vector<ArgbImage> cube(6, image);
    bool ok = WriteSeed(dir, "argb.dds", EncodeDds(face, DdsPixels::A8R8G8B8, 4));
    ok = ok && WriteSeed(dir, "565.dds", EncodeDds(face, DdsPixels::R5G6B5, 1));
    ok = ok && WriteSeed(dir, "dxt1.dds", EncodeDds(face, DdsPixels::DXT1, 2));
    ok = ok && WriteSeed(dir, "dxt3.dds", EncodeDds(face, DdsPixels::DXT3, 1));
    ok = ok && WriteSeed(dir, "dxt5.dds", EncodeDds(face, DdsPixels::DXT5, 1));
    ok = ok && WriteSeed(dir, "cube.dds", EncodeDds(cube, DdsPixels::X8R8G8B8, 1));
    ok = ok && WriteSeed(dir, "rgb.bmp", EncodeBmp(image, 24));
    ok = ok && WriteSeed(dir, "argb.bmp", EncodeBmp(image, 32));
    ok = ok && WriteSeed(dir, "palette.bmp", EncodeBmp(image, 8));
    ok = ok && WriteSeed(dir, "runs.bmp", EncodeBmp(image, -8));
    ok = ok && WriteSeed(dir, "rgb555.bmp", EncodeBmp(image, 16));
    return ok && WriteSeed(dir, "photo.jpg", EncodeJpeg(image, 80));
}

} // namespace

// The corner of a route grid: a road ring with its corner cells left out, a
// walkway ring inside it and a few passable cells, as rows 13 cells wide
// behind a small way-point map.
bool WriteRouteSeed(const fs::path& dir)
{
    const int width = 13, rows = 12;
    LandscapeMaps m;
    for (int i = 3; i <= 9; ++i) {
        m.SetRoute(i, 2, 3, 100);
        m.SetRoute(i, 10, 3, 0);
        m.SetRoute(2, i, 3, 50);
        m.SetRoute(10, i, 3, 100);
    }
    for (int i = 4; i <= 8; ++i) {
        m.SetRoute(i, 4, 4, 0);
        m.SetRoute(i, 8, 4, 0);
        m.SetRoute(4, i, 4, 0);
        m.SetRoute(8, i, 4, 0);
    }
    m.SetRoute(11, 11, 2, 100);
    m.SetRoute(12, 11, 1, 100);
    const std::string file = EncodeRouteFile(m.route, rows);
    const std::size_t record = file.size() / (rows * kGridSide);
    std::string compact(1, static_cast<char>(width));
    for (int row = 0; row < rows; ++row)
        compact += file.substr(row * kGridSide * record, width * record);
    return WriteSeed(dir, "rings", LengthPrefixed(std::string(16, '\1'), compact, 3));
}

// The technique files behind the level byte that picks them, a short tape,
// the menu's view of a profile, the corner of an altitude map and a sound
// packed into the SD archive.
bool WriteNewTargetSeeds(const fs::path& root, const fs::path& out)
{
    bool ok = true;
    const char* const levels[] = {"00", "11", "14", "20"};
    for (int level = 0; level < 4; ++level) {
        std::string bytes;
        const std::string name = std::string("RenderTechniques_") + levels[level] + ".dat";
        ok = ok && ReadFileBytes(root / "Data/Misc" / name, &bytes);
        ok = ok && WriteSeed(out / "render_techniques", name, std::string(1, static_cast<char>(level)) + bytes);
    }
    ok = ok && WriteSeed(out / "input_tape", "keys",
                         "morvaine-tape 1\nstep 20\nseed 1000000\nsound silent\nini [Game]\nini Version=1.0.1\n"
                         "1 keydown 38 0\n2 char 97 0\n4 keyup 38 0\n5 mousemove 0 65537\nend 8\n");
    ok = ok && CopySeed(root, "Save/Profile01.sav", out, "profile_header");
    std::string heights;
    for (int i = 0; i < 16 * 16; ++i) {
        const float h = static_cast<float>((i * 7) % 23);
        heights.append(reinterpret_cast<const char*>(&h), sizeof h);
    }
    ok = ok && WriteSeed(out / "altitude_map", "slopes", heights);
    ok = ok && CopySeed(root, "Data/Audio/E01.wav", out, "sd_sounds");
    return ok;
}

bool WriteFuzzSeeds(const std::string& sampleRoot, const std::string& outDir)
{
    const fs::path root(sampleRoot);
    const fs::path out(outDir);
    std::string keys;
    std::string index;
    std::string body;
    if (!ReadFileBytes(root / "Data/Misc/KeyScanCodes.obj", &keys) || !ReadFileBytes(root / "Data/Objects.hdr", &index) ||
        !ReadFileBytes(root / "Data/Objects.pak", &body) || index.size() > 0xFFFFFF)
        return false;
    bool ok = CopySeed(root, "Game.ini", out, "settings");
    ok = ok && WriteSeed(out / "key_names", "keys", keys);
    ok = ok && WriteSeed(out / "objects_lines", "short", std::string(1, '\x05') + keys);
    ok = ok && WriteSeed(out / "objects_lines", "long", std::string(1, '\xfe') + keys);
    ok = ok && WriteSeed(out / "archive_index", "objects", LengthPrefixed(index, body, 3));
    std::string fontChars;
    std::string fontMask;
    ok = ok && ReadFileBytes(root / "Data/Interface/Fonts/Arial.18/Main.dat", &fontChars) &&
         ReadFileBytes(root / "Data/Interface/Fonts/Arial.18/Mask.dat", &fontMask);
    ok = ok && WriteSeed(out / "font", "arial", LengthPrefixed(fontChars, fontMask));
    ok = ok && CopySeed(root, "Data/Audio/AmbTrks/AmbientData.obj", out, "ambience");
    ok = ok && CopySeed(root, "Data/Audio/E01.wav", out, "sounds");
    ok = ok && CopySeed(root, "Data/Audio/App01.wav", out, "sounds");
    ok = ok && CopySeed(root, "Save/Profile01.sav", out, "profile");
    ok = ok && CopySeed(root, "Data/Misc/RacersName.obj", out, "racer_names");
    ok = ok && CopySeed(root, "Data/Humans/Male/Main.obj", out, "human_description");
    // The mesh target reads its vertex format from the first byte.
    for (const char* mesh : {"Data/Buildings/Box01.msh", "Data/Vehicles/01/Body.msh"}) {
        std::string bytes;
        ok = ok && ReadFileBytes(root / mesh, &bytes);
        ok = ok && WriteSeed(out / "meshes", fs::path(mesh).filename().string() + ".0", std::string(1, '\0') + bytes);
        ok = ok && WriteSeed(out / "meshes", fs::path(mesh).filename().string() + ".2", std::string(1, '\2') + bytes);
    }
    // The description target takes its variant and close flag from the first byte.
    for (const char* object : {"Data/Static/Props/LampPost01/Main.obj", "Data/Vehicles/01/Main.obj",
                               "Data/Static/Buildings/Tower01/Main.obj", "Data/Humans/Male/Main.obj"}) {
        std::string bytes;
        ok = ok && ReadFileBytes(root / object, &bytes);
        const std::string name = fs::path(object).parent_path().filename().string();
        ok = ok && WriteSeed(out / "descriptions", name + ".closed", std::string(1, '\x80') + bytes);
        ok = ok && WriteSeed(out / "descriptions", name + ".open", std::string(1, '\x03') + bytes);
    }
    for (const char* car : {"Data/Vehicles/01/Main.obj", "Data/Vehicles/03/Police.obj"}) {
        std::string bytes;
        ok = ok && ReadFileBytes(root / car, &bytes);
        const std::string name = fs::path(car).stem().string();
        ok = ok && WriteSeed(out / "vehicle_description", name + ".player", std::string(1, '\0') + bytes);
        ok = ok && WriteSeed(out / "vehicle_description", name + ".traffic", std::string(1, '\3') + bytes);
    }
    ok = ok && CopySeed(root, "Data/Vehicles/01/MainExtra.dat", out, "vehicle_body");
    // The prop target: a head picked by the first byte, then the own part.
    for (int pick = 0; pick < 3; ++pick) {
        PropText prop;
        prop.head = {"Seed", "GCLASS_STATIC", "GTYPE_DECORS", "", "Data/Fuzz/Lamp.msh", "Data/Fuzz/Tex.dds"};
        prop.mass = 30.0f;
        prop.parts = {{2.5f, "Data/Fuzz/Lamp.msh"}, {1.0f, "Data/Fuzz/Missing.msh"}};
        prop.sound = "Data/Fuzz/Hum.wav";
        const std::string text = EncodePropDescription(prop);
        const std::string own = text.substr(text.find("//--\n") + 5);
        ok = ok && WriteSeed(out / "prop_part", "part" + std::to_string(pick), std::string(1, static_cast<char>(pick)) + own);
    }
    ok = ok && CopySeed(root, "Data/Landscape/LandscapeData.obj", out, "landscape_data");
    ok = ok && CopySeed(root, "Data/Landscape/10_14/Roads.msh", out, "sector_mesh");
    ok = ok && CopySeed(root, "Data/Landscape/10_14/SideWalks.msh", out, "sector_mesh");
    ok = ok && CopySeed(root, "Data/Landscape/10_14/MeshShape.dat", out, "sector_shape");
    ok = ok && WriteSeed(out / "static_objects", "two",
                         EncodeStaticObjects({{"Data/Static/Props/Bench01/Main.obj", 1, 16, -3, 1, 16, 5},
                                              {"Data/Static/Props/LampPost01/Main.obj", -120.5f, 16, 40, 0, 16, 0}}));
    // The map target takes the map it feeds from the first byte.
    const char* const maps[] = {"TrafficDensityMap.dat", "StaticObjectsPlaceMap.dat", "PlaceColor.dat"};
    for (int pick = 0; pick < 3; ++pick) {
        std::string bytes;
        ok = ok && ReadFileBytes(root / "Data/Landscape" / maps[pick], &bytes);
        ok = ok && WriteSeed(out / "world_maps", maps[pick], std::string(1, static_cast<char>(pick)) + bytes);
    }
    ok = ok && WriteNewTargetSeeds(root, out);
    return ok && WriteImageSeeds(out / "images") && WriteRouteSeed(out / "global_route");
}

} // namespace tools
