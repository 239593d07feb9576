// Meshes of the sample city's objects.
#include "writers/ObjectMeshes.h"

#include <cmath>

namespace tools {

namespace {

constexpr float kPi = 3.14159265f;

MeshVec3 Sub(const MeshVec3& a, const MeshVec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

MeshVec3 Cross(const MeshVec3& a, const MeshVec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

float Dot(const MeshVec3& a, const MeshVec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

MeshVec3 Normalised(const MeshVec3& v)
{
    const float length = std::sqrt(Dot(v, v));
    return length > 0.0f ? MeshVec3{v[0] / length, v[1] / length, v[2] / length} : MeshVec3{0, 1, 0};
}

struct Corner {
    MeshVec3 p;
    float u, v;
};

// One flat triangle facing away from the inside point. The game culls
// clockwise triangles (D3DCULL_CW), so a face is wound counter-clockwise as
// seen from outside: (b - a) x (c - a) points inwards in the left-handed frame.
void AddTriangle(MeshPartData* part, Corner a, Corner b, Corner c, const MeshVec3& inside)
{
    if (part->frames.empty())
        part->frames.resize(1);
    MeshVec3 normal = Normalised(Cross(Sub(b.p, a.p), Sub(c.p, a.p)));
    const MeshVec3 centre{(a.p[0] + b.p[0] + c.p[0]) / 3, (a.p[1] + b.p[1] + c.p[1]) / 3, (a.p[2] + b.p[2] + c.p[2]) / 3};
    if (Dot(normal, Sub(centre, inside)) > 0.0f)
        std::swap(b, c);
    else
        normal = {-normal[0], -normal[1], -normal[2]};
    std::vector<MeshFileVertex>& frame = part->frames[0];
    for (const Corner& k : {a, b, c}) {
        part->indices.push_back(static_cast<std::uint16_t>(frame.size()));
        frame.push_back({k.p, normal, k.u, k.v});
    }
}

void AddQuad(MeshPartData* part, const Corner (&q)[4], const MeshVec3& inside)
{
    AddTriangle(part, q[0], q[1], q[2], inside);
    AddTriangle(part, q[0], q[2], q[3], inside);
}

MeshVec3 Scaled(const MeshVec3& v, float s) { return {v[0] * s, v[1] * s, v[2] * s}; }

// A part of one frame that is the box from min to max (physics primitives,
// occluders, shadows and collision hulls).
MeshPartData PlainBox(const MeshVec3& min, const MeshVec3& max)
{
    return BoxPart(min, max);
}

void AddFrame(MeshPartData* part, const MeshPartData& box)
{
    part->frames.push_back(box.frames[0]);
    part->indices = box.indices;
}

// Parts 0 and 12 of a small object share the shape; points for a physics centre.
void CopyToCollision(MeshData* mesh)
{
    mesh->parts[12].frames = mesh->parts[0].frames;
    mesh->parts[12].indices = mesh->parts[0].indices;
}

} // namespace

void AddWalls(MeshPartData* part, const MeshVec3& min, const MeshVec3& max, const UvRect& sides)
{
    const MeshVec3 inside{(min[0] + max[0]) / 2, (min[1] + max[1]) / 2, (min[2] + max[2]) / 2};
    // u runs to the viewer's right, v from the top down.
    const float x[4] = {min[0], max[0], max[0], min[0]};
    const float z[4] = {min[2], min[2], max[2], max[2]};
    for (int i = 0; i < 4; ++i) {
        const int j = (i + 1) % 4;
        const Corner q[4] = {{{x[i], min[1], z[i]}, sides.u0, sides.v1},
                             {{x[j], min[1], z[j]}, sides.u1, sides.v1},
                             {{x[j], max[1], z[j]}, sides.u1, sides.v0},
                             {{x[i], max[1], z[i]}, sides.u0, sides.v0}};
        AddQuad(part, q, inside);
    }
}

void AddTexturedBox(MeshPartData* part, const MeshVec3& min, const MeshVec3& max, const UvRect& sides,
                    const UvRect& ends)
{
    const MeshVec3 inside{(min[0] + max[0]) / 2, (min[1] + max[1]) / 2, (min[2] + max[2]) / 2};
    AddWalls(part, min, max, sides);
    for (float y : {min[1], max[1]}) {
        const Corner q[4] = {{{min[0], y, min[2]}, ends.u0, ends.v1},
                             {{max[0], y, min[2]}, ends.u1, ends.v1},
                             {{max[0], y, max[2]}, ends.u1, ends.v0},
                             {{min[0], y, max[2]}, ends.u0, ends.v0}};
        AddQuad(part, q, inside);
    }
}

void AddPrism(MeshPartData* part, float x, float z, float radius, float y0, float y1, int sides, const UvRect& uv)
{
    const MeshVec3 inside{x, (y0 + y1) / 2, z};
    for (int i = 0; i < sides; ++i) {
        const float a0 = 2 * kPi * i / sides, a1 = 2 * kPi * (i + 1) / sides;
        const float s0 = uv.u0 + (uv.u1 - uv.u0) * i / sides, s1 = uv.u0 + (uv.u1 - uv.u0) * (i + 1) / sides;
        const MeshVec3 p0{x + radius * std::cos(a0), y0, z + radius * std::sin(a0)};
        const MeshVec3 p1{x + radius * std::cos(a1), y0, z + radius * std::sin(a1)};
        const Corner q[4] = {{p0, s0, uv.v1},
                             {p1, s1, uv.v1},
                             {{p1[0], y1, p1[2]}, s1, uv.v0},
                             {{p0[0], y1, p0[2]}, s0, uv.v0}};
        AddQuad(part, q, inside);
        const float um = (uv.u0 + uv.u1) / 2;
        AddTriangle(part, {{x, y1, z}, um, uv.v0}, {q[3].p, s0, uv.v0}, {q[2].p, s1, uv.v0}, inside);
    }
}

void AddCone(MeshPartData* part, float x, float z, float radius, float y0, float y1, int sides, const UvRect& uv)
{
    const MeshVec3 inside{x, (y0 + y1) / 2, z};
    const float um = (uv.u0 + uv.u1) / 2;
    for (int i = 0; i < sides; ++i) {
        const float a0 = 2 * kPi * i / sides, a1 = 2 * kPi * (i + 1) / sides;
        const float s0 = uv.u0 + (uv.u1 - uv.u0) * i / sides, s1 = uv.u0 + (uv.u1 - uv.u0) * (i + 1) / sides;
        const Corner b0{{x + radius * std::cos(a0), y0, z + radius * std::sin(a0)}, s0, uv.v1};
        const Corner b1{{x + radius * std::cos(a1), y0, z + radius * std::sin(a1)}, s1, uv.v1};
        AddTriangle(part, b0, b1, {{x, y1, z}, (s0 + s1) / 2, uv.v0}, inside);
        AddTriangle(part, b0, b1, {{x, y0, z}, um, uv.v1}, {x, y1, z});
    }
}

void AddWheelDisc(MeshPartData* part, float radius, float width, int sides, const UvRect& tread, const UvRect& rim)
{
    const MeshVec3 inside{0, 0, 0};
    const float h = width / 2;
    const float ru = (rim.u1 - rim.u0) / 2, rv = (rim.v1 - rim.v0) / 2;
    const float cu = rim.u0 + ru, cv = rim.v0 + rv;
    for (int i = 0; i < sides; ++i) {
        const float a0 = 2 * kPi * i / sides, a1 = 2 * kPi * (i + 1) / sides;
        const float y0 = radius * std::cos(a0), z0 = radius * std::sin(a0);
        const float y1 = radius * std::cos(a1), z1 = radius * std::sin(a1);
        const float s0 = tread.u0 + (tread.u1 - tread.u0) * i / sides;
        const float s1 = tread.u0 + (tread.u1 - tread.u0) * (i + 1) / sides;
        const Corner q[4] = {{{-h, y0, z0}, s0, tread.v1},
                             {{-h, y1, z1}, s1, tread.v1},
                             {{h, y1, z1}, s1, tread.v0},
                             {{h, y0, z0}, s0, tread.v0}};
        AddQuad(part, q, inside);
        for (float side : {-h, h}) {
            AddTriangle(part, {{side, 0, 0}, cu, cv}, {{side, y0, z0}, cu + ru * std::cos(a0), cv + rv * std::sin(a0)},
                        {{side, y1, z1}, cu + ru * std::cos(a1), cv + rv * std::sin(a1)}, inside);
        }
    }
}

MeshData BuildingMesh(float width, float depth, float height)
{
    MeshData mesh;
    const float w = width / 2, d = depth / 2;
    const UvRect facade{0.0f, 0.0f, 1.0f, 1.0f};
    // The roof takes a corner of the wall between the windows.
    const UvRect roof{0.0f, 0.0f, 0.02f, 0.01f};
    AddTexturedBox(&mesh.parts[0], {-w, 0, -d}, {w, height, d}, facade, roof);
    // A parapet around the roof edge and a plinth give the block an outline.
    AddTexturedBox(&mesh.parts[0], {-w - 0.2f, height, -d - 0.2f}, {w + 0.2f, height + 0.6f, d + 0.2f}, roof, roof);
    AddTexturedBox(&mesh.parts[0], {-w - 0.15f, 0, -d - 0.15f}, {w + 0.15f, 0.8f, d + 0.15f}, roof, roof);
    AddTexturedBox(&mesh.parts[1], {-w, 0, -d}, {w, height + 0.6f, d}, facade, roof);
    mesh.parts[10] = ClosedBoxPart({-w, 0, -d}, {w, height, d});
    mesh.parts[12] = PlainBox({-w - 0.2f, 0, -d - 0.2f}, {w + 0.2f, height + 0.6f, d + 0.2f});
    // The window lights sit just in front of the walls.
    AddWalls(&mesh.parts[5], {-w - 0.05f, 0, -d - 0.05f}, {w + 0.05f, height, d + 0.05f}, facade);
    return mesh;
}

MeshData ShopBuildingMesh(float width, float depth, float height)
{
    MeshData mesh = BuildingMesh(width, depth, height);
    const float w = width / 2, d = depth / 2;
    AddTexturedBox(&mesh.parts[2], {-w * 0.6f, 3.2f, -d - 0.3f}, {w * 0.6f, 4.2f, -d - 0.05f}, {0.0f, 0.0f, 1.0f, 1.0f},
                   {0.0f, 0.0f, 0.05f, 0.05f});
    return mesh;
}

MeshData BridgeMesh(float length, float width, float height)
{
    MeshData mesh;
    const float l = length / 2, w = width / 2;
    const UvRect concrete{0.0f, 0.0f, 0.5f, 1.0f};
    const UvRect asphalt{0.5f, 0.0f, 1.0f, 1.0f};
    AddTexturedBox(&mesh.parts[0], {-w, height - 1.0f, -l}, {w, height, l}, concrete, asphalt);
    for (float x : {-w, w - 0.3f})
        AddTexturedBox(&mesh.parts[0], {x, height, -l}, {x + 0.3f, height + 1.0f, l}, concrete, concrete);
    for (float z : {-l / 2, l / 2})
        AddTexturedBox(&mesh.parts[0], {-w + 1.0f, 0, z - 1.0f}, {w - 1.0f, height - 1.0f, z + 1.0f}, concrete,
                       concrete);
    AddTexturedBox(&mesh.parts[1], {-w, height - 1.0f, -l}, {w, height + 1.0f, l}, concrete, asphalt);
    mesh.parts[12] = PlainBox({-w, height - 1.0f, -l}, {w, height, l});
    return mesh;
}

MeshData TreeMesh(int kind, float scale)
{
    MeshData mesh;
    MeshPartData& part = mesh.parts[0];
    const UvRect bark{0.0f, 0.0f, 0.25f, 1.0f};
    const UvRect leaves{0.25f, 0.0f, 1.0f, 1.0f};
    const float s = scale;
    switch (kind) {
    case 1: // conifer: three stacked cones
        AddPrism(&part, 0, 0, 0.2f * s, 0, 1.4f * s, 6, bark);
        AddCone(&part, 0, 0, 1.7f * s, 1.0f * s, 3.4f * s, 10, leaves);
        AddCone(&part, 0, 0, 1.3f * s, 2.4f * s, 4.6f * s, 10, leaves);
        AddCone(&part, 0, 0, 0.9f * s, 3.6f * s, 5.8f * s, 10, leaves);
        break;
    case 2: // broadleaf: a round crown on a trunk
        AddPrism(&part, 0, 0, 0.25f * s, 0, 2.6f * s, 6, bark);
        AddPrism(&part, 0, 0, 2.2f * s, 3.0f * s, 4.4f * s, 12, leaves);
        AddCone(&part, 0, 0, 2.2f * s, 4.4f * s, 6.3f * s, 12, leaves);
        AddCone(&part, 0, 0, 2.2f * s, 3.0f * s, 2.0f * s, 12, leaves);
        break;
    case 3: // poplar: tall and narrow
        AddPrism(&part, 0, 0, 0.2f * s, 0, 1.6f * s, 6, bark);
        AddCone(&part, 0, 0, 1.0f * s, 2.2f * s, 8.0f * s, 10, leaves);
        AddCone(&part, 0, 0, 1.0f * s, 2.2f * s, 1.2f * s, 10, leaves);
        break;
    default: // bush
        AddCone(&part, 0, 0, 1.4f * s, 0.8f * s, 2.0f * s, 9, leaves);
        AddCone(&part, 0, 0, 1.4f * s, 0.8f * s, 0.0f, 9, leaves);
        break;
    }
    const float crown = kind == 4 ? 1.0f : kind == 3 ? 4.5f : 3.5f;
    for (int i = 0; i < 6; ++i) {
        const float a = 2 * kPi * i / 6;
        mesh.parts[8].points.push_back(Scaled({std::cos(a) * 1.2f, crown + 0.3f * (i % 3), std::sin(a) * 1.2f}, s));
    }
    if (kind == 4)
        mesh.parts[12] = PlainBox(Scaled({-0.8f, 0, -0.8f}, s), Scaled({0.8f, 1.6f, 0.8f}, s));
    else
        mesh.parts[12] = PlainBox(Scaled({-0.3f, 0, -0.3f}, s), Scaled({0.3f, 3.0f, 0.3f}, s));
    return mesh;
}

MeshData StoneMesh(int kind, float scale)
{
    MeshData mesh;
    MeshPartData& part = mesh.parts[0];
    const int n = 6 + kind;
    const MeshVec3 top{0.08f * kind * scale, (0.75f + 0.05f * kind) * scale, 0};
    const MeshVec3 bottom{0, -0.25f * scale, 0};
    const MeshVec3 inside{0, 0.3f * scale, 0};
    // A wide lower ring and a narrower upper one make a boulder half sunk in
    // the ground; a fixed pattern of bulges per kind keeps a kind's stones alike.
    std::vector<MeshVec3> lower, upper;
    for (int i = 0; i < n; ++i) {
        const float a = 2 * kPi * i / n;
        const float r = (0.85f + 0.2f * std::sin(3.0f * a + kind) + 0.1f * ((i * 7 + kind) % 3)) * scale;
        lower.push_back({r * std::cos(a), (0.1f + 0.05f * ((i + kind) % 3)) * scale, r * std::sin(a) * 0.85f});
        const float b = a + kPi / n;
        upper.push_back({0.65f * r * std::cos(b), (0.5f + 0.06f * ((i + 2 * kind) % 3)) * scale,
                         0.65f * r * std::sin(b) * 0.85f});
    }
    for (int i = 0; i < n; ++i) {
        const int k = (i + 1) % n;
        const float u0 = static_cast<float>(i) / n, u1 = static_cast<float>(i + 1) / n;
        AddTriangle(&part, {lower[i], u0, 0.6f}, {lower[k], u1, 0.6f}, {upper[i], (u0 + u1) / 2, 0.3f}, inside);
        AddTriangle(&part, {upper[i], u0, 0.3f}, {upper[k], u1, 0.3f}, {lower[k], u1, 0.6f}, inside);
        AddTriangle(&part, {upper[i], u0, 0.3f}, {upper[k], u1, 0.3f}, {top, (u0 + u1) / 2, 0.0f}, inside);
        AddTriangle(&part, {lower[i], u0, 0.6f}, {lower[k], u1, 0.6f}, {bottom, (u0 + u1) / 2, 1.0f}, inside);
    }
    CopyToCollision(&mesh);
    return mesh;
}

MeshData LampPostMesh()
{
    MeshData mesh;
    MeshPartData& part = mesh.parts[0];
    const UvRect metal{0.0f, 0.0f, 0.5f, 1.0f};
    const UvRect glass{0.5f, 0.0f, 1.0f, 1.0f};
    AddPrism(&part, 0, 0, 0.16f, 0, 0.5f, 8, metal);
    AddPrism(&part, 0, 0, 0.08f, 0.5f, 5.0f, 8, metal);
    AddTexturedBox(&part, {-0.05f, 4.85f, -0.05f}, {1.25f, 4.95f, 0.05f}, metal, metal);
    AddTexturedBox(&part, {0.95f, 4.7f, -0.22f}, {1.45f, 4.9f, 0.22f}, metal, metal);
    AddTexturedBox(&part, {1.0f, 4.55f, -0.18f}, {1.4f, 4.7f, 0.18f}, glass, glass);
    const MeshVec3 lamp{1.2f, 4.5f, 0.0f};
    mesh.parts[1].points = {lamp};
    // The lamp's light, and the cone from it down to the pavement.
    mesh.parts[3].points = {lamp, {1.2f, 0.0f, 0.0f}};
    mesh.parts[8].points = {{0.0f, 2.5f, 0.0f}};
    mesh.parts[11] = PlainBox({-0.1f, 0, -0.1f}, {0.1f, 5.0f, 0.1f});
    mesh.parts[12] = PlainBox({-0.16f, 0, -0.16f}, {0.16f, 5.0f, 0.16f});
    AddFrame(&mesh.parts[13], PlainBox({-0.1f, 0, -0.1f}, {0.1f, 5.0f, 0.1f}));
    AddFrame(&mesh.parts[15], PlainBox({0.95f, 4.55f, -0.22f}, {1.45f, 4.9f, 0.22f}));
    return mesh;
}

MeshData BenchMesh()
{
    MeshData mesh;
    MeshPartData& part = mesh.parts[0];
    const UvRect wood{0.0f, 0.0f, 0.5f, 1.0f};
    const UvRect iron{0.5f, 0.0f, 1.0f, 1.0f};
    AddTexturedBox(&part, {-0.9f, 0.42f, -0.22f}, {0.9f, 0.48f, 0.2f}, wood, wood);
    AddTexturedBox(&part, {-0.9f, 0.55f, 0.16f}, {0.9f, 0.9f, 0.21f}, wood, wood);
    for (float x : {-0.8f, 0.75f}) {
        AddTexturedBox(&part, {x, 0, -0.2f}, {x + 0.05f, 0.42f, -0.15f}, iron, iron);
        AddTexturedBox(&part, {x, 0, 0.15f}, {x + 0.05f, 0.9f, 0.2f}, iron, iron);
    }
    mesh.parts[8].points = {{0.0f, 0.45f, 0.0f}};
    mesh.parts[11] = PlainBox({-0.9f, 0, -0.22f}, {0.9f, 0.48f, 0.2f});
    mesh.parts[12] = PlainBox({-0.9f, 0, -0.22f}, {0.9f, 0.9f, 0.21f});
    AddFrame(&mesh.parts[15], PlainBox({-0.9f, 0, -0.22f}, {0.9f, 0.48f, 0.2f}));
    AddFrame(&mesh.parts[15], PlainBox({-0.9f, 0.48f, 0.15f}, {0.9f, 0.9f, 0.21f}));
    return mesh;
}

MeshData WheelMesh()
{
    MeshData mesh;
    AddWheelDisc(&mesh.parts[0], 0.33f, 0.24f, 14, {0.0f, 0.0f, 0.5f, 1.0f}, {0.5f, 0.0f, 1.0f, 1.0f});
    return mesh;
}

// The HUD arrow floats half a unit in front of the eye, above the view's
// centre, turning to face wherever the route goes: it is kept small enough
// that no heading takes it through the near plane or across the screen.
MeshData ArrowMesh()
{
    MeshData mesh;
    MeshPartData& part = mesh.parts[0];
    const UvRect plain{0.0f, 0.0f, 1.0f, 1.0f};
    const float k = 0.18f; // the model's own unit: the head is 0.8 k across
    const float thick = 0.05f * k;
    AddTexturedBox(&part, {-0.15f * k, -thick, -0.6f * k}, {0.15f * k, thick, 0.1f * k}, plain, plain);
    const MeshVec3 inside{0, 0, 0.3f * k};
    const MeshVec3 tip{0, 0, 0.7f * k}, left{-0.4f * k, 0, 0.1f * k}, right{0.4f * k, 0, 0.1f * k};
    for (float y : {-thick, thick})
        AddTriangle(&part, {{left[0], y, left[2]}, 0, 1}, {{right[0], y, right[2]}, 1, 1}, {{0, y, tip[2]}, 0.5f, 0},
                    inside);
    const MeshVec3 edges[3][2] = {{left, tip}, {tip, right}, {right, left}};
    for (const auto& e : edges) {
        const Corner q[4] = {{{e[0][0], -thick, e[0][2]}, 0, 1},
                             {{e[1][0], -thick, e[1][2]}, 1, 1},
                             {{e[1][0], thick, e[1][2]}, 1, 0},
                             {{e[0][0], thick, e[0][2]}, 0, 0}};
        AddQuad(&part, q, inside);
    }
    // Part 2: the glowing top of the head, drawn by the self-illumination pass.
    const float glow = 1.1f * thick;
    AddTriangle(&mesh.parts[2], {{left[0], glow, left[2]}, 0, 1}, {{right[0], glow, right[2]}, 1, 1},
                {{0, glow, tip[2]}, 0.5f, 0}, inside);
    return mesh;
}

} // namespace tools
