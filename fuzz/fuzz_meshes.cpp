// Mesh files loaded by the mesh container as the game loads them, in every
// vertex format the first byte picks, onto a headless device.
#include "FuzzFiles.h"
#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    if (!fuzz::StartHeadlessGame(false) || size == 0)
        return 0;
    const std::uint32_t format = data[0] % 9; // 8 is one past the last format
    fuzz::SetFile("Data/Fuzz.msh", data + 1, size - 1);
    // A fresh container each time: a failed load stays listed under its name.
    CMeshRecord* mesh = g_MeshContainer.LoadMesh("Data/Fuzz.msh", format, D3DXMESH_MANAGED, data[0] & 0x80);
    if (mesh)
        g_MeshContainer.ReleaseMesh(mesh);
    g_MeshContainer.Release();
    return 0;
}
