#include "writers/PropDescriptions.h"

#include "writers/FileBytes.h"
#include "writers/ImageWriters.h"
#include "writers/ObjectMeshes.h"
#include "writers/ObjectTextures.h"
#include "writers/WavWriter.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace tools {

namespace {

const char kWorkshop[] = "Data/Static/Buildings/WorkShops/01/";
const char kCarShop[] = "Data/Static/Buildings/AvtoShops/01/";
const char kHouse2[] = "Data/Static/Buildings/House02/";
const char kBlock[] = "Data/Static/Buildings/Block01/";
const char kTower2[] = "Data/Static/Buildings/Tower02/";
const char kRamp[] = "Data/Static/Decors/Ramp01/";
const char kTaxi[] = "Data/Static/TaxiPoint/";
const char kBoard[] = "Data/Static/InfoScreen/01/";
const char kPictures[] = "Data/Interface/InfoScreen/";
const char kBoardSound[] = "Data/Audio/InfoScreen/Loop01.wav";

std::string Number(float v)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", static_cast<double>(v));
    return text;
}

// A flat face given counter-clockwise as seen from outside (the game culls
// clockwise triangles); one normal for the face.
void AddFace(MeshPartData* part, const std::vector<MeshVec3>& corners, const std::vector<std::pair<float, float>>& uv)
{
    if (part->frames.empty())
        part->frames.resize(1);
    const MeshVec3 &a = corners[0], &b = corners[1], &c = corners[2];
    const MeshVec3 ab{b[0] - a[0], b[1] - a[1], b[2] - a[2]}, ac{c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    // Left-handed frame: (b - a) x (c - a) points inwards for this winding.
    MeshVec3 n{-(ab[1] * ac[2] - ab[2] * ac[1]), -(ab[2] * ac[0] - ab[0] * ac[2]), -(ab[0] * ac[1] - ab[1] * ac[0])};
    const float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (len > 0)
        n = {n[0] / len, n[1] / len, n[2] / len};
    std::vector<MeshFileVertex>& frame = part->frames[0];
    const auto first = static_cast<std::uint16_t>(frame.size());
    for (std::size_t i = 0; i < corners.size(); ++i)
        frame.push_back({corners[i], n, uv[i].first, uv[i].second});
    for (std::size_t i = 1; i + 1 < corners.size(); ++i) {
        part->indices.push_back(first);
        part->indices.push_back(static_cast<std::uint16_t>(first + i + 1));
        part->indices.push_back(static_cast<std::uint16_t>(first + i));
    }
}

MeshPartData BoxOnly(const MeshVec3& min, const MeshVec3& max)
{
    return BoxPart(min, max);
}

// A building with a shop front: the facade box, a flat canopy over the
// entrance and a sign, part 9 holding the entrance and showroom points.
MeshData ShopBuilding(float width, float depth, float height, const std::vector<MeshVec3>& points)
{
    MeshData mesh = BuildingMesh(width, depth, height);
    const float w = width / 2, d = depth / 2;
    const UvRect roof{0.0f, 0.0f, 0.02f, 0.01f};
    const UvRect sign{0.0f, 0.9f, 1.0f, 1.0f};
    AddTexturedBox(&mesh.parts[0], {-w * 0.6f, 3.6f, d}, {w * 0.6f, 3.9f, d + 3.0f}, roof, roof);
    AddTexturedBox(&mesh.parts[0], {-w * 0.5f, height + 0.6f, d - 1.0f}, {w * 0.5f, height + 2.4f, d - 0.7f}, sign, sign);
    mesh.parts[9].points = points;
    return mesh;
}

// A facade picture with a door or a garage gate in the middle of the
// ground floor and a sign band on top.
ArgbImage FrontImage(int columns, int floors, std::uint32_t wall, std::uint32_t glass, std::uint32_t door,
                     bool gate, std::uint32_t signColour)
{
    const unsigned w = 128, h = 64u * static_cast<unsigned>(floors) > 512 ? 512 : 64u * floors;
    ArgbImage img = FacadeImage(w, h, columns, floors, wall, glass);
    const unsigned floorH = h / static_cast<unsigned>(floors);
    const unsigned doorW = gate ? 72 : 18, x0 = (w - doorW) / 2;
    const unsigned y0 = h - floorH + (gate ? floorH / 8 : floorH / 5);
    for (unsigned y = y0; y < h; ++y)
        for (unsigned x = x0; x < x0 + doorW; ++x) {
            const bool frame = x < x0 + 2 || x >= x0 + doorW - 2 || y < y0 + 2;
            const bool slat = gate && (y - y0) % 6 == 0;
            img.pixels[y * w + x] = frame ? 0xFF303030u : (slat ? 0xFF707070u : door);
        }
    if (signColour) {
        for (unsigned y = 0; y < h / 20 + 2; ++y)
            for (unsigned x = 0; x < w; ++x)
                img.pixels[y * w + x] = ((x / 6 + y / 3) % 5 == 0) ? 0xFFFFFFFFu : signColour;
    }
    return img;
}

ArgbImage Picture(unsigned w, unsigned h, std::uint32_t a, std::uint32_t b, int seed)
{
    ArgbImage img = SolidImage(w, h, a);
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x) {
            const float s = std::sin((static_cast<float>(x) * 0.05f + static_cast<float>(seed)) +
                                     std::cos(static_cast<float>(y) * 0.04f * static_cast<float>(seed + 1)));
            img.pixels[y * w + x] = s > 0.3f ? b : (s < -0.6f ? 0xFF202020u : a);
        }
    return img;
}

// Alpha fades in over 16 pixels from every edge: the board's edge mask.
ArgbImage Hider(unsigned w, unsigned h)
{
    ArgbImage img = SolidImage(w, h, 0);
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x) {
            const unsigned edge = std::min(std::min(x, w - 1 - x), std::min(y, h - 1 - y));
            const unsigned alpha = edge >= 16 ? 0 : 255 - edge * 16;
            img.pixels[y * w + x] = alpha << 24;
        }
    return img;
}

std::string Building(const char* folder, const char* title, const char* klass, bool lights)
{
    PropText p;
    p.head = {title, klass, "GTYPE_BUILDING", "", std::string(folder) + "Main.msh", std::string(folder) + "Facade.dds"};
    if (lights) {
        DescriptionWriter w;
        w.LightMaps(1, std::string(folder) + "Lights.dds", {255, 226, 160});
        p.sections = w.Text();
    }
    return EncodePropDescription(p);
}

std::string Board(int kind)
{
    PropText p;
    const std::string key = "INFOSCREEN" + std::to_string(kind);
    p.head = {"Race board", "GCLASS_STATIC", "GTYPE_DECORS", "", std::string(kBoard) + "Main.msh",
              std::string(kBoard) + "Frame.dds"};
    DescriptionWriter w;
    w.SelfIllum(std::string(kBoard) + key + ".dds").LightMaps(1, std::string(kBoard) + "Glow.dds", {255, 200, 120});
    p.sections = w.Text();
    p.sound = kBoardSound;
    return EncodePropDescription(p);
}

void AddBuildingTextures(std::vector<SampleFile>& files, const char* folder, const ArgbImage& facade,
                         int columns, int floors)
{
    files.push_back({std::string(folder) + "Facade.dds", EncodeObjectTexture(facade)});
    files.push_back({std::string(folder) + "Lights.dds",
                     EncodeObjectTexture(WindowLightsImage(facade.width, facade.height, columns, floors,
                                                           0xFFFFE0A0u))});
}

// The game may read a ".bmp" name as the ".jpg" beside it.
bool WriteBmpAndJpg(const std::string& bmpPath, const ArgbImage& image)
{
    const std::string jpg = bmpPath.substr(0, bmpPath.size() - 4) + ".jpg";
    return WriteImageFile(bmpPath, EncodeBmp(image, 24)) && WriteImageFile(jpg, EncodeJpeg(image, 90));
}

} // namespace

std::string EncodePropDescription(const PropText& prop)
{
    DescriptionWriter head;
    head.Head(prop.head);
    DescriptionWriter w;
    w.End();
    const bool movable = prop.head.typeKeyword == "GTYPE_DECORS" || prop.head.typeKeyword == "GTYPE_LAMPPOST";
    if (movable)
        w.Value("Mass", Number(prop.mass));
    w.Ignored();
    if (movable) {
        w.Value("Parts", std::to_string(prop.parts.size()));
        for (const auto& [mass, mesh] : prop.parts) {
            char field[8];
            std::snprintf(field, sizeof(field), "%-5.5s", Number(mass).c_str());
            w.Raw(PadKey("Part") + field + mesh);
        }
    }
    w.Ignored();
    if (!prop.sound.empty())
        w.Value("Sound", prop.sound);
    return head.Text() + prop.sections + w.Text();
}

MeshData ShopMesh(float width, float depth, float height, const std::vector<MeshVec3>& entrancePoints)
{
    return ShopBuilding(width, depth, height, entrancePoints);
}

MeshData RampMesh()
{
    MeshData mesh;
    const float w = 2.0f, l = 2.75f, h = 2.5f;
    for (MeshPartData* part : {&mesh.parts[0], &mesh.parts[12]}) {
        // The slope rising towards +z, the upright back and the two sides.
        AddFace(part, {{-w, 0, -l}, {-w, h, l}, {w, h, l}, {w, 0, -l}}, {{0, 1}, {0, 0}, {1, 0}, {1, 1}});
        AddFace(part, {{w, 0, l}, {w, h, l}, {-w, h, l}, {-w, 0, l}}, {{0, 1}, {0, 0.5f}, {1, 0.5f}, {1, 1}});
        AddFace(part, {{w, 0, -l}, {w, h, l}, {w, 0, l}}, {{0, 1}, {1, 0.5f}, {1, 1}});
        AddFace(part, {{-w, 0, -l}, {-w, 0, l}, {-w, h, l}}, {{0, 1}, {1, 1}, {1, 0.5f}});
    }
    return mesh;
}

MeshData BoardMesh()
{
    MeshData mesh;
    const UvRect metal{0.0f, 0.0f, 1.0f, 1.0f};
    // Two posts and the frame; the screen faces -z.
    AddTexturedBox(&mesh.parts[0], {-2.4f, 0, 0.05f}, {-2.2f, 3.0f, 0.25f}, metal, metal);
    AddTexturedBox(&mesh.parts[0], {2.2f, 0, 0.05f}, {2.4f, 3.0f, 0.25f}, metal, metal);
    AddTexturedBox(&mesh.parts[0], {-2.6f, 2.9f, 0.0f}, {2.6f, 5.6f, 0.3f}, metal, metal);
    mesh.parts[0].points = {{0.0f, 4.2f, 5.0f}, {0.0f, 4.2f, -5.0f}};
    AddFace(&mesh.parts[2], {{-2.5f, 3.0f, -0.01f}, {-2.5f, 5.5f, -0.01f}, {2.5f, 5.5f, -0.01f}, {2.5f, 3.0f, -0.01f}},
            {{0, 1}, {0, 0}, {1, 0}, {1, 1}});
    AddFace(&mesh.parts[5], {{-2.6f, 2.9f, -0.02f}, {-2.6f, 5.6f, -0.02f}, {2.6f, 5.6f, -0.02f}, {2.6f, 2.9f, -0.02f}},
            {{0, 1}, {0, 0}, {1, 0}, {1, 1}});
    // The start spot. A race sets the board 6 to the right of its fifth route
    // point (0.4 of the sample streets' width of 15) and turns it to face the
    // sixth, 4 further on: so the board stands slanted, its face towards the
    // road behind it. This point, in the board's own frame, is the right-hand
    // lane 2 from the centre line and 10 back from the fifth point, in view
    // of the face; near enough to the board to stay on the road where the
    // route turns at its start.
    mesh.parts[8].points = {{-10.54f, 0.7f, -2.22f}};
    mesh.parts[12] = BoxOnly({-2.4f, 0, 0.05f}, {2.4f, 3.0f, 0.25f});
    return mesh;
}

std::vector<SampleFile> SamplePropFiles()
{
    std::vector<SampleFile> files;
    auto desc = [&files](const char* folder, const std::string& name, const std::string& text) {
        files.push_back({std::string(folder) + name, text});
    };
    auto mesh = [&files](const char* folder, const MeshData& m) {
        files.push_back({std::string(folder) + "Main.msh", EncodeMesh(m)});
    };
    desc(kWorkshop, "Main.obj", Building(kWorkshop, "Workshop", "GCLASS_LANDSCAPE", true));
    desc(kCarShop, "Main.obj", Building(kCarShop, "Car shop", "GCLASS_LANDSCAPE", true));
    desc(kHouse2, "Main.obj", Building(kHouse2, "Corner shop", "GCLASS_STATIC", false));
    desc(kBlock, "Main.obj", Building(kBlock, "Apartments", "GCLASS_STATIC", true));
    desc(kTower2, "Main.obj", Building(kTower2, "High tower", "GCLASS_STATIC", true));
    // The entrance 14 ahead of the middle; the car shop's three showroom
    // places stand 8 further out, 10 apart. A car leaving a shop is put at
    // the entrance lowered by 1.5 x its mesh's lower bound, and the sample
    // cars' bodies start 0.22-0.40 above their centre: at 1.6 every model
    // comes down at or above its riding height (about 1.0) instead of into
    // the ground.
    const float kEntranceHeight = 1.6f;
    mesh(kWorkshop, ShopBuilding(20.0f, 16.0f, 9.0f, {{0.0f, kEntranceHeight, 14.0f}}));
    mesh(kCarShop, ShopBuilding(30.0f, 16.0f, 8.0f,
                                {{0.0f, kEntranceHeight, 14.0f}, {-10.0f, 0.7f, 22.0f}, {0.0f, 0.7f, 22.0f}, {10.0f, 0.7f, 22.0f}}));
    mesh(kHouse2, BuildingMesh(16.0f, 12.0f, 7.0f));
    mesh(kBlock, BuildingMesh(20.0f, 14.0f, 24.0f));
    mesh(kTower2, BuildingMesh(16.0f, 16.0f, 62.0f));
    AddBuildingTextures(files, kWorkshop, FrontImage(4, 2, 0xFFB0B4B8u, 0xFF50708Au, 0xFF8A6A2Au, true, 0xFFC02020u), 4, 2);
    AddBuildingTextures(files, kCarShop, FrontImage(6, 2, 0xFFE8E8E8u, 0xFF3A78B0u, 0xFF3A78B0u, true, 0xFF2050C0u), 6, 2);
    AddBuildingTextures(files, kHouse2, FrontImage(3, 2, 0xFFD2A070u, 0xFF5A7890u, 0xFF6A3A1Au, false, 0xFF2A8A3Au), 3, 2);
    AddBuildingTextures(files, kBlock, FrontImage(5, 8, 0xFFB8826Au, 0xFF4A6A80u, 0xFF5A3A22u, false, 0), 5, 8);
    AddBuildingTextures(files, kTower2, FrontImage(5, 8, 0xFF7E8A96u, 0xFF305878u, 0xFF203040u, false, 0), 5, 8);

    PropText ramp;
    ramp.head = {"Trick ramp", "GCLASS_LANDSCAPE", "GTYPE_DECORS", "", std::string(kRamp) + "Main.msh",
                 std::string(kRamp) + "Ramp.dds"};
    desc(kRamp, "Main.obj", EncodePropDescription(ramp));
    mesh(kRamp, RampMesh());
    ArgbImage stripes = SolidImage(64, 64, 0xFF909090u);
    for (unsigned y = 0; y < 64; ++y)
        for (unsigned x = 0; x < 64; ++x)
            if (((x + y) / 8) % 2 == 0 && (y < 8 || y > 56))
                stripes.pixels[y * 64 + x] = 0xFFE0C020u;
    files.push_back({std::string(kRamp) + "Ramp.dds", EncodeObjectTexture(stripes)});

    PropText taxi;
    taxi.head = {"Taxi point", "GCLASS_STATIC", "GTYPE_DECORS", "", std::string(kTaxi) + "Main.msh",
                 std::string(kTaxi) + "Point.dds"};
    desc(kTaxi, "Main.obj", EncodePropDescription(taxi));
    MeshData marker;
    AddPrism(&marker.parts[0], 0, 0, 1.5f, 0.02f, 0.08f, 16, {0.0f, 0.0f, 1.0f, 1.0f});
    mesh(kTaxi, marker);
    files.push_back({std::string(kTaxi) + "Point.dds", EncodeObjectTexture(SolidImage(16, 16, 0xFFF0C000u))});

    desc(kBoard, "Main1.obj", Board(0));
    desc(kBoard, "Main2.obj", Board(1));
    mesh(kBoard, BoardMesh());
    files.push_back({std::string(kBoard) + "Frame.dds", EncodeObjectTexture(SolidImage(32, 32, 0xFF303438u))});
    files.push_back({std::string(kBoard) + "Glow.dds", EncodeObjectTexture(SolidImage(32, 32, 0xFF402810u))});
    for (int kind = 0; kind < 2; ++kind)
        files.push_back({std::string(kBoard) + "INFOSCREEN" + std::to_string(kind) + ".dds",
                         EncodeObjectTexture(Picture(64, 32, 0xFF102040u, 0xFFFFA000u, kind))});
    return files;
}

bool WriteInfoScreenPictures(const std::string& root)
{
    const std::string dir = root + "/" + kPictures;
    char name[64];
    for (int i = 1; i <= 8; ++i) {
        std::snprintf(name, sizeof(name), "Back%02d.bmp", i);
        if (!WriteBmpAndJpg(dir + name, Picture(256, 256, 0xFF203A5Au + 0x0A0000u * i, 0xFFE0A040u, i)))
            return false;
        std::snprintf(name, sizeof(name), "Reklams/Scr%02d.bmp", i);
        if (!WriteBmpAndJpg(dir + name, Picture(256, 256, 0xFF5A2040u, 0xFF40E0A0u - 0x100000u * i, i + 8)))
            return false;
    }
    ArgbImage title = SolidImage(256, 64, 0);
    for (unsigned y = 16; y < 48; ++y)
        for (unsigned x = 8; x < 248; ++x)
            title.pixels[y * 256 + x] = (x / 12 + y / 8) % 3 ? 0xFFFFA000u : 0xFFFFFFFFu;
    std::vector<float> hum(22050);
    for (std::size_t i = 0; i < hum.size(); ++i)
        hum[i] = 0.1f * std::sin(static_cast<float>(i) * 2.0f * 3.14159265f * 100.0f / 22050.0f);
    return WriteImageFile(dir + "RaceTitle0.dds", EncodeDds({title}, DdsPixels::A8R8G8B8, 1)) &&
           WriteImageFile(dir + "RaceTitle1.dds", EncodeDds({title}, DdsPixels::A8R8G8B8, 1)) &&
           WriteImageFile(dir + "BackHider2x1.dds", EncodeDds({Hider(512, 256)}, DdsPixels::A8R8G8B8, 1)) &&
           WriteImageFile(dir + "BackHider1x2.dds", EncodeDds({Hider(256, 512)}, DdsPixels::A8R8G8B8, 1)) &&
           WriteWav(root + "/" + kBoardSound, WavFormat{}, hum);
}

bool WritePropDescriptions(const std::string& root)
{
    for (const SampleFile& file : SamplePropFiles())
        if (!WriteFileBytes((std::filesystem::path(root) / file.path).string(), file.bytes))
            return false;
    return WriteInfoScreenPictures(root);
}

} // namespace tools
