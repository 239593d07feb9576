// Grass tufts and a painted car drawn through the drawing device with the
// game's technique file and sample data.
#include "SampleWorldFixture.h"

#include "graphics/D3DRender.h"
#include "graphics/WorldCamera.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "world/FieldObjectManager.h"
#include "world/LandscapeSector.h"
#include "writers/FieldObjectData.h"
#include "writers/VehicleModels.h"

namespace gltest {
namespace {

constexpr D3DCOLOR kSky = 0xFF6080A0;

class FieldCarPixelsTest : public SampleWorldTest {
protected:
    void SetUp() override
    {
        SampleWorldTest::SetUp();
        ASSERT_TRUE(tools::WriteFieldObjectData(m_dir.Path().string()));
        WriteFiles(tools::SampleVehicleFiles());
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kSky, 1.0f, 0);
    }
    void TearDown() override
    {
        g_FieldObjects.Release();
        SampleWorldTest::TearDown();
    }
};

TEST_F(FieldCarPixelsTest, GrassTuftsStandGreenWithClearGapsBetweenBlades)
{
    g_FieldObjects.Init();
    CLandscapeSector sector;
    sector.m_bVisible = 1;
    sector.m_fDistance = 5.0f;
    g_FieldObjects.BeginCell(FIELD_GRASS, &sector);
    const D3DXVECTOR3 at(0.0f, 0.0f, 0.0f);
    for (int i = 0; i < 6; ++i)
        CreateFieldObject(FIELD_GRASS, &at, nullptr);
    g_FieldObjects.EndCell(FIELD_GRASS, &sector);
    g_FieldObjects.SetSectorActive(true, &sector);
    m_world->LookFrom(D3DXVECTOR3(0.0f, 1.0f, -5.0f));
    g_FieldObjects.RenderGrass();
    const plat::Pixels frame = Frame();
    size_t green = 0, sky = 0, fringe = 0;
    for (std::uint32_t p : frame.argb) {
        if (Near(p, kSky, 2))
            ++sky;
        else if (Green(p) > Red(p) + 20 && Green(p) > Blue(p) + 20)
            ++green;
        else
            ++fringe;
    }
    EXPECT_GT(green, 200u);
    EXPECT_GT(sky, frame.argb.size() / 3) << "the clear parts of the atlas leave the sky";
    EXPECT_LT(fringe, green / 2) << "texels below the alpha reference are not drawn";
}

TEST_F(FieldCarPixelsTest, APaintedCarShowsItsPaint)
{
    ASSERT_EQ(g_Game.InitPhysics(), 1);
    g_D3DRender.LoadCubeTexture("Data/Misc/StaticEnvMap.dds", &g_D3DRender.m_pStaticEnvMap);
    // An empty shadow map: nothing darkens the car.
    g_D3DRender.m_pShadowTexture = MakeTexture(4, 4, std::vector<std::uint32_t>(16, 0xFF000000u));
    struct Case {
        float r, g, b;
        int strongest; // 0 red, 2 blue
    };
    for (const Case k : {Case{0.8f, 0.1f, 0.1f, 0}, Case{0.1f, 0.15f, 0.8f, 2}}) {
        CVehicle car;
        car.LoadModel("Data/Vehicles/01/Main.obj");
        const D3DXVECTOR3 pos(0, 0.5f, 0), target(0, 0.5f, 10), up(0, 1, 0);
        car.Spawn(&pos, &target, &up, 1, VEHICLE_TRAFFIC, 1);
        ASSERT_NE(car.m_pPaintTexture, nullptr);
        // The car's own paint colour into its paint texture.
        D3DLOCKED_RECT rect{};
        ASSERT_EQ(car.m_pPaintTexture->LockRect(0, &rect, nullptr, 0), D3D_OK);
        D3DSURFACE_DESC desc{};
        car.m_pPaintTexture->GetLevelDesc(0, &desc);
        const std::uint32_t paint = 0xFF000000u | std::uint32_t(k.r * 255) << 16 | std::uint32_t(k.g * 255) << 8 |
                                    std::uint32_t(k.b * 255);
        for (UINT y = 0; y < desc.Height; ++y)
            for (UINT x = 0; x < desc.Width; ++x)
                reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(rect.pBits) + y * rect.Pitch)[x] = paint;
        car.m_pPaintTexture->UnlockRect(0);
        car.m_bAlive = car.m_bVisible = 1;
        car.m_Material.Diffuse.a = 1.0f;
        car.m_nPaintGloss = 0;
        car.m_PaintColor2[0] = k.r;
        car.m_PaintColor2[1] = k.g;
        car.m_PaintColor2[2] = k.b;
        m_world->LookFrom(D3DXVECTOR3(3.5f, 1.2f, 0.0f));
        const D3DXVECTOR3 eye(3.5f, 1.2f, 0.0f), look(0, 0.6f, 0);
        m_world->camera.SetView(&eye, &look, &up);
        car.m_fCameraDistance = 3.0f;
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
        g_VehicleManager.m_Cars[0] = &car;
        g_VehicleManager.m_nCars = 1;
        g_VehicleManager.RenderVehicles();
        g_VehicleManager.m_Cars[0] = nullptr;
        g_VehicleManager.m_nCars = 0;
        size_t painted = 0;
        for (std::uint32_t p : Frame().argb) {
            const int c[3] = {Red(p), Green(p), Blue(p)};
            const int other = k.strongest == 0 ? std::max(c[1], c[2]) : std::max(c[0], c[1]);
            painted += c[k.strongest] > other + 30;
        }
        EXPECT_GT(painted, 300u) << "strongest channel " << k.strongest;
        car.Release();
    }
    g_D3DRender.m_pStaticEnvMap->Release();
    g_D3DRender.m_pStaticEnvMap = nullptr;
    g_D3DRender.m_pShadowTexture->Release();
    g_D3DRender.m_pShadowTexture = nullptr;
    g_Game.ReleasePhysics();
}

} // namespace
} // namespace gltest
