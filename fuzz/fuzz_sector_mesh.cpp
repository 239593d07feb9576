// A sector's drawn mesh file ("Roads.msh" and its siblings) as the sector
// reads it, then every kept index used as the draw call would.
#include "FuzzFiles.h"

#include "world/LandscapeSector.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    SectorMesh mesh;
    if (ParseSectorMesh(data, static_cast<std::uint32_t>(size), &mesh)) {
        float sum = 0.0f;
        for (std::uint32_t i = 0; i < mesh.numTris * 3; ++i)
            sum += mesh.verts[mesh.indices[i]].y;
        static_cast<void>(sum);
    }
    FreeSectorMesh(&mesh);
    return 0;
}
