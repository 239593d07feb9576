#include "platform/gl/FixedFunction.h"

#include "platform/D3D9.h"

#include <cstdio>
#include <cstring>

namespace plat::gl {

ProgramKey EmptyKey()
{
    ProgramKey key;
    std::memset(&key, 0, sizeof key);
    return key;
}

// What an effect's own shaders leave to the states: a vertex shader does the
// transforms, lighting and coordinates, a pixel shader the stages; the
// program depends only on the rest.
ProgramKey KeyForEffectPass(ProgramKey key, bool vertexShader, bool pixelShader)
{
    if (vertexShader) {
        key.rhw = key.normal = key.diffuse = key.specular = key.texSets = 0;
        std::memset(key.texSize, 0, sizeof key.texSize);
        key.lighting = key.diffuseSource = key.ambientSource = key.specularSource = key.emissiveSource = 0;
        // The clip plane stays: whether it is on decides what the shader
        // hands the rasteriser as its clip distance.
        key.normalize = key.localViewer = key.rangeFog = 0;
        for (StageKey& stage : key.stages)
            stage.texSet = stage.texGen = stage.transform = 0;
    }
    if (pixelShader) {
        // A fixed vertex stage still makes each running stage's coordinates.
        for (StageKey& stage : key.stages) {
            const StageKey coordinates = stage;
            stage = StageKey{};
            if (!vertexShader) {
                stage.colorOp = coordinates.colorOp;
                stage.texSet = coordinates.texSet;
                stage.texGen = coordinates.texGen;
                stage.transform = coordinates.transform;
                stage.projected = coordinates.projected;
            }
        }
        key.specularEnable = 0;
    }
    return key;
}

std::string KeyBytes(const ProgramKey& key)
{
    return std::string(reinterpret_cast<const char*>(&key), sizeof key);
}

namespace {

std::string Format(const char* format, int a, int b = 0, int c = 0)
{
    char text[512];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

const char* kCommonUniforms = R"(
uniform mat4 ffWorld;
uniform mat4 ffView;
uniform mat4 ffProj;
uniform mat3 ffNormalMatrix;
uniform mat4 ffTexMatrix[8];
uniform vec4 ffMatDiffuse;
uniform vec4 ffMatAmbient;
uniform vec4 ffMatSpecular;
uniform vec4 ffMatEmissive;
uniform float ffMatPower;
uniform vec4 ffAmbient;
uniform vec4 ffLightDiffuse[8];
uniform vec4 ffLightSpecular[8];
uniform vec4 ffLightAmbient[8];
uniform vec3 ffLightPosition[8];
uniform vec3 ffLightDirection[8];
uniform vec4 ffLightAttenuation[8];
uniform vec4 ffLightSpot[8];
// How many lights of each kind are on (directional, point, spot), packed
// in that order from index 0.
uniform ivec3 ffLightCounts;
uniform vec4 ffFog;
uniform vec4 ffClipPlane;
uniform vec4 ffViewport;
uniform vec2 ffDepthRange;
)";

// Screen position from the device's clip space: y turned over (row 0 of
// every target is the top row), the half-pixel shift of pixel centres on
// integer coordinates, and depth 0..1 onto GL's -1..1.
const char* kClipFixup = R"(
vec4 ffToGl(vec4 clip)
{
    return vec4(clip.x + clip.w / ffViewport.z, -clip.y + clip.w / ffViewport.w, 2.0 * clip.z - clip.w, clip.w);
}
// Pre-transformed vertices: pixels of the whole target, z as depth, 1/w given.
vec4 ffScreenToGl(vec4 p)
{
    float w = p.w != 0.0 ? 1.0 / p.w : 1.0;
    float depth = ffDepthRange.y > ffDepthRange.x ? (p.z - ffDepthRange.x) / (ffDepthRange.y - ffDepthRange.x) : 0.0;
    vec2 ndc = (p.xy + 0.5 - ffViewport.xy) * 2.0 / ffViewport.zw - 1.0;
    return vec4(ndc * w, (depth * 2.0 - 1.0) * w, w);
}
)";

std::string MaterialExpr(int source, const char* material)
{
    if (source == 1)
        return "inColor0";
    if (source == 2)
        return "inColor1";
    return material;
}

// The lights are looped over by their counts, not written out one by one:
// one program serves every set of lights the scene switches on, so a lamp
// coming into range never makes the renderer build a program mid-drive.
std::string LightCode(const ProgramKey& key)
{
    std::string s = "    vec3 N = viewNormal;\n";
    s += key.localViewer ? "    vec3 V = normalize(-viewPos.xyz);\n" : "    vec3 V = vec3(0.0, 0.0, -1.0);\n";
    s += "    vec4 amb = vec4(0.0); vec4 dif = vec4(0.0); vec4 spe = vec4(0.0);\n"
         "    int pointsEnd = ffLightCounts.x + ffLightCounts.y;\n"
         "    int lightsEnd = min(pointsEnd + ffLightCounts.z, 8);\n";
    // What each light adds, its direction L and attenuation att found.
    std::string add = "            float nl = max(dot(N, L), 0.0);\n"
                      "            amb += att * ffLightAmbient[i];\n"
                      "            dif += att * nl * ffLightDiffuse[i];\n";
    if (key.specularEnable)
        add += "            if (nl > 0.0) spe += att * pow(max(dot(N, normalize(L + V)), 0.0), ffMatPower) * "
               "ffLightSpecular[i];\n";
    const char* toward = "            vec3 d = ffLightPosition[i] - viewPos.xyz; float dist = length(d);\n"
                         "            vec3 L = dist > 0.0 ? d / dist : vec3(0.0, 0.0, 1.0);\n"
                         "            vec4 k = ffLightAttenuation[i];\n"
                         "            float att = dist <= k.w ? 1.0 / max(k.x + k.y * dist + k.z * dist * dist, 1e-6) "
                         ": 0.0;\n";
    // A loop for each kind, so that each light runs only its own kind's code.
    s += "    for (int i = 0; i < min(ffLightCounts.x, 8); ++i) {\n"
         "            vec3 L = -ffLightDirection[i]; float att = 1.0;\n" +
         add + "    }\n";
    s += "    for (int i = ffLightCounts.x; i < min(pointsEnd, 8); ++i) {\n" + std::string(toward) + add + "    }\n";
    s += "    for (int i = pointsEnd; i < lightsEnd; ++i) {\n" + std::string(toward) +
         "            vec4 cone = ffLightSpot[i]; float rho = dot(-L, ffLightDirection[i]);\n"
         "            if (rho <= cone.y) att = 0.0;\n"
         "            else if (rho < cone.x) att *= pow((rho - cone.y) / max(cone.x - cone.y, 1e-6), cone.z);\n" +
         add + "    }\n";
    const std::string md = MaterialExpr(key.diffuseSource, "ffMatDiffuse");
    const std::string ma = MaterialExpr(key.ambientSource, "ffMatAmbient");
    const std::string ms = MaterialExpr(key.specularSource, "ffMatSpecular");
    const std::string me = MaterialExpr(key.emissiveSource, "ffMatEmissive");
    s += "    vDiffuse = vec4(clamp(" + me + ".rgb + " + ma + ".rgb * (ffAmbient.rgb + amb.rgb) + " + md +
         ".rgb * dif.rgb, 0.0, 1.0), clamp(" + md + ".a, 0.0, 1.0));\n";
    s += "    vSpecular = vec4(clamp(" + ms + ".rgb * spe.rgb, 0.0, 1.0), 0.0);\n";
    return s;
}

// Coordinates of a vertex set widened to four the way the texture matrix
// expects them: a 1 after the last given component.
std::string SetCoords(const ProgramKey& key, int set)
{
    if (set >= key.texSets)
        return "vec4(0.0)";
    const std::string in = Format("inTex%d", set);
    switch (key.texSize[set]) {
    case 1:
        return "vec4(" + in + ".x, 1.0, 0.0, 0.0)";
    case 3:
        return "vec4(" + in + ".xyz, 1.0)";
    case 4:
        return in;
    default:
        return "vec4(" + in + ".xy, 1.0, 0.0)";
    }
}

std::string TexCoordCode(const ProgramKey& key)
{
    std::string s;
    for (int i = 0; i < kStageCount; ++i) {
        const StageKey& st = key.stages[i];
        if (st.colorOp == 0 || st.colorOp == D3DTOP_DISABLE)
            break;
        std::string coords;
        switch (st.texGen) {
        case 1:
            coords = "vec4(viewNormal, 1.0)";
            break;
        case 2:
            coords = "vec4(viewPos.xyz, 1.0)";
            break;
        case 3:
            coords = "vec4(reflect(normalize(viewPos.xyz), viewNormal), 1.0)";
            break;
        case 4:
            coords = "vec4(reflect(normalize(viewPos.xyz), viewNormal).xy * 0.5 + 0.5, 1.0, 0.0)";
            break;
        default:
            coords = SetCoords(key, st.texSet);
        }
        if (st.transform)
            coords = Format("(ffTexMatrix[%d] * ", i) + coords + ")";
        s += Format("    vTex[%d] = ", i) + coords + ";\n";
    }
    return s;
}

} // namespace

const char* ClipFixupSource()
{
    return kClipFixup;
}

std::string VaryingBlock(bool vertexSide, bool flat)
{
    const char* dir = vertexSide ? "out" : "in";
    const char* shading = flat ? "flat " : "";
    std::string s;
    s += std::string(shading) + dir + " vec4 vDiffuse;\n";
    s += std::string(shading) + dir + " vec4 vSpecular;\n";
    s += std::string(dir) + " vec4 vTex[8];\n";
    s += std::string(dir) + " float vFog;\n";
    return s;
}

std::string FixedVertexSource(const ProgramKey& key)
{
    std::string s = "#version 330 core\n";
    s += "layout(location = 0) in vec4 inPosition;\nlayout(location = 1) in vec3 inNormal;\n"
         "layout(location = 2) in vec4 inColor0;\nlayout(location = 3) in vec4 inColor1;\n";
    for (int i = 0; i < 8; ++i)
        s += Format("layout(location = %d) in vec4 inTex%d;\n", 4 + i, i);
    s += kCommonUniforms;
    s += VaryingBlock(true, key.flat);
    s += kClipFixup;
    s += "void main()\n{\n";
    if (key.rhw) {
        s += "    vec4 viewPos = vec4(inPosition.xyz, 1.0);\n    vec3 viewNormal = vec3(0.0, 0.0, 1.0);\n";
        s += "    gl_Position = ffScreenToGl(inPosition);\n";
        s += "    gl_ClipDistance[0] = 1.0;\n";
    } else {
        s += "    vec4 worldPos = ffWorld * inPosition;\n    vec4 viewPos = ffView * worldPos;\n";
        s += key.normal ? "    vec3 viewNormal = ffNormalMatrix * inNormal;\n" : "    vec3 viewNormal = vec3(0.0);\n";
        if (key.normal && key.normalize)
            s += "    viewNormal = length(viewNormal) > 0.0 ? normalize(viewNormal) : viewNormal;\n";
        s += "    gl_Position = ffToGl(ffProj * viewPos);\n";
        s += key.clipPlane ? "    gl_ClipDistance[0] = dot(worldPos, ffClipPlane);\n" : "    gl_ClipDistance[0] = 1.0;\n";
    }
    if (key.lighting && !key.rhw) {
        s += LightCode(key);
    } else {
        s += key.diffuse ? "    vDiffuse = inColor0;\n" : "    vDiffuse = vec4(1.0);\n";
        s += key.specular ? "    vSpecular = inColor1;\n" : "    vSpecular = vec4(0.0);\n";
    }
    s += "    for (int i = 0; i < 8; ++i) vTex[i] = vec4(0.0);\n";
    s += TexCoordCode(key);
    if (key.rhw) {
        s += key.specular && key.fogMode ? "    vFog = inColor1.a;\n" : "    vFog = 1.0;\n";
    } else if (key.fogMode) {
        s += key.rangeFog ? "    float fogDistance = length(viewPos.xyz);\n" : "    float fogDistance = viewPos.z;\n";
        switch (key.fogMode) {
        case D3DFOG_EXP:
            s += "    vFog = clamp(exp(-ffFog.z * fogDistance), 0.0, 1.0);\n";
            break;
        case D3DFOG_EXP2:
            s += "    vFog = clamp(exp(-(ffFog.z * fogDistance) * (ffFog.z * fogDistance)), 0.0, 1.0);\n";
            break;
        default:
            s += "    vFog = ffFog.y != ffFog.x ? clamp((ffFog.y - fogDistance) / (ffFog.y - ffFog.x), 0.0, 1.0) "
                 ": (fogDistance < ffFog.y ? 1.0 : 0.0);\n";
        }
    } else {
        s += "    vFog = 1.0;\n";
    }
    s += "}\n";
    return s;
}

namespace {

std::string ArgExpr(int arg, int stage)
{
    std::string e;
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE:
        e = "vDiffuse";
        break;
    case D3DTA_CURRENT:
        e = "cur";
        break;
    case D3DTA_TEXTURE:
        e = Format("t%d", stage);
        break;
    case D3DTA_TFACTOR:
        e = "ffTextureFactor";
        break;
    case D3DTA_SPECULAR:
        e = "vSpecular";
        break;
    case D3DTA_TEMP:
        e = "tmp";
        break;
    case D3DTA_CONSTANT:
        e = Format("ffStageConstant[%d]", stage);
        break;
    default:
        e = "vec4(1.0)";
    }
    if (arg & D3DTA_ALPHAREPLICATE)
        e = "vec4(" + e + ".a)";
    if (arg & D3DTA_COMPLEMENT)
        e = "(vec4(1.0) - " + e + ")";
    return e;
}

// One stage operation over arguments a0, a1, a2 (vec4 names).
std::string OpExpr(int op, int stage)
{
    const std::string tex = Format("t%d", stage);
    switch (op) {
    case D3DTOP_SELECTARG1:
        return "a1";
    case D3DTOP_SELECTARG2:
        return "a2";
    case D3DTOP_MODULATE:
        return "a1 * a2";
    case D3DTOP_MODULATE2X:
        return "a1 * a2 * 2.0";
    case D3DTOP_MODULATE4X:
        return "a1 * a2 * 4.0";
    case D3DTOP_ADD:
        return "a1 + a2";
    case D3DTOP_ADDSIGNED:
        return "a1 + a2 - 0.5";
    case D3DTOP_ADDSIGNED2X:
        return "(a1 + a2 - 0.5) * 2.0";
    case D3DTOP_SUBTRACT:
        return "a1 - a2";
    case D3DTOP_ADDSMOOTH:
        return "a1 + a2 - a1 * a2";
    case D3DTOP_BLENDDIFFUSEALPHA:
        return "mix(a2, a1, vDiffuse.a)";
    case D3DTOP_BLENDTEXTUREALPHA:
        return "mix(a2, a1, " + tex + ".a)";
    case D3DTOP_BLENDFACTORALPHA:
        return "mix(a2, a1, ffTextureFactor.a)";
    case D3DTOP_BLENDTEXTUREALPHAPM:
        return "a1 + a2 * (1.0 - " + tex + ".a)";
    case D3DTOP_BLENDCURRENTALPHA:
        return "mix(a2, a1, cur.a)";
    case D3DTOP_MODULATEALPHA_ADDCOLOR:
        return "a1 + a1.a * a2";
    case D3DTOP_MODULATECOLOR_ADDALPHA:
        return "a1 * a2 + a1.a";
    case D3DTOP_MODULATEINVALPHA_ADDCOLOR:
        return "(1.0 - a1.a) * a2 + a1";
    case D3DTOP_MODULATEINVCOLOR_ADDALPHA:
        return "(vec4(1.0) - a1) * a2 + a1.a";
    case D3DTOP_DOTPRODUCT3:
        return "vec4(clamp(4.0 * dot(a1.rgb - 0.5, a2.rgb - 0.5), 0.0, 1.0))";
    case D3DTOP_MULTIPLYADD:
        return "a0 + a1 * a2";
    case D3DTOP_LERP:
        return "a0 * a1 + (vec4(1.0) - a0) * a2";
    default: // premodulate and bump mapping have no use here: the first argument
        return "a1";
    }
}

std::string SamplerDecl(const ProgramKey& key)
{
    std::string s;
    for (int i = 0; i < kStageCount; ++i) {
        const int type = key.stages[i].texType;
        if (type)
            s += Format(type == 2 ? "uniform samplerCube ffSampler%d;\n" : "uniform sampler2D ffSampler%d;\n", i);
    }
    return s;
}

std::string SampleCode(const StageKey& st, int i)
{
    if (!st.texType)
        return Format("    vec4 t%d = vec4(1.0);\n", i);
    std::string coords = Format("vTex[%d]", i);
    if (st.projected) {
        const std::string last = coords + "[" + std::to_string(st.transform ? st.transform - 1 : 3) + "]";
        coords = "(" + coords + " / (" + last + " != 0.0 ? " + last + " : 1.0))";
    }
    if (st.texType == 2)
        return Format("    vec4 t%d = texture(ffSampler%d, ", i, i) + coords + ".xyz);\n";
    return Format("    vec4 t%d = texture(ffSampler%d, ", i, i) + coords + ".xy);\n";
}

} // namespace

std::string AlphaTestAndFog(const ProgramKey& key)
{
    static const char* kCompare[] = {"false", "false", "<", "==", "<=", ">", "!=", ">=", "true"};
    std::string s;
    if (key.alphaFunc && key.alphaFunc != D3DCMP_ALWAYS) {
        const int f = key.alphaFunc <= D3DCMP_ALWAYS ? int(key.alphaFunc) : int(D3DCMP_ALWAYS);
        if (f == D3DCMP_NEVER)
            s += "    discard;\n";
        else
            s += std::string("    if (!(floor(clamp(cur.a, 0.0, 1.0) * 255.0 + 0.5) ") + kCompare[f] +
                 " ffAlphaRef)) discard;\n";
    }
    if (key.fogMode)
        s += "    cur.rgb = mix(ffFogColor.rgb, cur.rgb, vFog);\n";
    return s;
}

std::string FixedFragmentSource(const ProgramKey& key)
{
    std::string s = "#version 330 core\n";
    s += "uniform vec4 ffTextureFactor;\nuniform vec4 ffStageConstant[8];\nuniform float ffAlphaRef;\n"
         "uniform vec4 ffFogColor;\n";
    s += SamplerDecl(key);
    s += VaryingBlock(false, key.flat);
    s += "out vec4 fragColor;\nvoid main()\n{\n    vec4 cur = vDiffuse;\n    vec4 tmp = vec4(0.0);\n";
    for (int i = 0; i < kStageCount; ++i) {
        const StageKey& st = key.stages[i];
        if (st.colorOp == 0 || st.colorOp == D3DTOP_DISABLE)
            break;
        s += SampleCode(st, i);
        s += "    {\n";
        s += "        vec4 a0 = " + ArgExpr(st.colorArg[0], i) + ";\n";
        s += "        vec4 a1 = " + ArgExpr(st.colorArg[1], i) + ";\n";
        s += "        vec4 a2 = " + ArgExpr(st.colorArg[2], i) + ";\n";
        s += "        vec3 rgb = (" + OpExpr(st.colorOp, i) + ").rgb;\n";
        if (st.alphaOp == 0 || st.alphaOp == D3DTOP_DISABLE) {
            s += "        float alpha = cur.a;\n";
        } else {
            s += "        a0 = vec4(" + ArgExpr(st.alphaArg[0], i) + ".a);\n";
            s += "        a1 = vec4(" + ArgExpr(st.alphaArg[1], i) + ".a);\n";
            s += "        a2 = vec4(" + ArgExpr(st.alphaArg[2], i) + ".a);\n";
            s += "        float alpha = (" + OpExpr(st.alphaOp, i) + ").a;\n";
        }
        s += std::string("        ") + (st.result ? "tmp" : "cur") + " = clamp(vec4(rgb, alpha), 0.0, 1.0);\n";
        s += "    }\n";
    }
    if (key.specularEnable)
        s += "    cur.rgb = clamp(cur.rgb + vSpecular.rgb, 0.0, 1.0);\n";
    s += AlphaTestAndFog(key);
    s += "    fragColor = cur;\n}\n";
    return s;
}

} // namespace plat::gl
