// Copying one surface into another of any format the layer reads and writes,
// block formats included as a source.
#include "platform/D3DX9.h"
#include "platform/d3d9/Formats.h"
#include "platform/d3d9/Resources.h"
#include "platform/d3dx9/Image.h"

#include <algorithm>

namespace {

using plat::img::Image;

// The pixels of a level that lives in memory (not a render target or depth
// surface, whose pixels a drawing device keeps to itself).
bool ReadLevel(const plat::d3d::Level& level, Image* out)
{
    const D3DSURFACE_DESC& desc = level.desc;
    if ((desc.Usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) || level.locked)
        return false;
    const D3DFORMAT format = desc.Format;
    const bool blocks = plat::d3d::IsBlockFormat(format);
    if (!blocks && !plat::img::CanConvert(format))
        return false;
    out->width = desc.Width;
    out->height = desc.Height;
    out->argb.assign(size_t(desc.Width) * desc.Height, 0);
    const UINT unit = plat::d3d::FormatUnitBytes(format);
    const UINT pitch = plat::d3d::RowPitch(format, desc.Width);
    if (!blocks) {
        for (UINT y = 0; y < desc.Height; ++y)
            for (UINT x = 0; x < desc.Width; ++x)
                out->argb[size_t(y) * desc.Width + x] =
                    plat::img::ReadPixel(format, level.bytes.data() + size_t(y) * pitch + size_t(x) * unit);
        return true;
    }
    std::uint32_t pixels[16];
    for (UINT by = 0; by < (desc.Height + 3) / 4; ++by)
        for (UINT bx = 0; bx < (desc.Width + 3) / 4; ++bx) {
            plat::img::DecodeDxtBlock(format, level.bytes.data() + size_t(by) * pitch + size_t(bx) * unit, pixels);
            for (UINT i = 0; i < 16; ++i) {
                const UINT x = bx * 4 + i % 4, y = by * 4 + i / 4;
                if (x < desc.Width && y < desc.Height)
                    out->argb[size_t(y) * desc.Width + x] = pixels[i];
            }
        }
    return true;
}

} // namespace

HRESULT D3DXLoadSurfaceFromSurface(IDirect3DSurface9* dest, const PALETTEENTRY* destPalette, const RECT* destRect,
                                   IDirect3DSurface9* source, const PALETTEENTRY* sourcePalette,
                                   const RECT* sourceRect, DWORD filter, D3DCOLOR colorKey)
{
    auto* from = dynamic_cast<plat::d3d::Surface*>(source);
    auto* to = dynamic_cast<plat::d3d::Surface*>(dest);
    if (!from || !to || destRect || sourceRect)
        return D3DERR_INVALIDCALL;
    plat::d3d::Level& target = to->Image();
    const D3DSURFACE_DESC& desc = target.desc;
    if (!plat::img::CanConvert(desc.Format) || (desc.Usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) ||
        target.locked)
        return D3DERR_INVALIDCALL;
    Image image;
    if (!ReadLevel(from->Image(), &image))
        return D3DERR_INVALIDCALL;
    if (image.width != desc.Width || image.height != desc.Height)
        image = plat::img::Resize(image, desc.Width, desc.Height);
    const UINT unit = plat::d3d::FormatUnitBytes(desc.Format);
    const UINT pitch = plat::d3d::RowPitch(desc.Format, desc.Width);
    for (UINT y = 0; y < desc.Height; ++y)
        for (UINT x = 0; x < desc.Width; ++x)
            plat::img::WritePixel(desc.Format, target.bytes.data() + size_t(y) * pitch + size_t(x) * unit,
                                  image.argb[size_t(y) * desc.Width + x]);
    ++target.revision;
    return D3D_OK;
}
