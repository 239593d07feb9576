// The sample objects' effect sections drawn through the drawing device with
// the game's technique file and sample data: a street lamp glows at night
// and not by day, a shop sign lights itself in the dark, and a car's chrome
// shows the environment map, and a bench casts its blob into the shadow map.
#include "SampleWorldFixture.h"

#include "graphics/D3DRender.h"
#include "graphics/WorldCamera.h"
#include "objects/SpotsEffect.h"
#include "shell/Game.h"
#include "objects/StaticObject.h"
#include "shell/RenderPasses.h"
#include "world/Sky.h"
#include "writers/MeshWriter.h"
#include "writers/RenderDataWriter.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace gltest {
namespace {

constexpr D3DCOLOR kNight = 0xFF080810;

class LightEffectsTest : public SampleWorldTest {
protected:
    void SetUp() override
    {
        SampleWorldTest::SetUp();
        ASSERT_TRUE(tools::WriteObjectDescriptions(m_dir.Path().string()));
        for (const tools::NamedMesh& m : tools::SampleMeshes()) {
            std::filesystem::create_directories(std::filesystem::path(m_dir.File(m.name)).parent_path());
            ASSERT_TRUE(tools::WriteMesh(m_dir.File(m.name), m.mesh));
        }
        CD3DRender& r = g_D3DRender;
        device->CreateVertexBuffer(SHADER_BATCH_VERTICES * sizeof(CLightVertex), 0, LIGHT_VERTEX_FVF, D3DPOOL_MANAGED,
                                   &r.m_pShaderBatchVB, nullptr);
        device->CreateIndexBuffer(SHADER_BATCH_INDICES * sizeof(WORD), 0, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                  &r.m_pShaderBatchIB, nullptr);
        r.m_nLightMapTexture = r.LoadTexture("Data/Misc/LightMap.dds");
        m_savedFactor = g_Sky.m_fLightsFactor;
    }

    void TearDown() override
    {
        g_Sky.m_fLightsFactor = m_savedFactor;
        m_object.Release();
        CD3DRender& r = g_D3DRender;
        r.UnlockBatchBuffers();
        for (IUnknown** p :
             {reinterpret_cast<IUnknown**>(&r.m_pShaderBatchVB), reinterpret_cast<IUnknown**>(&r.m_pShaderBatchIB)}) {
            if (*p)
                (*p)->Release();
            *p = nullptr;
        }
        SampleWorldTest::TearDown();
    }

    void Place(const char* path, const D3DXVECTOR3& eye, const D3DXVECTOR3& target)
    {
        ASSERT_NE(m_object.Load(path, 1, 0, 1), INVALID_FILE_HANDLE);
        D3DXMatrixIdentity(&m_object.m_matWorld);
        D3DXVec3TransformCoord(&m_object.m_vPosition, &m_object.m_vSphereCentre, &m_object.m_matWorld);
        const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
        m_world->camera.SetView(&eye, &target, &up);
        m_object.UpdateCameraDistance();
        m_object.m_bVisible = 1;
    }

    // The object's light effects through the light batch, on a dark frame.
    void DrawLights()
    {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kNight, 1.0f, 0);
        g_D3DRender.LockBatchBuffers();
        m_object.RenderLightEffects();
        g_D3DRender.UnlockBatchBuffers();
        g_D3DRender.DrawShaderLightBatch();
    }

    // A dark frame with no light but the ambient level.
    void BeginLitFrame(D3DCOLOR ambient)
    {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kNight, 1.0f, 0);
        device->SetRenderState(D3DRS_AMBIENT, ambient);
        for (DWORD i = 0; i < 8; ++i)
            device->LightEnable(i, FALSE);
    }

    CStaticObject m_object;
    float m_savedFactor = 0.0f;
};

bool WarmLight(std::uint32_t p)
{
    return Red(p) > 120 && Red(p) >= Blue(p);
}

TEST_F(LightEffectsTest, TheSampleShopSignLightsItselfInTheDark)
{
    Place("Data/Static/Buildings/House01/Main.obj", D3DXVECTOR3(0.0f, 3.7f, -12.0f), D3DXVECTOR3(0.0f, 3.7f, 0.0f));
    ASSERT_NE(m_object.m_pSelfIllum, nullptr);
    BeginLitFrame(0xFF000000);
    m_object.RenderLightEffects();
    // The sign's own colours with no light at all: a red panel with pale letters.
    size_t lit = 0;
    const plat::Pixels frame = Frame();
    for (unsigned x = kWidth / 2 - 20; x < kWidth / 2 + 20; ++x)
        lit += Red(frame.At(x, kHeight / 2)) > 100 ? 1 : 0;
    EXPECT_GT(lit, 30u);
}

TEST_F(LightEffectsTest, TheSampleCarsChromeReflectsTheEnvironment)
{
    g_D3DRender.LoadCubeTexture("Data/Misc/StaticEnvMap.dds", &g_D3DRender.m_pStaticEnvMap);
    ASSERT_NE(g_D3DRender.m_pStaticEnvMap, nullptr);
    // Facing the front bumper.
    Place("Data/Vehicles/01/Main.obj", D3DXVECTOR3(0.0f, 0.4f, 4.0f), D3DXVECTOR3(0.0f, 0.4f, 2.2f));
    ASSERT_NE(m_object.m_pChrome, nullptr);
    BeginLitFrame(0xFFFFFFFF);
    m_object.RenderChromeEffects();
    g_D3DRender.m_pStaticEnvMap->Release();
    g_D3DRender.m_pStaticEnvMap = nullptr;
    // White light times the sample sky's blue cube, not the white of an
    // untextured surface.
    const std::uint32_t centre = Frame().At(kWidth / 2, kHeight / 2);
    EXPECT_GT(Blue(centre), Red(centre) + 40) << std::hex << centre;
}

TEST_F(LightEffectsTest, TheSampleBenchCastsABlobIntoTheShadowMap)
{
    // Seen from straight above, as the shadow camera sees it at noon.
    ASSERT_NE(m_object.Load("Data/Static/Props/Bench01/Main.obj", 1, 0, 1), INVALID_FILE_HANDLE);
    D3DXMatrixIdentity(&m_object.m_matWorld);
    m_object.m_vPosition = m_object.m_vSphereCentre;
    const D3DXVECTOR3 eye(0.0f, 6.0f, 0.0f), target(0.0f, 0.0f, 0.0f), north(0.0f, 0.0f, 1.0f);
    m_world->camera.SetView(&eye, &target, &north);
    ASSERT_NE(m_object.m_pShadow, nullptr);
    g_Game.m_vShadowCenter[0] = g_Game.m_vShadowCenter[1] = g_Game.m_vShadowCenter[2] = 0.0f;
    // The shadow pass paints casters in the texture factor's grey on white.
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF9F9F9F);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    g_ShadowPassActive = 1;
    m_object.m_pShadow->Render();
    g_ShadowPassActive = 0;
    const plat::Pixels frame = Frame();
    EXPECT_TRUE(Near(frame.At(kWidth / 2, kHeight / 2), 0xFF9F9F9F, 3)) << "under the bench";
    EXPECT_TRUE(Near(frame.At(2, 2), 0xFFFFFFFF, 3)) << "open ground";
}

TEST_F(LightEffectsTest, TheSampleLampPostGlowsAtNightOnly)
{
    // Looking at the lamp head from the pavement; the lamp's cone reaches
    // down from it to the ground, below the middle of the picture.
    Place("Data/Static/Props/LampPost01/Main.obj", D3DXVECTOR3(1.2f, 4.5f, -7.0f), D3DXVECTOR3(1.2f, 4.5f, 0.0f));
    ASSERT_NE(m_object.m_pLights, nullptr);
    auto lampGlow = [this] {
        size_t n = 0;
        const plat::Pixels frame = Frame();
        for (unsigned y = kHeight / 2 - 12; y < kHeight / 2; ++y)
            for (unsigned x = kWidth / 2 - 12; x < kWidth / 2 + 12; ++x)
                n += WarmLight(frame.At(x, y)) ? 1 : 0;
        return n;
    };
    g_Sky.m_fLightsFactor = 0.0f;
    DrawLights();
    EXPECT_EQ(lampGlow(), 0u) << "by day";
    g_Sky.m_fLightsFactor = 1.0f;
    DrawLights();
    EXPECT_GT(lampGlow(), 20u) << "at night";
    const std::uint32_t centre = Frame().At(kWidth / 2, kHeight / 2 - 1);
    EXPECT_GT(Red(centre), 200) << std::hex << centre;
}

} // namespace
} // namespace gltest
