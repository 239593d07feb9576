// Description files of the sample city's objects, with their meshes and
// textures.
#include "writers/ObjectDescriptions.h"

#include "writers/FileBytes.h"
#include "writers/HumanModel.h"
#include "writers/MeshWriter.h"
#include "writers/ObjectMeshes.h"
#include "writers/ObjectTextures.h"
#include "writers/VehicleModels.h"

#include <cstdio>
#include <filesystem>

namespace tools {

namespace {

// The sample cars' files whose names end with the extension.
void AddVehicleFiles(std::vector<SampleFile>* files, std::initializer_list<const char*> extensions)
{
    for (SampleFile& f : SampleVehicleFiles())
        for (const char* ext : extensions)
            if (std::filesystem::path(f.path).extension() == ext) {
                files->push_back(std::move(f));
                break;
            }
}

std::string Number(float v)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", static_cast<double>(v));
    return text;
}

std::string Numbered(const char* format, int a, int b = 0)
{
    char text[256];
    std::snprintf(text, sizeof(text), format, a, b);
    return text;
}

} // namespace

std::string PadKey(const std::string& key)
{
    std::string padded = key.substr(0, 32);
    padded.resize(32, ' ');
    return padded;
}

DescriptionWriter& DescriptionWriter::Raw(const std::string& line)
{
    m_text += line;
    m_text += '\n';
    return *this;
}

DescriptionWriter& DescriptionWriter::Value(const std::string& key, const std::string& value)
{
    return Raw(PadKey(key) + value);
}

DescriptionWriter& DescriptionWriter::Ignored()
{
    return Raw("-");
}

DescriptionWriter& DescriptionWriter::Colour(const std::string& key, const LampColour& c)
{
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%3d %3d %3d", c.r, c.g, c.b);
    return Value(key, digits);
}

DescriptionWriter& DescriptionWriter::Head(const ObjectHead& head)
{
    Value("Object", head.title).Ignored().Ignored();
    Value("Class", head.classKeyword).Value("Type", head.typeKeyword).Ignored();
    if (head.classKeyword == "GCLASS_VEHICLE" && head.typeKeyword == "GTYPE_VEHICLE")
        Value("Name", head.displayName).Ignored();
    return Value("Mesh", head.mesh).Value("Texture", head.texture).Ignored();
}

DescriptionWriter& DescriptionWriter::Section(const std::string& keyword)
{
    return Value("Effect", keyword);
}

DescriptionWriter& DescriptionWriter::Separator()
{
    return Raw(">>>>");
}

DescriptionWriter& DescriptionWriter::End()
{
    return Raw("//--");
}

DescriptionWriter& DescriptionWriter::Chrome(const std::string& texture)
{
    return Section("GEFFECT_CHROME").Value("Texture", texture).Separator();
}

DescriptionWriter& DescriptionWriter::Glass(const std::string& texture)
{
    return Section("GEFFECT_RGLASS").Value("Texture", texture).Separator();
}

DescriptionWriter& DescriptionWriter::LightMaps(int count, const std::string& texture, const LampColour& colour)
{
    Section("GEFFECT_LIGHTMAPS").Value("Textures", std::to_string(count)).Value("Texture", texture);
    return Colour("Colour", colour).Separator();
}

DescriptionWriter& DescriptionWriter::SelfIllum(const std::string& texture)
{
    return Section("GEFFECT_SELFILLUM").Value("Texture", texture).Separator();
}

DescriptionWriter& DescriptionWriter::Lights(float size, const LampColour& colour)
{
    return Section("GEFFECT_LIGHTS").Value("Size", Number(size)).Colour("Colour", colour).Separator();
}

DescriptionWriter& DescriptionWriter::Lights(float size, const LampColour& colour, float range, float linear,
                                             float quadratic)
{
    Section("GEFFECT_LIGHTS").Value("Size", Number(size)).Colour("Colour", colour);
    Value("Range", Number(range)).Value("Attenuation1", Number(linear)).Value("Attenuation2", Number(quadratic));
    return Separator();
}

DescriptionWriter& DescriptionWriter::DirectLights(const Lamp& head, const Lamp& rear, const Lamp& third)
{
    Section("GEFFECT_DIRECTLIGHTS");
    for (const Lamp* lamp : {&head, &rear, &third})
        Colour("Colour", lamp->colour).Value("Size", Number(lamp->size));
    return Separator();
}

DescriptionWriter& DescriptionWriter::Spots(const LampColour& colour)
{
    return Section("GEFFECT_SPOTS").Colour("Colour", colour).Separator();
}

DescriptionWriter& DescriptionWriter::Shadow()
{
    return Section("GEFFECT_SHADOW").Separator();
}

DescriptionWriter& DescriptionWriter::Flame()
{
    return Section("GEFFECT_FLAME").Separator();
}

DescriptionWriter& DescriptionWriter::EmptySection(const std::string& keyword)
{
    return Section(keyword).Separator();
}

namespace {

const char kHouse[] = "Data/Static/Buildings/House01/";
const char kTower[] = "Data/Static/Buildings/Tower01/";
const char kBridge[] = "Data/Static/Bridges/01/";
const char kNature[] = "Data/Static/Nature/";
const char kLamp[] = "Data/Static/Props/LampPost01/";
const char kBench[] = "Data/Static/Props/Bench01/";
const char kArrow[] = "Data/Interface/Elements/DirectArrow/";

// The props' own lines after the common part: a decor or lamp post gives a
// mass and its sub-part count (none here), a bridge or building only two
// ignored lines.
std::string PropTail(bool movable, float mass)
{
    DescriptionWriter w;
    if (movable)
        w.Value("Mass", Number(mass));
    w.Ignored();
    if (movable)
        w.Value("Parts", "0");
    return w.Ignored().Text();
}

std::string Building(const std::string& folder, const char* title, bool lights)
{
    DescriptionWriter w;
    w.Head({title, "GCLASS_STATIC", "GTYPE_BUILDING", "", folder + "Main.msh",
            folder + (lights ? "Facade.dds" : "Facade%3.dds")});
    if (lights)
        w.LightMaps(2, folder + "Lights%02d.dds", {255, 226, 160});
    else
        w.SelfIllum(folder + "Sign.dds");
    return w.End().Text() + PropTail(false, 0.0f);
}

std::string Bridge()
{
    DescriptionWriter w;
    w.Head({"Bridge", "GCLASS_STATIC", "GTYPE_BRIDGE", "", std::string(kBridge) + "Main.msh",
            std::string(kBridge) + "Bridge.dds"});
    return w.End().Text() + PropTail(false, 0.0f);
}

std::string Tree(int kind, int size)
{
    DescriptionWriter w;
    w.Head({"Tree", "GCLASS_STATIC", "GTYPE_TREE", "",
            Numbered("Data/Static/Nature/Trees/Tree%02dS%d.msh", kind, size),
            Numbered("Data/Static/Nature/Trees/Tree%02d.dds", kind)});
    return w.End().Text();
}

std::string Stone(int kind, int size)
{
    DescriptionWriter w;
    w.Head({"Stone", "GCLASS_STATIC", "GTYPE_STONE", "",
            Numbered("Data/Static/Nature/Stones/Stone%02dS%d.msh", kind, size),
            "Data/Static/Nature/Stones/Stone%2.dds"});
    return w.End().Text();
}

std::string LampPost()
{
    DescriptionWriter w;
    w.Head({"Street lamp", "GCLASS_STATIC", "GTYPE_LAMPPOST", "", std::string(kLamp) + "Main.msh",
            std::string(kLamp) + "Lamp.dds"});
    w.Lights(0.7f, {255, 232, 184}, 14.0f, 0.08f, 0.012f).Spots({255, 220, 160}).Shadow();
    return w.End().Text() + PropTail(true, 120.0f);
}

std::string Bench()
{
    DescriptionWriter w;
    w.Head({"Bench", "GCLASS_STATIC", "GTYPE_DECORS", "", std::string(kBench) + "Main.msh",
            std::string(kBench) + "Bench.dds"});
    w.Shadow();
    return w.End().Text() + PropTail(true, 40.0f);
}

std::string Arrow()
{
    DescriptionWriter w;
    w.Head({"Direction arrow", "GCLASS_EFFECT", "GTYPE_EFFECT", "", std::string(kArrow) + "Arrow.msh",
            std::string(kArrow) + "Arrow.dds"});
    return w.SelfIllum(std::string(kArrow) + "Arrow.dds").End().Text();
}

// Tree and stone sizes 1..3 of every kind.
const float kNatureScales[3] = {0.7f, 1.0f, 1.4f};

} // namespace

std::vector<SampleFile> SampleObjectDescriptions()
{
    std::vector<SampleFile> files = {
        {std::string(kHouse) + "Main.obj", Building(kHouse, "House", false)},
        {std::string(kTower) + "Main.obj", Building(kTower, "Office tower", true)},
        {std::string(kBridge) + "Main.obj", Bridge()},
        {std::string(kLamp) + "Main.obj", LampPost()},
        {std::string(kBench) + "Main.obj", Bench()},
        {"Data/Humans/Male/Main.obj", HumanDescription(SampleHumanData("Data/Humans/Male/"))},
        {"Data/Humans/Female/Main.obj", HumanDescription(SampleHumanData("Data/Humans/Female/"))},
        {std::string(kArrow) + "Main.obj", Arrow()},
    };
    for (int kind = 1; kind <= 4; ++kind) {
        for (int size = 1; size <= 3; ++size) {
            files.push_back({Numbered("Data/Static/Nature/Trees/Main%02dS%d.obj", kind, size), Tree(kind, size)});
            files.push_back({Numbered("Data/Static/Nature/Stones/Main%02dS%d.obj", kind, size), Stone(kind, size)});
        }
    }
    AddVehicleFiles(&files, {".obj"});
    return files;
}

std::vector<SampleFile> SampleObjectMeshes()
{
    std::vector<SampleFile> files = {
        {std::string(kHouse) + "Main.msh", EncodeMesh(ShopBuildingMesh(12.0f, 10.0f, 16.0f))},
        {std::string(kTower) + "Main.msh", EncodeMesh(BuildingMesh(14.0f, 14.0f, 45.0f))},
        {std::string(kBridge) + "Main.msh", EncodeMesh(BridgeMesh(40.0f, 10.0f, 6.0f))},
        {std::string(kLamp) + "Main.msh", EncodeMesh(LampPostMesh())},
        {std::string(kBench) + "Main.msh", EncodeMesh(BenchMesh())},
        {"Data/Humans/Male/Body.msh", EncodeMesh(HumanMesh())},
        {"Data/Humans/Female/Body.msh", EncodeMesh(HumanMesh())},
        {std::string(kArrow) + "Arrow.msh", EncodeMesh(ArrowMesh())},
    };
    for (int kind = 1; kind <= 4; ++kind) {
        for (int size = 1; size <= 3; ++size) {
            const float scale = kNatureScales[size - 1];
            files.push_back({Numbered("Data/Static/Nature/Trees/Tree%02dS%d.msh", kind, size),
                             EncodeMesh(TreeMesh(kind, scale))});
            files.push_back({Numbered("Data/Static/Nature/Stones/Stone%02dS%d.msh", kind, size),
                             EncodeMesh(StoneMesh(kind, scale))});
        }
    }
    AddVehicleFiles(&files, {".msh", ".dat"});
    return files;
}

std::vector<SampleFile> SampleObjectTextures()
{
    std::vector<SampleFile> files;
    auto add = [&files](const std::string& path, const ArgbImage& image) {
        files.push_back({path, EncodeObjectTexture(image)});
    };
    const std::uint32_t houseWalls[3] = {0xFFC9B48Au, 0xFFB86F50u, 0xFFD8D4C8u};
    for (int i = 0; i < 3; ++i)
        add(std::string(kHouse) + Numbered("Facade%02d.dds", i + 1), FacadeImage(128, 128, 3, 4, houseWalls[i], 0xFF5A7890u));
    add(std::string(kTower) + "Facade.dds", FacadeImage(128, 512, 4, 12, 0xFF8C949Cu, 0xFF406080u));
    add(std::string(kTower) + "Lights01.dds", WindowLightsImage(128, 512, 4, 12, 0xFFFFE0A0u));
    add(std::string(kTower) + "Lights02.dds", WindowLightsImage(128, 512, 4, 12, 0xFFC8E0FFu));
    add(std::string(kHouse) + "Sign.dds", SignImage(64, 16, 0xFF802020u, 0xFFFFE8A0u));
    add(std::string(kBridge) + "Bridge.dds", BridgeImage());
    const std::uint32_t leaves[4] = {0xFF2F5A30u, 0xFF4C8A34u, 0xFF5E9A3Eu, 0xFF3E7A2Cu};
    for (int kind = 1; kind <= 4; ++kind)
        add(Numbered("Data/Static/Nature/Trees/Tree%02d.dds", kind), TreeImage(leaves[kind - 1]));
    add("Data/Static/Nature/Stones/Stone01.dds", StoneImage(0xFF8A8680u));
    add("Data/Static/Nature/Stones/Stone02.dds", StoneImage(0xFF9C9078u));
    add(std::string(kLamp) + "Lamp.dds", LampImage());
    add(std::string(kBench) + "Bench.dds", BenchImage());
    for (SampleFile& file : SampleHumanTextures())
        files.push_back(std::move(file));
    add(std::string(kArrow) + "Arrow.dds", ArrowImage());
    AddVehicleFiles(&files, {".dds"});
    return files;
}

bool WriteObjectDescriptions(const std::string& root)
{
    for (const auto& list : {SampleObjectDescriptions(), SampleObjectMeshes(), SampleObjectTextures()}) {
        for (const SampleFile& file : list) {
            if (!WriteFileBytes((std::filesystem::path(root) / file.path).string(), file.bytes))
                return false;
        }
    }
    return true;
}

} // namespace tools
