// The car draws on the recording device: the skip rule, the body group
// draws, each car's own textures, the stage state each pass leaves, the
// environment map and the police flasher.
#include "roadusers/vehicle_fixture.h"

#include "graphics/WorldCamera.h"
#include "shell/GameTimer.h"
#include "shell/RenderPasses.h"
#include "shell/Settings.h"

namespace {

using plat::D3DCall;
using plat::D3DOp;

class VehicleDrawTest : public test::VehicleTest {
protected:
    void SetUp() override
    {
        VehicleTest::SetUp();
        g_D3DRender.SetDefaultStates();
        g_nViewDistance = 600;
        g_WaterPassActive = g_CubePassActive = g_ShadowPassActive = 0;
        m_camera.SetProjection(1.0472f, 4.0f / 3.0f, 0.2f, 600.0f);
        const D3DXVECTOR3 eye(3, 4, -20), target(0, 1, 0), up(0, 1, 0);
        m_camera.SetView(&eye, &target, &up);
        m_camera.m_nMode = 0;
        m_camera.m_pTarget = nullptr;
        m_saved = g_Game.m_pCamera;
        g_Game.m_pCamera = &m_camera;
        m_a = Spawned(VEHICLE_TRAFFIC, "Data/Vehicles/01/Main.obj", {0, 1, 0});
        m_b = Spawned(VEHICLE_TRAFFIC, "Data/Vehicles/02/Main.obj", {5, 1, 0});
        for (CVehicle* car : {m_a, m_b}) {
            Ready(car, 10.0f);
            g_VehicleManager.m_Cars[g_VehicleManager.m_nCars++] = car;
        }
    }
    void TearDown() override
    {
        // The fixture owns the cars.
        g_VehicleManager.m_Cars[0] = g_VehicleManager.m_Cars[1] = nullptr;
        g_VehicleManager.m_nCars = 0;
        g_Game.m_pCamera = m_saved;
        g_bReflect = 0;
        VehicleTest::TearDown();
    }
    static void Ready(CVehicle* car, float distance)
    {
        car->m_bAlive = car->m_bVisible = 1;
        car->m_fCameraDistance = distance;
        car->m_Material.Diffuse.a = 1.0f;
    }
    plat::DeviceLog& Calls() { return plat::RecordedCalls(m_device); }
    // The body group routines 0..4, then the wheels.
    static void Draw(CVehicle* car, int routine)
    {
        switch (routine) {
        case 0: car->RenderBodyPaint(); break;
        case 1: car->RenderBodyGroup1(); break;
        case 2: car->RenderBodyGroup2(); break;
        case 3: car->RenderBodyReflective(); break;
        case 4: car->RenderGlass(); break;
        default: car->RenderWheels(); break;
        }
    }
    size_t DrawCount() { return Calls().Count(D3DOp::DrawIndexedPrimitive); }
    // Texture bound at stage 0 at each indexed draw, in order.
    std::vector<const void*> StageZeroAtDraws()
    {
        std::vector<const void*> out;
        const void* bound = nullptr;
        for (const D3DCall& c : Calls().Calls()) {
            if (c.op == D3DOp::SetTexture && c.a == 0)
                bound = c.object;
            if (c.op == D3DOp::DrawIndexedPrimitive)
                out.push_back(bound);
        }
        return out;
    }
    DWORD Stage(DWORD stage, D3DTEXTURESTAGESTATETYPE type)
    {
        DWORD v = 0;
        m_device->GetTextureStageState(stage, type, &v);
        return v;
    }
    const void* LastTexture(DWORD stage)
    {
        const void* bound = nullptr;
        for (const D3DCall& c : Calls().Calls())
            if (c.op == D3DOp::SetTexture && c.a == stage)
                bound = c.object;
        return bound;
    }

    CWorldCamera m_camera;
    CWorldCamera* m_saved = nullptr;
    CVehicle* m_a = nullptr;
    CVehicle* m_b = nullptr;
};

TEST_F(VehicleDrawTest, SkipRuleForBodiesAndWheels)
{
    ASSERT_NE(m_a->m_pBodyVB, nullptr);
    ASSERT_NE(m_a->m_pRaycastVehicle, nullptr);
    struct Case {
        const char* what;
        float distance;
        int alive, visible, inCar;
        bool drawn;
    };
    const Case cases[] = {
        {"at 60", 60.0f, 1, 1, 0, true},
        {"at 60.01", 60.01f, 1, 1, 0, false},
        {"dead", 10.0f, 0, 1, 0, false},
        {"invisible", 10.0f, 1, 0, 0, false},
        {"the in-car camera's car", 10.0f, 1, 1, 1, false},
        {"followed from outside", 10.0f, 1, 1, 2, true},
    };
    for (const Case& k : cases) {
        m_a->m_bAlive = k.alive;
        m_a->m_bVisible = k.visible;
        m_a->m_fCameraDistance = k.distance;
        m_camera.m_nMode = k.inCar == 1 ? 1 : 0;
        m_camera.m_pTarget = k.inCar ? m_a : nullptr;
        for (int routine : {0, 4, 5}) {
            Calls().Clear();
            Draw(m_a, routine);
            EXPECT_EQ(DrawCount() > 0, k.drawn) << k.what << ", routine " << routine;
        }
    }
}

TEST_F(VehicleDrawTest, WheelsStayOutOfTheCubeAndWaterPasses)
{
    for (int* pass : {&g_CubePassActive, &g_WaterPassActive}) {
        *pass = 1;
        Calls().Clear();
        m_a->RenderWheels();
        m_a->RenderWheelChrome();
        EXPECT_EQ(DrawCount(), 0u);
        *pass = 0;
    }
    Calls().Clear();
    m_a->RenderWheels();
    EXPECT_GE(DrawCount(), 8u) << "four wheels, two parts each at least";
}

TEST_F(VehicleDrawTest, BodyGroupDrawArguments)
{
    for (int g = 0; g < 5; ++g) {
        if (m_a->m_PartTriangleCount[g] == 0)
            continue;
        Calls().Clear();
        Draw(m_a, g);
        const auto draws = Calls().Of(D3DOp::DrawIndexedPrimitive);
        ASSERT_EQ(draws.size(), 1u) << g;
        EXPECT_EQ(draws[0].a, DWORD(D3DPT_TRIANGLELIST));
        EXPECT_EQ(draws[0].b, m_a->m_PartFirstVertex[g]) << g;
        EXPECT_EQ(draws[0].c, 0u);
        EXPECT_EQ(draws[0].d, m_a->m_PartVertexCount[g]) << g;
        EXPECT_EQ(draws[0].e, 3 * m_a->m_PartFirstTriangle[g]) << g;
        EXPECT_EQ(draws[0].f, m_a->m_PartTriangleCount[g]) << g;
        EXPECT_EQ(Calls().Of(D3DOp::SetFVF).back().a, 0x152u);
        EXPECT_EQ(Calls().Of(D3DOp::SetStreamSource).back().c, 36u);
    }
    // A car without body buffers draws no group.
    IDirect3DVertexBuffer9* vb = m_a->m_pBodyVB;
    m_a->m_pBodyVB = nullptr;
    Calls().Clear();
    m_a->RenderBodyPaint();
    m_a->RenderGlass();
    EXPECT_EQ(DrawCount(), 0u);
    m_a->m_pBodyVB = vb;
}

TEST_F(VehicleDrawTest, EachCarDrawsGroupsOneAndFourWithItsOwnTextures)
{
    ASSERT_NE(m_a->m_pPaintTexture, m_b->m_pPaintTexture);
    ASSERT_NE(m_a->m_nBodyTexture, m_b->m_nBodyTexture);
    for (CVehicle* car : {m_a, m_b})
        for (int g : {0, 1, 4})
            ASSERT_GT(car->m_PartTriangleCount[g], 0u) << g;
    Calls().Clear();
    g_VehicleManager.RenderVehicles();
    std::vector<const void*> bound = StageZeroAtDraws();
    // Draw order: paint of a, b; group 1 of a, b; then wheels.
    ASSERT_GE(bound.size(), 4u);
    EXPECT_EQ(bound[2], m_a->m_pPaintTexture);
    EXPECT_EQ(bound[3], m_b->m_pPaintTexture);

    Calls().Clear();
    g_VehicleManager.RenderLights();
    bound = StageZeroAtDraws();
    ASSERT_EQ(bound.size(), 2u);
    EXPECT_EQ(bound[0], g_D3DRender.GetTexture(TextureId(m_a->m_nBodyTexture)));
    EXPECT_EQ(bound[1], g_D3DRender.GetTexture(TextureId(m_b->m_nBodyTexture)));
}

TEST_F(VehicleDrawTest, FirstPassLeavesNoCoordinateGenerationBehind)
{
    g_VehicleManager.RenderVehicles();
    D3DMATRIX m;
    for (DWORD stage : {2u, 5u}) {
        EXPECT_EQ(Stage(stage, D3DTSS_TEXCOORDINDEX), 0u) << stage;
        EXPECT_EQ(Stage(stage, D3DTSS_TEXTURETRANSFORMFLAGS), DWORD(D3DTTFF_DISABLE)) << stage;
        m_device->GetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + stage), &m);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                EXPECT_EQ(m.m[r][c], r == c ? 1.0f : 0.0f) << stage;
    }
    EXPECT_EQ(Stage(0, D3DTSS_ALPHAOP), DWORD(D3DTOP_MODULATE));
    EXPECT_EQ(Stage(1, D3DTSS_COLOROP), DWORD(D3DTOP_SELECTARG1));

    g_VehicleManager.RenderVehiclesSecondPass();
    for (DWORD stage : {0u, 3u})
        EXPECT_EQ(Stage(stage, D3DTSS_TEXCOORDINDEX), 0u) << stage;
    EXPECT_EQ(Stage(0, D3DTSS_COLOROP), DWORD(D3DTOP_MODULATE));
}

TEST_F(VehicleDrawTest, ReflectionsLookUpWorldDirections)
{
    // Eye-space vectors map back to world ones: the transform undoes the
    // view's rotation.
    SetVehicleReflectionCoordinates(2);
    D3DXMATRIX m;
    m_device->GetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE2), &m);
    const D3DXVECTOR3 world(0.3f, 0.5f, -0.8f);
    D3DXVECTOR3 eye, back;
    D3DXVec3TransformNormal(&eye, &world, &m_camera.m_matView);
    D3DXVec3TransformNormal(&back, &eye, &m);
    EXPECT_NEAR(back.x, world.x, 1e-5f);
    EXPECT_NEAR(back.y, world.y, 1e-5f);
    EXPECT_NEAR(back.z, world.z, 1e-5f);
    EXPECT_EQ(m._41, 0.0f);
    EXPECT_EQ(Stage(2, D3DTSS_TEXCOORDINDEX), DWORD(D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR));
    EXPECT_EQ(Stage(2, D3DTSS_TEXTURETRANSFORMFLAGS), DWORD(D3DTTFF_COUNT3));
}

TEST_F(VehicleDrawTest, EnvironmentCubeChoice)
{
    IDirect3DCubeTexture9 *staticMap = nullptr, *dynamic = nullptr;
    ASSERT_EQ(m_device->CreateCubeTexture(8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &staticMap, nullptr), D3D_OK);
    ASSERT_EQ(m_device->CreateCubeTexture(8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &dynamic, nullptr), D3D_OK);
    IDirect3DCubeTexture9* savedStatic = g_D3DRender.m_pStaticEnvMap;
    IDirect3DCubeTexture9* savedCube = g_D3DRender.m_pCubeTexture;
    g_D3DRender.m_pStaticEnvMap = staticMap;
    const struct {
        int reflect;
        IDirect3DCubeTexture9* cube;
        IDirect3DCubeTexture9* expected;
    } cases[] = {{0, dynamic, staticMap}, {1, nullptr, staticMap}, {1, dynamic, dynamic}};
    for (const auto& k : cases) {
        g_bReflect = k.reflect;
        g_D3DRender.m_pCubeTexture = k.cube;
        Calls().Clear();
        g_VehicleManager.RenderVehicles();
        bool found = false;
        for (const D3DCall& c : Calls().Calls())
            found |= c.op == D3DOp::SetTexture && c.a == 2 && c.object == k.expected;
        EXPECT_TRUE(found) << "reflect " << k.reflect;
        Calls().Clear();
        g_VehicleManager.RenderVehiclesSecondPass();
        found = false;
        for (const D3DCall& c : Calls().Calls())
            found |= c.op == D3DOp::SetTexture && c.a == 0 && c.object == k.expected;
        EXPECT_TRUE(found) << "reflect " << k.reflect;
    }
    g_D3DRender.m_pStaticEnvMap = savedStatic;
    g_D3DRender.m_pCubeTexture = savedCube;
    staticMap->Release();
    dynamic->Release();
}

TEST_F(VehicleDrawTest, FlasherOnlyInPursuitAlternatingBlueAndRed)
{
    CVehicle* police = Spawned(VEHICLE_POLICE, "Data/Vehicles/01/Police.obj", {0, 1, 8});
    Ready(police, 10.0f);
    g_VehicleManager.m_Cars[g_VehicleManager.m_nCars++] = police;
    CLightVertex vertices[64];
    WORD indices[96];
    g_D3DRender.m_pShaderBatchVertices = vertices;
    g_D3DRender.m_pShaderBatchIndices = indices;
    g_D3DRender.m_nShaderBatchVertices = g_D3DRender.m_nShaderBatchIndices = 0;
    const struct {
        int state;
        float delta; // game frame time of the step
        DWORD colour; // 0: no flasher
    } steps[] = {
        {1, 0.1f, 0},           {4, 0.1f, 0xFF0000A0u}, {4, 0.2f, 0xFFA00000u},
        {4, 0.0f, 0xFFA00000u}, // paused: the light stands still
        {4, 0.25f, 0xFF0000A0u}, // past 0.5 s the timer starts over
    };
    police->m_fFlasherTimer = 0.0f;
    for (const auto& k : steps) {
        police->m_nAIState = k.state;
        g_GameTimer.m_fDelta = k.delta;
        g_D3DRender.m_nShaderBatchVertices = 0;
        g_VehicleManager.RenderLights();
        if (!k.colour) {
            EXPECT_EQ(g_D3DRender.m_nShaderBatchVertices, 0u);
            continue;
        }
        ASSERT_EQ(g_D3DRender.m_nShaderBatchVertices, 4u);
        EXPECT_EQ(vertices[0].nColour, k.colour);
    }
    // A model without the two roof lamps has no flasher.
    m_a->m_nAIState = 4;
    police->m_nAIState = 0;
    const std::uint32_t points = m_a->m_pMesh->m_nPoints[4];
    m_a->m_pMesh->m_nPoints[4] = 2;
    g_D3DRender.m_nShaderBatchVertices = 0;
    g_VehicleManager.RenderLights();
    EXPECT_EQ(g_D3DRender.m_nShaderBatchVertices, 0u);
    m_a->m_pMesh->m_nPoints[4] = points;
    g_GameTimer.m_fDelta = 0.0f;
    g_D3DRender.m_pShaderBatchVertices = nullptr;
    g_D3DRender.m_pShaderBatchIndices = nullptr;
    g_D3DRender.m_nShaderBatchVertices = g_D3DRender.m_nShaderBatchIndices = 0;
    g_VehicleManager.m_Cars[2] = nullptr;
}

} // namespace
