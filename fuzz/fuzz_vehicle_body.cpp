// Car body files: the checks, then a car loaded on the body and a save
// record of it read back, so every accepted body is also dented and
// repaired.
#include "CarFuzz.h"
#include "roadusers/VehicleBody.h"
#include "shell/SaveRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    if (!fuzz::StartWithSampleCars())
        return 0;
    VehicleBodyLayout layout;
    ParseVehicleBody(data, size, &layout);
    fuzz::SetFile("Data/Vehicles/01/MainExtra.dat", data, size);
    {
        CVehicle car;
        car.LoadModel("Data/Vehicles/01/Main.obj");
        fuzz::KeepLoadedResources();
        for (std::uint32_t i = 0; car.m_pDeform && i < car.m_nBodyVertices; i += 3)
            car.m_pDeform[i].fAmount = 0.75f;
        CSaveWriter out;
        car.Save(out);
        CSaveReader in(out.Data(), out.Size());
        car.Load(in);
        car.RepairBody(1.0f);
        car.Release();
    }
    return 0;
}
