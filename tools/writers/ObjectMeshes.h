// Meshes of the sample city's objects (buildings, a bridge, trees, stones,
// a lamp post, a bench, a wheel, a pedestrian and the HUD arrow), built from
// boxes, prisms and cones whose texture coordinates pick a region of the
// object's one texture.
#pragma once

#include "writers/MeshWriter.h"

namespace tools {

// A region of the texture: u0, v0 to u1, v1.
struct UvRect {
    float u0, v0, u1, v1;
};

// Appends geometry to frame 0 of a part (made when the part has none).
void AddTexturedBox(MeshPartData* part, const MeshVec3& min, const MeshVec3& max, const UvRect& sides,
                    const UvRect& ends);
// The four upright sides of that box only.
void AddWalls(MeshPartData* part, const MeshVec3& min, const MeshVec3& max, const UvRect& sides);
// An upright prism of n sides around (x, z) from y0 to y1 (cylinder-like for n >= 8).
void AddPrism(MeshPartData* part, float x, float z, float radius, float y0, float y1, int sides, const UvRect& uv);
// An upright cone: base circle at y0, tip at y1.
void AddCone(MeshPartData* part, float x, float z, float radius, float y0, float y1, int sides, const UvRect& uv);
// A prism lying along x (a wheel) centred on the origin.
void AddWheelDisc(MeshPartData* part, float radius, float width, int sides, const UvRect& tread, const UvRect& rim);

MeshData BuildingMesh(float width, float depth, float height);
// A building with a lit shop sign (part 2) over its front (the -z side).
MeshData ShopBuildingMesh(float width, float depth, float height);
MeshData BridgeMesh(float length, float width, float height);
// Kinds 1..4 (conifer, broadleaf, poplar, bush) at a scale.
MeshData TreeMesh(int kind, float scale);
// Kinds 1..4 of rough rock at a scale.
MeshData StoneMesh(int kind, float scale);
MeshData LampPostMesh();
MeshData BenchMesh();
MeshData WheelMesh();
MeshData HumanMesh();
MeshData ArrowMesh();

} // namespace tools
