// Occluder parts: a closed box whose faces share their corners, so that the
// edges two turned-away faces share cancel and only the silhouette remains.
#include "writers/MeshWriter.h"

namespace tools {

MeshPartData ClosedBoxPart(const MeshVec3& min, const MeshVec3& max)
{
    MeshPartData part;
    part.frames.resize(1);
    for (int i = 0; i < 8; ++i) {
        const MeshVec3 p{(i & 1) ? max[0] : min[0], (i & 2) ? max[1] : min[1], (i & 4) ? max[2] : min[2]};
        part.frames[0].push_back({p, {0, 0, 0}, 0, 0});
    }
    // Each face: its corners as bits of x, y, z, and the outward axis.
    struct Face {
        int axis, side;
    };
    for (const Face face : {Face{0, 0}, Face{0, 1}, Face{1, 0}, Face{1, 1}, Face{2, 0}, Face{2, 1}}) {
        const int b = (face.axis + 1) % 3, c = (face.axis + 2) % 3;
        const int sideBit = face.side << face.axis;
        const std::uint16_t corners[4] = {
            static_cast<std::uint16_t>(sideBit),
            static_cast<std::uint16_t>(sideBit | (1 << c)),
            static_cast<std::uint16_t>(sideBit | (1 << b) | (1 << c)),
            static_cast<std::uint16_t>(sideBit | (1 << b)),
        };
        // Front faces turn clockwise seen from outside, as BoxPart's do:
        // (v1 - v0) x (v2 - v0) points out of the box.
        const std::uint16_t order[2][6] = {{0, 1, 2, 0, 2, 3}, {0, 2, 1, 0, 3, 2}};
        const auto& v = part.frames[0];
        MeshVec3 e1, e2;
        for (int k = 0; k < 3; ++k) {
            e1[k] = v[corners[1]].position[k] - v[corners[0]].position[k];
            e2[k] = v[corners[2]].position[k] - v[corners[0]].position[k];
        }
        const float crossOnAxis = e1[(face.axis + 1) % 3] * e2[(face.axis + 2) % 3] -
                                  e1[(face.axis + 2) % 3] * e2[(face.axis + 1) % 3];
        const bool outward = face.side ? crossOnAxis > 0.0f : crossOnAxis < 0.0f;
        for (std::uint16_t i : order[outward ? 0 : 1])
            part.indices.push_back(corners[i]);
    }
    return part;
}

} // namespace tools
