// The BMP kinds the game's own reader leaves out (palettised, 16-bit,
// run-length coded): SDL's loader decodes them, from memory, into 32-bit
// pixels.
#include "platform/LittleEndian.h"
#include "platform/d3dx9/Image.h"

#include <SDL2/SDL.h>

namespace plat::img {

HRESULT DecodeBmpWithSdl(const std::uint8_t* data, size_t size, ImageSet* out)
{
    if (size > size_t(INT32_MAX))
        return D3DXERR_INVALIDDATA;
    SDL_RWops* stream = SDL_RWFromConstMem(data, int(size));
    SDL_Surface* loaded = stream ? SDL_LoadBMP_RW(stream, 1) : nullptr;
    if (!loaded)
        return D3DXERR_INVALIDDATA;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!argb)
        return D3DXERR_INVALIDDATA;
    HRESULT result = D3DXERR_INVALIDDATA;
    if (argb->w > 0 && argb->h > 0 && UINT(argb->w) <= kMaxDimension && UINT(argb->h) <= kMaxDimension &&
        SDL_LockSurface(argb) == 0) {
        Image image;
        image.width = UINT(argb->w);
        image.height = UINT(argb->h);
        image.argb.resize(size_t(argb->w) * size_t(argb->h));
        for (int y = 0; y < argb->h; ++y) {
            const auto* row = static_cast<const std::uint8_t*>(argb->pixels) + size_t(y) * size_t(argb->pitch);
            for (int x = 0; x < argb->w; ++x)
                // These kinds have no alpha channel the game uses: opaque.
                image.argb[size_t(y) * size_t(argb->w) + size_t(x)] = ReadLE32(row + size_t(x) * 4) | 0xFF000000u;
        }
        SDL_UnlockSurface(argb);
        out->faces = 1;
        out->levels = 1;
        out->images = {std::move(image)};
        out->format = D3DFMT_X8R8G8B8;
        out->fileType = D3DXIFF_BMP;
        result = D3D_OK;
    }
    SDL_FreeSurface(argb);
    return result;
}

} // namespace plat::img
