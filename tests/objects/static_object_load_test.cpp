// Description files: the head counted by lines, the effect sections with
// their line counts, the texture variants, the failures, and a clean release.
#include "static_object_fixture.h"

#include "objects/DirectLightsEffect.h"
#include "objects/LightsEffect.h"
#include "objects/MaterialEffects.h"
#include "objects/SpotsEffect.h"
#include "shell/Log.h"
#include "shell/RayHitInfo.h"
#include "world/InfoScreenManager.h"
#include "writers/ArchiveWriter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

namespace {

using test::StaticObjectTest;
using tools::DescriptionWriter;

constexpr unsigned kChrome = 1, kGlass = 2, kLightMaps = 4, kSelfIllum = 8, kLights = 16, kDirect = 32,
                   kSpots = 64, kShadow = 128;

unsigned SlotsOf(const CStaticObject& o)
{
    return (o.m_pChrome ? kChrome : 0) | (o.m_pRGlass ? kGlass : 0) | (o.m_pLightMaps ? kLightMaps : 0) |
           (o.m_pSelfIllum ? kSelfIllum : 0) | (o.m_pLights ? kLights : 0) | (o.m_pDirectLights ? kDirect : 0) |
           (o.m_pSpots ? kSpots : 0) | (o.m_pShadow ? kShadow : 0);
}

class LoadTest : public StaticObjectTest {
protected:
    void SetUp() override
    {
        StaticObjectTest::SetUp();
        WriteBoxMesh();
    }
    void TearDown() override
    {
        m_object.Release();
        StaticObjectTest::TearDown();
    }

    // Loads with the file left open and returns the line that follows the
    // common part, so every case also shows that the line counting stayed
    // in step.
    std::string LoadAndReadNext(const std::string& text)
    {
        WriteDescription("Data/Test/Main.obj", text);
        const FileHandle f = m_object.Load("Data/Test/Main.obj", 0, -1, 1);
        EXPECT_NE(f, INVALID_FILE_HANDLE);
        if (f == INVALID_FILE_HANDLE)
            return "";
        char line[DESCRIPTION_LINE_SIZE];
        ReadDescriptionLine(line, f);
        g_FileManager.Close(f);
        return line;
    }

    CStaticObject m_object;
};

struct SectionCase {
    const char* name;
    std::function<void(DescriptionWriter&)> sections;
    unsigned slots;
};

TEST_F(LoadTest, EachSectionKindTakesItsOwnLinesAndItsSlot)
{
    const tools::LampColour warm{255, 200, 100};
    const SectionCase cases[] = {
        {"none", [](DescriptionWriter&) {}, 0},
        {"chrome", [](DescriptionWriter& w) { w.Chrome("Data/Test/Tex.dds"); }, kChrome},
        {"glass", [](DescriptionWriter& w) { w.Glass("Data/Test/Tex.dds"); }, kGlass},
        {"light maps", [&](DescriptionWriter& w) { w.LightMaps(1, "Data/Test/Tex.dds", warm); }, kLightMaps},
        {"self-illumination", [](DescriptionWriter& w) { w.SelfIllum("Data/Test/Tex.dds"); }, kSelfIllum},
        {"lights, short", [&](DescriptionWriter& w) { w.Lights(0.5f, warm); }, kLights},
        {"lights, with the point light", [&](DescriptionWriter& w) { w.Lights(0.5f, warm, 10, 0.1f, 0.01f); },
         kLights},
        {"lights, long separator",
         [&](DescriptionWriter& w) { w.Raw(tools::PadKey("Effect") + "GEFFECT_LIGHTS").Value("Size", "1");
                                     w.Colour("Colour", warm).Raw(">>>>>>>>>>>>>>>>"); },
         kLights},
        {"direct lights", [&](DescriptionWriter& w) { w.DirectLights({warm, 1}, {warm, 2}, {warm, 3}); }, kDirect},
        {"spots", [&](DescriptionWriter& w) { w.Spots(warm); }, kSpots},
        {"shadow", [](DescriptionWriter& w) { w.Shadow(); }, kShadow},
        {"flame", [](DescriptionWriter& w) { w.Flame(); }, 0},
        {"unknown keyword", [](DescriptionWriter& w) { w.EmptySection("GEFFECT_SMOKE"); }, 0},
        {"keyword with a trailing blank", [](DescriptionWriter& w) { w.EmptySection("GEFFECT_SHADOW "); }, 0},
        {"every kind",
         [&](DescriptionWriter& w) {
             w.Chrome("Data/Test/Tex.dds").Glass("Data/Test/Tex.dds").LightMaps(1, "Data/Test/Tex.dds", warm);
             w.SelfIllum("Data/Test/Tex.dds").Lights(0.5f, warm, 10, 0.1f, 0.01f).Flame();
             w.DirectLights({warm, 1}, {warm, 2}, {warm, 3}).Spots(warm).Shadow().EmptySection("GEFFECT_X");
         },
         0xFF},
    };
    for (const SectionCase& c : cases) {
        SCOPED_TRACE(c.name);
        DescriptionWriter w = Head("GCLASS_STATIC", "GTYPE_DECORS");
        c.sections(w);
        EXPECT_EQ(LoadAndReadNext(w.End().Raw("TAIL").Text()), "TAIL");
        EXPECT_EQ(SlotsOf(m_object), c.slots);
        EXPECT_NE(m_object.m_pMesh, nullptr);
        EXPECT_NE(m_object.m_nTextureIds[0], INVALID_TEXTURE_ID);
        m_object.Release();
    }
}

TEST_F(LoadTest, ClassAndTypeDecideTheHeadAndTheMaterial)
{
    struct Case {
        const char* cls;
        const char* type;
        std::uint32_t classCode, typeCode;
        const char* displayName;
        float diffuse, specular, power;
    };
    // Shiny types lose half their highlight with "Glow" on (1 here).
    const Case cases[] = {
        {"GCLASS_VEHICLE", "GTYPE_VEHICLE", GCLASS_VEHICLE, GTYPE_VEHICLE, "Test car", 1, 0.25f, 16},
        {"GCLASS_VEHICLE", "GTYPE_WHEEL", GCLASS_VEHICLE, GTYPE_WHEEL, "", 1, 0, 0},
        {"GCLASS_STATIC", "GTYPE_VEHICLE", GCLASS_STATIC, GTYPE_VEHICLE, "", 1, 0.25f, 16},
        {"GCLASS_STATIC", "GTYPE_STONE", GCLASS_STATIC, GTYPE_STONE, "", 1, 0, 0},
        {"GCLASS_STATIC", "GTYPE_BUILDING", GCLASS_STATIC, GTYPE_BUILDING, "", 1, 0.25f, 16},
        {"GCLASS_STATIC", "GTYPE_LAMPPOST", GCLASS_STATIC, GTYPE_LAMPPOST, "", 1, 0.25f, 16},
        {"GCLASS_HUMAN", "GTYPE_HUMAN", GCLASS_HUMAN, GTYPE_HUMAN, "", 1, 0, 0},
        {"GCLASS_STATIC", "GTYPE_STATIC", GCLASS_STATIC, GTYPE_STATIC, "", 0, 0, 0},
        {"GCLASS_EFFECT", "GTYPE_EFFECT", GCLASS_EFFECT, GTYPE_EFFECT, "", 0, 0, 0},
        {"gclass_static", "GTYPE_TREE ", 0, 0, "", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.cls) + " " + c.type);
        EXPECT_EQ(LoadAndReadNext(Head(c.cls, c.type).End().Raw("TAIL").Text()), "TAIL");
        EXPECT_EQ(m_object.m_nClass, c.classCode);
        EXPECT_EQ(m_object.m_nType, c.typeCode);
        EXPECT_STREQ(m_object.m_szDisplayName, c.displayName);
        EXPECT_NE(m_object.m_pMesh, nullptr);
        EXPECT_EQ(m_object.m_Material.Diffuse.a, c.diffuse);
        EXPECT_EQ(m_object.m_Material.Ambient.g, c.diffuse);
        EXPECT_FLOAT_EQ(m_object.m_Material.Specular.r, c.specular);
        EXPECT_EQ(m_object.m_Material.Power, c.power);
        m_object.Release();
        std::memset(m_object.m_szDisplayName, 0, sizeof(m_object.m_szDisplayName));
    }
}

TEST_F(LoadTest, ShortLinesGiveEmptyValuesAndLongNamesAreCut)
{
    DescriptionWriter w;
    w.Value("Object", "x").Ignored().Ignored();
    w.Raw("Class   GCLASS_VEHICLE").Value("Type", "GTYPE_BUILDING").Ignored();
    w.Raw("Mesh").Raw("").Ignored().End().Raw("TAIL");
    EXPECT_EQ(LoadAndReadNext(w.Text()), "TAIL");
    EXPECT_EQ(m_object.m_nClass, 0u);
    EXPECT_EQ(m_object.m_nType, std::uint32_t(GTYPE_BUILDING));
    EXPECT_EQ(m_object.m_pMesh, nullptr);
    EXPECT_EQ(m_object.m_nTextureIds[0], INVALID_TEXTURE_ID);
    m_object.Release();

    const std::string longName(100, 'N');
    DescriptionWriter car;
    car.Head({"Car", "GCLASS_VEHICLE", "GTYPE_VEHICLE", longName, "Data/Test/Box.msh", "Data/Test/Tex.dds"});
    EXPECT_EQ(LoadAndReadNext(car.End().Raw("TAIL").Text()), "TAIL");
    EXPECT_EQ(std::string(m_object.m_szDisplayName), longName.substr(0, STATIC_OBJECT_NAME_SIZE - 1));
}

TEST_F(LoadTest, AMeshOrTextureNamingAFolderIsRefused)
{
    // A folder opened as a file reported a length of about 4 GB to the readers.
    std::filesystem::create_directories("Data/Folder.msh");
    std::filesystem::create_directories("Data/Folder.dds");
    EXPECT_EQ(g_FileManager.Open("Data/Folder.msh", FILE_MODE_BINARY), INVALID_FILE_HANDLE);
    DescriptionWriter w;
    w.Head({"Test", "GCLASS_STATIC", "GTYPE_STONE", "", "Data/Folder.msh", "Data/Folder.dds"});
    EXPECT_EQ(LoadAndReadNext(w.End().Raw("TAIL").Text()), "TAIL");
    EXPECT_EQ(m_object.m_pMesh, nullptr);
    EXPECT_EQ(m_object.m_nTextureIds[0], INVALID_TEXTURE_ID);
}

TEST_F(LoadTest, AMissingEndMarkerEndsTheSectionsAtTheEndOfTheFile)
{
    for (int fileManager : {0, 1}) {
        SCOPED_TRACE(fileManager ? "archive" : "loose");
        DescriptionWriter w = Head("GCLASS_STATIC", "GTYPE_DECORS");
        WriteDescription("Data/Test/Open.obj", w.Chrome("Data/Test/Tex.dds").EmptySection("GEFFECT_X").Text());
        g_bFileManager = fileManager;
        if (fileManager) {
            ASSERT_TRUE(tools::PackDataTree("."));
        }
        g_FileManager.Init();
        const FileHandle f = m_object.Load("Data/Test/Open.obj", 0, -1, 1);
        ASSERT_NE(f, INVALID_FILE_HANDLE);
        EXPECT_TRUE(g_FileManager.IsAtEnd(f));
        EXPECT_NE(m_object.m_pChrome, nullptr);
        g_FileManager.Close(f);
        m_object.Release();
    }
}

TEST_F(LoadTest, SectionValuesAreRead)
{
    DescriptionWriter w = Head("GCLASS_STATIC", "GTYPE_LAMPPOST");
    w.LightMaps(1, "Data/Test/Tex.dds", {255, 51, 0});
    w.Lights(0.8f, {0, 255, 102}, 12.5f, 0.25f, 0.0625f);
    w.DirectLights({{255, 0, 0}, 0.5f}, {{0, 255, 0}, 0.25f}, {{0, 0, 255}, 0.125f});
    w.Spots({51, 102, 153});
    EXPECT_EQ(LoadAndReadNext(w.End().Raw("TAIL").Text()), "TAIL");

    const CLightMapsEffect& maps = *m_object.m_pLightMaps;
    EXPECT_FLOAT_EQ(maps.m_Colour.r, 1.0f);
    EXPECT_FLOAT_EQ(maps.m_Colour.g, 0.2f);
    EXPECT_FLOAT_EQ(maps.m_Colour.b, 0.0f);
    EXPECT_EQ(maps.m_Material.Emissive.g, maps.m_Colour.g);
    EXPECT_EQ(maps.m_pMesh, m_object.m_pMesh);

    const CLightsEffect& lights = *m_object.m_pLights;
    EXPECT_EQ(lights.m_vHalfSize, D3DXVECTOR3(0.8f, 0.8f, 0.2f));
    EXPECT_FLOAT_EQ(lights.m_Colour.g, 1.0f);
    EXPECT_FLOAT_EQ(lights.m_Colour.b, 0.4f);
    EXPECT_EQ(lights.m_fRange, 12.5f);
    EXPECT_EQ(lights.m_fAttenuation1, 0.25f);
    EXPECT_EQ(lights.m_fAttenuation2, 0.0625f);

    const CDirectLightsEffect& direct = *m_object.m_pDirectLights;
    EXPECT_EQ(direct.m_Colours[0].r, 1.0f);
    EXPECT_EQ(direct.m_Colours[1].g, 1.0f);
    EXPECT_EQ(direct.m_Colours[2].b, 1.0f);
    EXPECT_EQ(direct.m_Colours[2].r, 0.0f);
    EXPECT_EQ(direct.m_fSizes[0], 0.5f);
    EXPECT_EQ(direct.m_fSizes[2], 0.125f);
    EXPECT_EQ(direct.m_Head.m_pOwner, &m_object);

    EXPECT_FLOAT_EQ(m_object.m_pSpots->m_Colour.b, 0.6f);
}

TEST_F(LoadTest, BlackLampColoursBorrowFromTheLightMaps)
{
    DescriptionWriter w = Head("GCLASS_STATIC", "GTYPE_DECORS");
    w.LightMaps(1, "Data/Test/Tex.dds", {128, 64, 0}).Lights(1, {0, 0, 0}).Spots({0, 0, 0});
    w.SelfIllum("Data/Test/INFOSCREEN1.dds");
    w.Spots({0, 0, 0});
    EXPECT_EQ(LoadAndReadNext(w.End().Raw("TAIL").Text()), "TAIL");
    // The lights take the light-map colour at full strength, the spots as it is.
    EXPECT_FLOAT_EQ(m_object.m_pLights->m_Colour.r, 1.0f);
    EXPECT_FLOAT_EQ(m_object.m_pLights->m_Colour.g, 0.5f);
    // The second spots section came after the info screen: halved.
    EXPECT_FLOAT_EQ(m_object.m_pSpots->m_Colour.r, 64.0f / 255.0f);
    EXPECT_FLOAT_EQ(m_object.m_pSpots->m_Colour.a, 0.5f);
}

TEST_F(LoadTest, BlackColoursWithNothingToBorrowAreRandomLampColours)
{
    std::srand(7);
    for (int i = 0; i < 8; ++i) {
        DescriptionWriter w = Head("GCLASS_STATIC", "GTYPE_DECORS");
        EXPECT_EQ(LoadAndReadNext(w.LightMaps(1, "Data/Test/Tex.dds", {0, 0, 0}).Spots({0, 0, 0}).End().Raw("T").Text()),
                  "T");
        for (const D3DXCOLOR4& c : {m_object.m_pLightMaps->m_Colour, m_object.m_pSpots->m_Colour}) {
            EXPECT_FLOAT_EQ(std::max({c.r, c.g, c.b}), 1.0f);
            for (float v : {c.r, c.g, c.b})
                EXPECT_TRUE(v == 1.0f || std::fabs(v - 0.5f) < 1e-5f || std::fabs(v - 1.0f / 3.0f) < 1e-5f ||
                            std::fabs(v - 2.0f / 3.0f) < 1e-5f)
                    << v;
        }
        m_object.Release();
    }
}

TEST_F(LoadTest, LightMapCountsAndNumberedNames)
{
    for (int i = 1; i <= 3; ++i)
        WriteTexture("Data/Test/Lm0" + std::to_string(i) + ".dds");
    WriteTexture("Data/Test/Lm%02d.dds");
    struct Case {
        int count;
        const char* name;
        int loaded;
    };
    const Case cases[] = {
        {1, "Data/Test/Lm%02d.dds", 1}, // one texture: the name as written
        {3, "Data/Test/Lm%02d.dds", 3},
        {3, "Data/Test/Lm%s.dds", 0},   // only an integer conversion is formatted
        {2, "Data/Test/Lm%d%d.dds", 0},
        {9, "Data/Test/Lm%02d.dds", 0}, // more than the slots
        {0, "Data/Test/Lm%02d.dds", 0},
        {-2, "Data/Test/Lm%02d.dds", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + " " + c.name);
        DescriptionWriter w = Head("GCLASS_STATIC", "GTYPE_DECORS");
        EXPECT_EQ(LoadAndReadNext(w.LightMaps(c.count, c.name, {1, 2, 3}).End().Raw("TAIL").Text()), "TAIL");
        EXPECT_EQ(m_object.m_pLightMaps->m_nTextureCount, std::uint32_t(c.loaded));
        if (c.loaded == 3) {
            EXPECT_STREQ(m_object.m_pLightMaps->TextureName(2), "Data/Test/Lm03.dds");
        }
        m_object.Release();
    }
}

TEST_F(LoadTest, SelfIlluminationMakesTheLastNamedInfoScreen)
{
    struct Case {
        const char* texture;
        int flag;
        int screen; // -1: none
    };
    const Case cases[] = {
        {"Data/Test/Tex.dds", 0, -1},
        {"Data/Test/INFOSCREEN.dds", 1, -1},
        {"Data/Test/INFOSCREEN2.dds", 1, 2},
        {"INFOSCREEN0 INFOSCREEN3", 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.texture);
        DescriptionWriter w = Head("GCLASS_STATIC", "GTYPE_DECORS");
        EXPECT_EQ(LoadAndReadNext(w.SelfIllum(c.texture).End().Raw("TAIL").Text()), "TAIL");
        const CSelfIllumEffect& effect = *m_object.m_pSelfIllum;
        EXPECT_EQ(effect.m_bInfoScreen, c.flag);
        if (c.screen < 0) {
            EXPECT_EQ(effect.m_pInfoScreen, nullptr);
        } else {
            ASSERT_NE(effect.m_pInfoScreen, nullptr);
            EXPECT_EQ(effect.m_pInfoScreen->m_nKind, static_cast<std::uint32_t>(c.screen));
            EXPECT_EQ(effect.m_pInfoScreen->m_pOwner, &m_object);
        }
        m_object.Release();
    }
}

TEST_F(LoadTest, ARepeatedSectionReplacesAndFreesTheEarlierOne)
{
    WriteTexture("Data/Test/Second.dds");
    DescriptionWriter w = Head("GCLASS_STATIC", "GTYPE_DECORS");
    w.Chrome("Data/Test/Tex.dds").Chrome("Data/Test/Second.dds").Shadow().Shadow();
    EXPECT_EQ(LoadAndReadNext(w.End().Raw("TAIL").Text()), "TAIL");
    EXPECT_STREQ(m_object.m_pChrome->TextureName(0), "Data/Test/Second.dds");
    // The first chrome gave its texture back: only the object's own and the
    // second chrome's remain.
    EXPECT_EQ(UsedTextureSlots(), 2);
}

TEST_F(LoadTest, AFileThatDoesNotOpenChangesNothing)
{
    const unsigned boxes = plat::MessageBoxCount();
    m_object.m_nClass = 77;
    EXPECT_EQ(m_object.Load("Data/Test/Missing.obj", 1, -1, 1), INVALID_FILE_HANDLE);
    ASSERT_EQ(plat::MessageBoxCount(), boxes + 1);
    EXPECT_STREQ(plat::LastMessageBoxText(), "Create static object error!");
    EXPECT_STREQ(plat::LastMessageBoxCaption(), "CStaticObject error!");
    EXPECT_STREQ(m_object.m_szPath, "");
    EXPECT_EQ(m_object.m_nClass, 77u);
    EXPECT_EQ(m_object.m_pMesh, nullptr);
}

// Every car or tree built from a missing description asks for it again; a
// modal box per request stopped the game thousands of times. Each missing
// file shows the box once, and the log says which file it was.
TEST_F(LoadTest, EachMissingDescriptionShowsTheBoxOnceAndNamesTheFile)
{
    g_bDebugLog = 1;
    std::remove("debug.txt");
    const unsigned boxes = plat::MessageBoxCount();
    for (int i = 0; i < 50; ++i)
        for (const char* path : {"Data/Vehicles/01/Main.obj", "Data\\Trees\\01\\Main.obj"}) {
            CStaticObject object;
            EXPECT_EQ(object.Load(path, 1, -1, 1), INVALID_FILE_HANDLE);
        }
    EXPECT_EQ(plat::MessageBoxCount(), boxes + 2);
    EXPECT_STREQ(plat::LastMessageBoxText(), "Create static object error!");
    const std::string log = test::ReadWholeFile("debug.txt");
    EXPECT_NE(log.find("Data/Vehicles/01/Main.obj"), std::string::npos) << log;
    EXPECT_NE(log.find("Data/Trees/01/Main.obj"), std::string::npos) << log;
    g_bDebugLog = 0;

    // Data opened afresh may be missing the file again: that is told anew.
    g_FileManager.Init();
    CStaticObject again;
    again.Load("Data/Vehicles/01/Main.obj", 1, -1, 1);
    EXPECT_EQ(plat::MessageBoxCount(), boxes + 3);
}

TEST_F(LoadTest, PathsLoseTheDevelopmentFolderAndTheirBackslashes)
{
    WriteDescription("Data/Test/Main.obj", Head("GCLASS_STATIC", "GTYPE_STONE").End().Text());
    struct Case {
        const char* path;
        const char* stored;
    };
    const Case cases[] = {
        {"Data\\Test\\Main.obj", "Data/Test/Main.obj"},
        {"E:\\Projects\\Game\\Sablewick\\Main Files\\Debug\\Data\\Test\\Main.obj", "Data/Test/Main.obj"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_NE(m_object.Load(c.path, 1, -1, 1), INVALID_FILE_HANDLE);
        EXPECT_STREQ(m_object.m_szPath, c.stored);
        m_object.Release();
    }
    // Longer than the field: cut, never written past it.
    const std::string huge = "Data/" + std::string(400, 'x') + ".obj";
    EXPECT_EQ(m_object.Load(huge.c_str(), 1, -1, 1), INVALID_FILE_HANDLE);
}

TEST_F(LoadTest, LoadReleaseAndLoadAgainLeaveNothingBehind)
{
    DescriptionWriter w = Head("GCLASS_STATIC", "GTYPE_LAMPPOST");
    w.Chrome("Data/Test/Tex.dds").Glass("Data/Test/Tex.dds").LightMaps(1, "Data/Test/Tex.dds", {1, 2, 3});
    w.SelfIllum("INFOSCREEN1").Lights(1, {1, 2, 3}).DirectLights({{1, 1, 1}, 1}, {{1, 1, 1}, 1}, {{1, 1, 1}, 1});
    w.Spots({1, 2, 3}).Shadow();
    WriteDescription("Data/Test/Main.obj", w.End().Text());
    for (int round = 0; round < 2; ++round) {
        ASSERT_NE(m_object.Load("Data/Test/Main.obj", 1, -1, 1), INVALID_FILE_HANDLE);
        EXPECT_EQ(SlotsOf(m_object), 0xFFu);
        m_object.m_pBoxCorners = new D3DXVECTOR3[8];
        m_object.Release();
        EXPECT_EQ(SlotsOf(m_object), 0u);
        EXPECT_EQ(m_object.m_pMesh, nullptr);
        EXPECT_EQ(m_object.m_pBoxCorners, nullptr);
        EXPECT_EQ(RecordCount(), 0);
        EXPECT_EQ(UsedTextureSlots(), 0);
    }
}

TEST_F(LoadTest, ObjectsAreNumberedInConstructionOrderAndStartEmpty)
{
    CStaticObject a, b;
    EXPECT_EQ(b.m_nNumber, a.m_nNumber + 1);
    EXPECT_EQ(a.m_nLightIndex, -1);
    EXPECT_EQ(a.m_bAlive, 1);
    EXPECT_EQ(a.m_bRender, 1);
    EXPECT_EQ(a.m_bRayTest, 1);
    EXPECT_EQ(a.m_bVisible, 0);
    EXPECT_EQ(a.m_nTextureIds[0], INVALID_TEXTURE_ID);
}

TEST_F(LoadTest, TheRayHitRecordTakesTheObjectsCodes)
{
    EXPECT_EQ(LoadAndReadNext(Head("GCLASS_STATIC", "GTYPE_BRIDGE").End().Raw("T").Text()), "T");
    g_RayHit.Set(&m_object);
    EXPECT_EQ(g_RayHit.m_pObject, &m_object);
    EXPECT_EQ(g_RayHit.m_nClass, GCLASS_STATIC);
    EXPECT_EQ(g_RayHit.m_nType, GTYPE_BRIDGE);
    g_RayHit.Set(nullptr);
    EXPECT_EQ(g_RayHit.m_pObject, nullptr);
    EXPECT_EQ(g_RayHit.m_nClass, -1);
}

} // namespace
