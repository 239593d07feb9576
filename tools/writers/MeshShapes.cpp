// Simple shapes and the sample meshes of the city.
#include "writers/MeshWriter.h"

namespace tools {

namespace {

MeshVec3 Sub(const MeshVec3& a, const MeshVec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

MeshVec3 Cross(const MeshVec3& a, const MeshVec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

float Dot(const MeshVec3& a, const MeshVec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Appends a quad as two triangles whose corners run counter-clockwise seen
// from the side the normal points to: the game culls clockwise triangles
// (D3DCULL_CW), so these are its front faces.
void AddQuad(MeshPartData* part, const MeshVec3 (&corners)[4], const MeshVec3& normal)
{
    std::vector<MeshFileVertex>& frame = part->frames[0];
    const auto base = static_cast<std::uint16_t>(frame.size());
    const float uv[4][2] = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
    for (int i = 0; i < 4; ++i)
        frame.push_back({corners[i], normal, uv[i][0], uv[i][1]});
    const bool forward = Dot(Cross(Sub(corners[1], corners[0]), Sub(corners[2], corners[0])), normal) > 0.0f;
    const std::uint16_t order[2][6] = {{0, 1, 2, 0, 2, 3}, {0, 2, 1, 0, 3, 2}};
    for (std::uint16_t i : order[forward ? 1 : 0])
        part->indices.push_back(static_cast<std::uint16_t>(base + i));
}

// A box part with several frames, one per box.
MeshPartData BoxFrames(const std::vector<std::pair<MeshVec3, MeshVec3>>& boxes)
{
    MeshPartData part;
    for (const auto& box : boxes) {
        MeshPartData one = BoxPart(box.first, box.second);
        part.frames.push_back(one.frames[0]);
        part.indices = one.indices;
    }
    return part;
}

MeshData SampleBuilding()
{
    MeshData mesh;
    const MeshPartData box = BoxPart({-5, 0, -5}, {5, 20, 5});
    for (int part : {0, 1, 12})
        mesh.parts[part] = box;
    mesh.parts[10] = ClosedBoxPart({-5, 0, -5}, {5, 20, 5});
    return mesh;
}

MeshData SampleGroundTile()
{
    MeshData mesh;
    mesh.parts[0] = GroundPart(50.0f);
    mesh.parts[12] = mesh.parts[0];
    return mesh;
}

MeshData SampleCarBody()
{
    MeshData mesh;
    const MeshVec3 bodyMin{-0.9f, 0.3f, -2.2f}, bodyMax{0.9f, 1.1f, 2.2f};
    mesh.parts[0] = BoxPart(bodyMin, bodyMax);
    mesh.parts[3] = BoxPart({-0.8f, 1.1f, -1.0f}, {0.8f, 1.5f, 0.8f});  // glass
    mesh.parts[4] = BoxPart({-0.9f, 0.3f, 2.2f}, {0.9f, 0.5f, 2.35f});  // chrome bumper
    mesh.parts[11] = BoxPart(bodyMin, bodyMax);                         // shadow
    mesh.parts[12] = BoxPart(bodyMin, bodyMax);                         // collision
    mesh.parts[15] = BoxPart(bodyMin, bodyMax);                         // physics box
    std::vector<std::pair<MeshVec3, MeshVec3>> wheels;                  // physics cylinders
    for (float x : {-0.9f, 0.7f})
        for (float z : {-1.6f, 1.3f})
            wheels.push_back({{x, 0.0f, z}, {x + 0.2f, 0.6f, z + 0.6f}});
    mesh.parts[13] = BoxFrames(wheels);
    mesh.parts[0].points = {{0.0f, 1.2f, 0.3f}};                        // in-car camera
    mesh.parts[1].points = {{-0.6f, 0.7f, 2.25f}, {0.6f, 0.7f, 2.25f}}; // head lamps
    mesh.parts[2].points = {{-0.6f, 0.8f, -2.25f}, {0.6f, 0.8f, -2.25f}}; // rear lamps
    mesh.parts[3].points = {{-0.85f, 0.6f, 2.25f}, {0.85f, 0.6f, 2.25f}}; // indicators
    mesh.parts[8].points = {{0.0f, 0.6f, 0.0f}};                        // body centre
    return mesh;
}

} // namespace

MeshPartData BoxPart(const MeshVec3& min, const MeshVec3& max)
{
    MeshPartData part;
    part.frames.resize(1);
    for (int axis = 0; axis < 3; ++axis) {
        const int b = (axis + 1) % 3, c = (axis + 2) % 3;
        for (int side = 0; side < 2; ++side) {
            MeshVec3 normal{0, 0, 0};
            normal[axis] = side ? 1.0f : -1.0f;
            const int steps[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
            MeshVec3 corners[4];
            for (int i = 0; i < 4; ++i) {
                corners[i][axis] = side ? max[axis] : min[axis];
                corners[i][b] = steps[i][0] ? max[b] : min[b];
                corners[i][c] = steps[i][1] ? max[c] : min[c];
            }
            AddQuad(&part, corners, normal);
        }
    }
    return part;
}

MeshPartData GroundPart(float edge)
{
    MeshPartData part;
    part.frames.resize(1);
    const float h = edge * 0.5f;
    const MeshVec3 corners[4] = {{-h, 0, -h}, {-h, 0, h}, {h, 0, h}, {h, 0, -h}};
    AddQuad(&part, corners, {0, 1, 0});
    return part;
}

std::vector<NamedMesh> SampleMeshes()
{
    return {
        {"Data/Buildings/Box01.msh", SampleBuilding()},
        {"Data/Ground/Tile01.msh", SampleGroundTile()},
        {"Data/Vehicles/01/Body.msh", SampleCarBody()},
    };
}

} // namespace tools
