// Writes the sample data set the game starts on: every file the game reads,
// in the game's own formats, into one folder.
//
//   build_sample_data <folder>
//   build_sample_data --fuzz-seeds <sample folder> <seed folder>
#include "writers/ArchiveWriter.h"
#include "writers/EffectTexturesWriter.h"
#include "writers/FieldObjectData.h"
#include "writers/FontWriter.h"
#include "writers/FuzzSeeds.h"
#include "writers/GameIniWriter.h"
#include "writers/InterfaceData.h"
#include "writers/KeyNamesWriter.h"
#include "writers/MenuPictures.h"
#include "writers/MeshWriter.h"
#include "writers/ObjectDescriptions.h"
#include "writers/ProfileWriter.h"
#include "writers/PropDescriptions.h"
#include "writers/RenderDataWriter.h"
#include "writers/SceneSounds.h"
#include "writers/SectorFiles.h"
#include "writers/SkyDataWriter.h"
#include "writers/SampleCity.h"
#include "writers/SampleSounds.h"
#include "writers/TrafficDataWriter.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

bool WriteSettings(const std::string& root)
{
    return tools::WriteIni(root + "/Game.ini", tools::DefaultGameIni());
}

// Loose sound files first: packing the SD archive reads them.
bool WriteSounds(const std::string& root)
{
    return tools::WriteSampleSounds(root);
}

bool WriteKeyNames(const std::string& root)
{
    return tools::WriteKeyNames(root + "/Data/Misc/KeyScanCodes.obj", tools::SampleKeyNames());
}

// The sample city's meshes (buildings, ground, car body), packed into the
// World archive by the last step.
bool WriteMeshes(const std::string& root)
{
    for (const tools::NamedMesh& m : tools::SampleMeshes()) {
        const std::filesystem::path path = std::filesystem::path(root) / m.name;
        std::error_code ec;
        std::filesystem::create_directories(path.parent_path(), ec);
        if (ec || !tools::WriteMesh(path.string(), m.mesh))
            return false;
    }
    return true;
}

// The debug, menu and interface fonts, rendered from the system's TrueType fonts.
bool WriteFonts(const std::string& root)
{
    for (const tools::SampleFont& f : tools::SampleFonts()) {
        tools::BitmapFont font;
        if (!tools::RenderBitmapFont(f, tools::SampleFontCharacters(), &font) ||
            !tools::WriteBitmapFont(root + "/" + f.folder, font))
            return false;
    }
    return true;
}

// Packs the loose tree <root>/Data into the four archives beside it; the
// loose files stay, so the game runs on either ("File manager" 1 or 0).
bool PackArchives(const std::string& root)
{
    return tools::PackDataTree(root);
}

struct Step {
    const char* name;
    bool (*write)(const std::string& root);
};

const Step kSteps[] = {
    {"settings", WriteSettings},
    {"sounds", WriteSounds},
    {"key names", WriteKeyNames},
    {"fonts", WriteFonts},
    {"technique files", tools::WriteTechniqueFiles},
    {"render textures", tools::WriteRenderTextures},
    {"meshes", WriteMeshes},
    {"landscape", tools::WriteSampleCity},
    {"field objects", tools::WriteFieldObjectData},
    {"landscape sectors", tools::WriteSampleSectors},
    {"traffic", tools::WriteTrafficData},
    {"effect textures", tools::WriteEffectTextures},
    {"sample profile", tools::WriteSampleProfile},
    {"object descriptions", tools::WriteObjectDescriptions},
    {"prop descriptions", tools::WritePropDescriptions},
    {"sky", tools::WriteSkyData},
    {"interface", tools::WriteInterfaceData},
    {"menu pictures", tools::WriteMenuPictures},
    {"scene sounds", tools::WriteSceneSounds},
    // Keep last: it packs what the steps above wrote.
    {"archives", PackArchives},
};

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--fuzz-seeds") {
        if (tools::WriteFuzzSeeds(argv[2], argv[3]))
            return 0;
        std::fprintf(stderr, "fuzz seeds: the sample data in %s is incomplete\n", argv[2]);
        return 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder> | --fuzz-seeds <sample folder> <seed folder>\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(root, ec);
    if (ec) {
        std::fprintf(stderr, "cannot create %s: %s\n", root.c_str(), ec.message().c_str());
        return 1;
    }
    for (const Step& step : kSteps) {
        if (!step.write(root)) {
            std::fprintf(stderr, "sample data: writing the %s failed\n", step.name);
            return 1;
        }
    }
    return 0;
}
