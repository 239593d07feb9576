// The sample technique files: each level compiles and defines every
// technique and parameter the game asks for by name, with the right kind.
#include "render_fixture.h"

namespace {

enum class Kind { Matrix, Vector, Texture };

struct NamedParameter {
    const char* name;
    Kind kind;
};

const char* const kTechniques[] = {"techDirectLights", "techDirectVertex", "techWaterSurface",
                                   "techGlowScreen",   "techSmoothSurface", "techGlowBlend", "techMotionBlur"};

const NamedParameter kParameters[] = {
    {"matView", Kind::Matrix},        {"matProj", Kind::Matrix},         {"EyePos", Kind::Vector},
    {"matViewProj", Kind::Matrix},    {"matWorld", Kind::Matrix},        {"matWorldViewProj", Kind::Matrix},
    {"vecTime", Kind::Vector},        {"texBaseMap1", Kind::Texture},    {"texBaseMap2", Kind::Texture},
    {"texCubeMap1", Kind::Texture},   {"FogParam", Kind::Vector},        {"FogColor", Kind::Vector},
    {"GlobalAmbient", Kind::Vector},  {"PntLight_Pos", Kind::Vector},    {"PntLight_Diff", Kind::Vector},
    {"PntLight_Spec", Kind::Vector},  {"DirLight1_Pos", Kind::Vector},   {"DirLight1_Dir", Kind::Vector},
    {"DirLight1_Diff", Kind::Vector}, {"DirLight1_Spec", Kind::Vector},  {"DirLight2_Pos", Kind::Vector},
    {"DirLight2_Dir", Kind::Vector},  {"DirLight2_Diff", Kind::Vector},  {"DirLight2_Spec", Kind::Vector},
};

HRESULT SetByKind(ID3DXEffect* effect, const NamedParameter& p)
{
    const D3DXMATRIX m;
    const D3DXVECTOR4 v;
    switch (p.kind) {
    case Kind::Matrix:
        return effect->SetMatrix(p.name, &m);
    case Kind::Vector:
        return effect->SetVector(p.name, &v);
    default:
        return effect->SetTexture(p.name, nullptr);
    }
}

class TechniqueFileTest : public test::StartedRenderTest,
                          public ::testing::WithParamInterface<tools::ShaderLevel> {};

TEST_P(TechniqueFileTest, DefinesEveryNameTheGameAsksFor)
{
    const std::string text = tools::TechniqueFileText(GetParam());
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    const HRESULT hr =
        D3DXCreateEffect(Device(), text.data(), UINT(text.size()), nullptr, nullptr, 0, nullptr, &effect, &errors);
    ASSERT_EQ(hr, D3D_OK) << (errors ? static_cast<const char*>(errors->GetBufferPointer()) : "");
    for (const char* technique : kTechniques) {
        EXPECT_EQ(effect->SetTechnique(technique), D3D_OK) << technique;
        UINT passes = 0;
        EXPECT_EQ(effect->Begin(&passes, 0), D3D_OK) << technique;
        EXPECT_GE(passes, 1u);
        EXPECT_EQ(effect->Pass(0), D3D_OK) << technique;
        effect->End();
    }
    for (const NamedParameter& p : kParameters)
        EXPECT_EQ(SetByKind(effect, p), D3D_OK) << p.name;
    effect->Release();
}

INSTANTIATE_TEST_SUITE_P(Levels, TechniqueFileTest,
                         ::testing::Values(tools::ShaderLevel::None, tools::ShaderLevel::Vs11,
                                           tools::ShaderLevel::Ps14, tools::ShaderLevel::Ps20));

} // namespace
