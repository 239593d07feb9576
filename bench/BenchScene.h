// What the benchmarks on the sample city share: the headless drawing device
// at 800 x 600 and a working folder of their own below the temporary
// directory, where they write the sample files.
#pragma once

#include "platform/Backend.h"
#include "platform/D3D9Recording.h"

#include <filesystem>
#include <unistd.h>

namespace bench {

// The device, or null when none could be made; *d3d is set either way.
inline IDirect3DDevice9* MakeHeadlessDevice(IDirect3D9** d3d)
{
    plat::SetHeadless(true);
    plat::ResetHeadlessAdapterScript();
    *d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = 800;
    pp.BackBufferHeight = 600;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_FLIP;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    IDirect3DDevice9* device = nullptr;
    if (!*d3d ||
        FAILED((*d3d)->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device)))
        return nullptr;
    return device;
}

// Makes the folder `name` below the temporary directory the working one;
// false when it cannot be entered.
inline bool EnterScratchFolder(const char* name)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(dir);
    return chdir(dir.c_str()) == 0;
}

} // namespace bench
