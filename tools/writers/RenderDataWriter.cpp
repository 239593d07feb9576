#include "writers/RenderDataWriter.h"

#include "writers/FileBytes.h"
#include "writers/ImageWriters.h"
#include "writers/LightAtlas.h"

#include <cmath>
#include <filesystem>

namespace tools {
namespace {

const char* const kParameters = R"(# Camera
param matrix matView
param matrix matProj
param matrix matViewProj
param matrix matWorld
param matrix matWorldViewProj
param vector EyePos
# Fog range (start, end, 0, 1) and colour; scene lights
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
# Water surface and grass
param vector vecTime
param vector Wave1Scale = 0.02 0.02 0.02 1
param vector Wave2Scale = 0.04 0.04 0.04 1
param vector Wave1Speed
param vector Wave2Speed
param vector AlphaFactor = 60 0.75 0 0
param vector WaterColor = 0.2 0.5 0.6 1
param vector MatSpecular
# Textures read by name (the sampler stages stay the renderer's)
param texture texBaseMap1
param texture texBaseMap2
param cubetexture texCubeMap1
)";

// Sprites, billboards and grass: the quad corner is placed around the
// centre (texture set 1) on the axis (set 2), turned towards the eye.
const char* const kBillboard = R"(vertexshader vsDirectLights
vec3 Corner(vec3 centre, vec3 axis, vec3 offset)
{
    vec3 up = length(axis) > 0.0 ? normalize(axis) : vec3(0.0, 1.0, 0.0);
    vec3 toEye = EyePos.xyz - centre;
    vec3 side = cross(up, toEye);
    side = length(side) > 1e-5 ? normalize(side) : vec3(1.0, 0.0, 0.0);
    vec3 facing = normalize(cross(side, up));
    return centre + side * offset.x + up * offset.y + facing * offset.z;
}
void main()
{
    vec3 world = Corner(inTex1.xyz, inTex2.xyz, inPosition.xyz);
    gl_Position = matViewProj * vec4(world, 1.0);
    vDiffuse = inColor0;
    vTex[0] = vec4(inTex0.xy, 0.0, 1.0);
    float dist = distance(EyePos.xyz, world);
    vFog = clamp((FogParam.y - dist) / max(FogParam.y - FogParam.x, 0.0001), 0.0, 1.0);
}
end

pixelshader psDirectLights
void main()
{
    fragColor = texture(texBaseMap1, vTex[0].xy) * vDiffuse;
}
end

vertexshader vsDirectVertex
void main()
{
    vec3 up = length(inTex2.xyz) > 0.0 ? normalize(inTex2.xyz) : vec3(0.0, 1.0, 0.0);
    vec3 toEye = EyePos.xyz - inTex1.xyz;
    vec3 side = cross(up, toEye);
    side = length(side) > 1e-5 ? normalize(side) : vec3(1.0, 0.0, 0.0);
    vec3 world = inTex1.xyz + side * inPosition.x + up * inPosition.y;
    gl_Position = matViewProj * vec4(world, 1.0);
    // Grass takes the sky's ambient and the sun from above, and fades out
    // between the two distances of AlphaFactor.
    float sun = max(dot(up, -normalize(DirLight1_Dir.xyz + vec3(0.0, -1e-6, 0.0))), 0.0);
    vec3 light = clamp(GlobalAmbient.rgb + DirLight1_Diff.rgb * sun, 0.0, 1.0);
    float dist = distance(EyePos.xyz, world);
    float fade = 1.0 - clamp((dist - AlphaFactor.x) / max(AlphaFactor.y - AlphaFactor.x, 0.0001), 0.0, 1.0);
    vDiffuse = vec4(inColor0.rgb * light, inColor0.a * fade);
    vTex[0] = vec4(inTex0.xy, 0.0, 1.0);
    vFog = clamp((FogParam.y - dist) / max(FogParam.y - FogParam.x, 0.0001), 0.0, 1.0);
}
end
)";

// The water: the reflection target read in screen space, shifted by two
// scrolling layers of noise, mixed with the water colour by the viewing
// angle, with the sun's highlight.
const char* const kWater = R"(vertexshader vsWaterSurface
void main()
{
    vec4 world = matWorld * inPosition;
    gl_Position = matWorldViewProj * inPosition;
    vTex[0] = gl_Position;
    vTex[1] = vec4(world.xz * Wave1Scale.xy + Wave1Speed.xy, 0.0, 1.0);
    vTex[2] = vec4(world.xz * Wave2Scale.xy + Wave2Speed.xy + vecTime.xx, 0.0, 1.0);
    vTex[3] = vec4(EyePos.xyz - world.xyz, 1.0);
    vDiffuse = inColor0;
    float dist = length(vTex[3].xyz);
    vFog = clamp((FogParam.y - dist) / max(FogParam.y - FogParam.x, 0.0001), 0.0, 1.0);
}
end

pixelshader psWaterSurface
void main()
{
    vec2 wave = texture(texBaseMap2, vTex[1].xy).rg + texture(texBaseMap2, vTex[2].xy).rg - 1.0;
    vec2 screen = vec2(0.5, 0.5) + vec2(0.5, -0.5) * vTex[0].xy / max(vTex[0].w, 0.0001);
    vec4 reflection = texture(texBaseMap1, screen + wave * 0.02);
    vec3 view = normalize(vTex[3].xyz);
    vec3 normal = normalize(vec3(wave.x * 0.3, 1.0, wave.y * 0.3));
    float facing = clamp(dot(view, normal), 0.0, 1.0);
    vec3 colour = mix(reflection.rgb, WaterColor.rgb, facing * 0.6);
    vec3 sun = -normalize(DirLight1_Dir.xyz + vec3(0.0, -1e-6, 0.0));
    float highlight = pow(max(dot(reflect(-sun, normal), view), 0.0), 48.0);
    colour += MatSpecular.rgb * highlight;
    float alpha = clamp(AlphaFactor.y + length(vTex[3].xyz) / max(AlphaFactor.x, 0.0001), 0.0, 1.0);
    // The vertex alpha fades the water in over the shallows.
    fragColor = vec4(clamp(colour, 0.0, 1.0), alpha * vDiffuse.a);
}
end
)";

// Post effects over the clip-space quad: the frame's bright parts for the
// glow, a four-tap smoothing with offsets and weight from the constant
// registers, the smoothed glow added to the frame with one tap, and a
// radial motion blur.
const char* const kScreen = R"(vertexshader vsScreenQuad
void main()
{
    gl_Position = vec4(inPosition.xyz, 1.0);
    vTex[0] = vec4(inTex0.xy, 0.0, 1.0);
}
end

pixelshader psGlowScreen
void main()
{
    vec4 c = texture(fxStage0, vTex[0].xy);
    float luminance = dot(c.rgb, vec3(0.3, 0.59, 0.11));
    fragColor = vec4(c.rgb * smoothstep(0.55, 1.0, luminance), 1.0);
}
end

vertexshader vsSmoothSurface
void main()
{
    gl_Position = vec4(inPosition.xyz, 1.0);
    for (int i = 0; i < 4; ++i)
        vTex[i] = vec4(inTex0.xy + vsConst[32 + i].xy, 0.0, 1.0);
}
end

pixelshader psSmoothSurface
void main()
{
    vec3 sum = texture(fxStage0, vTex[0].xy).rgb + texture(fxStage1, vTex[1].xy).rgb +
               texture(fxStage2, vTex[2].xy).rgb + texture(fxStage3, vTex[3].xy).rgb;
    fragColor = vec4(sum * psConst[0].rgb, 1.0);
}
end

pixelshader psGlowBlend
void main()
{
    fragColor = vec4(texture(fxStage0, vTex[0].xy).rgb, 1.0);
}
end

vertexshader vsMotionBlur
void main()
{
    gl_Position = vec4(inPosition.xyz, 1.0);
    vTex[0] = vec4(inTex0.xy, 0.0, 1.0);
    vTex[1] = vec4(vsConst[0].xyz, 0.0);
}
end

pixelshader psMotionBlur
void main()
{
    vec2 uv = vTex[0].xy;
    vec2 towardsCentre = (uv - 0.5) * vTex[1].x;
    // Four taps spread over the length six would cover: the whole frame is
    // read once per tap, so each one saved counts on a software rasteriser.
    vec3 sum = vec3(0.0);
    for (int i = 0; i < 4; ++i)
        sum += texture(fxStage0, uv + towardsCentre * (float(i) * 5.0 / 3.0)).rgb;
    float amount = clamp(-vTex[1].x / 0.008 * length(uv - 0.5) * psConst[0].x, 0.0, 1.0);
    fragColor = vec4(sum / 4.0, amount);
}
end
)";

struct TechniqueDef {
    const char* name;
    const char* vertexShader;
    const char* pixelShader;
};

const TechniqueDef kTechniques[] = {
    {"techDirectLights", "vsDirectLights", "psDirectLights"},
    {"techDirectVertex", "vsDirectVertex", "psDirectLights"},
    {"techWaterSurface", "vsWaterSurface", "psWaterSurface"},
    {"techGlowScreen", "vsScreenQuad", "psGlowScreen"},
    {"techSmoothSurface", "vsSmoothSurface", "psSmoothSurface"},
    {"techGlowBlend", "vsScreenQuad", "psGlowBlend"},
    {"techMotionBlur", "vsMotionBlur", "psMotionBlur"},
};

std::string Techniques(ShaderLevel level)
{
    const bool shaders = level != ShaderLevel::None;
    std::string text = "\n// Techniques.\n";
    for (const TechniqueDef& t : kTechniques) {
        text += std::string("technique ") + t.name + "\n";
        text += std::string("    pass p0 ") + (shaders ? t.vertexShader : "-") + " " + (shaders ? t.pixelShader : "-") +
                "\n";
        text += "end\n";
    }
    return text;
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
        text += std::string(kBillboard) + kWater + kScreen;
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
        if (!WriteFileBytes(root + "/Data/Misc/" + f.name, TechniqueFileText(f.level)))
            return false;
    return true;
}

bool WriteRenderTextures(const std::string& root)
{
    const std::string misc = root + "/Data/Misc/";
    std::filesystem::create_directories(misc);
    return WriteImageFile(misc + "StaticEnvMap.dds", EncodeDds(EnvironmentFaces(), DdsPixels::A8R8G8B8, 6)) &&
           WriteImageFile(misc + "LightMap.dds", EncodeDds({LightAtlasImage()}, DdsPixels::A8R8G8B8, 7)) &&
           WriteSolid(misc + "Black", 0xFF000000u) && WriteSolid(misc + "White", 0xFFFFFFFFu);
}

} // namespace tools
