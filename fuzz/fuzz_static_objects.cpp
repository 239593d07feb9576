// A sector's placed-object list ("StaticObjects.obj") loaded by the sector as
// the game loads it, with the sample bench and lamp post at hand: every
// record becomes a prop of the pool (kept when its description loads), then
// the sector lets them go again.
#include "FuzzFiles.h"
#include "KeptResources.h"

#include "graphics/D3DRender.h"
#include "shell/Game.h"
#include "world/LandscapeSector.h"
#include "world/Prop.h"
#include "world/PropManager.h"
#include "writers/ImageWriters.h"
#include "writers/MeshWriter.h"
#include "writers/ObjectDescriptions.h"
#include "writers/ObjectMeshes.h"

namespace {

void WriteSampleProps()
{
    for (const tools::SampleFile& f : tools::SampleObjectDescriptions())
        fuzz::WriteFile(f.path, f.bytes);
    const std::string pixel = tools::EncodeDds({tools::SolidImage(1, 1, 0xFF808080u)}, tools::DdsPixels::A8R8G8B8, 1);
    for (const char* prop : {"Bench01/", "LampPost01/"}) {
        const std::string dir = std::string("Data/Static/Props/") + prop;
        fuzz::WriteFile(dir + "Main.msh", tools::EncodeMesh(prop[0] == 'B' ? tools::BenchMesh() : tools::LampPostMesh()));
        fuzz::WriteFile(dir + (prop[0] == 'B' ? "Bench.dds" : "Lamp.dds"), pixel);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    if (!fuzz::StartHeadlessGame(true, WriteSampleProps))
        return 0;
    fuzz::SetFile("Data/Landscape/10_14/StaticObjects.obj", data, size);
    static CLandscapeSector sector;
    sector.LoadStaticObjects("Data/Landscape/10_14");
    fuzz::KeepLoadedResources();
    for (std::uint32_t i = 0; i < sector.m_nProps; ++i)
        if (!sector.m_pProps[i] || sector.m_pProps[i]->m_nType == 0)
            __builtin_trap();
    sector.Release();
    return 0;
}
