// Car description files loaded as the game loads a car model, with the
// sample cars' meshes, wheels, bodies and textures at hand; the car is then
// spawned so its physics is built from whatever the file gave.
#include "FuzzFiles.h"
#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"
#include "roadusers/Vehicle.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/Settings.h"
#include "writers/VehicleModels.h"

namespace {

void StartOnce()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    g_D3DRender.m_pDevice = fuzz::HeadlessDevice();
    g_bFileManager = 0;
    g_FileManager.Init();
    g_Game.InitPhysics();
    for (const tools::SampleFile& f : tools::SampleVehicleFiles())
        fuzz::WriteFile(f.path, f.bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::EnterScratchDirectory();
    StartOnce();
    if (size == 0 || !g_D3DRender.m_pDevice)
        return 0;
    const int kind = data[0] & 3;
    fuzz::SetFile("Data/Fuzz/Main.obj", data + 1, size - 1);
    {
        CVehicle car;
        car.LoadModel("Data/Fuzz/Main.obj");
        const D3DXVECTOR3 at(0, 1, 0), target(0, 1, 10), up(0, 1, 0);
        car.Spawn(&at, &target, &up, 1, kind, 1);
        car.SetPhysicsActive(1);
        car.UpdatePhysicsProperties();
        car.Release();
    }
    g_D3DRender.m_TextureManager.ReleaseAllTextures();
    g_MeshContainer.Release();
    return 0;
}
