// Description files loaded as the game loads every object, with the sample
// meshes and textures they name at hand; the first byte picks the variant
// and whether the file is left open for the owner's own lines.
#include "FuzzFiles.h"
#include "KeptResources.h"
#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"
#include "objects/StaticObject.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"
#include "writers/ObjectDescriptions.h"

namespace {

void WriteSampleObjects()
{
    for (const auto& list : {tools::SampleObjectMeshes(), tools::SampleObjectTextures()})
        for (const tools::SampleFile& f : list)
            fuzz::WriteFile(f.path, f.bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    if (!fuzz::StartHeadlessGame(false, WriteSampleObjects) || size == 0)
        return 0;
    const int variant = static_cast<int>(data[0] & 0x3F) - 1;
    const int closeFile = data[0] & 0x80;
    fuzz::SetFile("Data/Fuzz/Main.obj", data + 1, size - 1);
    CStaticObject object;
    const FileHandle file = object.Load("Data/Fuzz/Main.obj", closeFile, variant, 1);
    fuzz::KeepLoadedResources();
    if (file != INVALID_FILE_HANDLE && !closeFile) {
        char line[DESCRIPTION_LINE_SIZE];
        for (int i = 0; i < 8; ++i)
            ReadDescriptionLine(line, file);
        g_FileManager.Close(file);
    }
    object.Release();
    return 0;
}
