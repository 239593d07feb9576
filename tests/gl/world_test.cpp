// Transformed drawing: camera, lighting, fog, texture stages, alpha test,
// clip plane and render targets.
#include "GlFixture.h"

#include <cmath>
#include <cstring>

namespace gltest {
namespace {

class WorldTest : public SceneTest {
protected:
    void SetWhiteMaterial()
    {
        D3DMATERIAL9 material{};
        material.Diffuse = {1, 1, 1, 1};
        material.Ambient = {1, 1, 1, 1};
        device->SetMaterial(&material);
    }

    // Lighting on with a white material, the ambient level and one light.
    void LightWith(D3DCOLOR ambient, const D3DLIGHT9& light)
    {
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
        device->SetRenderState(D3DRS_AMBIENT, ambient);
        SetWhiteMaterial();
        device->SetLight(0, &light);
        device->LightEnable(0, TRUE);
    }

    std::uint32_t Centre() { return Frame().At(kWidth / 2, kHeight / 2); }
};

TEST_F(WorldTest, DirectionalLightScalesByTheAngle)
{
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 0.5f, 0.25f, 1};
    // 60 degrees off the normal: half the light.
    light.Direction = {0.0f, -std::sin(D3DX_PI / 3), std::cos(D3DX_PI / 3)};
    LightWith(0xFF202020, light);
    DrawQuad();
    const std::uint32_t p = Centre();
    EXPECT_NEAR(Red(p), 128 + 32, 3);
    EXPECT_NEAR(Green(p), 64 + 32, 3);
    EXPECT_NEAR(Blue(p), 32 + 32, 3);
}

TEST_F(WorldTest, PointLightOutOfRangeGivesAmbientOnly)
{
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = {1, 1, 1, 1};
    light.Position = {0, 0, -2};
    light.Attenuation0 = 1.0f;
    light.Range = 1.5f; // the quad is 2 away
    LightWith(0xFF404040, light);
    DrawQuad();
    EXPECT_TRUE(Near(Centre(), 0xFF404040, 2));
    light.Range = 3.0f;
    device->SetLight(0, &light);
    DrawQuad();
    EXPECT_TRUE(Near(Centre(), 0xFFFFFFFF, 2));
}

// Lamps switching on and off near a car: every light set lights the quad as
// it should, and each program compiled is reported with its time (the game
// logs them while its debug output is on).
TEST_F(WorldTest, SwitchingLightsAndTheCompileReports)
{
    static int s_compiles = 0;
    s_compiles = 0;
    plat::SetShaderCompileListener([](const char* what, double ms) {
        ++s_compiles;
        EXPECT_GE(ms, 0.0) << what;
    });
    const size_t programs = plat::ProgramCacheSize(device);
    D3DLIGHT9 sun{};
    sun.Type = D3DLIGHT_DIRECTIONAL;
    sun.Diffuse = {0.5f, 0.5f, 0.5f, 1};
    sun.Direction = {0, 0, 1};
    LightWith(0xFF000000, sun);
    D3DLIGHT9 lamp{};
    lamp.Type = D3DLIGHT_POINT;
    lamp.Diffuse = {0, 0.5f, 0, 1};
    lamp.Position = {0, 0, -2};
    lamp.Attenuation0 = 1.0f;
    lamp.Range = 5.0f;
    device->SetLight(3, &lamp);
    struct Case {
        BOOL sun, lamp;
        std::uint32_t expected;
    } cases[] = {// the lamp lights the corners at 35 degrees: 0.5 x cos = 0x68
                 {TRUE, TRUE, 0xFF80E880},
                 {FALSE, TRUE, 0xFF006800},
                 {FALSE, FALSE, 0xFF000000},
                 {TRUE, FALSE, 0xFF808080}};
    for (const Case& c : cases) {
        device->LightEnable(0, c.sun);
        device->LightEnable(3, c.lamp);
        DrawQuad();
        EXPECT_TRUE(Near(Centre(), c.expected, 2)) << c.sun << c.lamp << " " << std::hex << Centre();
    }
    EXPECT_GT(plat::ProgramCacheSize(device), programs);
    EXPECT_EQ(size_t(s_compiles), plat::ProgramCacheSize(device) - programs);
    plat::SetShaderCompileListener(nullptr);
}

// The program a lit draw compiled serves every set of lights the scene
// switches on, whichever indices hold the lamps: no compile during play, and
// each lamp lights in its own colour (the program must be given the lights
// of the set now on, their count of each kind too).
TEST_F(WorldTest, OneLitProgramServesEveryLampSet)
{
    D3DLIGHT9 sun{};
    sun.Type = D3DLIGHT_DIRECTIONAL;
    sun.Diffuse = {0.5f, 0.5f, 0.5f, 1};
    sun.Direction = {0, 0, 1};
    LightWith(0xFF000000, sun);
    DrawQuad();
    D3DLIGHT9 lamp{};
    lamp.Type = D3DLIGHT_POINT;
    lamp.Position = {0, 0, -2};
    lamp.Attenuation0 = 1.0f;
    lamp.Range = 5.0f;
    const D3DCOLORVALUE colours[] = {{0.5f, 0, 0, 1}, {0, 0.5f, 0, 1}, {0, 0, 0.5f, 1}};
    for (DWORD i = 0; i < 3; ++i) {
        lamp.Diffuse = colours[i];
        device->SetLight(2 + i * 2, &lamp); // lamps at 2, 4 and 6
    }
    D3DLIGHT9 spot{};
    spot.Type = D3DLIGHT_SPOT;
    spot.Position = {0, 0, -2};
    spot.Direction = {0, 0, 1};
    spot.Range = 10.0f;
    spot.Attenuation0 = 1.0f;
    spot.Theta = 0.2f;
    spot.Phi = 0.4f; // the corners lie outside its cone: it adds nothing
    device->SetLight(7, &spot);

    static int s_compiles = 0;
    s_compiles = 0;
    plat::SetShaderCompileListener([](const char*, double) { ++s_compiles; });
    const struct {
        BOOL sun, lamp2, lamp4, lamp6, spot;
        std::uint32_t expected;
    } cases[] = {{FALSE, TRUE, FALSE, FALSE, FALSE, 0xFF680000}, {FALSE, FALSE, TRUE, FALSE, FALSE, 0xFF006800},
                 {FALSE, FALSE, FALSE, TRUE, FALSE, 0xFF000068}, {FALSE, FALSE, TRUE, TRUE, FALSE, 0xFF006868},
                 {TRUE, TRUE, FALSE, TRUE, TRUE, 0xFFE880E8},    {TRUE, FALSE, FALSE, FALSE, TRUE, 0xFF808080},
                 {FALSE, FALSE, FALSE, FALSE, FALSE, 0xFF000000}};
    for (const auto& c : cases) {
        device->LightEnable(0, c.sun);
        device->LightEnable(2, c.lamp2);
        device->LightEnable(4, c.lamp4);
        device->LightEnable(6, c.lamp6);
        device->LightEnable(7, c.spot);
        DrawQuad();
        EXPECT_TRUE(Near(Centre(), c.expected, 2))
            << c.sun << c.lamp2 << c.lamp4 << c.lamp6 << c.spot << " " << std::hex << Centre();
    }
    EXPECT_EQ(s_compiles, 0);
    plat::SetShaderCompileListener(nullptr);
}

// Lighting is worked out at the vertices: the quad's corners, 35 degrees
// off the spot's axis, fall inside the inner cone, between the cones (with
// the falloff), or outside the outer cone.
TEST_F(WorldTest, SpotConesScaleTheLightAtTheVertices)
{
    const struct {
        float theta, phi;
        int expected; // ambient 32 plus the corners' share of the light
    } cases[] = {{1.4f, 1.6f, 240}, {1.0f, 1.6f, 170}, {0.2f, 0.4f, 32}};
    for (const auto& c : cases) {
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_SPOT;
        light.Diffuse = {1, 1, 1, 1};
        light.Position = {0, 0, -2};
        light.Direction = {0, 0, 1};
        light.Range = 10.0f;
        light.Attenuation0 = 1.0f;
        light.Theta = c.theta;
        light.Phi = c.phi;
        light.Falloff = 1.0f;
        LightWith(0xFF202020, light);
        DrawQuad();
        EXPECT_NEAR(Red(Centre()), c.expected, 3) << c.theta << " " << c.phi;
    }
}

TEST_F(WorldTest, LinearFogMixesTowardsTheFogColour)
{
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    device->SetRenderState(D3DRS_FOGCOLOR, 0xFF0000FF);
    const float start = 3.0f, end = 7.0f; // the quad is 5 away: half fogged
    DWORD bits;
    std::memcpy(&bits, &start, 4);
    device->SetRenderState(D3DRS_FOGSTART, bits);
    std::memcpy(&bits, &end, 4);
    device->SetRenderState(D3DRS_FOGEND, bits);
    DrawQuad();
    const std::uint32_t p = Centre();
    EXPECT_NEAR(Red(p), 128, 3);
    EXPECT_NEAR(Green(p), 128, 3);
    EXPECT_EQ(Blue(p), 255);
}

// Stage 0 selects the texture, stage 1 keeps the vertex colour in TEMP,
// stage 2 multiplies the two: the order and the TEMP register both count.
TEST_F(WorldTest, TextureStagesCombineThroughTemp)
{
    IDirect3DTexture9* texture = MakeTexture(1, 1, {0xFF80FF40});
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFFFF8000);
    struct Case {
        const char* name;
        DWORD op0, arg0a, arg0b, op1, arg1a, result1, op2, arg2a, arg2b;
        std::uint32_t expected;
    } cases[] = {
        {"texture alone", D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE, 0, D3DTA_CURRENT,
         D3DTOP_DISABLE, 0, 0, 0xFF80FF40},
        {"texture times factor", D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTOP_DISABLE, 0, D3DTA_CURRENT,
         D3DTOP_DISABLE, 0, 0, 0xFF808000},
        {"factor into temp, times texture", D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1,
         D3DTA_TFACTOR, D3DTA_TEMP, D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_TEMP, 0xFF808000},
        {"complement of the texture", D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_DIFFUSE,
         D3DTOP_DISABLE, 0, D3DTA_CURRENT, D3DTOP_DISABLE, 0, 0, 0xFF7F00BF},
    };
    for (const Case& c : cases) {
        device->SetTextureStageState(0, D3DTSS_COLOROP, c.op0);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, c.arg0a);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, c.arg0b);
        device->SetTextureStageState(1, D3DTSS_COLOROP, c.op1);
        device->SetTextureStageState(1, D3DTSS_COLORARG1, c.arg1a);
        device->SetTextureStageState(1, D3DTSS_RESULTARG, c.result1);
        device->SetTextureStageState(2, D3DTSS_COLOROP, c.op2);
        device->SetTextureStageState(2, D3DTSS_COLORARG1, c.arg2a);
        device->SetTextureStageState(2, D3DTSS_COLORARG2, c.arg2b);
        DrawQuad();
        EXPECT_TRUE(Near(Centre(), c.expected, 2)) << c.name << ": " << std::hex << Centre();
    }
    device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(WorldTest, AlphaTestAndClipPlaneCutTheRightPixels)
{
    // Left half of the texture transparent, right half opaque.
    IDirect3DTexture9* texture = MakeTexture(2, 1, {0x40FFFFFF, 0xC0FFFFFF});
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, 0x80);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    DrawQuad();
    plat::Pixels frame = Frame();
    const UINT y = kHeight / 2, left = kWidth / 2 - 10, right = kWidth / 2 + 10;
    EXPECT_TRUE(Near(frame.At(left, y), 0xFF000000));
    EXPECT_TRUE(Near(frame.At(right, y), 0xFFFFFFFF));

    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    device->SetTexture(0, nullptr);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    // Keep what lies above y = 0.25 in the world.
    const float plane[4] = {0, 1, 0, -0.25f};
    device->SetClipPlane(0, plane);
    device->SetRenderState(D3DRS_CLIPPLANEENABLE, 1);
    DrawQuad();
    frame = Frame();
    const UINT x = kWidth / 2;
    EXPECT_TRUE(Near(frame.At(x, kHeight / 2 - 12), 0xFFFFFFFF));
    EXPECT_TRUE(Near(frame.At(x, kHeight / 2 + 2), 0xFF000000));
    texture->Release();
}

// What is drawn at the top of a target is at the top (v = 0) when the
// target is then used as a texture.
TEST_F(WorldTest, RenderTargetIsSampledUpright)
{
    IDirect3DTexture9* target = nullptr;
    IDirect3DSurface9* surface = nullptr;
    IDirect3DSurface9* back = nullptr;
    MakeTarget(64, 64, &target, &surface);
    device->GetRenderTarget(0, &back);
    ASSERT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    D3DVIEWPORT9 vp{};
    device->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 64u); // the viewport follows the target
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    DrawRect(0, 0, 64, 16, 0xFFFF0000); // a red band along the top
    plat::Pixels drawn = Frame(surface);
    EXPECT_TRUE(Near(drawn.At(32, 4), 0xFFFF0000));
    EXPECT_TRUE(Near(drawn.At(32, 40), 0xFF0000FF));

    device->SetRenderTarget(0, back);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->SetTexture(0, target);
    DrawRect(0, 0, 64, 64, 0xFFFFFFFF);
    const plat::Pixels frame = Frame();
    EXPECT_TRUE(Near(frame.At(32, 4), 0xFFFF0000, 3));
    EXPECT_TRUE(Near(frame.At(32, 40), 0xFF0000FF, 3));
    device->SetTexture(0, nullptr);
    surface->Release();
    back->Release();
    target->Release();
}

// A lit, fogged, textured, mip-mapped scene against the reference made on
// this renderer: catches any change in what the pipeline draws.
TEST_F(WorldTest, LitFoggedTexturedSceneMatchesReference)
{
    std::vector<std::uint32_t> checker(64);
    for (int i = 0; i < 64; ++i)
        checker[size_t(i)] = ((i % 8) / 2 + (i / 8) / 2) % 2 ? 0xFFE0C080u : 0xFF406080u;
    IDirect3DTexture9* texture = MakeTexture(8, 8, checker);
    device->SetTexture(0, texture);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF181818);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    D3DMATERIAL9 material{};
    material.Diffuse = {1, 1, 1, 1};
    material.Ambient = {1, 1, 1, 1};
    material.Specular = {1, 1, 1, 1};
    material.Power = 12.0f;
    device->SetMaterial(&material);
    D3DLIGHT9 sun{};
    sun.Type = D3DLIGHT_DIRECTIONAL;
    sun.Diffuse = {0.6f, 0.6f, 0.5f, 1};
    sun.Direction = {0.3f, -0.5f, 1.0f};
    D3DLIGHT9 lamp{};
    lamp.Type = D3DLIGHT_SPOT;
    lamp.Diffuse = {1.0f, 0.3f, 0.1f, 1};
    lamp.Specular = {1, 1, 1, 1};
    lamp.Position = {-0.8f, 0.8f, -1.5f};
    lamp.Direction = {0.3f, -0.3f, 1.0f};
    lamp.Range = 10.0f;
    lamp.Attenuation0 = 0.5f;
    lamp.Attenuation1 = 0.2f;
    lamp.Theta = 0.4f;
    lamp.Phi = 1.0f;
    lamp.Falloff = 1.0f;
    device->SetLight(0, &sun);
    device->SetLight(1, &lamp);
    device->LightEnable(0, TRUE);
    device->LightEnable(1, TRUE);
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    device->SetRenderState(D3DRS_RANGEFOGENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGCOLOR, 0xFF5070A0);
    const float start = 4.0f, end = 9.0f;
    DWORD bits;
    std::memcpy(&bits, &start, 4);
    device->SetRenderState(D3DRS_FOGSTART, bits);
    std::memcpy(&bits, &end, 4);
    device->SetRenderState(D3DRS_FOGEND, bits);
    // A floor running away from the camera and a wall.
    const LitVertex floor[4] = {{-3, -1, -2, 0, 1, 0, 0, 0}, {3, -1, -2, 0, 1, 0, 4, 0},
                                {-3, -1, 6, 0, 1, 0, 0, 6}, {3, -1, 6, 0, 1, 0, 4, 6}};
    device->SetFVF(kLitFvf);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, floor, sizeof(LitVertex));
    DrawQuad(1.2f, 1.0f);
    EXPECT_TRUE(MatchesReference("lit_fogged_scene", Frame()));
    device->SetTexture(0, nullptr);
    texture->Release();
}

// The comparison itself: a picture with a shifted square must not pass.
TEST_F(WorldTest, ComparisonRejectsAWrongImage)
{
    plat::Pixels expected;
    expected.width = kWidth;
    expected.height = kHeight;
    expected.argb.assign(size_t(kWidth) * kHeight, 0xFF000000);
    for (UINT y = 20; y < 40; ++y)
        for (UINT x = 20; x < 40; ++x)
            expected.argb[size_t(y) * kWidth + x] = 0xFFFFFFFF;
    DrawRect(22, 20, 42, 40, 0xFFFFFFFF); // two pixels to the right
    const plat::Pixels frame = Frame();
    EXPECT_FALSE(ImagesMatch("deliberately_wrong", frame, expected, 3, 16));
    DrawRect(20, 20, 22, 40, 0xFFFFFFFF);
    device->Clear(1, std::vector<D3DRECT>{{40, 20, 42, 40}}.data(), D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    EXPECT_TRUE(ImagesMatch("deliberately_right", Frame(), expected, 3, 16));
}

} // namespace
} // namespace gltest
