// The technique files on the drawing device: they compile, their shaders
// read the parameters and constant registers the game sets, and a file
// whose shaders do not compile is refused with the compiler's text.
#include "GlFixture.h"

#include "platform/D3D9Recording.h"
#include "support/HeadlessDevice.h"
#include "writers/RenderDataWriter.h"

#include <cstring>

namespace gltest {
namespace {

class EffectTest : public GlDeviceTest {
protected:
    void SetUp() override
    {
        GlDeviceTest::SetUp();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW); // the game's: its quads are counter-clockwise
    }

    ID3DXEffect* Compile(const std::string& text, std::string* errors = nullptr)
    {
        ID3DXEffect* effect = nullptr;
        ID3DXBuffer* buffer = nullptr;
        D3DXCreateEffect(device, text.data(), UINT(text.size()), nullptr, nullptr, 0, nullptr, &effect, &buffer);
        if (buffer) {
            if (errors)
                *errors = static_cast<const char*>(buffer->GetBufferPointer());
            buffer->Release();
        }
        return effect;
    }

    // The clip-space quad of the post effects: x, y, z, u, v.
    void DrawScreenQuad(ID3DXEffect* effect)
    {
        const float quad[20] = {-1, 1, 0, 0, 0, -1, -1, 0, 0, 1, 1, 1, 0, 1, 0, 1, -1, 0, 1, 1};
        device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
        UINT passes = 0;
        ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
        ASSERT_EQ(effect->Pass(0), D3D_OK);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, 20), D3D_OK);
        ASSERT_EQ(effect->End(), D3D_OK);
    }
};

TEST_F(EffectTest, EveryTechniqueFileCompilesWithTheNamesTheGameAsks)
{
    static const char* kTechniques[] = {"techDirectLights",  "techDirectVertex",  "techWaterSurface",
                                        "techGlowScreen",    "techSmoothSurface", "techGlowBlend", "techMotionBlur"};
    static const char* kVectors[] = {"EyePos",        "FogParam",      "FogColor",      "GlobalAmbient",
                                     "PntLight_Pos",  "PntLight_Diff", "PntLight_Spec", "DirLight1_Pos",
                                     "DirLight1_Dir", "DirLight1_Diff", "DirLight1_Spec", "DirLight2_Pos",
                                     "DirLight2_Dir", "DirLight2_Diff", "DirLight2_Spec", "vecTime"};
    static const char* kMatrices[] = {"matView", "matProj", "matViewProj", "matWorld", "matWorldViewProj"};
    for (tools::ShaderLevel level :
         {tools::ShaderLevel::None, tools::ShaderLevel::Vs11, tools::ShaderLevel::Ps14, tools::ShaderLevel::Ps20}) {
        std::string errors;
        ID3DXEffect* effect = Compile(tools::TechniqueFileText(level), &errors);
        ASSERT_NE(effect, nullptr) << int(level) << ": " << errors;
        for (const char* name : kTechniques)
            EXPECT_EQ(effect->SetTechnique(name), D3D_OK) << int(level) << " " << name;
        const D3DXVECTOR4 v(1, 2, 3, 4);
        for (const char* name : kVectors)
            EXPECT_EQ(effect->SetVector(name, &v), D3D_OK) << int(level) << " " << name;
        D3DXMATRIX m;
        D3DXMatrixIdentity(&m);
        for (const char* name : kMatrices)
            EXPECT_EQ(effect->SetMatrix(name, &m), D3D_OK) << int(level) << " " << name;
        EXPECT_EQ(effect->SetTexture("texBaseMap1", nullptr), D3D_OK);
        EXPECT_EQ(effect->SetTexture("texBaseMap2", nullptr), D3D_OK);
        EXPECT_EQ(effect->SetTexture("texCubeMap1", nullptr), D3D_OK);
        effect->Release();
    }
}

TEST_F(EffectTest, ShaderThatDoesNotCompileIsRefusedWithTheCompilerText)
{
    const std::string text = "param vector Tint\n"
                             "pixelshader psBroken\nvoid main() { fragColor = Tint * undefinedThing; }\nend\n"
                             "technique techBroken\n    pass P0 - psBroken\nend\n";
    std::string errors;
    EXPECT_EQ(Compile(text, &errors), nullptr);
    EXPECT_NE(errors.find("techBroken"), std::string::npos) << errors;
    EXPECT_NE(errors.find("undefinedThing"), std::string::npos) << errors;
}

// A pass with a pixel shader only: the fixed vertex stage still transforms
// and hands over the stage coordinates; the shader reads a parameter.
TEST_F(EffectTest, PixelShaderOverTheFixedVertexStage)
{
    const std::string text = "param vector Tint = 0.5 1 0.25 1\n"
                             "pixelshader psTint\nvoid main() { fragColor = texture(fxStage0, vTex[0].xy) * Tint; }\nend\n"
                             "technique techTint\n    pass P0 - psTint\nend\n";
    ID3DXEffect* effect = Compile(text);
    ASSERT_NE(effect, nullptr);
    std::vector<std::uint32_t> halves = {0xFFFFFFFF, 0xFF000000};
    IDirect3DTexture9* texture = MakeTexture(2, 1, halves);
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    UINT passes = 0;
    effect->Begin(&passes, 0);
    effect->Pass(0);
    DrawRect(0, 0, float(kWidth), float(kHeight), 0xFFFFFFFF);
    effect->End();
    const plat::Pixels frame = Frame();
    EXPECT_TRUE(Near(frame.At(10, 10), 0xFF80FF40, 2));
    EXPECT_TRUE(Near(frame.At(kWidth - 10, 10), 0xFF000000, 2));
    device->SetTexture(0, nullptr);
    texture->Release();
    effect->Release();
}

// A vertex shader's draw is cut by the clip plane only while the plane is
// on: the reflection pass leaves its water plane set after turning it off,
// and the shader water drawn next must not vanish under it.
TEST_F(EffectTest, ClipPlaneCutsShaderDrawsOnlyWhileOn)
{
    const std::string text = "param vector Tint = 1 0 0 1\n"
                             "vertexshader vsFlat\nvoid main() { gl_Position = vec4(inPosition.xyz, 1.0); }\nend\n"
                             "pixelshader psFlat\nvoid main() { fragColor = Tint; }\nend\n"
                             "technique techFlat\n    pass P0 vsFlat psFlat\nend\n";
    ID3DXEffect* effect = Compile(text);
    ASSERT_NE(effect, nullptr);
    ASSERT_EQ(effect->SetTechnique("techFlat"), D3D_OK);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    const float behind[4] = {0, 0, 0, -1}, ahead[4] = {0, 0, 0, 1};
    const struct {
        const char* name;
        const float* plane;
        DWORD enable;
        bool drawn;
    } cases[] = {
        {"plane that cuts everything, turned off", behind, 0, true},
        {"plane that cuts everything, on", behind, 1, false},
        {"plane that keeps everything, on", ahead, 1, true},
    };
    for (const auto& c : cases) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->SetClipPlane(0, c.plane);
        device->SetRenderState(D3DRS_CLIPPLANEENABLE, c.enable);
        DrawScreenQuad(effect);
        const std::uint32_t p = Frame().At(kWidth / 2, kHeight / 2);
        EXPECT_TRUE(Near(p, c.drawn ? 0xFFFF0000 : 0xFF000000, 2)) << c.name << ": " << std::hex << p;
    }
    device->SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
    effect->Release();
}

// Four taps of the stages 0-3 at the offsets of vertex registers 32-35,
// weighted by pixel register 0: a flat texture comes back scaled.
TEST_F(EffectTest, SmoothingReadsStagesAndConstantRegisters)
{
    ID3DXEffect* effect = Compile(tools::TechniqueFileText(tools::ShaderLevel::Ps20));
    ASSERT_NE(effect, nullptr);
    IDirect3DTexture9* flat = MakeTexture(2, 2, std::vector<std::uint32_t>(4, 0xFFC86428));
    for (DWORD stage = 0; stage < 4; ++stage)
        device->SetTexture(stage, flat);
    const float offsets[16] = {0.001f, -0.001f, 0, 0, -0.001f, 0.001f, 0, 0, 0.003f, 0.001f, 0, 0, 0.001f, 0.003f, 0, 0};
    device->SetVertexShaderConstantF(32, offsets, 4);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    effect->SetTechnique("techSmoothSurface");
    for (float weight : {0.25f, 0.125f}) {
        const float w[4] = {weight, weight, weight, 0};
        device->SetPixelShaderConstantF(0, w, 1);
        DrawScreenQuad(effect);
        const std::uint32_t p = Frame().At(kWidth / 2, kHeight / 2);
        EXPECT_NEAR(Red(p), 200 * weight * 4, 2);
        EXPECT_NEAR(Green(p), 100 * weight * 4, 2);
        EXPECT_NEAR(Blue(p), 40 * weight * 4, 2);
    }
    for (DWORD stage = 0; stage < 4; ++stage)
        device->SetTexture(stage, nullptr);
    flat->Release();
    effect->Release();
}

// The glow goes onto the frame with one tap of stage 0 as it stands: the
// other stages may still hold the smoothing's textures and must not count.
TEST_F(EffectTest, GlowBlendTakesStageZeroOnce)
{
    ID3DXEffect* effect = Compile(tools::TechniqueFileText(tools::ShaderLevel::Ps20));
    ASSERT_NE(effect, nullptr);
    IDirect3DTexture9* glow = MakeTexture(2, 2, std::vector<std::uint32_t>(4, 0xFFC86428));
    IDirect3DTexture9* stale = MakeTexture(2, 2, std::vector<std::uint32_t>(4, 0xFF102030));
    device->SetTexture(0, glow);
    for (DWORD stage = 1; stage < 4; ++stage)
        device->SetTexture(stage, stale);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    effect->SetTechnique("techGlowBlend");
    DrawScreenQuad(effect);
    const std::uint32_t p = Frame().At(kWidth / 2, kHeight / 2);
    EXPECT_NEAR(Red(p), 200, 2);
    EXPECT_NEAR(Green(p), 100, 2);
    EXPECT_NEAR(Blue(p), 40, 2);
    for (DWORD stage = 0; stage < 4; ++stage)
        device->SetTexture(stage, nullptr);
    stale->Release();
    glow->Release();
    effect->Release();
}

// A light sprite is built around its centre facing the eye, coloured by its
// vertex and the light map.
TEST_F(EffectTest, LightSpriteFacesTheCameraAroundItsCentre)
{
    ID3DXEffect* effect = Compile(tools::TechniqueFileText(tools::ShaderLevel::Ps20));
    ASSERT_NE(effect, nullptr);
    IDirect3DTexture9* lightMap = MakeTexture(1, 1, {0xFFFFFFFF});
    D3DXMATRIX view, proj, viewProj;
    const D3DXVECTOR3 eye(4, 0, 0), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 3, float(kWidth) / kHeight, 0.5f, 50.0f);
    D3DXMatrixMultiply(&viewProj, &view, &proj);
    effect->SetTechnique("techDirectLights");
    effect->SetMatrix("matViewProj", &viewProj);
    const D3DXVECTOR4 eyePos(4, 0, 0, 1), fog(100, 200, 0, 1);
    effect->SetVector("EyePos", &eyePos);
    effect->SetVector("FogParam", &fog);
    effect->SetTexture("texBaseMap1", lightMap);
    struct LightVertex {
        float ox, oy, oz;
        D3DCOLOR color;
        float u, v, cx, cy, cz, ax, ay, az;
    };
    const LightVertex sprite[4] = {{0.5f, 0.5f, 0, 0xFFFF8000, 0, 0, 0, 0, 0, 0, 1, 0},
                                   {0.5f, -0.5f, 0, 0xFFFF8000, 0, 1, 0, 0, 0, 0, 1, 0},
                                   {-0.5f, 0.5f, 0, 0xFFFF8000, 1, 0, 0, 0, 0, 0, 1, 0},
                                   {-0.5f, -0.5f, 0, 0xFFFF8000, 1, 1, 0, 0, 0, 0, 1, 0}};
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetFVF(0x140342);
    UINT passes = 0;
    effect->Begin(&passes, 0);
    effect->Pass(0);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, sprite, sizeof(LightVertex)), D3D_OK);
    effect->End();
    const plat::Pixels frame = Frame();
    EXPECT_TRUE(Near(frame.At(kWidth / 2, kHeight / 2), 0xFFFF8000, 2));
    EXPECT_TRUE(Near(frame.At(4, 4), 0xFF000000, 0));
    effect->SetTexture("texBaseMap1", nullptr);
    lightMap->Release();
    effect->Release();
}

// The drawing device records exactly what the headless one does.
TEST_F(EffectTest, DrawingAndHeadlessDevicesLogTheSameCalls)
{
    auto script = [](IDirect3DDevice9* d) {
        d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        d->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
        d->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        const ScreenVertex tri[3] = {{0, 0, 0, 1, 0xFFFFFFFF, 0, 0}, {10, 0, 0, 1, 0xFFFFFFFF, 0, 0},
                                     {0, 10, 0, 1, 0xFFFFFFFF, 0, 0}};
        d->SetFVF(kScreenFvf);
        d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(ScreenVertex));
        d->BeginScene();
        d->EndScene();
        d->Present(nullptr, nullptr, nullptr, nullptr);
    };
    plat::UseGlDevice(false);
    IDirect3DDevice9* headless = nullptr;
    D3DPRESENT_PARAMETERS params = test::WindowedParams(kWidth, kHeight);
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &params, &headless), D3D_OK);
    plat::UseGlDevice(true);
    plat::RecordedCalls(device).Clear();
    script(device);
    script(headless);
    const auto& a = plat::RecordedCalls(device).Calls();
    const auto& b = plat::RecordedCalls(headless).Calls();
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].op, b[i].op) << i;
        EXPECT_EQ(a[i].a, b[i].a) << i;
        EXPECT_EQ(a[i].b, b[i].b) << i;
        EXPECT_EQ(a[i].c, b[i].c) << i;
    }
    headless->Release();
}

} // namespace
} // namespace gltest
