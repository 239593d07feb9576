// A prop's own description part after "//--": the common part is a fixed
// sample head (a decor, a lamp or an info-screen board, chosen by the first
// byte) and the input is everything after it; the prop is then placed,
// updated, woken and released.
#include "FuzzFiles.h"
#include "KeptResources.h"
#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/Settings.h"
#include "world/Prop.h"
#include "writers/ObjectMeshes.h"
#include "writers/PropDescriptions.h"

namespace {

void WritePropMeshes()
{
    fuzz::WriteFile("Data/Fuzz/Lamp.msh", tools::EncodeMesh(tools::LampPostMesh()));
    fuzz::WriteFile("Data/Fuzz/Board.msh", tools::EncodeMesh(tools::BoardMesh()));
}

std::string Head(int pick)
{
    static const char* const kTypes[] = {"GTYPE_DECORS", "GTYPE_LAMPPOST", "GTYPE_DECORS", "GTYPE_BUILDING"};
    static const char* const kClasses[] = {"GCLASS_STATIC", "GCLASS_STATIC", "GCLASS_LANDSCAPE", "GCLASS_STATIC"};
    tools::DescriptionWriter w;
    w.Head({"Fuzz", kClasses[pick], kTypes[pick], "", pick == 0 ? "Data/Fuzz/Board.msh" : "Data/Fuzz/Lamp.msh",
            "Data/Fuzz/Tex.dds"});
    return w.End().Text();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    if (!fuzz::StartHeadlessGame(true, WritePropMeshes) || size == 0)
        return 0;
    const int pick = data[0] & 3;
    const std::string path = pick == 0 ? "Data/Fuzz/InfoScreen/Main.obj" : "Data/Fuzz/Main.obj";
    fuzz::SetFile(path, Head(pick) + std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    CProp prop;
    prop.Load(path.c_str(), 0);
    fuzz::KeepLoadedResources();
    const D3DXVECTOR3 at(0, 0, 0), target(0, 0, 1), up(0, 1, 0);
    prop.Place(&at, &target, &up);
    prop.SetPhysicsActive(true);
    prop.SetActive(false);
    prop.SetActive(true);
    prop.SyncFromBodies();
    prop.SetPhysicsActive(false);
    prop.Release();
    return 0;
}
