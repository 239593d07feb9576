#include "platform/gl/EffectSource.h"

namespace plat::gl {

namespace {

const char* GlslType(fx::ParamType type)
{
    switch (type) {
    case fx::ParamType::Vector:
        return "vec4";
    case fx::ParamType::Matrix:
        return "mat4";
    case fx::ParamType::Texture:
        return "sampler2D";
    case fx::ParamType::CubeTexture:
        return "samplerCube";
    case fx::ParamType::Int:
        return "int";
    case fx::ParamType::Float:
        break;
    }
    return "float";
}

// One texture unit takes one sampler type within a program, so a stage that
// carries a cube parameter is read as a cube by its stage sampler as well.
std::string StageSamplers(const fx::EffectFile& file)
{
    bool cube[8] = {};
    for (const fx::Parameter& p : file.parameters)
        if (p.type == fx::ParamType::CubeTexture && p.stage >= 0 && p.stage < 8)
            cube[p.stage] = true;
    std::string s;
    for (int i = 0; i < 8; ++i)
        s += std::string("uniform ") + (cube[i] ? "samplerCube" : "sampler2D") + " fxStage" + std::to_string(i) + ";\n";
    return s;
}

} // namespace

std::string ParameterDeclarations(const fx::EffectFile& file)
{
    std::string s;
    for (const fx::Parameter& p : file.parameters)
        s += std::string("uniform ") + GlslType(p.type) + " " + p.name + ";\n";
    s += StageSamplers(file);
    return s;
}

std::string EffectVertexSource(const fx::EffectFile& file, const std::string& declarations, int shader,
                               const ProgramKey& key)
{
    if (shader < 0 || size_t(shader) >= file.shaders.size())
        return FixedVertexSource(key);
    std::string s = "#version 330 core\n";
    s += "layout(location = 0) in vec4 inPosition;\nlayout(location = 1) in vec3 inNormal;\n"
         "layout(location = 2) in vec4 inColor0;\nlayout(location = 3) in vec4 inColor1;\n";
    for (int i = 0; i < 8; ++i)
        s += "layout(location = " + std::to_string(4 + i) + ") in vec4 inTex" + std::to_string(i) + ";\n";
    s += "uniform vec4 ffViewport;\nuniform vec2 ffDepthRange;\nuniform vec4 ffClipPlane;\n";
    s += "uniform vec4 vsConst[" + std::to_string(kVertexConstRegisters) + "];\n";
    s += "uniform ivec4 vsConstI[" + std::to_string(kIntConstRegisters) + "];\n";
    s += declarations;
    s += VaryingBlock(true, key.flat);
    s += ClipFixupSource();
    s += "#define main fxVertexMain\n#line 1\n";
    s += file.shaders[size_t(shader)].source;
    s += "\n#undef main\nvoid main()\n{\n    vDiffuse = vec4(1.0);\n    vSpecular = vec4(0.0);\n"
         "    for (int i = 0; i < 8; ++i) vTex[i] = vec4(0.0);\n    vFog = 1.0;\n"
         "    fxVertexMain();\n"
         // With shaders the user clip plane is given in clip space. A plane
         // left set after its pass was turned off must clip nothing: some
         // rasterisers honour a written distance whatever the enable says.
         + std::string(key.clipPlane ? "    gl_ClipDistance[0] = dot(gl_Position, ffClipPlane);\n"
                                     : "    gl_ClipDistance[0] = 1.0;\n") +
         "    gl_Position = ffToGl(gl_Position);\n}\n";
    return s;
}

std::string EffectFragmentSource(const fx::EffectFile& file, const std::string& declarations, int shader,
                                 const ProgramKey& key)
{
    if (shader < 0 || size_t(shader) >= file.shaders.size())
        return FixedFragmentSource(key);
    std::string s = "#version 330 core\n";
    s += "uniform float ffAlphaRef;\nuniform vec4 ffFogColor;\n";
    s += "uniform vec4 psConst[" + std::to_string(kPixelConstRegisters) + "];\n";
    s += "uniform ivec4 psConstI[" + std::to_string(kIntConstRegisters) + "];\n";
    s += declarations;
    s += VaryingBlock(false, key.flat);
    s += "out vec4 fragColor;\n#define main fxPixelMain\n#line 1\n";
    s += file.shaders[size_t(shader)].source;
    s += "\n#undef main\nvoid main()\n{\n    fxPixelMain();\n    vec4 cur = fragColor;\n";
    s += AlphaTestAndFog(key);
    s += "    fragColor = cur;\n}\n";
    return s;
}

} // namespace plat::gl
