// What the car fuzz targets share: once per process the headless device,
// loose files, the physics world and the sample cars' files at hand.
#pragma once

#include "FuzzFiles.h"
#include "KeptResources.h"

#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"
#include "roadusers/Vehicle.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/Settings.h"
#include "writers/VehicleModels.h"

namespace fuzz {

inline void WriteSampleCars()
{
    for (const tools::SampleFile& f : tools::SampleVehicleFiles())
        WriteFile(f.path, f.bytes);
}

// False when no device could be made (nothing can be loaded then).
inline bool StartWithSampleCars()
{
    return StartHeadlessGame(true, WriteSampleCars);
}

} // namespace fuzz
