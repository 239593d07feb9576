#include "writers/SectorMeshOrder.h"

#include <meshoptimizer.h>

namespace tools {

void OrderForVertexCache(SectorMeshData* mesh)
{
    std::vector<unsigned> indices(mesh->indices.begin(), mesh->indices.end());
    if (indices.empty() || mesh->vertices.empty())
        return;
    const std::size_t count = mesh->vertices.size();
    std::vector<unsigned> ordered(indices.size());
    meshopt_optimizeVertexCache(ordered.data(), indices.data(), indices.size(), count);
    // The vertices follow in the order the triangles first use them.
    std::vector<SectorVertex> vertices(count);
    const std::size_t used = meshopt_optimizeVertexFetch(vertices.data(), ordered.data(), ordered.size(),
                                                         mesh->vertices.data(), count, sizeof(SectorVertex));
    vertices.resize(used);
    mesh->vertices = std::move(vertices);
    for (std::size_t i = 0; i < ordered.size(); ++i)
        mesh->indices[i] = static_cast<std::uint16_t>(ordered[i]);
}

} // namespace tools
