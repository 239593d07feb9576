// The effect sub-objects' draws on the recording device: the states they set
// and give back, the part they draw, and the light-batch vertices they write.
#include "static_object_fixture.h"

#include "graphics/SceneLights.h"
#include "objects/DirectLightsEffect.h"
#include "objects/LightsEffect.h"
#include "objects/MaterialEffects.h"
#include "objects/SpotsEffect.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "world/Landscape.h"
#include "world/Sky.h"

#include <cmath>
#include <functional>
#include <vector>

namespace {

using plat::D3DOp;
using test::StaticObjectTest;

// Lamps over the mesh's point lists: two head lamps, two rear lamps and a
// list of five for the cones (two pairs and one left over).
tools::MeshData EffectMesh(std::vector<tools::MeshVec3> headLamps = {{-0.6f, 0.7f, 2.0f}, {0.6f, 0.7f, 2.0f}},
                           std::vector<tools::MeshVec3> rearLamps = {{-0.6f, 0.8f, -2.0f}, {0.6f, 0.8f, -2.0f}})
{
    tools::MeshData mesh;
    const tools::UvRect all{0, 0, 1, 1};
    tools::AddTexturedBox(&mesh.parts[0], {-1, 0, -2}, {1, 1, 2}, all, all);
    // Parts 2 to 5 of 1 to 4 boxes, so a draw's triangle count names its part.
    for (int part = 2; part <= 5; ++part) {
        for (int box = 0; box < part - 1; ++box) {
            const float x = static_cast<float>(box);
            tools::AddTexturedBox(&mesh.parts[part], {x, 1, 0}, {x + 0.5f, 1.5f, 0.5f}, all, all);
        }
    }
    mesh.parts[11] = tools::BoxPart({-1, 0, -2}, {1, 1, 2});
    mesh.parts[1].points = std::move(headLamps);
    mesh.parts[2].points = std::move(rearLamps);
    mesh.parts[3].points = {{0, 5, 0}, {0, 0, 0}, {2, 5, 0}, {2, 0, 1}, {9, 9, 9}};
    return mesh;
}

DWORD TrianglesOfPart(int part)
{
    return static_cast<DWORD>(12 * (part - 1));
}

class EffectDrawTest : public StaticObjectTest {
protected:
    void SetUp() override
    {
        StaticObjectTest::SetUp();
        g_D3DRender.SetDefaultStates();
        Write("Data/Test/Fx.msh", EffectMesh());
        WriteTexture("Data/Test/Chrome.dds");
        WriteTexture("Data/Test/Glass01.dds");
        WriteTexture("Data/Test/Glass02.dds");
        WriteTexture("Data/Test/Lights.dds");
        WriteTexture("Data/Test/Sign.dds");
        m_savedFactor = g_Sky.m_fLightsFactor;
        m_savedCell = g_Landscape.m_fCellSize;
        // The sample city's cells.
        g_Landscape.m_fCellSize = 4.0f;
        CD3DRender& r = g_D3DRender;
        r.m_pShaderBatchVertices = m_batch.data();
        r.m_pShaderBatchIndices = m_batchIndices.data();
        r.m_pFixedBatchVertices = m_fixed.data();
        r.m_pFixedBatchIndices = m_fixedIndices.data();
        ClearBatches();
    }
    void TearDown() override
    {
        for (CStaticObject& o : m_objects)
            o.Release();
        m_car.Release();
        g_pPlayerVehicle = nullptr;
        g_VehicleManager.m_pRaceInfoScreen = nullptr;
        g_Sky.m_fLightsFactor = m_savedFactor;
        g_Landscape.m_fCellSize = m_savedCell;
        CD3DRender& r = g_D3DRender;
        r.m_pShaderBatchVertices = nullptr;
        r.m_pShaderBatchIndices = nullptr;
        r.m_pFixedBatchVertices = nullptr;
        r.m_pFixedBatchIndices = nullptr;
        ClearBatches();
        StaticObjectTest::TearDown();
    }

    static void ClearBatches()
    {
        g_D3DRender.m_nShaderBatchVertices = g_D3DRender.m_nShaderBatchIndices = 0;
        g_D3DRender.m_nFixedBatchVertices = g_D3DRender.m_nFixedBatchIndices = 0;
    }
    std::vector<CLightVertex> Batch() const
    {
        return {m_batch.begin(), m_batch.begin() + g_D3DRender.m_nShaderBatchVertices};
    }

    // Loads the object with the sections the caller writes, placed at `at`
    // (a quarter turn about y when turned), seen by the fixture's camera.
    void Load(CStaticObject* o, const char* type, const std::function<void(tools::DescriptionWriter&)>& sections,
              const D3DXVECTOR3& at = D3DXVECTOR3(0, 0, 0), const char* mesh = "Data/Test/Fx.msh")
    {
        const bool car = std::string(type) == "GTYPE_VEHICLE";
        tools::DescriptionWriter w = Head(car ? "GCLASS_VEHICLE" : "GCLASS_STATIC", type, mesh);
        sections(w);
        WriteDescription("Data/Test/Fx.obj", w.End().Text());
        ASSERT_NE(o->CStaticObject::Load("Data/Test/Fx.obj", 1, -1, 1), INVALID_FILE_HANDLE);
        MoveTo(o, at);
        o->m_bVisible = 1;
    }
    static void MoveTo(CStaticObject* o, const D3DXVECTOR3& at)
    {
        D3DXMatrixTranslation(&o->m_matWorld, at.x, at.y, at.z);
        D3DXVec3TransformCoord(&o->m_vPosition, &o->m_vSphereCentre, &o->m_matWorld);
        o->UpdateCameraDistance();
    }

    // The triangle counts of the draws a call made.
    std::vector<DWORD> Draws(const std::function<void()>& render)
    {
        plat::RecordedCalls(m_device).Clear();
        render();
        std::vector<DWORD> draws;
        for (const plat::D3DCall& c : plat::RecordedCalls(m_device).Of(D3DOp::DrawIndexedPrimitive))
            draws.push_back(c.f);
        return draws;
    }
    // The values a stage state took during the last recorded calls, in order.
    std::vector<DWORD> StageValues(DWORD stage, DWORD type) const
    {
        std::vector<DWORD> values;
        for (const plat::D3DCall& c : plat::RecordedCalls(m_device).Of(D3DOp::SetTextureStageState)) {
            if (c.a == stage && c.b == type)
                values.push_back(c.c);
        }
        return values;
    }
    DWORD RenderState(D3DRENDERSTATETYPE state) const
    {
        DWORD v = 0;
        m_device->GetRenderState(state, &v);
        return v;
    }

    CStaticObject m_objects[3];
    CVehicle m_car;
    float m_savedFactor = 0.0f;
    float m_savedCell = 0.0f;
    std::vector<CLightVertex> m_batch = std::vector<CLightVertex>(SHADER_BATCH_VERTICES);
    std::vector<WORD> m_batchIndices = std::vector<WORD>(SHADER_BATCH_INDICES);
    std::vector<CFixedLightVertex> m_fixed = std::vector<CFixedLightVertex>(FIXED_BATCH_VERTICES);
    std::vector<WORD> m_fixedIndices = std::vector<WORD>(FIXED_BATCH_INDICES);
};

void AllMaterialSections(tools::DescriptionWriter& w)
{
    w.Chrome("Data/Test/Chrome.dds").Glass("Data/Test/Glass%2.dds");
    w.LightMaps(1, "Data/Test/Lights.dds", {255, 128, 0}).SelfIllum("Data/Test/Sign.dds");
}

TEST_F(EffectDrawTest, MaterialEffectsDrawTheirPartAndGiveTheirStatesBack)
{
    CStaticObject& o = m_objects[0];
    Load(&o, "GTYPE_BUILDING", AllMaterialSections, D3DXVECTOR3(0, 0, 0));
    g_Sky.m_fLightsFactor = 0.0f;

    EXPECT_EQ(Draws([&] { o.m_pChrome->Render(); }), std::vector<DWORD>{TrianglesOfPart(4)});
    // Reflection vectors in camera space while drawing, plain coordinates after.
    EXPECT_EQ(StageValues(0, D3DTSS_TEXCOORDINDEX), (std::vector<DWORD>{0x30001u, 0u}));
    EXPECT_EQ(StageValues(0, D3DTSS_TEXTURETRANSFORMFLAGS), (std::vector<DWORD>{D3DTTFF_COUNT3, 0u}));
    // By day the shine is at its 40 % floor.
    EXPECT_EQ(RenderState(D3DRS_TEXTUREFACTOR), 0xFF666666u);

    EXPECT_EQ(Draws([&] { o.m_pRGlass->Render(); }), std::vector<DWORD>{TrianglesOfPart(3)});
    EXPECT_EQ(StageValues(1, D3DTSS_COLOROP), (std::vector<DWORD>{D3DTOP_MULTIPLYADD, D3DTOP_DISABLE}));
    EXPECT_EQ(StageValues(0, D3DTSS_TEXCOORDINDEX).back(), 0u);

    EXPECT_EQ(Draws([&] { o.m_pLightMaps->Render(); }), std::vector<DWORD>{TrianglesOfPart(5)});
    EXPECT_EQ(RenderState(D3DRS_SRCBLEND), DWORD(D3DBLEND_ONE));
    EXPECT_EQ(RenderState(D3DRS_DESTBLEND), DWORD(D3DBLEND_ONE));
    EXPECT_EQ(RenderState(D3DRS_ZWRITEENABLE), 0u);

    EXPECT_EQ(Draws([&] { o.m_pSelfIllum->Render(); }), std::vector<DWORD>{TrianglesOfPart(2)});
    EXPECT_EQ(RenderState(D3DRS_ZWRITEENABLE), 1u);
}

TEST_F(EffectDrawTest, TheEffectGateStopsEachEffectAtItsDistance)
{
    struct Case {
        const char* type;
        float distance;
        int cubePass;
        const char* drawn; // c chrome, g glass, m light maps, i self-illumination
    } cases[] = {
        {"GTYPE_BUILDING", 399.0f, 0, "cgmi"}, {"GTYPE_BUILDING", 401.0f, 0, "gmi"},
        {"GTYPE_BUILDING", 601.0f, 0, ""},     {"GTYPE_VEHICLE", 179.0f, 0, "cgmi"},
        {"GTYPE_VEHICLE", 181.0f, 0, ""},      {"GTYPE_BUILDING", 59.0f, 1, "cgmi"},
        {"GTYPE_BUILDING", 61.0f, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " at " + std::to_string(c.distance));
        CStaticObject& o = m_objects[0];
        o.Release();
        Load(&o, c.type, AllMaterialSections, D3DXVECTOR3(0, 0, 0));
        o.m_fCameraDistance = c.distance;
        g_CubePassActive = c.cubePass;
        std::string drawn;
        const std::pair<char, std::function<void()>> effects[] = {{'c', [&] { o.m_pChrome->Render(); }},
                                                                  {'g', [&] { o.m_pRGlass->Render(); }},
                                                                  {'m', [&] { o.m_pLightMaps->Render(); }},
                                                                  {'i', [&] { o.m_pSelfIllum->Render(); }}};
        for (const auto& [name, render] : effects) {
            if (!Draws(render).empty())
                drawn += name;
        }
        g_CubePassActive = 0;
        EXPECT_EQ(drawn, c.drawn);
    }
}

TEST_F(EffectDrawTest, LightMapsSwitchOffAndTheRaceScreenGivesItsCullModeBack)
{
    CStaticObject& o = m_objects[0];
    Load(&o, "GTYPE_DECORS", AllMaterialSections);
    o.m_fCameraDistance = 10.0f;
    g_D3DRender.SetCullMode(D3DCULL_CW);
    g_D3DRender.SaveCullMode();
    g_D3DRender.SetCullMode(D3DCULL_CCW);
    // A decor that is not the race screen leaves the cull mode alone, rather
    // than restoring one it never saved.
    EXPECT_EQ(Draws([&] { o.m_pLightMaps->Render(); }).size(), 1u);
    EXPECT_EQ(RenderState(D3DRS_CULLMODE), DWORD(D3DCULL_CCW));

    g_VehicleManager.m_pRaceInfoScreen = &o;
    plat::RecordedCalls(m_device).Clear();
    EXPECT_EQ(Draws([&] { o.m_pLightMaps->Render(); }).size(), 1u);
    EXPECT_EQ(RenderState(D3DRS_CULLMODE), DWORD(D3DCULL_CCW)) << "both sides while drawing, then back";

    CLightMapsEffect& maps = *o.m_pLightMaps;
    maps.m_pMesh = nullptr;
    EXPECT_TRUE(Draws([&] { maps.Render(); }).empty()) << "mesh cleared";
    maps.m_pMesh = o.m_pMesh;
    maps.m_pOwner = nullptr;
    EXPECT_TRUE(Draws([&] { maps.Render(); }).empty()) << "owner cleared";
    maps.m_pOwner = &o;
}

void Lamp(tools::DescriptionWriter& w)
{
    w.Lights(0.5f, {255, 128, 0});
}

TEST_F(EffectDrawTest, LampSpritesShineAtNightAndGoOutWithAZeroSize)
{
    CStaticObject& lamp = m_objects[0];
    Load(&lamp, "GTYPE_LAMPPOST", Lamp, D3DXVECTOR3(10, 0, 0));
    lamp.m_fCameraDistance = 5.0f;
    CLightsEffect& set = *lamp.m_pLights;

    g_Sky.m_fLightsFactor = 0.0f;
    set.Render();
    EXPECT_EQ(g_D3DRender.m_nShaderBatchVertices, 0u) << "by day";

    g_Sky.m_fLightsFactor = 0.5f;
    set.Render();
    ASSERT_EQ(set.m_nCount, 2u);
    std::vector<CLightVertex> v = Batch();
    ASSERT_EQ(v.size(), 8u);
    EXPECT_EQ(g_D3DRender.m_nShaderBatchIndices, 12u);
    // At the head lamps' points moved with the lamp; colour x lights factor.
    EXPECT_FLOAT_EQ(v[0].vCentre.x, 9.4f);
    EXPECT_FLOAT_EQ(v[4].vCentre.x, 10.6f);
    EXPECT_FLOAT_EQ(v[4].vCentre.z, 2.0f);
    EXPECT_EQ(v[0].nColour, 0xFF7F4000u);
    EXPECT_FLOAT_EQ(v[0].vOffset.x, 0.5f);
    EXPECT_FLOAT_EQ(v[3].vOffset.y, -0.5f);
    EXPECT_FLOAT_EQ(v[3].vOffset.z, 0.125f);
    EXPECT_FLOAT_EQ(v[3].fU, 0.999f);

    const D3DXVECTOR3 out(0, 0, 0);
    set.SetLightSize(1, &out);
    set.SetLightSize(7, &out); // no such lamp
    ClearBatches();
    set.Render();
    v = Batch();
    ASSERT_EQ(v.size(), 8u);
    EXPECT_FLOAT_EQ(v[0].vOffset.x, 0.5f) << "the neighbour still shines";
    for (int c = 4; c < 8; ++c)
        EXPECT_EQ(v[c].vOffset, out);
    set.SetLightSize(1, &set.m_vHalfSize);
    ClearBatches();
    g_WaterPassActive = 1;
    lamp.m_fCameraDistance = 5.0f;
    set.Render();
    g_WaterPassActive = 0;
    ASSERT_EQ(Batch().size(), 8u);
    EXPECT_FLOAT_EQ(Batch()[4].vOffset.x, 1.5f) << "relit, three times as large in the water";
}

TEST_F(EffectDrawTest, ALampLaysItsPoolOnTheGroundNearbyAtNight)
{
    CStaticObject& lamp = m_objects[0];
    Load(&lamp, "GTYPE_LAMPPOST", Lamp, D3DXVECTOR3(0, 0, 20));
    g_Sky.m_fLightsFactor = 1.0f;
    lamp.m_fCameraDistance = 30.0f;
    // The first frame builds the lamp and its pool, the next draws both.
    lamp.m_pLights->Render();
    ClearBatches();
    lamp.m_pLights->Render();
    ASSERT_EQ(g_D3DRender.m_nFixedBatchVertices, 49u);
    EXPECT_EQ(g_D3DRender.m_nFixedBatchIndices, 216u);
    // Three cells of the sample city either side of the lamp.
    EXPECT_FLOAT_EQ(m_fixed[0].x, -12.0f);
    EXPECT_FLOAT_EQ(m_fixed[0].z, 32.0f);
    EXPECT_FLOAT_EQ(m_fixed[48].x, 12.0f);
    EXPECT_FLOAT_EQ(m_fixed[48].z, 8.0f);
    EXPECT_FLOAT_EQ(m_fixed[48].u, 0.25f);

    for (auto [distance, factor] : {std::pair{81.0f, 1.0f}, std::pair{30.0f, 0.0f}}) {
        ClearBatches();
        lamp.m_fCameraDistance = distance;
        g_Sky.m_fLightsFactor = factor;
        lamp.m_pLights->Render();
        EXPECT_EQ(g_D3DRender.m_nFixedBatchVertices, 0u) << distance << " " << factor;
    }
}

TEST_F(EffectDrawTest, SpotConesPairTheirPointsAndFollowTheirCar)
{
    Load(&m_car, "GTYPE_VEHICLE", [](tools::DescriptionWriter& w) { w.Spots({255, 0, 0}); }, D3DXVECTOR3(0, 0, 0));
    m_car.m_fCameraDistance = 10.0f;
    m_car.m_pSpots->Render();
    std::vector<CLightVertex> v = Batch();
    ASSERT_EQ(v.size(), 6u) << "five points make two cones";
    EXPECT_EQ(v[1].vCentre, D3DXVECTOR3(0, 5, 0)) << "apex at the lamp";
    EXPECT_EQ(v[0].vCentre, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(v[0].nColour, 0xFFFF0000u);
    EXPECT_FLOAT_EQ(v[0].vOffset.x, 5.0f * 0.3333f);
    EXPECT_FLOAT_EQ(v[1].fV, 0.999f);

    MoveTo(&m_car, D3DXVECTOR3(3, 0, 0));
    m_car.m_fCameraDistance = 10.0f;
    ClearBatches();
    m_car.m_pSpots->Render();
    v = Batch();
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(v[4].vCentre, D3DXVECTOR3(5, 5, 0));
    EXPECT_EQ(v[5].vCentre, D3DXVECTOR3(5, 0, 1));
}

TEST_F(EffectDrawTest, ASpotPairOnlyOnePointLongMakesNoCone)
{
    tools::MeshData mesh = EffectMesh();
    mesh.parts[3].points = {{0, 5, 0}};
    Write("Data/Test/One.msh", mesh);
    CStaticObject& o = m_objects[0];
    Load(&o, "GTYPE_BUILDING", [](tools::DescriptionWriter& w) { w.Spots({255, 0, 0}); }, D3DXVECTOR3(0, 0, 0),
         "Data/Test/One.msh");
    o.m_fCameraDistance = 10.0f;
    o.m_pSpots->Render();
    EXPECT_EQ(o.m_pSpots->m_nCount, 0u);
    EXPECT_EQ(g_D3DRender.m_nShaderBatchVertices, 0u);
}

TEST_F(EffectDrawTest, AnOwnerWithoutAMeshGivesTheLightsNothingToBuildFrom)
{
    CStaticObject& lamp = m_objects[0];
    Load(&lamp, "GTYPE_LAMPPOST", [](tools::DescriptionWriter& w) {
        w.Lights(0.5f, {255, 128, 0}).Spots({255, 0, 0}).Shadow();
    });
    lamp.m_fCameraDistance = 5.0f;
    g_Sky.m_fLightsFactor = 1.0f;
    CMeshRecord* mesh = lamp.m_pMesh;
    lamp.m_pMesh = nullptr;
    lamp.m_pLights->Render();
    lamp.m_pSpots->Render();
    EXPECT_TRUE(Draws([&] { lamp.m_pShadow->Render(); }).empty());
    lamp.m_pMesh = mesh;
    EXPECT_EQ(g_D3DRender.m_nShaderBatchVertices, 0u);
    EXPECT_EQ(lamp.m_pLights->m_nCount, 0u);
    EXPECT_EQ(lamp.m_pSpots->m_nCount, 0u);
}

void CarLamps(tools::DescriptionWriter& w)
{
    w.DirectLights({{255, 255, 255}, 0.3f}, {{128, 0, 0}, 0.2f}, {{255, 128, 0}, 0.1f});
}

TEST_F(EffectDrawTest, CarLampsByDayAndByNight)
{
    // No rear lamps on this car. Turned round to face the fixture's camera,
    // which stands on -z.
    Write("Data/Test/NoRear.msh", EffectMesh({{-0.6f, 0.7f, 2.0f}, {0.6f, 0.7f, 2.0f}}, {}));
    Load(&m_car, "GTYPE_VEHICLE", CarLamps, D3DXVECTOR3(0, 0, 0), "Data/Test/NoRear.msh");
    D3DXMatrixRotationY(&m_car.m_matWorld, D3DX_PI);
    m_car.m_fCameraDistance = 20.0f;
    CDirectLightsEffect& lamps = *m_car.m_pDirectLights;
    struct Case {
        float factor;
        std::size_t vertices; // 4 per lamp: glare 2, head 2, third 5
        std::size_t beams;
    } cases[] = {{0.3f, 20, 0}, {1.0f, 36, 80}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.factor);
        ClearBatches();
        g_Sky.m_fLightsFactor = c.factor;
        lamps.Render();
        EXPECT_EQ(Batch().size(), c.vertices);
        ClearBatches();
        lamps.RenderVehicleLights();
        EXPECT_EQ(Batch().size(), c.beams);
    }
    EXPECT_EQ(lamps.m_Rear.m_nCount, 0u) << "an empty list is not built again over the head lamps";
    // A broken head lamp casts no beam.
    const D3DXVECTOR3 out(0, 0, 0);
    lamps.m_Glare.SetLightSize(0, &out);
    ClearBatches();
    lamps.RenderVehicleLights();
    EXPECT_EQ(Batch().size(), 40u);
}

TEST_F(EffectDrawTest, BrakingReddensAndGrowsTheRearLampsOfACarOnly)
{
    Load(&m_car, "GTYPE_VEHICLE", CarLamps);
    m_car.m_fCameraDistance = 20.0f;
    g_Sky.m_fLightsFactor = 0.0f;
    CDirectLightsEffect& lamps = *m_car.m_pDirectLights;
    const D3DXVECTOR3 out(0, 0, 0);
    lamps.m_Rear.SetLightSize(1, &out);
    m_car.m_fBrake = 100.0f;
    lamps.Render();
    EXPECT_FLOAT_EQ(lamps.m_Rear.m_Colour.r, 1.0f);
    EXPECT_FLOAT_EQ(lamps.m_Rear.m_pSizes[0].x, 0.4f);
    EXPECT_EQ(lamps.m_Rear.m_pSizes[1], out) << "a broken lamp stays out";

    // The same section on a prop has no pedal to read.
    CStaticObject& prop = m_objects[0];
    Load(&prop, "GTYPE_DECORS", CarLamps);
    prop.m_fCameraDistance = 20.0f;
    prop.m_pDirectLights->Render();
    EXPECT_FLOAT_EQ(prop.m_pDirectLights->m_Rear.m_pSizes[0].x, 0.2f);
}

TEST_F(EffectDrawTest, ThePlayersHeadlightSpotTakesAndHandsBackItsSlot)
{
    // One head lamp: the spot sits at it.
    Write("Data/Test/OneLamp.msh", EffectMesh({{0.5f, 0.7f, 2.0f}}));
    Load(&m_car, "GTYPE_VEHICLE", CarLamps, D3DXVECTOR3(0, 0, 0), "Data/Test/OneLamp.msh");
    m_car.m_fCameraDistance = 20.0f;
    m_car.m_nLightIndex = -1;
    g_pPlayerVehicle = &m_car;
    g_Sky.m_fLightsFactor = 1.0f;
    // Seen from behind, looking the way the car faces.
    const D3DXVECTOR3 eye(0, 2, -10), target(0, 1, 10), up(0, 1, 0);
    m_camera.SetView(&eye, &target, &up);
    m_car.m_pDirectLights->RenderVehicleLights();
    EXPECT_EQ(Batch().size(), 40u);
    ASSERT_EQ(m_car.m_nLightIndex, g_SceneLights.m_nSpotSlot);
    const D3DLIGHT9& spot = g_SceneLights.m_Slots[m_car.m_nLightIndex].m_Light;
    EXPECT_FLOAT_EQ(spot.Position.x, 0.5f);
    EXPECT_FLOAT_EQ(spot.Position.z, 2.0f);
    EXPECT_FLOAT_EQ(spot.Range, 30.0f);

    g_Sky.m_fLightsFactor = 0.5f;
    m_car.m_pDirectLights->RenderVehicleLights();
    EXPECT_EQ(m_car.m_nLightIndex, g_SceneLights.m_nSpotSlot) << "by day the spot keeps its state";
    g_Sky.m_fLightsFactor = 1.0f;
    const D3DXVECTOR3 out(0, 0, 0);
    m_car.m_pDirectLights->m_Glare.SetLightSize(0, &out);
    m_car.m_pDirectLights->RenderVehicleLights();
    EXPECT_EQ(m_car.m_nLightIndex, -1) << "no beam, no spot";
}

TEST_F(EffectDrawTest, ShadowDrawsItsPartOnlyForAFrameThePartHas)
{
    Load(&m_car, "GTYPE_VEHICLE", [](tools::DescriptionWriter& w) { w.Shadow(); });
    CShadowEffect& shadow = *m_car.m_pShadow;
    m_car.m_fCameraDistance = 20.0f;
    g_Game.m_vShadowCenter[0] = g_Game.m_vShadowCenter[1] = g_Game.m_vShadowCenter[2] = 0.0f;
    EXPECT_EQ(Draws([&] { shadow.Render(); }), std::vector<DWORD>{12u});
    m_car.m_nFrame = 1;
    EXPECT_TRUE(Draws([&] { shadow.Render(); }).empty()) << "part 11 has one frame";
    m_car.m_nFrame = 0;
    m_car.m_fCameraDistance = 46.0f;
    EXPECT_TRUE(Draws([&] { shadow.Render(); }).empty()) << "a car far from the camera";
    m_car.m_fCameraDistance = 20.0f;
    g_Game.m_vShadowCenter[0] = 200.0f;
    EXPECT_TRUE(Draws([&] { shadow.Render(); }).empty()) << "far from the shadow map";
}

} // namespace
