// Visibility, camera distance and the draw decisions of static objects on
// the recording device.
#include "static_object_fixture.h"

#include "objects/LightsEffect.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "world/Sky.h"

namespace {

using plat::D3DOp;
using test::StaticObjectTest;

class RenderObjectTest : public StaticObjectTest {
protected:
    void SetUp() override
    {
        StaticObjectTest::SetUp();
        g_D3DRender.SetDefaultStates();
        Write("Data/Test/Tower.msh", tools::BuildingMesh(14.0f, 14.0f, 45.0f));
        Write("Data/Test/House.msh", tools::BuildingMesh(12.0f, 10.0f, 16.0f));
        Write("Data/Test/Lamp.msh", tools::LampPostMesh());
        Write("Data/Test/Stone.msh", tools::StoneMesh(1, 1.0f));
    }
    void TearDown() override
    {
        for (CStaticObject& o : m_objects)
            o.Release();
        m_car.Release();
        ReleaseAndClear(g_D3DRender.m_pShadowTexture);
        ReleaseAndClear(g_D3DRender.m_pShadowTexture2);
        StaticObjectTest::TearDown();
    }

    template <class T>
    static void ReleaseAndClear(T*& p)
    {
        if (p)
            p->Release();
        p = nullptr;
    }

    void Load(CStaticObject* o, const char* type, const char* mesh, bool lights = false)
    {
        tools::DescriptionWriter w = Head(type == std::string("GTYPE_VEHICLE") ? "GCLASS_VEHICLE" : "GCLASS_STATIC",
                                          type, mesh);
        if (lights)
            w.Lights(1.0f, {255, 128, 0});
        const std::string path = std::string("Data/Test/") + type + ".obj";
        WriteDescription(path, w.End().Text());
        ASSERT_NE(o->Load(path.c_str(), 1, -1, 1), INVALID_FILE_HANDLE);
        o->m_bVisible = 1;
    }

    // The triangle count of each draw the render made.
    std::vector<DWORD> Draws(CStaticObject* o, std::uint32_t part = 0)
    {
        plat::RecordedCalls(m_device).Clear();
        o->Render(part);
        std::vector<DWORD> draws;
        for (const plat::D3DCall& c : plat::RecordedCalls(m_device).Of(D3DOp::DrawIndexedPrimitive))
            draws.push_back(c.f);
        return draws;
    }

    DWORD StageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type)
    {
        DWORD v = 0;
        m_device->GetTextureStageState(stage, type, &v);
        return v;
    }

    // Members, so they are released before they go.
    CStaticObject m_objects[4];
    CVehicle m_car;
};

TEST_F(RenderObjectTest, VisibilityAndCameraDistanceAtAKnownCamera)
{
    CStaticObject& stone = m_objects[0];
    Load(&stone, "GTYPE_STONE", "Data/Test/Stone.msh");
    stone.m_vPosition = D3DXVECTOR3(0, 2, 0);
    EXPECT_FLOAT_EQ(stone.UpdateCameraDistance(), 50.0f - stone.m_fSphereRadius);
    EXPECT_EQ(stone.UpdateVisibility(), 1);
    stone.m_vPosition = D3DXVECTOR3(0, 2, -60); // behind the eye
    EXPECT_EQ(stone.UpdateVisibility(), 0);
    stone.m_vPosition = D3DXVECTOR3(0, 2, 0);
    stone.m_fCameraDistance = 600.5f; // beyond the view distance
    EXPECT_EQ(stone.UpdateVisibility(), 0);

    // Buildings test their box corners; without corners, their sphere.
    CStaticObject& house = m_objects[1];
    Load(&house, "GTYPE_BUILDING", "Data/Test/House.msh");
    house.m_vPosition = D3DXVECTOR3(0, 8, 0);
    house.m_fCameraDistance = 40.0f;
    EXPECT_EQ(house.UpdateVisibility(), 1);
    D3DXMATRIX behind;
    D3DXMatrixTranslation(&behind, 0, 0, -200);
    ComputeBoxCorners(&house.m_pBoxCorners, &house.m_pMesh->m_vBoxMin, &house.m_pMesh->m_vBoxSize, &behind);
    EXPECT_EQ(house.UpdateVisibility(), 0);
}

TEST_F(RenderObjectTest, FadesDetailAndPassesByType)
{
    CStaticObject& tower = m_objects[0];
    CStaticObject& house = m_objects[1];
    CStaticObject& lamp = m_objects[2];
    CStaticObject& stone = m_objects[3];
    Load(&tower, "GTYPE_BUILDING", "Data/Test/Tower.msh");
    Load(&house, "GTYPE_BUILDING", "Data/Test/House.msh");
    Load(&lamp, "GTYPE_LAMPPOST", "Data/Test/Lamp.msh");
    Load(&stone, "GTYPE_STONE", "Data/Test/Stone.msh");
    const DWORD towerNear = tower.m_pMesh->m_ppMeshes[0][0]->GetNumFaces();
    const DWORD towerFar = tower.m_pMesh->m_ppMeshes[1][0]->GetNumFaces();
    const DWORD houseFar = house.m_pMesh->m_ppMeshes[1][0]->GetNumFaces();
    ASSERT_NE(towerNear, towerFar);
    enum Pass { kMain, kWater, kCube };
    struct Case {
        const char* name;
        CStaticObject* object;
        float distance;
        Pass pass;
        bool drawn;
        float alpha;
        DWORD faces;
    };
    const Case cases[] = {
        {"tower near", &tower, 50, kMain, true, 1.0f, towerNear},
        {"tower in the water pass: far part", &tower, 50, kWater, true, 1.0f, towerFar},
        {"tower beyond 100: far part", &tower, 101, kMain, true, 1.0f, towerFar},
        {"tower at D - 100: half faded", &tower, 500, kMain, true, 0.5f, towerFar},
        {"tower just inside D - 75", &tower, 524, kMain, true, 0.02f, towerFar},
        {"tower beyond D - 75", &tower, 526, kMain, false, 0.0f, 0},
        {"low house is never faded", &house, 590, kMain, true, 1.0f, houseFar},
        {"tower in the cube pass near", &tower, 40, kCube, true, 1.0f, towerFar},
        {"tower in the cube pass beyond 60", &tower, 61, kCube, false, 0.0f, 0},
        {"lamp at 64", &lamp, 64, kMain, true, 1.0f, 0},
        {"lamp at 72: half faded", &lamp, 72, kMain, true, 0.5f, 0},
        {"lamp at 80", &lamp, 80, kMain, false, 0.0f, 0},
        {"lamp in the water pass at 20", &lamp, 20, kWater, true, 1.0f, 0},
        {"lamp in the water pass beyond 20", &lamp, 21, kWater, false, 0.0f, 0},
        {"stone", &stone, 30, kMain, true, 1.0f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.object->m_fCameraDistance = c.distance;
        c.object->m_vPosition = D3DXVECTOR3(0, 2, 0);
        g_WaterPassActive = c.pass == kWater;
        g_CubePassActive = c.pass == kCube;
        const std::vector<DWORD> draws = Draws(c.object);
        ASSERT_EQ(draws.size(), c.drawn ? 1u : 0u);
        if (!c.drawn)
            continue;
        EXPECT_NEAR(c.object->m_Material.Diffuse.a, c.alpha, 1e-4f);
        EXPECT_EQ(g_D3DRender.m_nAlphaBlendEnable, c.alpha < 1.0f ? DWORD(TRUE) : DWORD(FALSE));
        if (c.faces) {
            EXPECT_EQ(draws[0], c.faces);
        }
    }
}

TEST_F(RenderObjectTest, ATextureLoadedIntoAFreedSlotIsBound)
{
    // Streaming releases one object's texture and loads the next one's into
    // the same slot; the next draw must bind the new texture.
    WriteTexture("Data/Test/Other.dds", 0xFF00FF00u);
    CStaticObject& first = m_objects[0];
    CStaticObject& second = m_objects[1];
    Load(&first, "GTYPE_STONE", "Data/Test/Stone.msh");
    first.m_fCameraDistance = 10;
    Draws(&first);
    const TextureId slot = first.m_nTextureIds[0];
    first.Release();
    WriteDescription("Data/Test/Other.obj", tools::DescriptionWriter()
                                                .Head({"Test", "GCLASS_STATIC", "GTYPE_STONE", "", "Data/Test/Stone.msh",
                                                       "Data/Test/Other.dds"})
                                                .End()
                                                .Text());
    ASSERT_NE(second.Load("Data/Test/Other.obj", 1, -1, 1), INVALID_FILE_HANDLE);
    ASSERT_EQ(second.m_nTextureIds[0], slot);
    second.m_bVisible = 1;
    second.m_fCameraDistance = 10;
    Draws(&second);
    const std::vector<plat::D3DCall> binds = plat::RecordedCalls(m_device).Of(D3DOp::SetTexture);
    ASSERT_FALSE(binds.empty());
    EXPECT_EQ(binds.front().object, g_D3DRender.GetTexture(slot));
}

TEST_F(RenderObjectTest, HiddenFlagsAndZeroAlphaDrawNothing)
{
    CStaticObject& stone = m_objects[0];
    Load(&stone, "GTYPE_STONE", "Data/Test/Stone.msh");
    stone.m_fCameraDistance = 10;
    EXPECT_EQ(Draws(&stone).size(), 1u);
    stone.m_bRender = 0;
    EXPECT_TRUE(Draws(&stone).empty());
    stone.m_bRender = 1;
    stone.m_bVisible = 0;
    EXPECT_TRUE(Draws(&stone).empty());
    stone.m_bVisible = 1;
    stone.m_Material.Diffuse.a = 0.0f;
    EXPECT_TRUE(Draws(&stone).empty());
}

TEST_F(RenderObjectTest, TheCarTheCameraSitsInIsNotDrawn)
{
    CVehicle& car = m_car;
    Load(&car, "GTYPE_VEHICLE", "Data/Test/Stone.msh");
    car.m_fCameraDistance = 5;
    m_camera.m_pTarget = &car;
    m_camera.m_nMode = 1;
    EXPECT_TRUE(Draws(&car).empty());
    m_camera.m_nMode = 2;
    EXPECT_EQ(Draws(&car).size(), 1u);
    // Part 2 of a car wears the vehicle manager's shared texture, not its own.
    g_VehicleManager.m_Textures[0] = INVALID_TEXTURE_ID;
    plat::RecordedCalls(m_device).Clear();
    car.Render(2);
    const std::vector<plat::D3DCall> binds = plat::RecordedCalls(m_device).Of(D3DOp::SetTexture);
    ASSERT_FALSE(binds.empty());
    EXPECT_EQ(binds.back().object, nullptr);
}

TEST_F(RenderObjectTest, ALampGlowsWithItsLightsAtNightAndGoesDarkWhenHit)
{
    CStaticObject& lamp = m_objects[0];
    Load(&lamp, "GTYPE_LAMPPOST", "Data/Test/Lamp.msh", true);
    lamp.m_fCameraDistance = 10;
    const float savedFactor = g_Sky.m_fLightsFactor;
    g_Sky.m_fLightsFactor = 1.0f;
    Draws(&lamp);
    EXPECT_FLOAT_EQ(lamp.m_Material.Emissive.r, 0.25f);
    EXPECT_NEAR(lamp.m_Material.Emissive.g, 0.125f, 1e-3f);
    EXPECT_FLOAT_EQ(lamp.m_Material.Emissive.a, 0.25f);
    lamp.m_bTouched = 1;
    Draws(&lamp);
    EXPECT_EQ(lamp.m_Material.Emissive.r, 0.0f);
    EXPECT_EQ(lamp.m_Material.Emissive.a, 1.0f);
    g_Sky.m_fLightsFactor = savedFactor;
}

TEST_F(RenderObjectTest, TheGroundShadowStageIsRestoredAfterStonesAndBridges)
{
    ASSERT_EQ(m_device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                      &g_D3DRender.m_pShadowTexture, nullptr), D3D_OK);
    ASSERT_EQ(m_device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                      &g_D3DRender.m_pShadowTexture2, nullptr), D3D_OK);
    CStaticObject& stone = m_objects[0];
    CStaticObject& bridge = m_objects[1];
    Load(&stone, "GTYPE_STONE", "Data/Test/Stone.msh");
    Load(&bridge, "GTYPE_BRIDGE", "Data/Test/House.msh");
    const D3DTEXTURESTAGESTATETYPE kStates[] = {D3DTSS_COLOROP, D3DTSS_ALPHAOP, D3DTSS_TEXCOORDINDEX,
                                                D3DTSS_TEXTURETRANSFORMFLAGS, D3DTSS_COLORARG1};
    std::vector<DWORD> before;
    for (D3DTEXTURESTAGESTATETYPE s : kStates)
        before.push_back(StageState(1, s));
    for (auto [object, texture] : {std::pair{&stone, g_D3DRender.m_pShadowTexture},
                                   std::pair{&bridge, g_D3DRender.m_pShadowTexture2}}) {
        object->m_fCameraDistance = 10;
        ASSERT_EQ(Draws(object).size(), 1u);
        // The stage sampled the object's shadow texture while it drew...
        bool bound = false;
        for (const plat::D3DCall& c : plat::RecordedCalls(m_device).Of(D3DOp::SetTexture))
            bound = bound || (c.a == 1 && c.object == texture);
        EXPECT_TRUE(bound);
        // ...and is back as it was.
        for (size_t i = 0; i < std::size(kStates); ++i)
            EXPECT_EQ(StageState(1, kStates[i]), before[i]) << "state " << kStates[i];
        DWORD address = 0;
        m_device->GetSamplerState(1, D3DSAMP_ADDRESSU, &address);
        EXPECT_EQ(address, DWORD(D3DTADDRESS_WRAP));
        D3DMATRIX transform;
        m_device->GetTransform(D3DTS_TEXTURE1, &transform);
        EXPECT_EQ(std::memcmp(&transform, &g_matIdentity, sizeof transform), 0);
    }
    // Without a shadow map the stage is left alone.
    ReleaseAndClear(g_D3DRender.m_pShadowTexture);
    Draws(&stone);
    for (const plat::D3DCall& c : plat::RecordedCalls(m_device).Calls())
        EXPECT_FALSE(c.op == D3DOp::SetTextureStageState && c.a == 1);
}

} // namespace
