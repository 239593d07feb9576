#include "platform/d3d9/Formats.h"

namespace plat::d3d {

bool IsBlockFormat(D3DFORMAT format)
{
    return format == D3DFMT_DXT1 || format == D3DFMT_DXT3 || format == D3DFMT_DXT5;
}

bool IsDepthFormat(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_D16:
    case D3DFMT_D32:
    case D3DFMT_D15S1:
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
    case D3DFMT_D24X4S4:
        return true;
    default:
        return false;
    }
}

UINT FormatUnitBytes(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_A8:
    case D3DFMT_L8:
        return 1;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_D16:
    case D3DFMT_D15S1:
    case D3DFMT_INDEX16:
        return 2;
    case D3DFMT_R8G8B8:
        return 3;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_D32:
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
    case D3DFMT_D24X4S4:
    case D3DFMT_INDEX32:
        return 4;
    case D3DFMT_DXT1:
        return 8;
    case D3DFMT_DXT3:
    case D3DFMT_DXT5:
        return 16;
    default:
        return 0;
    }
}

UINT RowPitch(D3DFORMAT format, UINT width)
{
    if (IsBlockFormat(format))
        return ((width + 3) / 4) * FormatUnitBytes(format);
    return width * FormatUnitBytes(format);
}

UINT RowCount(D3DFORMAT format, UINT height)
{
    return IsBlockFormat(format) ? (height + 3) / 4 : height;
}

size_t LevelBytes(D3DFORMAT format, UINT width, UINT height)
{
    return size_t(RowPitch(format, width)) * RowCount(format, height);
}

UINT FullMipCount(UINT width, UINT height)
{
    UINT count = 1;
    while (width > 1 || height > 1) {
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
        ++count;
    }
    return count;
}

static UINT PositionBytes(DWORD fvf)
{
    switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ:
        return 12;
    case D3DFVF_XYZRHW:
    case D3DFVF_XYZW:
    case D3DFVF_XYZB1:
        return 16;
    case D3DFVF_XYZB2:
        return 20;
    case D3DFVF_XYZB3:
        return 24;
    case D3DFVF_XYZB4:
        return 28;
    case D3DFVF_XYZB5:
        return 32;
    default:
        return 0;
    }
}

UINT FvfVertexSize(DWORD fvf)
{
    const UINT position = PositionBytes(fvf);
    if (position == 0)
        return 0;
    UINT size = position;
    if (fvf & D3DFVF_NORMAL)
        size += 12;
    if (fvf & D3DFVF_PSIZE)
        size += 4;
    if (fvf & D3DFVF_DIFFUSE)
        size += 4;
    if (fvf & D3DFVF_SPECULAR)
        size += 4;
    const UINT sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    static constexpr UINT kFloatsByCode[4] = {2, 3, 4, 1};
    for (UINT i = 0; i < sets && i < 8; ++i)
        size += 4 * kFloatsByCode[(fvf >> (i * 2 + 16)) & 3];
    return size;
}

UINT VerticesOfPrimitives(D3DPRIMITIVETYPE type, UINT primitives)
{
    if (primitives == 0)
        return 0;
    switch (type) {
    case D3DPT_POINTLIST:
        return primitives;
    case D3DPT_LINELIST:
        return primitives * 2;
    case D3DPT_LINESTRIP:
        return primitives + 1;
    case D3DPT_TRIANGLELIST:
        return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return primitives + 2;
    default:
        return 0;
    }
}

} // namespace plat::d3d
