#include "writers/HumanModel.h"

#include "writers/ImageWriters.h"
#include "writers/ObjectMeshes.h"
#include "writers/ObjectTextures.h"

#include <cmath>
#include <cstdio>

namespace tools {

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kHip = 0.95f; // the body frame's height above the feet

// Texture columns: skin, shirt, trousers, boots.
const UvRect kSkin{0.0f, 0.0f, 0.25f, 1.0f};
const UvRect kShirt{0.25f, 0.0f, 0.5f, 1.0f};
const UvRect kPants{0.5f, 0.0f, 0.75f, 1.0f};
const UvRect kBoots{0.75f, 0.0f, 1.0f, 1.0f};

struct Piece {
    MeshVec3 centre; // in the body frame
    MeshVec3 size;   // full extents
    UvRect uv;
    int parent;      // the piece it hangs on (-1: none)
    MeshVec3 pivot;  // the joint it turns about, in the body frame
};

// Pelvis, spine, head, left and right legs (upper, lower), left and right
// arms (upper, lower): the ragdoll's order.
const Piece kPieces[11] = {
    {{0.0f, -0.10f, 0.0f}, {0.25f, 0.30f, 0.2f}, kPants, -1, {0, 0, 0}},
    {{0.0f, 0.17f, 0.0f}, {0.3f, 0.45f, 0.2f}, kShirt, -1, {0, 0, 0}},
    {{0.0f, 0.50f, 0.0f}, {0.18f, 0.24f, 0.2f}, kSkin, -1, {0, 0, 0}},
    {{-0.08f, -0.33f, 0.0f}, {0.12f, 0.45f, 0.13f}, kPants, -1, {-0.08f, -0.1f, 0}},
    {{-0.08f, -0.74f, 0.01f}, {0.11f, 0.42f, 0.12f}, kBoots, 3, {-0.08f, -0.55f, 0}},
    {{0.08f, -0.33f, 0.0f}, {0.12f, 0.45f, 0.13f}, kPants, -1, {0.08f, -0.1f, 0}},
    {{0.08f, -0.74f, 0.01f}, {0.11f, 0.42f, 0.12f}, kBoots, 5, {0.08f, -0.55f, 0}},
    {{-0.21f, 0.25f, 0.0f}, {0.09f, 0.3f, 0.09f}, kShirt, -1, {-0.21f, 0.38f, 0}},
    {{-0.21f, -0.04f, 0.0f}, {0.08f, 0.3f, 0.08f}, kSkin, 7, {-0.21f, 0.1f, 0}},
    {{0.21f, 0.25f, 0.0f}, {0.09f, 0.3f, 0.09f}, kShirt, -1, {0.21f, 0.38f, 0}},
    {{0.21f, -0.04f, 0.0f}, {0.08f, 0.3f, 0.08f}, kSkin, 9, {0.21f, 0.1f, 0}},
};

// A pose: each piece's turn about its joint, about x (forward swing) and z
// (sideways), on top of its parent's.
struct Turn {
    float x = 0.0f, z = 0.0f;
};
using Pose = std::array<Turn, 11>;

MeshVec3 Rotate(const MeshVec3& v, const Turn& t)
{
    const float cx = std::cos(t.x), sx = std::sin(t.x), cz = std::cos(t.z), sz = std::sin(t.z);
    // about z first, then about x
    const float x1 = v[0] * cz - v[1] * sz, y1 = v[0] * sz + v[1] * cz, z1 = v[2];
    return {x1, y1 * cx - z1 * sx, y1 * sx + z1 * cx};
}

MeshVec3 Place(const MeshVec3& p, int piece, const Pose& pose, bool normal)
{
    MeshVec3 v = p;
    for (int i = piece; i >= 0; i = kPieces[i].parent) {
        const MeshVec3& pivot = kPieces[i].pivot;
        if (normal) {
            v = Rotate(v, pose[i]);
            continue;
        }
        const MeshVec3 r = Rotate({v[0] - pivot[0], v[1] - pivot[1], v[2] - pivot[2]}, pose[i]);
        v = {r[0] + pivot[0], r[1] + pivot[1], r[2] + pivot[2]};
    }
    return v;
}

Pose WalkPose(float phase)
{
    Pose pose;
    const float swing = 0.5f * std::sin(phase);
    pose[3].x = swing;
    pose[5].x = -swing;
    pose[4].x = -0.35f * (1.0f + std::cos(phase)) * 0.5f;
    pose[6].x = -0.35f * (1.0f - std::cos(phase)) * 0.5f;
    pose[7].x = -0.6f * swing;
    pose[9].x = 0.6f * swing;
    pose[8].x = pose[10].x = 0.3f;
    return pose;
}

Pose ApplaudPose(bool overhead, bool apart)
{
    Pose pose;
    const float raise = overhead ? 2.6f : 1.2f;
    pose[7].x = pose[9].x = raise;
    pose[7].z = apart ? -0.35f : -0.15f;
    pose[9].z = apart ? 0.35f : 0.15f;
    pose[8].z = apart ? 0.2f : 0.7f;
    pose[10].z = apart ? -0.2f : -0.7f;
    return pose;
}

Pose WaitPose(float lift)
{
    Pose pose;
    pose[9].z = 1.2f + lift;
    pose[10].z = 0.6f;
    return pose;
}

std::vector<Pose> Poses()
{
    std::vector<Pose> poses(HUMAN_FRAME_COUNT);
    poses[HUMAN_FRAME_IDLE][7].z = -0.08f;
    poses[HUMAN_FRAME_IDLE][9].z = 0.08f;
    for (int f = 0; f < 8; ++f)
        poses[HUMAN_FRAME_WALK + f] = WalkPose(2.0f * kPi * static_cast<float>(f) / 8.0f);
    poses[HUMAN_FRAME_APPLAUD1] = ApplaudPose(false, true);
    poses[HUMAN_FRAME_APPLAUD1 + 1] = ApplaudPose(false, false);
    poses[HUMAN_FRAME_APPLAUD2] = ApplaudPose(true, true);
    poses[HUMAN_FRAME_APPLAUD2 + 1] = ApplaudPose(true, false);
    poses[HUMAN_FRAME_WAIT] = WaitPose(0.0f);
    poses[HUMAN_FRAME_WAIT + 1] = WaitPose(0.4f);
    return poses;
}

std::string Field(const std::string& value, std::size_t width)
{
    std::string s = value.substr(0, width);
    s.resize(width, ' ');
    return s;
}

std::string Number(float v)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", static_cast<double>(v));
    return text;
}

// A clothing layer: the garment's column of the figure's texture in a
// light shade the tint colours, transparent elsewhere; variant 2 striped.
ArgbImage ClothingImage(int column, int variant)
{
    ArgbImage image = SolidImage(64, 64, 0x00000000u);
    for (unsigned y = 0; y < 64; ++y) {
        for (unsigned x = column * 16u; x < column * 16u + 16u; ++x) {
            const bool stripe = variant == 2 && (y / 4) % 2 == 0;
            image.pixels[y * 64 + x] = stripe ? 0xFFB0B0B0u : 0xFFF0F0F0u;
        }
    }
    return image;
}

} // namespace

MeshData HumanMesh()
{
    MeshData mesh;
    MeshPartData& part = mesh.parts[0];
    const std::vector<Pose> poses = Poses();
    part.frames.assign(HUMAN_FRAME_COUNT, {});
    for (int i = 0; i < 11; ++i) {
        const Piece& p = kPieces[i];
        MeshPartData box;
        const MeshVec3 half{p.size[0] / 2, p.size[1] / 2, p.size[2] / 2};
        AddTexturedBox(&box, {-half[0], -half[1], -half[2]}, half, p.uv, p.uv);
        const auto base = static_cast<std::uint16_t>(part.frames[0].size());
        for (std::uint16_t index : box.indices)
            part.indices.push_back(static_cast<std::uint16_t>(base + index));
        for (int f = 0; f < HUMAN_FRAME_COUNT; ++f) {
            for (MeshFileVertex v : box.frames[0]) {
                if (f != HUMAN_FRAME_PIECES) {
                    const MeshVec3 at{v.position[0] + p.centre[0], v.position[1] + p.centre[1],
                                      v.position[2] + p.centre[2]};
                    v.position = Place(at, i, poses[f], false);
                    v.position[1] += kHip;
                    v.normal = Place(v.normal, i, poses[f], true);
                }
                part.frames[f].push_back(v);
            }
        }
    }
    mesh.parts[8].points = {{0.0f, 0.9f, 0.0f}};
    // The shadow caster: a slab of the body's outline.
    mesh.parts[11] = BoxPart({-0.22f, 0, -0.1f}, {0.22f, 1.75f, 0.1f});
    return mesh;
}

HumanDescriptionData SampleHumanData(const std::string& folder)
{
    HumanDescriptionData d;
    d.folder = folder;
    const bool female = folder.find("Female") != std::string::npos;
    d.mass = female ? 60.0f : 75.0f;
    d.walkSpeed = female ? 1.3f : 1.4f;
    d.runSpeed = female ? 4.2f : 4.6f;
    d.actions = {
        {"ACTION_WALK", "1.0", "2", "9"},    {"ACTION_RUN", "2.2", "2", "9"},
        {"ACTION_APPLAUD1", "0.8", "10", "11"}, {"ACTION_APPLAUD2", "0.8", "12", "13"},
        {"ACTION_WAITCAR", "0.3", "14", "15"},  {"ACTION_DEAD", "0.0", "1", "1"},
    };
    for (int i = 0; i < 11; ++i)
        d.parts.push_back({i * HUMAN_PIECE_VERTICES, HUMAN_PIECE_VERTICES, i * HUMAN_PIECE_TRIANGLES,
                           HUMAN_PIECE_TRIANGLES});
    return d;
}

std::string HumanDescription(const HumanDescriptionData& d)
{
    DescriptionWriter w;
    w.Head({"Pedestrian", "GCLASS_HUMAN", "GTYPE_HUMAN", "", d.folder + "Body.msh", d.folder + "Model.dds"});
    w.Shadow().End();
    w.Value("Body", d.folder + "Body%2.dds")
        .Value("Shirt", d.folder + "Shirt%2.dds")
        .Value("Pants", d.folder + "Pants%2.dds")
        .Value("Boots", d.folder + "Boots%2.dds")
        .Ignored()
        .Value("Mass", Number(d.mass))
        .Value("Reserved", "0")
        .Value("Walk speed", Number(d.walkSpeed))
        .Value("Run speed", Number(d.runSpeed))
        .Ignored();
    for (const HumanAction& a : d.actions)
        w.Raw(Field(a.keyword, 32) + Field(a.rate, 5) + Field(a.first, 5) + a.last);
    if (d.withEndMarker)
        w.Raw(d.endMarker);
    w.Ignored().Ignored().Ignored();
    static const char* const kNames[11] = {"Pelvis", "Spine", "Head", "Left thigh", "Left shin", "Right thigh",
                                           "Right shin", "Left arm", "Left forearm", "Right arm", "Right forearm"};
    for (std::size_t i = 0; i < d.parts.size(); ++i) {
        const auto& p = d.parts[i];
        w.Raw(Field(i < 11 ? kNames[i] : "Part", 32) + Field(std::to_string(p[0]), 5) +
              Field(std::to_string(p[1]), 5) + Field(std::to_string(p[2]), 5) + std::to_string(p[3]));
    }
    return w.Ignored().Text();
}

std::vector<SampleFile> SampleHumanTextures()
{
    std::vector<SampleFile> files;
    struct Look {
        const char* folder;
        std::uint32_t skin[2];
    };
    const Look looks[2] = {{"Data/Humans/Male/", {0xFFD8A888u, 0xFF8A5A3Cu}},
                           {"Data/Humans/Female/", {0xFFE0B498u, 0xFFB07850u}}};
    const char* const garments[3] = {"Shirt", "Pants", "Boots"};
    for (const Look& look : looks) {
        const std::string folder = look.folder;
        files.push_back({folder + "Model.dds", EncodeObjectTexture(HumanImage(look.skin[0], 0xFF6A7A8Au, 0xFF3A3A4Au))});
        for (int v = 1; v <= 2; ++v) {
            char suffix[8];
            std::snprintf(suffix, sizeof(suffix), "%02d.dds", v);
            files.push_back({folder + "Body" + suffix,
                             EncodeObjectTexture(HumanImage(look.skin[v - 1], look.skin[v - 1], look.skin[v - 1]))});
            for (int g = 0; g < 3; ++g)
                files.push_back({folder + garments[g] + suffix,
                                 EncodeDds({ClothingImage(g + 1, v)}, DdsPixels::A8R8G8B8, 1)});
        }
    }
    return files;
}

} // namespace tools
