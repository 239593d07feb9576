#include "d3d9_fixture.h"

#include "platform/D3DX9.h"

#include <string>

namespace {

using plat::D3DOp;

const char kTechniques[] =
    "# two techniques sharing one vertex shader\r\n"
    "param matrix matViewProj\r\n"
    "param vector FogParam = 300 600 0 1\r\n"
    "param float fTime\r\n"
    "param int nLights = -3\r\n"
    "param texture texBaseMap1 stage 0\r\n"
    "param cubetexture texCubeMap1 address clamp filter point\r\n"
    "\r\n"
    "technique techDirectLights\r\n"
    "    pass p0 vsLights psLights\r\n"
    "end\r\n"
    "technique techGlowScreen\r\n"
    "    pass blur vsLights -\r\n"
    "    pass add - -\r\n"
    "end\r\n"
    "vertexshader vsLights\r\n"
    "uniform mat4 matViewProj;\r\n"
    "  // kept as written\r\n"
    "end\r\n"
    "pixelshader psLights\r\n"
    "void main() {}\r\n"
    "end\r\n";

class EffectTest : public test::HeadlessDeviceTest {
protected:
    HRESULT Compile(const std::string& text, std::string* errors = nullptr)
    {
        ID3DXBuffer* buffer = nullptr;
        const HRESULT hr = D3DXCreateEffect(device, text.data(), UINT(text.size()), nullptr, nullptr, 0, nullptr,
                                            &effect, &buffer);
        if (buffer) {
            if (errors)
                *errors = static_cast<const char*>(buffer->GetBufferPointer());
            buffer->Release();
        }
        return hr;
    }
    void TearDown() override
    {
        if (effect)
            effect->Release();
        test::HeadlessDeviceTest::TearDown();
    }
    ID3DXEffect* effect = nullptr;
};

TEST_F(EffectTest, ParametersKeepTheirValuesAndTypes)
{
    ASSERT_EQ(Compile(kTechniques), D3D_OK);
    D3DXVECTOR4 fog;
    ASSERT_EQ(effect->GetVector("FogParam", &fog), D3D_OK);
    EXPECT_EQ(fog.y, 600.0f);
    D3DXMATRIX m;
    effect->GetMatrix("matViewProj", &m);
    EXPECT_EQ(m._11, 1.0f) << "matrices start as the identity";
    D3DXMatrixTranslation(&m, 1, 2, 3);
    EXPECT_EQ(effect->SetMatrix("matViewProj", &m), D3D_OK);
    D3DXMATRIX back;
    effect->GetMatrix("matViewProj", &back);
    EXPECT_EQ(back._42, 2.0f);
    EXPECT_EQ(effect->SetFloat("fTime", 1.5f), D3D_OK);
    INT lights = 0;
    ASSERT_EQ(effect->GetInt("nLights", &lights), D3D_OK);
    EXPECT_EQ(lights, -3);
    EXPECT_EQ(effect->SetInt("nLights", 5), D3D_OK);
    effect->GetInt("nLights", &lights);
    EXPECT_EQ(lights, 5);
    EXPECT_EQ(effect->SetInt("fTime", 1), D3DERR_INVALIDCALL) << "a float is not an int";
    EXPECT_EQ(effect->SetFloat("nLights", 1), D3DERR_INVALIDCALL);

    EXPECT_EQ(effect->SetVector("matViewProj", &fog), D3DERR_INVALIDCALL) << "wrong type";
    EXPECT_EQ(effect->SetVector("NoSuchParam", &fog), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->SetTechnique("techMissing"), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->SetTexture("fTime", nullptr), D3DERR_INVALIDCALL);
}

TEST_F(EffectTest, PassesBindStagedTexturesAndNeverTouchRenderStates)
{
    ASSERT_EQ(Compile(kTechniques), D3D_OK);
    IDirect3DTexture9* texture = nullptr;
    IDirect3DCubeTexture9* cube = nullptr;
    ASSERT_EQ(D3DXCreateTexture(device, 8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    ASSERT_EQ(D3DXCreateCubeTexture(device, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &cube), D3D_OK);
    effect->SetTexture("texBaseMap1", texture);
    effect->SetTexture("texCubeMap1", cube);
    Log().Clear();

    ASSERT_EQ(effect->SetTechnique("techGlowScreen"), D3D_OK);
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
    EXPECT_EQ(passes, 2u);
    EXPECT_EQ(effect->Pass(0), D3D_OK);
    EXPECT_EQ(effect->Pass(2), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->End(), D3D_OK);
    EXPECT_EQ(effect->Pass(0), D3DERR_INVALIDCALL) << "outside Begin/End";

    const D3DOp expected[] = {D3DOp::EffectSetTechnique, D3DOp::EffectBegin,     D3DOp::EffectBeginPass,
                              D3DOp::SetTexture,         D3DOp::EffectBeginPass, D3DOp::EffectEnd,
                              D3DOp::EffectBeginPass};
    ASSERT_EQ(Log().Calls().size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(Log().Calls()[i].op, expected[i]) << i;
    EXPECT_EQ(Log().Calls()[1].name, "techGlowScreen");
    EXPECT_EQ(Log().Calls()[3].object, texture) << "staged texture bound on stage 0";
    EXPECT_EQ(Log().Count(D3DOp::SetRenderState), 0u);

    texture->Release();
    cube->Release();
}

TEST_F(EffectTest, BeginPassAndEndPassPairUp)
{
    ASSERT_EQ(Compile(kTechniques), D3D_OK);
    UINT passes = 0;
    effect->Begin(&passes, D3DXFX_DONOTSAVESTATE);
    EXPECT_EQ(effect->Begin(&passes, 0), D3DERR_INVALIDCALL) << "nested Begin";
    EXPECT_EQ(effect->BeginPass(0), D3D_OK);
    EXPECT_EQ(effect->BeginPass(0), D3DERR_INVALIDCALL) << "pass already open";
    EXPECT_EQ(effect->CommitChanges(), D3D_OK);
    EXPECT_EQ(effect->EndPass(), D3D_OK);
    EXPECT_EQ(effect->EndPass(), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->End(), D3D_OK);
    EXPECT_STREQ(effect->GetCurrentTechnique(), "techDirectLights") << "the first technique is current at first";
}

TEST_F(EffectTest, SyntaxErrorsComeBackAsTextWithLineNumbers)
{
    struct Case {
        std::string text;
        std::string message;
    } cases[] = {
        {"param matrix m\nbogus line\ntechnique t\npass p - -\nend\n", "line 2: unknown keyword 'bogus'"},
        {"param colour c\ntechnique t\npass p - -\nend\n", "line 1: unknown parameter type 'colour'"},
        {"param vector v = 1 2 3\ntechnique t\npass p - -\nend\n", "line 1: parameter 'v' needs 4 values"},
        {"param float f\nparam float f\ntechnique t\npass p - -\nend\n", "line 2: parameter 'f' defined twice"},
        {"param float f stage 1\ntechnique t\npass p - -\nend\n", "line 1: only textures take a stage"},
        {"param texture t stage 8\ntechnique t\npass p - -\nend\n", "line 1: stage must be a whole number from 0 to 7"},
        {"param texture t filter cubic\ntechnique t\npass p - -\nend\n", "line 1: unknown filter 'cubic'"},
        {"param texture t address clamp address wrap\ntechnique t\npass p - -\nend\n",
         "line 1: 'address' needs one value, once"},
        {"param texture t address\ntechnique t\npass p - -\nend\n", "line 1: 'address' needs one value, once"},
        {"param vector v filter point\ntechnique t\npass p - -\nend\n", "line 1: only textures take a filter"},
        {"param int n = 1.5\ntechnique t\npass p - -\nend\n", "line 1: bad whole number '1.5'"},
        {"param int n = 99999999999\ntechnique t\npass p - -\nend\n", "line 1: bad whole number"},
        {"technique t\npass p vsMissing -\nend\n", "line 2: unknown shader 'vsMissing'"},
        {"pixelshader ps\nend\ntechnique t\npass p ps -\nend\n", "line 4: shader 'ps' is not a vertex shader"},
        {"technique t\nend\n", "line 2: technique 't' has no pass"},
        {"technique t\npass p - -\n", "line 1: block not closed by 'end'"},
        {"vertexshader vs\nvoid main() {}\n", "line 1: block not closed by 'end'"},
        {"# nothing but a comment\n", "no technique defined"},
        {"technique 9lives\npass p - -\nend\n", "line 1: expected 'technique <name>'"},
    };
    for (const Case& c : cases) {
        std::string errors;
        EXPECT_EQ(Compile(c.text, &errors), D3DXERR_INVALIDDATA) << c.text;
        EXPECT_NE(errors.find(c.message), std::string::npos) << c.text << "\ngave: " << errors;
        EXPECT_EQ(effect, nullptr);
    }
}

TEST_F(EffectTest, ManyErrorsAreCappedAndNothingIsReadPastTheLength)
{
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "oops\n";
    std::string errors;
    EXPECT_EQ(Compile(text, &errors), D3DXERR_INVALIDDATA);
    EXPECT_NE(errors.find("more errors"), std::string::npos);
    EXPECT_LT(errors.size(), 2000u);

    const std::string valid = "technique t\npass p - -\nend\n";
    const std::string withTrailingGarbage = valid + "garbage";
    ID3DXBuffer* buffer = nullptr;
    EXPECT_EQ(D3DXCreateEffect(device, withTrailingGarbage.data(), UINT(valid.size()), nullptr, nullptr, 0, nullptr,
                               &effect, &buffer),
              D3D_OK);
    EXPECT_EQ(buffer, nullptr);
}

} // namespace
