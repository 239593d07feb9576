// The car's own description lines, the body file, the template copy, and
// the paint and body texture a car draws.
#include "vehicle_fixture.h"

#include "roadusers/VehicleBody.h"
#include "writers/ObjectDescriptions.h"

#include <cstring>
#include <filesystem>
#include <functional>

namespace {

using test::VehicleTest;

// The sample model 01's head, followed by chosen car lines.
std::string DescriptionWith(const tools::CarLines& lines)
{
    tools::DescriptionWriter w;
    w.Head({"Car", "GCLASS_VEHICLE", "GTYPE_VEHICLE", "Test car", "Data/Vehicles/01/Main.msh",
            "Data/Vehicles/01/Body01.dds"});
    return w.End().Text() + tools::EncodeCarLines(lines);
}

tools::CarLines DistinctLines()
{
    tools::CarLines c;
    c.wheelA = "Data/Vehicles/Wheels/Wheel01.obj";
    c.wheelB = "Data/Vehicles/Wheels/Wheel04.obj";
    c.line4 = 1.5f;
    c.mass = 1234.0f;
    c.power = 2500.0f;
    c.transmission = 1.25f;
    c.handling = 0.75f;
    c.driveFront = 1;
    c.driveRear = 0;
    c.frontGrip = 1.125f;
    c.rearGrip = 0.875f;
    c.frontRoll = 0.1f;
    c.rearRoll = 0.3f;
    c.stiffness = 21.0f;
    c.damping = 2.5f;
    c.paintRange = 200;
    c.paintRange2 = 100;
    c.textures = {"Data/Vehicles/01/Body01.dds", "Data/Vehicles/01/Body02.dds"};
    return c;
}

TEST_F(VehicleTest, EveryDescriptionLineReachesItsField)
{
    WriteRaw("Data/Test/Main.obj", DescriptionWith(DistinctLines()));
    CVehicle* car = Load("Data/Test/Main.obj");
    const struct {
        const char* field;
        float value, expected;
    } cases[] = {
        {"line 4", car->m_fLine4Value, 1.5f},          {"line 4 base", car->m_fBaseLine4Value, 1.5f},
        {"mass", car->m_fMass, 1234.0f},               {"base mass", car->m_fBaseMass, 1234.0f},
        {"power", car->m_fPower, 2500.0f},             {"base power", car->m_fBasePower, 2500.0f},
        {"transmission", car->m_fTransmission, 1.25f}, {"base transmission", car->m_fBaseTransmission, 1.25f},
        {"handling", car->m_fHandling, 0.75f},         {"base handling", car->m_fBaseHandling, 0.75f},
        {"front drive", float(car->m_nDriveValue), 1}, {"rear drive", float(car->m_nDrivenAxle), 0},
        {"front grip", car->m_fFrontGrip, 1.125f},     {"base front grip", car->m_fBaseFrontGrip, 1.125f},
        {"rear grip", car->m_fRearGrip, 0.875f},       {"base rear grip", car->m_fBaseRearGrip, 0.875f},
        {"front roll", car->m_fFrontRollInfluence, 0.1f}, {"rear roll", car->m_fRearRollInfluence, 0.3f},
        {"stiffness", car->m_fSuspensionStiffness, 21.0f}, {"damping", car->m_fSuspensionDamping, 2.5f},
        {"paint range", float(car->m_nPaintRange), 200},   {"paint range 2", float(car->m_nPaintRange2), 100},
        {"top speed", car->m_fTopSpeedFigure, 2500.0f * 0.06f},
        {"wheel radius", car->m_fWheelRadius, 0.30f},  {"wheel width", car->m_fWheelWidth, 0.20f},
        {"texture names", float(car->m_nBodyTextureNames), 2},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(c.value, c.expected, 1e-4f) << c.field;
    EXPECT_STREQ(car->m_szName, "Test car");
    EXPECT_STREQ(car->m_BodyTextureNames[1], "Data/Vehicles/01/Body02.dds");
    ASSERT_NE(car->m_pWheelModelB, nullptr);
    EXPECT_NEAR(car->m_pWheelModelB->m_pMesh->m_vBoxSize.y, 0.80f, 1e-3f) << "the second wheel is its own model";
}

TEST_F(VehicleTest, GlossAndEngineSoundLinesHaveNoEffect)
{
    tools::CarLines a = DistinctLines(), b = DistinctLines();
    b.gloss = 7;
    b.engineSound = 5;
    WriteRaw("Data/Test/A.obj", DescriptionWith(a));
    WriteRaw("Data/Test/B.obj", DescriptionWith(b));
    std::srand(11);
    CVehicle* first = Load("Data/Test/A.obj");
    std::srand(11);
    CVehicle* second = Load("Data/Test/B.obj");
    EXPECT_EQ(first->m_nPaintGloss, second->m_nPaintGloss);
    EXPECT_EQ(first->m_nEngineSound, second->m_nEngineSound);
    EXPECT_TRUE(first->m_nPaintGloss == 48 || first->m_nPaintGloss == 80);
    EXPECT_GE(first->m_nEngineSound, 0);
    EXPECT_LT(first->m_nEngineSound, 8);
}

TEST_F(VehicleTest, TextureNamesEndAtTheMarkerAtSixteenAndAtTheEndOfData)
{
    tools::CarLines lines = DistinctLines();
    lines.textures.clear();
    for (int i = 0; i < 20; ++i)
        lines.textures.push_back("Data/Vehicles/01/Body0" + std::to_string(1 + i % 3) + ".dds");
    std::string cut = DescriptionWith(DistinctLines());
    cut = cut.substr(0, cut.rfind("//--")); // two names, then the data ends
    tools::CarLines noNames = DistinctLines();
    noNames.textures.clear();
    const std::string none = DescriptionWith(noNames);
    const struct {
        const char* name;
        std::string text;
        int names;
        int texture;
    } cases[] = {
        {"marker", DescriptionWith(DistinctLines()), 2, 0},
        {"sixteen", DescriptionWith(lines), 16, 0},
        {"end of data", cut, 2, 0},
        {"no name", none, 0, -1},
    };
    for (const auto& c : cases) {
        WriteRaw("Data/Test/Main.obj", c.text);
        CVehicle* car = Load("Data/Test/Main.obj");
        EXPECT_EQ(car->m_nBodyTextureNames, c.names) << c.name;
        if (c.texture < 0)
            EXPECT_EQ(car->m_nBodyTexture, -1) << c.name;
        else
            EXPECT_GE(car->m_nBodyTexture, 0) << c.name;
    }
}

TEST_F(VehicleTest, LongDisplayNameIsCutTo63Characters)
{
    tools::DescriptionWriter w;
    const std::string longName(100, 'N');
    w.Head({"Car", "GCLASS_VEHICLE", "GTYPE_VEHICLE", longName, "Data/Vehicles/01/Main.msh",
            "Data/Vehicles/01/Body01.dds"});
    WriteRaw("Data/Test/Main.obj", w.End().Text() + tools::EncodeCarLines(DistinctLines()));
    CVehicle* car = Load("Data/Test/Main.obj");
    EXPECT_EQ(std::string(car->m_szName), std::string(63, 'N'));
}

// Body file -----------------------------------------------------------------

std::string SampleBody()
{
    return tools::EncodeBody(tools::SampleCarBodyData());
}

void PutU32(std::string* s, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        (*s)[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint32_t GetU32(const std::string& s, std::size_t at)
{
    std::uint32_t v = 0;
    std::memcpy(&v, s.data() + at, 4);
    return v;
}

TEST_F(VehicleTest, SampleBodyLoadsIntoTheCarsBuffers)
{
    const std::string bytes = SampleBody();
    CVehicle* car = Load();
    const std::uint32_t v = GetU32(bytes, 0), t = GetU32(bytes, 4);
    ASSERT_EQ(car->m_nBodyVertices, v);
    ASSERT_EQ(car->m_nBodyTriangles, t);
    EXPECT_EQ(car->m_PartFirstVertex[4] + car->m_PartVertexCount[4], v);
    void* data = nullptr;
    ASSERT_EQ(car->m_pBodyVB->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(std::memcmp(data, bytes.data() + 88, v * 36), 0);
    car->m_pBodyVB->Unlock();
    ASSERT_EQ(car->m_pBodyIB->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(std::memcmp(data, bytes.data() + 88 + v * 36, t * 6), 0);
    car->m_pBodyIB->Unlock();
    EXPECT_EQ(std::memcmp(car->m_pDeform, bytes.data() + 88 + v * 36 + t * 6, v * 40), 0);
}

TEST_F(VehicleTest, BrokenBodyFilesLeaveTheCarWithoutBody)
{
    const std::string good = SampleBody();
    const std::uint32_t v = GetU32(good, 0), t = GetU32(good, 4);
    const std::size_t records = 88 + v * 36 + t * 6;
    const std::size_t indices = 88 + v * 36;
    const std::uint32_t count4 = GetU32(good, 28 + 16);
    const std::uint32_t groupCount0 = GetU32(good, 28);
    const struct {
        const char* name;
        std::function<void(std::string*)> damage;
    } cases[] = {
        {"one byte more", [](std::string* s) { s->push_back('\0'); }},
        {"one byte less", [](std::string* s) { s->pop_back(); }},
        {"no vertices", [](std::string* s) { PutU32(s, 0, 0); }},
        {"more than 10,000 vertices", [](std::string* s) { PutU32(s, 0, 10001); }},
        {"group 4 ends before the last vertex", [&](std::string* s) { PutU32(s, 28 + 16, count4 - 1); }},
        {"group past the triangles", [&](std::string* s) { PutU32(s, 68, t + 1); }},
        {"group past the vertices", [&](std::string* s) { PutU32(s, 8 + 12, v); }},
        {"index at the group's count",
         [&](std::string* s) {
             (*s)[indices] = static_cast<char>(groupCount0 & 0xFF);
             (*s)[indices + 1] = static_cast<char>(groupCount0 >> 8);
         }},
        {"five twins", [&](std::string* s) { (*s)[records + 36] = 5; }},
        {"twin past the vertices",
         [&](std::string* s) {
             (*s)[records + 36] = 1;
             (*s)[records + 28] = static_cast<char>(v & 0xFF);
             (*s)[records + 29] = static_cast<char>(v >> 8);
         }},
    };
    for (const auto& c : cases) {
        std::string bytes = good;
        c.damage(&bytes);
        VehicleBodyLayout layout;
        EXPECT_FALSE(ParseVehicleBody(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &layout))
            << c.name;
        WriteRaw("Data/Vehicles/01/MainExtra.dat", bytes);
        CVehicle* car = Load();
        EXPECT_EQ(car->m_nBodyVertices, 0u) << c.name;
        EXPECT_EQ(car->m_pBodyVB, nullptr) << c.name;
        EXPECT_EQ(car->m_pDeform, nullptr) << c.name;
        EXPECT_GE(car->m_nBodyTexture, 0) << c.name << ": the paint and texture steps still run";
    }
}

TEST_F(VehicleTest, BodyFileNameTakesTheLastDot)
{
    const struct {
        const char* path;
        const char* body;
    } cases[] = {
        {"Data/Vehicles/01/Main.obj", "Data/Vehicles/01/MainExtra.dat"},
        {"Data/Vehicles/01/Police.obj", "Data/Vehicles/01/PoliceExtra.dat"},
        {"Data/V.1/Car.old.obj", "Data/V.1/Car.oldExtra.dat"},
        {"Data/V.1/Car", "Data/VExtra.dat"},
        {"Car", "CarExtra.dat"},
    };
    for (const auto& c : cases) {
        char name[64];
        VehicleBodyFileName(name, sizeof(name), c.path);
        EXPECT_STREQ(name, c.body) << c.path;
    }
}

TEST_F(VehicleTest, ACopyOfATemplateOwnsItsBodyAndReadsNoFile)
{
    CVehicle* model = Load();
    ASSERT_GT(model->m_nBodyVertices, 0u);
    g_VehicleManager.m_Templates[0] = model;
    std::filesystem::remove("Data/Vehicles/01/MainExtra.dat");
    CVehicle* copy = Load();
    ASSERT_EQ(copy->m_nBodyVertices, model->m_nBodyVertices);
    ASSERT_NE(copy->m_pBodyVB, model->m_pBodyVB);
    ASSERT_NE(copy->m_pDeform, model->m_pDeform);
    const D3DXVECTOR3 before = BodyVertex(model, 0);
    EXPECT_EQ(BodyVertex(copy, 0), before);

    void* data = nullptr;
    ASSERT_EQ(copy->m_pBodyVB->Lock(0, 0, &data, 0), D3D_OK);
    static_cast<float*>(data)[0] += 1.0f;
    copy->m_pBodyVB->Unlock();
    copy->m_pDeform[0].fAmount = 1.0f;
    EXPECT_EQ(BodyVertex(model, 0), before);
    EXPECT_EQ(model->m_pDeform[0].fAmount, 0.0f);
}

TEST_F(VehicleTest, PaintAndBodyTextureFollowTheKindAndTheNames)
{
    // Player and rival skip name 0 when there are others; police and traffic
    // may take any name.
    for (int names : {1, 2}) {
        tools::CarLines lines = DistinctLines();
        lines.textures.resize(names);
        WriteRaw("Data/Test/Main.obj", DescriptionWith(lines));
        for (int kind : {VEHICLE_PLAYER, VEHICLE_RIVAL}) {
            for (int draw = 0; draw < 5; ++draw) {
                CVehicle* car = Spawned(kind, "Data/Test/Main.obj");
                const TextureId expected = g_D3DRender.m_TextureManager.FindTexture(lines.textures[names - 1].c_str());
                EXPECT_EQ(car->m_nBodyTexture, static_cast<std::int32_t>(expected)) << names << " " << kind;
            }
        }
    }
    tools::CarLines police = DistinctLines();
    police.paintRange = 128;
    police.paintRange2 = 0;
    WriteRaw("Data/Test/Police.obj", DescriptionWith(police));
    CVehicle* car = Spawned(VEHICLE_POLICE, "Data/Test/Police.obj");
    for (int c = 0; c < 3; ++c) {
        EXPECT_FLOAT_EQ(car->m_PaintColor[c], 128.0f / 255.0f);
        EXPECT_FLOAT_EQ(car->m_PaintColor2[c], 0.0f);
    }
    EXPECT_EQ(car->m_nPaintGloss, 64);
    EXPECT_NE(car->m_pPaintTexture, nullptr);
}

TEST_F(VehicleTest, PaintRangesBelowOneCountAsOne)
{
    tools::CarLines lines = DistinctLines();
    lines.paintRange = 0;
    lines.paintRange2 = -5;
    WriteRaw("Data/Test/Main.obj", DescriptionWith(lines));
    CVehicle* car = Load("Data/Test/Main.obj");
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(car->m_PaintColor[c], 0.0f);
        EXPECT_EQ(car->m_PaintColor2[c], 0.0f);
    }
    EXPECT_EQ(car->m_PaintColor[3], 1.0f);
}

TEST_F(VehicleTest, PaintStaysWithinTheRange)
{
    tools::CarLines lines = DistinctLines();
    lines.paintRange = 10;
    WriteRaw("Data/Test/Main.obj", DescriptionWith(lines));
    for (int i = 0; i < 10; ++i) {
        CVehicle* car = Load("Data/Test/Main.obj");
        for (int c = 0; c < 3; ++c)
            EXPECT_LE(car->m_PaintColor[c], 9.0f / 255.0f);
        EXPECT_EQ(car->m_Material.Diffuse.a, 0.0f) << "invisible until its first update";
    }
}

TEST_F(VehicleTest, AModelWithoutWhatPhysicsNeedsBuildsNothing)
{
    WriteRaw("Data/Test/Box.msh", tools::EncodeMesh(tools::MeshData{}));
    tools::DescriptionWriter w;
    w.Head({"Car", "GCLASS_VEHICLE", "GTYPE_VEHICLE", "Boxy", "Data/Test/None.msh", "Data/Vehicles/01/Body01.dds"});
    WriteRaw("Data/Test/Main.obj", w.End().Text() + tools::EncodeCarLines(DistinctLines()));
    CVehicle* car = Spawned(VEHICLE_PLAYER, "Data/Test/Main.obj");
    EXPECT_FALSE(car->HasPhysicsModel());
    EXPECT_EQ(car->m_pRigidBody, nullptr);
    EXPECT_EQ(car->m_pRaycastVehicle, nullptr);
    car->SetPhysicsActive(1);
    car->UpdatePhysicsProperties();
    EXPECT_EQ(car->m_bPhysicsActive, 0);
}

TEST_F(VehicleTest, EverySampleCarLoadsWithBodyWheelsAndFigures)
{
    for (const std::string& path : tools::SampleVehiclePaths()) {
        CVehicle* car = Load(path.c_str());
        EXPECT_TRUE(car->HasPhysicsModel()) << path;
        EXPECT_GT(car->m_nBodyVertices, 0u) << path;
        EXPECT_GT(car->m_fLine4Value, 0.0f) << path;
        EXPECT_GE(car->m_nPaintRange, 1) << path;
        EXPECT_GE(car->m_nBodyTextureNames, 1) << path;
        EXPECT_GE(car->m_nBodyTexture, 0) << path;
        EXPECT_NE(car->m_szName[0], '\0') << path;
        const D3DXVECTOR3* wheel = car->m_pMesh->m_pPoints[VEHICLE_MESH_WHEEL_PART];
        EXPECT_GT(wheel[4].y - wheel[0].y - car->m_fWheelRadius, 0.0f) << path << ": rest length";
        EXPECT_EQ(car->m_pMesh->m_nPoints[VEHICLE_MESH_ENGINE_PART], 3u) << path;
    }
}

} // namespace
