// What the car fuzz targets share: once per process the headless device,
// loose files, the physics world and the sample cars' meshes, wheels, bodies
// and textures at hand; after each input the textures and meshes the car
// loaded are freed again.
#pragma once

#include "FuzzFiles.h"

#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/Settings.h"
#include "writers/VehicleModels.h"

namespace fuzz {

// False when no device could be made (nothing can be loaded then).
inline bool StartWithSampleCars()
{
    static bool started = false;
    if (!started) {
        started = true;
        g_D3DRender.m_pDevice = HeadlessDevice();
        g_bFileManager = 0;
        g_FileManager.Init();
        g_Game.InitPhysics();
        for (const tools::SampleFile& f : tools::SampleVehicleFiles())
            WriteFile(f.path, f.bytes);
    }
    return g_D3DRender.m_pDevice != nullptr;
}

inline void ReleaseCarResources()
{
    g_D3DRender.m_TextureManager.ReleaseAllTextures();
    g_MeshContainer.Release();
}

} // namespace fuzz
