// Texture files as the texture loaders decode them after the file layer has
// read them into memory: DDS (2-D and cube), BMP and JPEG, into 2-D and cube
// textures of a headless device.
#include "FuzzFiles.h"
#include "platform/D3D9Recording.h"
#include "platform/D3DX9.h"

namespace {

IDirect3D9* s_d3d = nullptr; // kept for the whole run, like the game's

IDirect3DDevice9* Device()
{
    static IDirect3DDevice9* device = [] {
        s_d3d = Direct3DCreate9(D3D_SDK_VERSION);
        IDirect3D9* d3d = s_d3d;
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = 64;
        pp.BackBufferHeight = 64;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_FLIP;
        pp.Windowed = TRUE;
        IDirect3DDevice9* d = nullptr;
        d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &d);
        return d;
    }();
    return device;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::EnterScratchDirectory();
    IDirect3DDevice9* device = Device();
    if (!device)
        return 0;
    IDirect3DTexture9* texture = nullptr;
    if (SUCCEEDED(D3DXCreateTextureFromFileInMemoryEx(device, data, static_cast<UINT>(size), D3DX_DEFAULT,
                                                      D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                      D3DX_FILTER_NONE, D3DX_FILTER_BOX, 0, nullptr, nullptr,
                                                      &texture)))
        texture->Release();
    IDirect3DCubeTexture9* cube = nullptr;
    if (SUCCEEDED(D3DXCreateCubeTextureFromFileInMemoryEx(device, data, static_cast<UINT>(size), D3DX_DEFAULT,
                                                          D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                          D3DX_FILTER_NONE, D3DX_FILTER_BOX, 0, nullptr, nullptr,
                                                          &cube)))
        cube->Release();
    return 0;
}
