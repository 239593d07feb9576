// Car body files: the checks, then a car loaded on the body and a save
// record of it read back, so every accepted body is also dented and
// repaired.
#include "FuzzFiles.h"
#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleBody.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/SaveRecord.h"
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
    if (!g_D3DRender.m_pDevice)
        return 0;
    VehicleBodyLayout layout;
    ParseVehicleBody(data, size, &layout);
    fuzz::SetFile("Data/Vehicles/01/MainExtra.dat", data, size);
    {
        CVehicle car;
        car.LoadModel("Data/Vehicles/01/Main.obj");
        for (std::uint32_t i = 0; car.m_pDeform && i < car.m_nBodyVertices; i += 3)
            car.m_pDeform[i].fAmount = 0.75f;
        CSaveWriter out;
        car.Save(out);
        CSaveReader in(out.Data(), out.Size());
        car.Load(in);
        car.RepairBody(1.0f);
        car.Release();
    }
    g_D3DRender.m_TextureManager.ReleaseAllTextures();
    g_MeshContainer.Release();
    return 0;
}
