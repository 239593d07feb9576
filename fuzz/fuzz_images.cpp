// Texture files as the texture loaders decode them after the file layer has
// read them into memory: DDS (2-D and cube), BMP and JPEG, into 2-D and cube
// textures of a headless device.
#include "FuzzFiles.h"
#include "platform/D3DX9.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    IDirect3DDevice9* device = fuzz::HeadlessDevice();
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
