// Memory layout of the pixel, depth and index formats the layer stores.
#pragma once

#include "platform/D3D9.h"

#include <cstddef>

namespace plat::d3d {

// True for the 4x4 block-compressed formats.
bool IsBlockFormat(D3DFORMAT format);
bool IsDepthFormat(D3DFORMAT format);
// Bytes of one pixel, or of one 4x4 block for the block formats; 0 for a
// format the layer cannot store.
UINT FormatUnitBytes(D3DFORMAT format);
// Bytes between rows of a level (rows of blocks for the block formats) and
// the number of such rows.
UINT RowPitch(D3DFORMAT format, UINT width);
UINT RowCount(D3DFORMAT format, UINT height);
size_t LevelBytes(D3DFORMAT format, UINT width, UINT height);
// Mip levels of a full chain down to 1x1.
UINT FullMipCount(UINT width, UINT height);

// Bytes of one vertex of a flexible vertex format, 0 for a format without a
// position.
UINT FvfVertexSize(DWORD fvf);
// Vertices that a draw of that many primitives reads.
UINT VerticesOfPrimitives(D3DPRIMITIVETYPE type, UINT primitives);

} // namespace plat::d3d
