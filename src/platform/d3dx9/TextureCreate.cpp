// Texture creation and loading from image files.
#include "platform/Win32Shell.h"
#include "platform/d3d9/Formats.h"
#include "platform/d3d9/Resources.h"
#include "platform/d3dx9/Image.h"

#include "platform/d3d9/RecordingDevice.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using plat::img::Image;
using plat::img::ImageSet;

constexpr long kMaxFileBytes = 256L * 1024 * 1024;

UINT LevelsWanted(UINT levels, UINT width, UINT height)
{
    const UINT full = plat::d3d::FullMipCount(width, height);
    return (levels == 0 || levels == D3DX_DEFAULT || levels > full) ? full : levels;
}

bool SizeGiven(UINT size) { return size != 0 && size != D3DX_DEFAULT && size != D3DX_DEFAULT_NONPOW2; }

// The format a file loads as when the caller leaves it open: a device that
// samples DXT blocks keeps them (a quarter or less of the memory); the
// headless device widens them for tests to read.
D3DFORMAT NaturalFormat(IDirect3DDevice9* device, D3DFORMAT fileFormat)
{
    if (plat::d3d::IsBlockFormat(fileFormat)) {
        plat::RecordingDevice* recording = plat::AsRecordingDevice(device);
        return recording && recording->SamplesBlockFormats() ? fileFormat : D3DFMT_A8R8G8B8;
    }
    return fileFormat == D3DFMT_R8G8B8 ? D3DFMT_X8R8G8B8 : fileFormat;
}

// Blocks go in as the file has them, level by level.
void FillBlocks(plat::d3d::TextureStore& store, const ImageSet& set)
{
    for (UINT face = 0; face < store.FaceCount(); ++face)
        for (UINT level = 0; level < store.LevelCount(); ++level) {
            plat::d3d::Level& target = *store.At(face, level);
            const std::vector<std::uint8_t>& bytes = set.blocks[size_t(face) * set.levels + level];
            std::memcpy(target.bytes.data(), bytes.data(), std::min(bytes.size(), target.bytes.size()));
            ++target.revision;
        }
}

// Whether the file's blocks are used as they are (a block format asked for,
// at the file's size). The chain is then cut to the file's levels: blocks of
// a missing level would need an encoder. Asked at another size, the texture
// is widened to A8R8G8B8 instead.
bool BlockLevels(const ImageSet& set, D3DFORMAT* format, UINT width, UINT height, UINT* levels)
{
    if (!plat::d3d::IsBlockFormat(*format))
        return false;
    if (*format == set.format && !set.blocks.empty() && width == set.At(0, 0).width &&
        height == set.At(0, 0).height) {
        *levels = std::min(*levels, set.levels);
        return true;
    }
    *format = D3DFMT_A8R8G8B8;
    return false;
}

void WriteLevel(plat::d3d::Level& level, const Image& image)
{
    const D3DFORMAT format = level.desc.Format;
    const UINT unit = plat::d3d::FormatUnitBytes(format);
    for (size_t i = 0; i < image.argb.size(); ++i)
        plat::img::WritePixel(format, level.bytes.data() + i * unit, image.argb[i]);
    ++level.revision;
}

// Fills every face and level: the file's level where it has one of the right
// size, else the previous level halved.
void FillStore(plat::d3d::TextureStore& store, const ImageSet& set, UINT width, UINT height)
{
    for (UINT face = 0; face < store.FaceCount(); ++face) {
        Image current = set.At(face, 0);
        const bool native = current.width == width && current.height == height;
        if (!native)
            current = plat::img::Resize(current, width, height);
        for (UINT level = 0; level < store.LevelCount(); ++level) {
            if (level > 0)
                current = native && level < set.levels ? set.At(face, level) : plat::img::Downsample(current);
            WriteLevel(*store.At(face, level), current);
        }
    }
}

void Describe(const ImageSet& set, D3DXIMAGE_INFO* info)
{
    if (!info)
        return;
    const Image& top = set.At(0, 0);
    *info = D3DXIMAGE_INFO{top.width, top.height, 1, set.levels, set.format,
                           set.faces == 6 ? D3DRTYPE_CUBETEXTURE : D3DRTYPE_TEXTURE, set.fileType};
}

HRESULT Prepare(IDirect3DDevice9* device, const void* data, UINT size, D3DFORMAT* format, ImageSet* set)
{
    if (!device || !data || size == 0)
        return D3DERR_INVALIDCALL;
    const HRESULT hr = plat::img::DecodeImage(data, size, set);
    if (FAILED(hr))
        return hr;
    if (*format == D3DFMT_UNKNOWN)
        *format = NaturalFormat(device, set->format);
    return plat::img::CanConvert(*format) || *format == set->format ? D3D_OK : D3DERR_INVALIDCALL;
}

// Decodes an image that must hold the given number of faces (1 or a cube's 6).
HRESULT PrepareFaces(IDirect3DDevice9* device, const void* data, UINT size, UINT faces, D3DFORMAT* format,
                     ImageSet* set)
{
    const HRESULT hr = Prepare(device, data, size, format, set);
    if (FAILED(hr))
        return hr;
    return set->faces == faces ? D3D_OK : D3DXERR_INVALIDDATA;
}

// A texture file: present, not empty and not beyond the size cap.
bool ReadTextureFile(const char* name, std::vector<std::uint8_t>* bytes)
{
    return name && plat::ReadWholeFile(name, bytes, kMaxFileBytes) && !bytes->empty();
}

} // namespace

HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture)
{
    if (!device || !texture)
        return D3DERR_INVALIDCALL;
    width = SizeGiven(width) ? width : 256;
    height = SizeGiven(height) ? height : 256;
    format = format == D3DFMT_UNKNOWN ? D3DFMT_A8R8G8B8 : format;
    return device->CreateTexture(width, height, LevelsWanted(levels, width, height), usage, format, pool, texture,
                                 nullptr);
}

HRESULT D3DXCreateCubeTexture(IDirect3DDevice9* device, UINT edge, UINT levels, DWORD usage, D3DFORMAT format,
                              D3DPOOL pool, IDirect3DCubeTexture9** texture)
{
    if (!device || !texture)
        return D3DERR_INVALIDCALL;
    edge = SizeGiven(edge) ? edge : 256;
    format = format == D3DFMT_UNKNOWN ? D3DFMT_A8R8G8B8 : format;
    return device->CreateCubeTexture(edge, LevelsWanted(levels, edge, edge), usage, format, pool, texture, nullptr);
}

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT size, UINT width,
                                            UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                            D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                            IDirect3DTexture9** texture)
{
    if (!texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    ImageSet set;
    HRESULT hr = PrepareFaces(device, data, size, 1, &format, &set);
    if (FAILED(hr))
        return hr;
    width = SizeGiven(width) ? width : set.At(0, 0).width;
    height = SizeGiven(height) ? height : set.At(0, 0).height;
    levels = LevelsWanted(levels, width, height);
    const bool blocks = BlockLevels(set, &format, width, height, &levels);
    hr = device->CreateTexture(width, height, levels, usage, format, pool, texture, nullptr);
    if (FAILED(hr))
        return hr;
    if (blocks)
        FillBlocks(*plat::d3d::StoreOf(*texture), set);
    else
        FillStore(*plat::d3d::StoreOf(*texture), set, width, height);
    Describe(set, info);
    return D3D_OK;
}

HRESULT D3DXCreateCubeTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT size, UINT edge,
                                                UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                                DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                                D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                                IDirect3DCubeTexture9** texture)
{
    if (!texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    ImageSet set;
    HRESULT hr = PrepareFaces(device, data, size, 6, &format, &set);
    if (FAILED(hr))
        return hr;
    edge = SizeGiven(edge) ? edge : set.At(0, 0).width;
    levels = LevelsWanted(levels, edge, edge);
    const bool blocks = BlockLevels(set, &format, edge, edge, &levels);
    hr = device->CreateCubeTexture(edge, levels, usage, format, pool, texture, nullptr);
    if (FAILED(hr))
        return hr;
    if (blocks)
        FillBlocks(*plat::d3d::StoreOf(*texture), set);
    else
        FillStore(*plat::d3d::StoreOf(*texture), set, edge, edge);
    Describe(set, info);
    return D3D_OK;
}

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* file, UINT width, UINT height,
                                     UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                     DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                                     PALETTEENTRY* palette, IDirect3DTexture9** texture)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadTextureFile(file, &bytes)) {
        if (texture)
            *texture = nullptr;
        return D3DERR_NOTFOUND;
    }
    return D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), UINT(bytes.size()), width, height, levels,
                                               usage, format, pool, filter, mipFilter, colorKey, info, palette,
                                               texture);
}

HRESULT D3DXCreateCubeTextureFromFileExA(IDirect3DDevice9* device, const char* file, UINT edge, UINT levels,
                                         DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                         DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                                         PALETTEENTRY* palette, IDirect3DCubeTexture9** texture)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadTextureFile(file, &bytes)) {
        if (texture)
            *texture = nullptr;
        return D3DERR_NOTFOUND;
    }
    return D3DXCreateCubeTextureFromFileInMemoryEx(device, bytes.data(), UINT(bytes.size()), edge, levels, usage,
                                                   format, pool, filter, mipFilter, colorKey, info, palette,
                                                   texture);
}
