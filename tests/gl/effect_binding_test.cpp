// What an effect pass hands its shaders on the drawing device: integer
// constants of the device and the effect, the high float registers, cube
// textures on stages and by name, and samplers of textures read by name.
#include "GlFixture.h"

#include <cstring>

namespace gltest {
namespace {

class EffectBindingTest : public GlDeviceTest {
protected:
    void SetUp() override
    {
        GlDeviceTest::SetUp();
        device->SetRenderState(D3DRS_ZENABLE, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    }

    void TearDown() override
    {
        if (effect)
            effect->Release();
        GlDeviceTest::TearDown();
    }

    void Compile(const std::string& text)
    {
        ID3DXBuffer* errors = nullptr;
        D3DXCreateEffect(device, text.data(), UINT(text.size()), nullptr, nullptr, 0, nullptr, &effect, &errors);
        if (errors) {
            ADD_FAILURE() << static_cast<const char*>(errors->GetBufferPointer());
            errors->Release();
        }
        ASSERT_NE(effect, nullptr);
    }

    // The centre pixel after a full-screen quad in clip space drawn with the
    // first pass.
    std::uint32_t DrawCentre()
    {
        const float quad[20] = {-1, 1, 0, 0, 0, -1, -1, 0, 0, 1, 1, 1, 0, 1, 0, 1, -1, 0, 1, 1};
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
        UINT passes = 0;
        effect->Begin(&passes, 0);
        effect->Pass(0);
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, 20), D3D_OK);
        effect->End();
        return Frame().At(kWidth / 2, kHeight / 2);
    }

    // A one-pixel cube with its own colour on each face.
    IDirect3DCubeTexture9* MakeCube(const std::uint32_t colors[6])
    {
        IDirect3DCubeTexture9* cube = nullptr;
        EXPECT_EQ(device->CreateCubeTexture(1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &cube, nullptr), D3D_OK);
        for (DWORD face = 0; face < 6; ++face) {
            D3DLOCKED_RECT locked{};
            cube->LockRect(D3DCUBEMAP_FACES(face), 0, &locked, nullptr, 0);
            std::memcpy(locked.pBits, &colors[face], 4);
            cube->UnlockRect(D3DCUBEMAP_FACES(face), 0);
        }
        return cube;
    }

    ID3DXEffect* effect = nullptr;
};

const char kVertexPassThrough[] = "vertexshader vsQuad\n"
                                  "void main() { gl_Position = vec4(inPosition.xyz, 1.0); vTex[0] = inTex0; }\n"
                                  "end\n";

// The light counts of the scene lights come as device integer constants;
// the effect has integers of its own; vertex registers go up to 255.
TEST_F(EffectBindingTest, IntegerConstantsAndTheHighestFloatRegisterReachTheShaders)
{
    Compile("param int Count\n"
            "vertexshader vsCounts\n"
            "void main() {\n"
            "    gl_Position = vec4(inPosition.xyz, 1.0);\n"
            "    vDiffuse = vec4(float(vsConstI[1].x), float(Count), vsConst[255].z, 1.0) / 255.0;\n"
            "}\nend\n"
            "pixelshader psCounts\n"
            "void main() { fragColor = vec4(vDiffuse.rg, vDiffuse.b + float(psConstI[3].y) / 255.0, 1.0); }\n"
            "end\n"
            "technique techCounts\n    pass P0 vsCounts psCounts\nend\n");
    struct Case {
        int vertexInt, effectInt, pixelInt;
        float highFloat;
    } cases[] = {{40, 80, 120, 0.0f}, {200, 5, 0, 60.0f}, {0, 255, 100, 100.0f}};
    for (const Case& c : cases) {
        const int vertex[8] = {0, 0, 0, 0, c.vertexInt, 0, 0, 0};
        ASSERT_EQ(device->SetVertexShaderConstantI(0, vertex, 2), D3D_OK);
        const int pixel[4] = {0, c.pixelInt, 0, 0};
        ASSERT_EQ(device->SetPixelShaderConstantI(3, pixel, 1), D3D_OK);
        const float high[4] = {0, 0, c.highFloat, 0};
        ASSERT_EQ(device->SetVertexShaderConstantF(255, high, 1), D3D_OK);
        ASSERT_EQ(effect->SetInt("Count", c.effectInt), D3D_OK);
        const std::uint32_t p = DrawCentre();
        EXPECT_NEAR(Red(p), c.vertexInt, 1) << c.vertexInt;
        EXPECT_NEAR(Green(p), c.effectInt, 1) << c.effectInt;
        EXPECT_NEAR(Blue(p), c.pixelInt + int(c.highFloat), 1) << c.pixelInt;
    }
}

// A cube on a stage is read through that stage's sampler name; a cube read
// by name sits on a unit of its own.
TEST_F(EffectBindingTest, CubeTexturesOnAStageAndByName)
{
    Compile(std::string("param cubetexture texEnvironment stage 1\n"
                        "param cubetexture texSky\n"
                        "param float Which\n") +
            kVertexPassThrough +
            "pixelshader psCube\n"
            "void main() {\n"
            "    fragColor = Which < 0.5 ? texture(fxStage1, vec3(1.0, 0.0, 0.0))\n"
            "                            : texture(texSky, vec3(0.0, 0.0, -1.0));\n"
            "}\nend\n"
            "technique techCube\n    pass P0 vsQuad psCube\nend\n");
    const std::uint32_t first[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};
    const std::uint32_t second[6] = {0xFF101010, 0xFF202020, 0xFF303030, 0xFF404040, 0xFF505050, 0xFF606060};
    IDirect3DCubeTexture9* environment = MakeCube(first);
    IDirect3DCubeTexture9* sky = MakeCube(second);
    IDirect3DTexture9* flat = MakeTexture(1, 1, {0xFFFFFFFF});
    device->SetTexture(0, flat); // a 2-D texture on the stage before keeps working beside the cube
    effect->SetTexture("texEnvironment", environment);
    effect->SetTexture("texSky", sky);
    effect->SetFloat("Which", 0.0f);
    EXPECT_TRUE(Near(DrawCentre(), first[D3DCUBEMAP_FACE_POSITIVE_X], 1));
    effect->SetFloat("Which", 1.0f);
    EXPECT_TRUE(Near(DrawCentre(), second[D3DCUBEMAP_FACE_NEGATIVE_Z], 1));
    effect->SetTexture("texEnvironment", nullptr);
    effect->SetTexture("texSky", nullptr);
    device->SetTexture(0, nullptr);
    device->SetTexture(1, nullptr);
    environment->Release();
    sky->Release();
    flat->Release();
}

// Stage 0 clamps; a texture read by name wraps or clamps as its own
// declaration says, whatever stage 0 does.
TEST_F(EffectBindingTest, TexturesReadByNameKeepTheirOwnSamplerStates)
{
    Compile(std::string("param texture texWrapped filter point\n"
                        "param texture texClamped filter point address clamp\n") +
            kVertexPassThrough +
            "pixelshader psTaps\n"
            "void main() {\n"
            "    vec2 past = vec2(1.25, 0.5);\n"
            "    fragColor = vec4(texture(texWrapped, past).r, texture(texClamped, past).r,\n"
            "                     texture(fxStage0, past).r, 1.0);\n"
            "}\nend\n"
            "technique techTaps\n    pass P0 vsQuad psTaps\nend\n");
    IDirect3DTexture9* halves = MakeTexture(2, 1, {0xFFFFFFFF, 0xFF000000});
    device->SetTexture(0, halves);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    effect->SetTexture("texWrapped", halves);
    effect->SetTexture("texClamped", halves);
    EXPECT_TRUE(Near(DrawCentre(), 0xFFFF0000, 1));
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    EXPECT_TRUE(Near(DrawCentre(), 0xFFFF00FF, 1));
    effect->SetTexture("texWrapped", nullptr);
    effect->SetTexture("texClamped", nullptr);
    device->SetTexture(0, nullptr);
    halves->Release();
}

} // namespace
} // namespace gltest
