#include "writers/RenderDataWriter.h"

#include "writers/ImageWriters.h"

#include <cmath>
#include <filesystem>
#include <fstream>

namespace tools {
namespace {

const char* const kParameters = R"(// Parameters set by name.
param matrix matView
param matrix matProj
param matrix matViewProj
param matrix matWorld
param matrix matWorldViewProj
param vector EyePos
param vector vecTime
param vector FogParam = 300 600 0 1
param vector FogColor = 0 0 0 1
param vector GlobalAmbient = 0.3 0.3 0.3 1
param vector PntLight_Pos
param vector PntLight_Diff
param vector PntLight_Spec
param vector DirLight1_Pos
param vector DirLight1_Dir = 0 -1 0 0
param vector DirLight1_Diff = 1 1 1 1
param vector DirLight1_Spec
param vector DirLight2_Pos
param vector DirLight2_Dir = 0 -1 0 0
param vector DirLight2_Diff
param vector DirLight2_Spec
param texture texBaseMap1 stage 0
param texture texBaseMap2 stage 1
param cubetexture texCubeMap1 stage 2
)";

const char* const kVertexShaders = R"(
// Light sprites: the corner offset is turned to face the camera around the
// sprite's world centre.
vertexshader vsDirectLights
uniform mat4 matViewProj;
uniform vec4 EyePos;
attribute vec3 inCorner;
attribute vec4 inColour;
attribute vec2 inTex;
attribute vec3 inCentre;
attribute vec3 inAxis;
varying vec4 vColour;
varying vec2 vTex;
void main()
{
    vec3 toEye = normalize(EyePos.xyz - inCentre);
    vec3 side = normalize(cross(inAxis, toEye));
    vec3 up = cross(toEye, side);
    vec3 world = inCentre + side * inCorner.x + up * inCorner.y;
    gl_Position = vec4(world, 1.0) * matViewProj;
    vColour = inColour;
    vTex = inTex;
}
end

vertexshader vsDirectVertex
uniform mat4 matViewProj;
uniform vec4 FogParam;
attribute vec3 inPosition;
attribute vec4 inColour;
attribute vec2 inTex;
varying vec4 vColour;
varying vec2 vTex;
varying float vFog;
void main()
{
    gl_Position = vec4(inPosition, 1.0) * matViewProj;
    vColour = inColour;
    vTex = inTex;
    vFog = clamp((FogParam.y - gl_Position.w) / (FogParam.y - FogParam.x), 0.0, 1.0);
}
end

vertexshader vsWaterSurface
uniform mat4 matWorld;
uniform mat4 matWorldViewProj;
uniform vec4 vecTime;
uniform vec4 EyePos;
attribute vec3 inPosition;
attribute vec2 inTex;
varying vec2 vTex;
varying vec2 vRipple;
varying vec4 vScreen;
varying vec3 vToEye;
void main()
{
    gl_Position = vec4(inPosition, 1.0) * matWorldViewProj;
    vTex = inTex;
    vRipple = inTex * 4.0 + vec2(vecTime.x * 0.05, vecTime.x * 0.03);
    vScreen = gl_Position;
    vToEye = EyePos.xyz - (vec4(inPosition, 1.0) * matWorld).xyz;
}
end

vertexshader vsScreenQuad
attribute vec3 inPosition;
attribute vec2 inTex;
varying vec2 vTex;
void main()
{
    gl_Position = vec4(inPosition, 1.0);
    vTex = inTex;
}
end

// Four sample positions around each pixel, from constant registers 32 to 35.
vertexshader vsSmoothSurface
uniform vec4 vsRegister[36];
attribute vec3 inPosition;
attribute vec2 inTex;
varying vec2 vTex0;
varying vec2 vTex1;
varying vec2 vTex2;
varying vec2 vTex3;
void main()
{
    gl_Position = vec4(inPosition, 1.0);
    vTex0 = inTex + vsRegister[32].xy;
    vTex1 = inTex + vsRegister[33].xy;
    vTex2 = inTex + vsRegister[34].xy;
    vTex3 = inTex + vsRegister[35].xy;
}
end

// The frame drawn again, shifted towards the centre by register 0.
vertexshader vsMotionBlur
uniform vec4 vsRegister[1];
attribute vec3 inPosition;
attribute vec2 inTex;
varying vec2 vTex;
void main()
{
    gl_Position = vec4(inPosition, 1.0);
    vTex = (inTex - 0.5) * (1.0 + vsRegister[0].x) + 0.5;
}
end
)";

const char* const kPixelShaders = R"(
pixelshader psTexturedColour
uniform sampler2D texBaseMap1;
varying vec4 vColour;
varying vec2 vTex;
void main()
{
    gl_FragColor = texture2D(texBaseMap1, vTex) * vColour;
}
end

pixelshader psWaterSurface
uniform sampler2D texBaseMap1;
uniform sampler2D texBaseMap2;
uniform vec4 FogColor;
varying vec2 vTex;
varying vec2 vRipple;
varying vec4 vScreen;
varying vec3 vToEye;
void main()
{
    vec2 ripple = texture2D(texBaseMap2, vRipple).xy * 0.04 - 0.02;
    vec2 screen = vScreen.xy / vScreen.w * vec2(0.5, -0.5) + 0.5;
    vec4 reflection = texture2D(texBaseMap1, screen + ripple);
    float facing = clamp(normalize(vToEye).y, 0.0, 1.0);
    gl_FragColor = vec4(reflection.rgb, 1.0 - facing * 0.5);
}
end

// Keeps only the bright parts of the frame.
pixelshader psGlowScreen
uniform sampler2D texBaseMap1;
varying vec2 vTex;
void main()
{
    vec4 c = texture2D(texBaseMap1, vTex);
    gl_FragColor = max(c - vec4(0.6), vec4(0.0)) * 2.5;
}
end

// Weighted sum of the four samples; weight in register 0.
pixelshader psSmoothSurface
uniform sampler2D texBaseMap1;
uniform vec4 psRegister[1];
varying vec2 vTex0;
varying vec2 vTex1;
varying vec2 vTex2;
varying vec2 vTex3;
void main()
{
    vec4 sum = texture2D(texBaseMap1, vTex0) + texture2D(texBaseMap1, vTex1) +
               texture2D(texBaseMap1, vTex2) + texture2D(texBaseMap1, vTex3);
    gl_FragColor = sum * psRegister[0];
}
end

pixelshader psMotionBlur
uniform sampler2D texBaseMap1;
uniform vec4 psRegister[1];
varying vec2 vTex;
void main()
{
    vec4 c = texture2D(texBaseMap1, vTex);
    gl_FragColor = vec4(c.rgb, 0.25 * psRegister[0].x / 3.0);
}
end
)";

struct TechniqueDef {
    const char* name;
    const char* vertexShader;
    const char* pixelShader;
};

const TechniqueDef kTechniques[] = {
    {"techDirectLights", "vsDirectLights", "psTexturedColour"},
    {"techDirectVertex", "vsDirectVertex", "psTexturedColour"},
    {"techWaterSurface", "vsWaterSurface", "psWaterSurface"},
    {"techGlowScreen", "vsScreenQuad", "psGlowScreen"},
    {"techSmoothSurface", "vsSmoothSurface", "psSmoothSurface"},
    {"techMotionBlur", "vsMotionBlur", "psMotionBlur"},
};

std::string Techniques(ShaderLevel level)
{
    const bool vertex = level != ShaderLevel::None;
    const bool pixel = level == ShaderLevel::Ps14 || level == ShaderLevel::Ps20;
    std::string text = "\n// Techniques.\n";
    for (const TechniqueDef& t : kTechniques) {
        text += std::string("technique ") + t.name + "\n";
        text += std::string("    pass p0 ") + (vertex ? t.vertexShader : "-") + " " + (pixel ? t.pixelShader : "-") +
                "\n";
        text += "end\n";
    }
    return text;
}

bool WriteText(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream file(path, std::ios::binary);
    file << text;
    return bool(file);
}

// A sky-like cube: each face a vertical gradient, brighter upwards.
std::vector<ArgbImage> EnvironmentFaces()
{
    std::vector<ArgbImage> faces;
    const unsigned size = 32;
    for (int face = 0; face < 6; ++face) {
        ArgbImage image{size, size, {}};
        for (unsigned y = 0; y < size; ++y) {
            const unsigned shade = face == 2 ? 230u : face == 3 ? 60u : 200u - y * 4u;
            for (unsigned x = 0; x < size; ++x)
                image.pixels.push_back(0xFF000000u | (shade / 2) << 16 | (shade * 3 / 4) << 8 | shade);
        }
        faces.push_back(image);
    }
    return faces;
}

// A round white spot fading to transparent black at its rim.
ArgbImage LightMap()
{
    const unsigned size = 64;
    ArgbImage image{size, size, {}};
    for (unsigned y = 0; y < size; ++y) {
        for (unsigned x = 0; x < size; ++x) {
            const float dx = (float(x) + 0.5f) / size * 2.0f - 1.0f;
            const float dy = (float(y) + 0.5f) / size * 2.0f - 1.0f;
            const float d = std::sqrt(dx * dx + dy * dy);
            const float k = d >= 1.0f ? 0.0f : (1.0f - d) * (1.0f - d);
            const std::uint32_t v = std::uint32_t(k * 255.0f);
            image.pixels.push_back(v << 24 | v << 16 | v << 8 | v);
        }
    }
    return image;
}

bool WriteSolid(const std::string& base, std::uint32_t argb)
{
    const ArgbImage image = SolidImage(8, 8, argb);
    const std::string jpeg = EncodeJpeg(image, 95);
    return !jpeg.empty() && WriteImageFile(base + ".bmp", EncodeBmp(image, 24)) &&
           WriteImageFile(base + ".jpg", jpeg);
}

} // namespace

std::string TechniqueFileText(ShaderLevel level)
{
    std::string text = "// Morvaine render techniques, shader level " + std::to_string(int(level)) + ".\n";
    text += kParameters;
    if (level != ShaderLevel::None)
        text += kVertexShaders;
    if (level == ShaderLevel::Ps14 || level == ShaderLevel::Ps20)
        text += kPixelShaders;
    return text + Techniques(level);
}

bool WriteTechniqueFiles(const std::string& root)
{
    const struct {
        ShaderLevel level;
        const char* name;
    } kFiles[] = {
        {ShaderLevel::Ps20, "RenderTechniques_20.dat"},
        {ShaderLevel::Ps14, "RenderTechniques_14.dat"},
        {ShaderLevel::Vs11, "RenderTechniques_11.dat"},
        {ShaderLevel::None, "RenderTechniques_00.dat"},
    };
    for (const auto& f : kFiles)
        if (!WriteText(root + "/Data/Misc/" + f.name, TechniqueFileText(f.level)))
            return false;
    return true;
}

bool WriteRenderTextures(const std::string& root)
{
    const std::string misc = root + "/Data/Misc/";
    std::filesystem::create_directories(misc);
    return WriteImageFile(misc + "StaticEnvMap.dds", EncodeDds(EnvironmentFaces(), DdsPixels::A8R8G8B8, 6)) &&
           WriteImageFile(misc + "LightMap.dds", EncodeDds({LightMap()}, DdsPixels::A8R8G8B8, 7)) &&
           WriteSolid(misc + "Black", 0xFF000000u) && WriteSolid(misc + "White", 0xFFFFFFFFu);
}

} // namespace tools
