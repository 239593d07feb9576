// The sample cars. Every model is a lower body, a cabin, bumpers, a trim
// strip, glass and lamps, sized by its own table row; the same boxes make
// the drawn mesh and the deformable body, whose texture maps the side view
// (windows above, doors, sill and lamps below) onto both flanks.
#include "writers/VehicleModels.h"

#include "writers/MeshWriter.h"
#include "writers/ObjectMeshes.h"
#include "writers/ObjectTextures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tools {

namespace {

std::string Number(float v)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", static_cast<double>(v));
    return text;
}

std::string Folder(int model)
{
    char text[32];
    std::snprintf(text, sizeof(text), "Data/Vehicles/%02d/", model);
    return text;
}

const char kWheels[] = "Data/Vehicles/Wheels/";
const char kCommon[] = "Data/Vehicles/Common/";

// One model's shape and figures.
struct CarModel {
    const char* name;
    float length, width, sill, beltline, roof; // body from sill to beltline, cabin to the roof
    float cabinFront, cabinBack;              // cabin z range as fractions of the half length
    int wheel;                                // wheel size 1..4
    float wheelbase;                          // fraction of the half length
    float mass, power, transmission, handling, frontGrip, rearGrip;
    int driveFront, driveRear;
    float stiffness, damping;
    int paintRange, paintRange2;
    std::uint32_t tone; // the body texture's base tone
};

// The player's first car (02) is the cheapest: about 8,700 new, so the
// damage it starts with costs less to repair than the starting money, while
// every other model (10,500 to 20,000) has to be earned before a trade.
const CarModel kModels[8] = {
    {"Galant S500", 4.2f, 1.7f, 0.30f, 0.95f, 1.45f, 0.35f, -0.55f, 1, 0.70f, 950.0f, 3100.0f, 1.2f, 1.1f, 1.1f,
     1.1f, 1, 0, 18.0f, 2.2f, 255, 200, 0xFFE8E8E8u},
    {"Clio NSX", 3.8f, 1.65f, 0.28f, 0.90f, 1.40f, 0.30f, -0.50f, 1, 0.68f, 900.0f, 2760.0f, 1.1f, 1.0f, 1.05f,
     1.05f, 1, 0, 20.0f, 2.3f, 230, 255, 0xFFF0ECE0u},
    {"Rover H1200", 4.8f, 1.9f, 0.40f, 1.15f, 1.85f, 0.40f, -0.75f, 3, 0.72f, 1700.0f, 3300.0f, 1.2f, 0.95f,
     1.1f, 1.1f, 1, 1, 24.0f, 2.8f, 180, 255, 0xFFDCDCD0u},
    {"Cosmo R200", 4.4f, 1.75f, 0.28f, 0.90f, 1.38f, 0.25f, -0.60f, 2, 0.72f, 1150.0f, 3200.0f, 1.2f, 1.1f, 1.1f,
     1.15f, 0, 1, 22.0f, 2.4f, 255, 255, 0xFFE4E4EAu},
    {"Thunder-1960", 5.0f, 1.9f, 0.32f, 0.95f, 1.42f, 0.20f, -0.70f, 3, 0.70f, 1600.0f, 3400.0f, 1.2f, 0.95f,
     1.15f, 1.2f, 0, 1, 20.0f, 2.6f, 255, 160, 0xFFEEE6D8u},
    {"Accord Z8", 4.7f, 1.8f, 0.30f, 0.92f, 1.40f, 0.30f, -0.60f, 2, 0.72f, 1400.0f, 3300.0f, 1.3f, 1.15f, 1.2f,
     1.25f, 1, 1, 24.0f, 2.6f, 220, 255, 0xFFE0E0E0u},
    {"Alpha GRX8", 4.5f, 1.85f, 0.24f, 0.80f, 1.20f, 0.15f, -0.45f, 4, 0.74f, 1250.0f, 3600.0f, 1.5f, 1.3f, 1.35f,
     1.4f, 0, 1, 28.0f, 3.0f, 255, 255, 0xFFF4F4F4u},
    {"Uber Atom-2000", 4.6f, 1.95f, 0.22f, 0.78f, 1.15f, 0.10f, -0.40f, 4, 0.76f, 1100.0f, 4000.0f, 1.7f, 1.45f,
     1.45f, 1.5f, 0, 1, 30.0f, 3.2f, 255, 255, 0xFFF8F8F8u},
};

const float kWheelRadius[4] = {0.30f, 0.33f, 0.37f, 0.40f};
const float kWheelWidth[4] = {0.20f, 0.22f, 0.26f, 0.28f};

struct Box {
    float min[3], max[3];
};

// Texture regions of the body texture (256 x 128): the top half is the
// cabin's side with its windows, the bottom half the lower body's side
// with the head lamp at the right (front) end and the tail lamp at the left.
struct Uv {
    float u0, v0, u1, v1;
};
const Uv kCabinSide{0.0f, 0.0f, 1.0f, 0.5f};
const Uv kBodySide{0.0f, 0.5f, 1.0f, 1.0f};
const Uv kFront{0.90f, 0.55f, 1.0f, 0.85f};
const Uv kBack{0.0f, 0.55f, 0.10f, 0.85f};
const Uv kPlain{0.35f, 0.55f, 0.45f, 0.60f};
const Uv kWindscreen{0.25f, 0.10f, 0.45f, 0.40f};

// Per face of a box: -x, +x, -y, +y, -z, +z.
struct FaceUvs {
    Uv face[6];
};

struct Quad {
    float corners[4][3];
    float normal[3];
    float uv[4][2];
};

// The six faces of a box, corners wound clockwise seen from outside.
std::vector<Quad> BoxQuads(const Box& b, const FaceUvs& uvs)
{
    std::vector<Quad> quads;
    for (int axis = 0; axis < 3; ++axis) {
        const int p = (axis + 1) % 3, q = (axis + 2) % 3;
        for (int side = 0; side < 2; ++side) {
            Quad quad{};
            quad.normal[axis] = side ? 1.0f : -1.0f;
            const int steps[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
            for (int i = 0; i < 4; ++i) {
                quad.corners[i][axis] = side ? b.max[axis] : b.min[axis];
                quad.corners[i][p] = steps[i][0] ? b.max[p] : b.min[p];
                quad.corners[i][q] = steps[i][1] ? b.max[q] : b.min[q];
            }
            // Side faces run u along z (front to the right) and v down y.
            const Uv& r = uvs.face[axis * 2 + side];
            for (int i = 0; i < 4; ++i) {
                const float* c = quad.corners[i];
                float s = 0.0f, t = 0.0f;
                if (axis == 0) {
                    s = (c[2] - b.min[2]) / (b.max[2] - b.min[2]);
                    t = (b.max[1] - c[1]) / (b.max[1] - b.min[1]);
                } else if (axis == 2) {
                    s = (c[0] - b.min[0]) / (b.max[0] - b.min[0]);
                    t = (b.max[1] - c[1]) / (b.max[1] - b.min[1]);
                } else {
                    s = (c[0] - b.min[0]) / (b.max[0] - b.min[0]);
                    t = (c[2] - b.min[2]) / (b.max[2] - b.min[2]);
                }
                quad.uv[i][0] = r.u0 + (r.u1 - r.u0) * s;
                quad.uv[i][1] = r.v0 + (r.v1 - r.v0) * t;
            }
            // Keep the winding consistent with the outward normal.
            const float* a = quad.corners[0];
            const float* bb = quad.corners[1];
            const float* c = quad.corners[2];
            const float e1[3] = {bb[0] - a[0], bb[1] - a[1], bb[2] - a[2]};
            const float e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
            const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                e1[0] * e2[1] - e1[1] * e2[0]};
            if (n[0] * quad.normal[0] + n[1] * quad.normal[1] + n[2] * quad.normal[2] < 0.0f) {
                std::swap(quad.corners[1], quad.corners[3]);
                std::swap(quad.uv[1], quad.uv[3]);
            }
            quads.push_back(quad);
        }
    }
    return quads;
}

FaceUvs AllFaces(const Uv& uv)
{
    FaceUvs f;
    std::fill(std::begin(f.face), std::end(f.face), uv);
    return f;
}

// The boxes of one model by body group: 0 painted body and cabin, 1
// bumpers, 2 underside, 3 trim strip, 4 glass and lamps.
struct CarShape {
    std::vector<std::pair<Box, FaceUvs>> groups[5];
    Box collision;
    float halfLength, halfWidth;
};

CarShape ShapeOf(const CarModel& m)
{
    CarShape s;
    const float l = m.length / 2, w = m.width / 2;
    s.halfLength = l;
    s.halfWidth = w;
    FaceUvs body;
    body.face[0] = body.face[1] = kBodySide;
    body.face[2] = body.face[3] = kPlain;
    body.face[4] = kBack;
    body.face[5] = kFront;
    s.groups[0].push_back({{{-w, m.sill, -l + 0.1f}, {w, m.beltline, l - 0.1f}}, body});
    FaceUvs cabin;
    cabin.face[0] = cabin.face[1] = kCabinSide;
    cabin.face[2] = cabin.face[3] = kPlain;
    cabin.face[4] = cabin.face[5] = kWindscreen;
    const float cw = w - 0.08f;
    s.groups[0].push_back({{{-cw, m.beltline, m.cabinBack * l}, {cw, m.roof, m.cabinFront * l}}, cabin});
    s.groups[1].push_back({{{-w + 0.02f, m.sill, l - 0.1f}, {w - 0.02f, m.sill + 0.25f, l}}, AllFaces(kPlain)});
    s.groups[1].push_back({{{-w + 0.02f, m.sill, -l}, {w - 0.02f, m.sill + 0.25f, -l + 0.1f}}, AllFaces(kPlain)});
    s.groups[2].push_back({{{-w + 0.1f, m.sill - 0.05f, -l + 0.3f}, {w - 0.1f, m.sill, l - 0.3f}}, AllFaces(kPlain)});
    const float trim = m.sill + (m.beltline - m.sill) * 0.55f;
    s.groups[3].push_back({{{-w - 0.01f, trim, -l + 0.3f}, {w + 0.01f, trim + 0.04f, l - 0.3f}}, AllFaces(kPlain)});
    const float lamp = m.sill + (m.beltline - m.sill) * 0.7f;
    for (float x : {-w + 0.15f, w - 0.45f}) {
        s.groups[4].push_back({{{x, lamp, l - 0.1f}, {x + 0.3f, lamp + 0.12f, l - 0.08f}}, AllFaces(kFront)});
        s.groups[4].push_back({{{x, lamp, -l + 0.08f}, {x + 0.3f, lamp + 0.12f, -l + 0.1f}}, AllFaces(kBack)});
    }
    s.collision = {{-w, m.sill, -l}, {w, m.roof, l}};
    return s;
}

void AddQuadsToPart(MeshPartData* part, const std::vector<Quad>& quads)
{
    if (part->frames.empty())
        part->frames.resize(1);
    std::vector<MeshFileVertex>& frame = part->frames[0];
    for (const Quad& q : quads) {
        const auto base = static_cast<std::uint16_t>(frame.size());
        for (int i = 0; i < 4; ++i)
            frame.push_back({{q.corners[i][0], q.corners[i][1], q.corners[i][2]},
                             {q.normal[0], q.normal[1], q.normal[2]},
                             q.uv[i][0],
                             q.uv[i][1]});
        for (int i : {0, 1, 2, 0, 2, 3})
            part->indices.push_back(static_cast<std::uint16_t>(base + i));
    }
}

// The undamaged look of a vertex of each group (the alpha the dents drive).
const std::uint32_t kGroupColour[5] = {0x00FFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0x00FFFFFFu, 0xFFFFFFFFu};

BodyData BodyOf(const CarShape& shape)
{
    BodyData body;
    for (int g = 0; g < 5; ++g) {
        for (const auto& [box, uvs] : shape.groups[g]) {
            for (const Quad& q : BoxQuads(box, uvs)) {
                const auto base = static_cast<std::uint16_t>(body.groups[g].size());
                for (int i = 0; i < 4; ++i) {
                    BodyVertex v{};
                    std::memcpy(v.position, q.corners[i], sizeof(v.position));
                    std::memcpy(v.normal, q.normal, sizeof(v.normal));
                    v.colour = kGroupColour[g];
                    v.u = q.uv[i][0];
                    v.v = q.uv[i][1];
                    body.groups[g].push_back(v);
                }
                for (int i : {0, 1, 2, 0, 2, 3})
                    body.indices[g].push_back(static_cast<std::uint16_t>(base + i));
            }
        }
    }
    return body;
}

MeshData MeshOf(const CarModel& m, const CarShape& shape)
{
    MeshData mesh;
    // Body and underside drawn plain, lamps in part 1, the glass effect's
    // windows around the cabin in part 3, the chrome of bumpers and trim in
    // part 4.
    for (int g : {0, 2})
        for (const auto& [box, uvs] : shape.groups[g])
            AddQuadsToPart(&mesh.parts[0], BoxQuads(box, uvs));
    for (const auto& [box, uvs] : shape.groups[4])
        AddQuadsToPart(&mesh.parts[1], BoxQuads(box, uvs));
    for (int g : {1, 3})
        for (const auto& [box, uvs] : shape.groups[g])
            AddQuadsToPart(&mesh.parts[4], BoxQuads(box, uvs));
    const float l = shape.halfLength, w = shape.halfWidth;
    const Box& cabin = shape.groups[0][1].first;
    const Box glass{{cabin.min[0] - 0.01f, m.beltline + 0.06f, cabin.min[2] - 0.01f},
                    {cabin.max[0] + 0.01f, m.roof - 0.06f, cabin.max[2] + 0.01f}};
    AddQuadsToPart(&mesh.parts[3], BoxQuads(glass, AllFaces(kWindscreen)));
    const float lamp = m.sill + (m.beltline - m.sill) * 0.7f + 0.06f;
    mesh.parts[0].points = {{0.0f, m.beltline + 0.25f, (m.cabinFront + m.cabinBack) * l * 0.5f}};
    mesh.parts[1].points = {{-w + 0.3f, lamp, l}, {w - 0.3f, lamp, l}};   // head lamps
    mesh.parts[2].points = {{-w + 0.3f, lamp, -l}, {w - 0.3f, lamp, -l}}; // tail lamps
    mesh.parts[3].points = {{-w, lamp, l - 0.2f}, {w, lamp, l - 0.2f}, {-w, lamp, -l + 0.2f}, {w, lamp, -l + 0.2f}};
    // The engine, then the two flashers on the roof.
    mesh.parts[4].points = {{0.0f, m.sill + 0.3f, m.driveRear && !m.driveFront ? -l * 0.6f : l * 0.6f},
                            {-0.3f, m.roof + 0.05f, 0.0f},
                            {0.3f, m.roof + 0.05f, 0.0f}};
    // Hubs front-left, front-right, rear-left, rear-right, then the point
    // above them that sets the suspension's rest length.
    const float r = kWheelRadius[m.wheel - 1];
    const float zf = l * m.wheelbase, hx = w - kWheelWidth[m.wheel - 1] / 2;
    mesh.parts[8].points = {{-hx, r, zf}, {hx, r, zf}, {-hx, r, -zf}, {hx, r, -zf}, {0.0f, r + r + 0.5f, 0.0f}};
    mesh.parts[11] = BoxPart({-w, 0.0f, -l}, {w, 0.05f, l});
    const Box& c = shape.collision;
    mesh.parts[12] = BoxPart({c.min[0], c.min[1], c.min[2]}, {c.max[0], c.max[1], c.max[2]});
    return mesh;
}

MeshData WheelMeshOf(int size)
{
    MeshData mesh;
    const float r = kWheelRadius[size - 1], wdt = kWheelWidth[size - 1];
    AddWheelDisc(&mesh.parts[0], r, wdt, 16, {0.0f, 0.0f, 0.5f, 1.0f}, {0.5f, 0.0f, 1.0f, 1.0f});
    AddWheelDisc(&mesh.parts[1], r * 0.65f, wdt + 0.01f, 12, {0.5f, 0.0f, 1.0f, 1.0f}, {0.5f, 0.0f, 1.0f, 1.0f});
    AddWheelDisc(&mesh.parts[2], r * 0.2f, wdt + 0.02f, 8, {0.5f, 0.0f, 1.0f, 1.0f}, {0.5f, 0.0f, 1.0f, 1.0f});
    // The chrome of the rim, drawn by the chrome effect.
    AddWheelDisc(&mesh.parts[4], r * 0.55f, wdt + 0.015f, 12, {0.5f, 0.0f, 1.0f, 1.0f}, {0.5f, 0.0f, 1.0f, 1.0f});
    return mesh;
}

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, float t)
{
    std::uint32_t out = 0xFF000000u;
    for (int shift : {0, 8, 16}) {
        const float ca = static_cast<float>((a >> shift) & 0xFF), cb = static_cast<float>((b >> shift) & 0xFF);
        out |= static_cast<std::uint32_t>(ca + (cb - ca) * t) << shift;
    }
    return out;
}

// The body texture: the side view in the two halves the mesh maps. style 0
// plain, 1 a racing stripe, 2 two-tone, 3 police band.
ArgbImage BodyImage(std::uint32_t tone, int style)
{
    ArgbImage image{256, 128, std::vector<std::uint32_t>(256 * 128)};
    const std::uint32_t glass = 0xFF27323Cu, dark = 0xFF202020u, head = 0xFFFFF6D0u, tail = 0xFFC81810u;
    for (unsigned y = 0; y < 128; ++y) {
        for (unsigned x = 0; x < 256; ++x) {
            std::uint32_t c = tone;
            if (y < 64) {
                // Cabin: two side windows between pillars, the windscreen area.
                const bool pillar = x < 20 || x > 236 || (x > 122 && x < 134) || y < 8 || y > 58;
                c = pillar ? tone : Mix(glass, 0xFF8090A0u, (x + y) % 40 < 4 ? 0.5f : 0.0f);
            } else {
                const unsigned row = y - 64;
                if (row > 56)
                    c = dark; // sill
                else if (x < 18 && row > 10 && row < 34)
                    c = tail;
                else if (x > 238 && row > 10 && row < 34)
                    c = head;
                else if ((x == 100 || x == 170) && row > 4 && row < 54)
                    c = Mix(tone, dark, 0.6f); // door seams
                else if (x > 182 && x < 196 && row > 18 && row < 22)
                    c = 0xFFB0B0B0u; // door handle
                if (style == 1 && row > 26 && row < 34 && x > 18 && x < 238)
                    c = Mix(tone, dark, 0.8f);
                if (style == 2 && row > 30 && row <= 56)
                    c = Mix(tone, dark, 0.45f);
                if (style == 3 && row > 22 && row < 38 && x > 18 && x < 238)
                    c = ((x / 16) % 2) ? 0xFF1030A0u : 0xFFF0F0F0u;
            }
            image.pixels[y * 256 + x] = c;
        }
    }
    return image;
}

struct Variant {
    int model;
    const char* file;      // "Main.obj" or "Police.obj"
    const char* stem;      // texture name stem
    bool police;
};

std::string DescriptionOf(const CarModel& m, int model, bool police)
{
    const std::string folder = Folder(model);
    const std::string stem = folder + (police ? "Police" : "Body");
    DescriptionWriter w;
    const std::string name = police ? std::string("Police ") + m.name : m.name;
    w.Head({name, "GCLASS_VEHICLE", "GTYPE_VEHICLE", name, folder + "Main.msh", stem + "01.dds"});
    w.Chrome(std::string(kCommon) + "Chrome.dds").Glass(std::string(kCommon) + "Glass%2.dds");
    w.DirectLights({{255, 250, 225}, 0.35f}, {{255, 24, 16}, 0.22f}, {{255, 150, 0}, 0.18f});
    w.Shadow().End();
    CarLines lines;
    char wheel[64];
    std::snprintf(wheel, sizeof(wheel), "%sWheel%02d.obj", kWheels, m.wheel);
    lines.wheelA = lines.wheelB = wheel;
    lines.line4 = 1.0f + m.length / 10.0f;
    lines.mass = m.mass;
    lines.power = police ? m.power * 1.2f : m.power;
    lines.transmission = m.transmission;
    lines.handling = m.handling;
    lines.driveFront = m.driveFront;
    lines.driveRear = m.driveRear;
    lines.frontGrip = m.frontGrip;
    lines.rearGrip = m.rearGrip;
    lines.frontRoll = 0.15f;
    lines.rearRoll = 0.2f;
    lines.stiffness = m.stiffness;
    lines.damping = m.damping;
    // Police cars are painted in fixed grey levels; the others draw colours.
    lines.paintRange = police ? 235 : m.paintRange;
    lines.paintRange2 = police ? 40 : m.paintRange2;
    lines.engineSound = model % 8;
    const int textures = police ? 1 : 3;
    for (int i = 1; i <= textures; ++i) {
        char texture[96];
        std::snprintf(texture, sizeof(texture), "%s%02d.dds", stem.c_str(), i);
        lines.textures.push_back(texture);
    }
    return w.Text() + EncodeCarLines(lines);
}

std::string WheelDescription(int size)
{
    char mesh[96], texture[96];
    std::snprintf(mesh, sizeof(mesh), "%sWheel%02d.msh", kWheels, size);
    std::snprintf(texture, sizeof(texture), "%sWheel.dds", kWheels);
    DescriptionWriter w;
    w.Head({"Wheel", "GCLASS_VEHICLE", "GTYPE_WHEEL", "", mesh, texture});
    w.Chrome(std::string(kCommon) + "Chrome.dds");
    return w.End().Text();
}

void PutU32(std::string* out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutF32(std::string* out, float f)
{
    std::uint32_t v = 0;
    std::memcpy(&v, &f, sizeof(v));
    PutU32(out, v);
}

void PutU16(std::string* out, std::uint16_t v)
{
    out->push_back(static_cast<char>(v & 0xFF));
    out->push_back(static_cast<char>(v >> 8));
}

} // namespace

std::string EncodeCarLines(const CarLines& c)
{
    DescriptionWriter w;
    w.Value("Wheel", c.wheelA).Value("Wheel", c.wheelB).Ignored();
    w.Value("Size", Number(c.line4)).Value("Mass", Number(c.mass)).Value("Power", Number(c.power));
    w.Value("Transmission", Number(c.transmission)).Value("Handling", Number(c.handling)).Ignored();
    w.Value("Front drive", std::to_string(c.driveFront)).Value("Rear drive", std::to_string(c.driveRear));
    w.Value("Front grip", Number(c.frontGrip)).Value("Rear grip", Number(c.rearGrip));
    w.Value("Front roll", Number(c.frontRoll)).Value("Rear roll", Number(c.rearRoll));
    w.Value("Stiffness", Number(c.stiffness)).Value("Damping", Number(c.damping)).Ignored();
    w.Value("Gloss", std::to_string(c.gloss)).Value("Paint range", std::to_string(c.paintRange));
    w.Value("Paint range 2", std::to_string(c.paintRange2)).Ignored();
    w.Value("Engine sound", std::to_string(c.engineSound)).Ignored();
    for (const std::string& t : c.textures)
        w.Value("Texture", t);
    return w.End().Text();
}

std::vector<BodyRecord> BodyRecords(const BodyData& body)
{
    std::vector<const BodyVertex*> all;
    for (const auto& g : body.groups)
        for (const BodyVertex& v : g)
            all.push_back(&v);
    std::vector<BodyRecord> records(all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        BodyRecord& r = records[i];
        const float* p = all[i]->position;
        std::memcpy(r.base, p, sizeof(r.base));
        // Dents pull the panel inwards and down.
        r.dented[0] = p[0] * 0.8f;
        r.dented[1] = p[1] * 0.85f;
        r.dented[2] = p[2] * 0.92f;
        for (std::size_t j = 0; j < all.size() && r.twinCount < 4; ++j) {
            if (j != i && std::memcmp(all[j]->position, p, sizeof(r.base)) == 0)
                r.twins[r.twinCount++] = static_cast<std::uint16_t>(j);
        }
    }
    return records;
}

std::string EncodeBody(const BodyData& body)
{
    std::uint32_t first[5], count[5], firstTri[5], triCount[5];
    std::uint32_t vertices = 0, triangles = 0;
    for (int g = 0; g < 5; ++g) {
        first[g] = vertices;
        count[g] = static_cast<std::uint32_t>(body.groups[g].size());
        firstTri[g] = triangles;
        triCount[g] = static_cast<std::uint32_t>(body.indices[g].size() / 3);
        vertices += count[g];
        triangles += triCount[g];
    }
    std::string out;
    PutU32(&out, vertices);
    PutU32(&out, triangles);
    for (const std::uint32_t* table : {first, count, firstTri, triCount})
        for (int g = 0; g < 5; ++g)
            PutU32(&out, table[g]);
    for (const auto& g : body.groups) {
        for (const BodyVertex& v : g) {
            for (float f : v.position)
                PutF32(&out, f);
            for (float f : v.normal)
                PutF32(&out, f);
            PutU32(&out, v.colour);
            PutF32(&out, v.u);
            PutF32(&out, v.v);
        }
    }
    for (int g = 0; g < 5; ++g)
        for (std::size_t i = 0; i < triCount[g] * 3u; ++i)
            PutU16(&out, body.indices[g][i]);
    for (const BodyRecord& r : BodyRecords(body)) {
        for (float f : r.base)
            PutF32(&out, f);
        for (float f : r.dented)
            PutF32(&out, f);
        PutF32(&out, r.amount);
        for (std::uint16_t t : r.twins)
            PutU16(&out, t);
        out.push_back(static_cast<char>(r.twinCount));
        out.append(3, '\0');
    }
    return out;
}

std::vector<std::string> SampleVehiclePaths()
{
    std::vector<std::string> paths;
    for (int model = 1; model <= 8; ++model)
        paths.push_back(Folder(model) + "Main.obj");
    paths.push_back(Folder(1) + "Police.obj");
    paths.push_back(Folder(3) + "Police.obj");
    return paths;
}

BodyData SampleCarBodyData()
{
    return BodyOf(ShapeOf(kModels[0]));
}

std::vector<SampleFile> SampleVehicleFiles()
{
    std::vector<SampleFile> files;
    for (int model = 1; model <= 8; ++model) {
        const CarModel& m = kModels[model - 1];
        const std::string folder = Folder(model);
        const CarShape shape = ShapeOf(m);
        const std::string body = EncodeBody(BodyOf(shape));
        files.push_back({folder + "Main.obj", DescriptionOf(m, model, false)});
        files.push_back({folder + "MainExtra.dat", body});
        files.push_back({folder + "Main.msh", EncodeMesh(MeshOf(m, shape))});
        for (int style = 0; style < 3; ++style) {
            char name[32];
            std::snprintf(name, sizeof(name), "Body%02d.dds", style + 1);
            files.push_back({folder + name, EncodeObjectTexture(BodyImage(m.tone, style))});
        }
        if (model == 1 || model == 3) {
            files.push_back({folder + "Police.obj", DescriptionOf(m, model, true)});
            files.push_back({folder + "PoliceExtra.dat", body});
            files.push_back({folder + "Police01.dds", EncodeObjectTexture(BodyImage(0xFFF0F0F0u, 3))});
        }
    }
    for (int size = 1; size <= 4; ++size) {
        char name[32];
        std::snprintf(name, sizeof(name), "Wheel%02d", size);
        files.push_back({std::string(kWheels) + name + ".obj", WheelDescription(size)});
        files.push_back({std::string(kWheels) + name + ".msh", EncodeMesh(WheelMeshOf(size))});
    }
    files.push_back({std::string(kWheels) + "Wheel.dds", EncodeObjectTexture(WheelImage())});
    files.push_back({std::string(kCommon) + "Chrome.dds", EncodeObjectTexture(ChromeImage())});
    files.push_back({std::string(kCommon) + "Glass01.dds", EncodeObjectTexture(GlassImage(0xFF203040u))});
    files.push_back({std::string(kCommon) + "Glass02.dds", EncodeObjectTexture(GlassImage(0xFF283828u))});
    return files;
}

} // namespace tools
