// Car description files loaded as the game loads a car model, with the
// sample cars' meshes, wheels, bodies and textures at hand; the car is then
// spawned so its physics is built from whatever the file gave.
#include "CarFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    if (!fuzz::StartWithSampleCars() || size == 0)
        return 0;
    const int kind = data[0] & 3;
    fuzz::SetFile("Data/Fuzz/Main.obj", data + 1, size - 1);
    {
        CVehicle car;
        car.LoadModel("Data/Fuzz/Main.obj");
        fuzz::KeepLoadedResources();
        const D3DXVECTOR3 at(0, 1, 0), target(0, 1, 10), up(0, 1, 0);
        car.Spawn(&at, &target, &up, 1, kind, 1);
        car.SetPhysicsActive(1);
        car.UpdatePhysicsProperties();
        car.Release();
    }
    return 0;
}
