// The order the sector meshes are stored in: triangles arranged for the
// vertex cache and vertices in the order the triangles first use them, so
// the game draws them as read, with no work when a sector streams in.
#pragma once

#include "writers/SectorFiles.h"

namespace tools {

void OrderForVertexCache(SectorMeshData* mesh);

} // namespace tools
