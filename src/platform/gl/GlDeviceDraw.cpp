// Draw calls of the drawing device: render states, textures and samplers,
// the program for the current states, its uniforms and the vertex layout.
#include "platform/d3d9/Formats.h"
#include "platform/d3dx9/Effect.h"
#include "platform/gl/EffectSource.h"
#include "platform/gl/GlDevice.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_map>

namespace plat::gl {

namespace {

float FloatOf(DWORD bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

GLenum BlendFactor(DWORD blend)
{
    static const GLenum kFactors[] = {GL_ZERO,      GL_ZERO,           GL_ONE,       GL_SRC_COLOR,
                                      GL_ONE_MINUS_SRC_COLOR, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
                                      GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA, GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR};
    return blend < sizeof kFactors / sizeof kFactors[0] ? kFactors[blend] : GL_ONE;
}

GLenum BlendEquation(DWORD op)
{
    switch (op) {
    case D3DBLENDOP_SUBTRACT:
        return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT:
        return GL_FUNC_REVERSE_SUBTRACT;
    case 4:
        return GL_MIN;
    case 5:
        return GL_MAX;
    default:
        return GL_FUNC_ADD;
    }
}

GLenum CompareFunc(DWORD func)
{
    return func >= D3DCMP_NEVER && func <= D3DCMP_ALWAYS ? GLenum(GL_NEVER + (func - D3DCMP_NEVER)) : GL_ALWAYS;
}

GLenum AddressMode(DWORD mode)
{
    switch (mode) {
    case D3DTADDRESS_MIRROR:
        return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
    case D3DTADDRESS_MIRRORONCE:
        return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
        return GL_CLAMP_TO_BORDER;
    default:
        return GL_REPEAT;
    }
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE type)
{
    switch (type) {
    case D3DPT_POINTLIST:
        return GL_POINTS;
    case D3DPT_LINELIST:
        return GL_LINES;
    case D3DPT_LINESTRIP:
        return GL_LINE_STRIP;
    case D3DPT_TRIANGLESTRIP:
        return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN:
        return GL_TRIANGLE_FAN;
    default:
        return GL_TRIANGLES;
    }
}

// Inverse transpose of the upper 3x3 of m (for normals); identity when singular.
void NormalMatrix(const D3DMATRIX& m, float out[9])
{
    const float a = m._11, b = m._12, c = m._13, d = m._21, e = m._22, f = m._23, g = m._31, h = m._32, i = m._33;
    const float cof[9] = {e * i - f * h, f * g - d * i, d * h - e * g, c * h - b * i, a * i - c * g,
                          b * g - a * h, b * f - c * e, c * d - a * f, a * e - b * d};
    const float det = a * cof[0] + b * cof[1] + c * cof[2];
    for (int k = 0; k < 9; ++k)
        out[k] = std::fabs(det) > 1e-20f ? cof[k] / det : (k % 4 == 0 ? 1.0f : 0.0f);
}

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b)
{
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                r.m[i][j] += a.m[i][k] * b.m[k][j];
    return r;
}

// (x, y, z, w) x m.
void Transform(const float v[4], const D3DMATRIX& m, float out[4])
{
    for (int j = 0; j < 4; ++j)
        out[j] = v[0] * m.m[0][j] + v[1] * m.m[1][j] + v[2] * m.m[2][j] + v[3] * m.m[3][j];
}

int MaterialSource(DWORD source, bool colorVertex, bool diffuse, bool specular)
{
    if (!colorVertex)
        return 0;
    if (source == D3DMCS_COLOR1 && diffuse)
        return 1;
    if (source == D3DMCS_COLOR2 && specular)
        return 2;
    return 0;
}

// The effect's programs per pass and key, valid for one program-cache epoch;
// an effect has few, so they are searched in order.
struct EffectPrograms final : d3d::BackendObject {
    struct Entry {
        const fx::Pass* pass;
        ProgramKey key;
        Program* program;
    };
    unsigned epoch = 0;
    std::string declarations;
    std::vector<Entry> programs;
};

} // namespace

void GlDevice::ApplyRenderStates()
{
    const auto& rs = m_renderStates;
    m_gl.Viewport(GLint(m_viewport.X), GLint(m_viewport.Y), GLsizei(m_viewport.Width), GLsizei(m_viewport.Height));
    m_gl.DepthRange(m_viewport.MinZ, m_viewport.MaxZ);
    m_gl.Enable(GL_DEPTH_TEST, rs[D3DRS_ZENABLE] && m_hasDepth);
    m_gl.DepthMask(rs[D3DRS_ZWRITEENABLE] != 0);
    m_gl.DepthFunc(CompareFunc(rs[D3DRS_ZFUNC]));
    // Clockwise on screen is counter-clockwise in GL's window space here
    // (rows run top down), so the device's clockwise faces are GL's front.
    const bool cull = rs[D3DRS_CULLMODE] == D3DCULL_CW || rs[D3DRS_CULLMODE] == D3DCULL_CCW;
    m_gl.Enable(GL_CULL_FACE, cull);
    if (cull)
        m_gl.CullFace(rs[D3DRS_CULLMODE] == D3DCULL_CW ? GL_FRONT : GL_BACK);
    const DWORD fill = rs[D3DRS_FILLMODE];
    m_gl.PolygonMode(fill == D3DFILL_WIREFRAME ? GL_LINE : fill == D3DFILL_POINT ? GL_POINT : GL_FILL);
    m_gl.Enable(GL_BLEND, rs[D3DRS_ALPHABLENDENABLE] != 0);
    if (rs[D3DRS_ALPHABLENDENABLE]) {
        m_gl.BlendFunc(BlendFactor(rs[D3DRS_SRCBLEND]), BlendFactor(rs[D3DRS_DESTBLEND]));
        m_gl.BlendEquation(BlendEquation(rs[D3DRS_BLENDOP]));
    }
    m_gl.ColorMask(unsigned(rs[D3DRS_COLORWRITEENABLE] & 0xF));
    m_gl.Enable(GL_CLIP_DISTANCE0, (rs[D3DRS_CLIPPLANEENABLE] & 1) != 0);
}

ProgramKey GlDevice::MakeKey() const
{
    const auto& rs = m_renderStates;
    ProgramKey key = EmptyKey();
    const DWORD position = m_fvf & D3DFVF_POSITION_MASK;
    key.rhw = position == D3DFVF_XYZRHW;
    key.normal = (m_fvf & D3DFVF_NORMAL) != 0;
    key.diffuse = (m_fvf & D3DFVF_DIFFUSE) != 0;
    key.specular = (m_fvf & D3DFVF_SPECULAR) != 0;
    key.texSets = std::uint8_t(std::min<DWORD>((m_fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT, 8));
    static constexpr std::uint8_t kFloatsByCode[4] = {2, 3, 4, 1};
    for (int i = 0; i < key.texSets; ++i)
        key.texSize[i] = kFloatsByCode[(m_fvf >> (i * 2 + 16)) & 3];
    key.lighting = rs[D3DRS_LIGHTING] && !key.rhw;
    key.specularEnable = rs[D3DRS_SPECULARENABLE] != 0;
    if (key.lighting) {
        const bool cv = rs[D3DRS_COLORVERTEX] != 0;
        key.diffuseSource = std::uint8_t(MaterialSource(rs[D3DRS_DIFFUSEMATERIALSOURCE], cv, key.diffuse, key.specular));
        key.ambientSource = std::uint8_t(MaterialSource(rs[D3DRS_AMBIENTMATERIALSOURCE], cv, key.diffuse, key.specular));
        key.specularSource =
            std::uint8_t(MaterialSource(rs[D3DRS_SPECULARMATERIALSOURCE], cv, key.diffuse, key.specular));
        key.emissiveSource =
            std::uint8_t(MaterialSource(rs[D3DRS_EMISSIVEMATERIALSOURCE], cv, key.diffuse, key.specular));
        key.normalize = rs[D3DRS_NORMALIZENORMALS] != 0;
        key.localViewer = rs[D3DRS_LOCALVIEWER] != 0;
    }
    if (rs[D3DRS_FOGENABLE]) {
        const DWORD mode = rs[D3DRS_FOGTABLEMODE] != D3DFOG_NONE ? rs[D3DRS_FOGTABLEMODE] : rs[D3DRS_FOGVERTEXMODE];
        key.fogMode = std::uint8_t(mode <= D3DFOG_LINEAR ? mode : 0);
        key.rangeFog = rs[D3DRS_RANGEFOGENABLE] != 0;
    }
    key.alphaFunc = rs[D3DRS_ALPHATESTENABLE] ? std::uint8_t(std::min<DWORD>(rs[D3DRS_ALPHAFUNC], D3DCMP_ALWAYS)) : 0;
    key.clipPlane = (rs[D3DRS_CLIPPLANEENABLE] & 1) != 0;
    key.flat = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    for (DWORD i = 0; i < kStages; ++i) {
        const auto& ss = m_stageStates[i];
        StageKey& st = key.stages[i];
        st.colorOp = std::uint8_t(ss[D3DTSS_COLOROP]);
        if (st.colorOp == D3DTOP_DISABLE)
            break;
        st.colorArg[0] = std::uint8_t(ss[D3DTSS_COLORARG0]);
        st.colorArg[1] = std::uint8_t(ss[D3DTSS_COLORARG1]);
        st.colorArg[2] = std::uint8_t(ss[D3DTSS_COLORARG2]);
        st.alphaOp = std::uint8_t(ss[D3DTSS_ALPHAOP]);
        st.alphaArg[0] = std::uint8_t(ss[D3DTSS_ALPHAARG0]);
        st.alphaArg[1] = std::uint8_t(ss[D3DTSS_ALPHAARG1]);
        st.alphaArg[2] = std::uint8_t(ss[D3DTSS_ALPHAARG2]);
        st.result = (ss[D3DTSS_RESULTARG] & D3DTA_SELECTMASK) == D3DTA_TEMP ? 1 : 0;
        st.texSet = std::uint8_t(ss[D3DTSS_TEXCOORDINDEX] & 7);
        st.texGen = key.rhw ? 0 : std::uint8_t(std::min<DWORD>(ss[D3DTSS_TEXCOORDINDEX] >> 16, 4));
        const DWORD ttff = ss[D3DTSS_TEXTURETRANSFORMFLAGS];
        st.transform = key.rhw ? 0 : std::uint8_t(std::min<DWORD>(ttff & 0xFF, 4));
        st.projected = (ttff & D3DTTFF_PROJECTED) != 0;
    }
    return key;
}

void GlDevice::ApplySampler(DWORD stage)
{
    const auto& s = m_samplerStates[stage];
    if (s == m_appliedSamplers[stage])
        return;
    m_appliedSamplers[stage] = s;
    const GLuint sampler = m_samplers[stage];
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GLint(AddressMode(s[D3DSAMP_ADDRESSU])));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GLint(AddressMode(s[D3DSAMP_ADDRESSV])));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, GLint(AddressMode(s[D3DSAMP_ADDRESSW])));
    float border[4];
    ColorOf(s[D3DSAMP_BORDERCOLOR], border);
    glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, border);
    const bool magLinear = s[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR;
    const bool minLinear = s[D3DSAMP_MINFILTER] >= D3DTEXF_LINEAR;
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, magLinear ? GL_LINEAR : GL_NEAREST);
    GLenum min = minLinear ? GL_LINEAR : GL_NEAREST;
    if (s[D3DSAMP_MIPFILTER] == D3DTEXF_POINT)
        min = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    else if (s[D3DSAMP_MIPFILTER] >= D3DTEXF_LINEAR)
        min = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, GLint(min));
    glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, FloatOf(s[D3DSAMP_MIPMAPLODBIAS]));
    glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, float(s[D3DSAMP_MAXMIPLEVEL]));
}

// Whether an operation reads the texture through one of the arguments it
// uses.
static bool ReadsTexture(std::uint8_t op, const std::uint8_t args[3])
{
    auto texture = [](std::uint8_t arg) { return (arg & D3DTA_SELECTMASK) == D3DTA_TEXTURE; };
    if (op == 0 || op == D3DTOP_DISABLE)
        return false;
    if (texture(args[1]) && op != D3DTOP_SELECTARG2)
        return true;
    if (texture(args[2]) && op != D3DTOP_SELECTARG1)
        return true;
    return texture(args[0]) && (op == D3DTOP_MULTIPLYADD || op == D3DTOP_LERP);
}

// A stage that would read a texture none is bound to passes the current
// colour (or alpha) on unchanged, as the device does: untextured drawing
// with the usual "texture times diffuse" stage shows the vertex colour.
void GlDevice::PassThroughUntextured(StageKey* stage)
{
    const std::uint8_t current[3] = {D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT};
    if (ReadsTexture(stage->colorOp, stage->colorArg)) {
        stage->colorOp = D3DTOP_SELECTARG1;
        std::memcpy(stage->colorArg, current, 3);
    }
    if (ReadsTexture(stage->alphaOp, stage->alphaArg)) {
        stage->alphaOp = D3DTOP_SELECTARG1;
        std::memcpy(stage->alphaArg, current, 3);
    }
}

// Binds the textures of the stages on texture units of the same number and
// notes in the key which kind each stage samples.
void GlDevice::BindTextures(ProgramKey* key)
{
    for (DWORD stage = 0; stage < kStages; ++stage) {
        GLenum target = 0;
        const GLuint name = m_textures[stage] ? SyncTexture(m_textures[stage], &target) : 0;
        if (!name) {
            m_gl.BindTexture(stage, GL_TEXTURE_2D, 0);
            m_gl.BindTexture(stage, GL_TEXTURE_CUBE_MAP, 0);
            PassThroughUntextured(&key->stages[stage]);
            continue;
        }
        m_gl.BindTexture(stage, target, name);
        m_gl.BindSampler(stage, m_samplers[stage]);
        ApplySampler(stage);
        // Only stages that run read their texture.
        if (key->stages[stage].colorOp != 0 && key->stages[stage].colorOp != D3DTOP_DISABLE)
            key->stages[stage].texType = target == GL_TEXTURE_CUBE_MAP ? 2 : 1;
    }
}

Program* GlDevice::ChooseProgram(const ProgramKey& key)
{
    if (m_effect && m_effect->ActivePass()) {
        const fx::Pass* pass = m_effect->ActivePass();
        if (pass->vertexShader >= 0 || pass->pixelShader >= 0)
            return EffectProgram(key);
    }
    // The programs used lately are found without making the cache's text key.
    for (const RecentProgram& recent : m_recent)
        if (recent.program && std::memcmp(&recent.key, &key, sizeof key) == 0)
            return recent.program;
    const std::string bytes = KeyBytes(key);
    Program* program = m_programs.Find(bytes);
    if (!program) {
        program = CompileTimed(bytes, FixedVertexSource(key), FixedFragmentSource(key), "fixed-function program");
        if (!program)
            return nullptr;
    }
    m_recent[m_nextRecent] = RecentProgram{key, program};
    m_nextRecent = (m_nextRecent + 1) % kRecentPrograms;
    return program;
}

Program* GlDevice::EffectProgram(const ProgramKey& fullKey)
{
    const fx::Pass* pass = m_effect->ActivePass();
    const ProgramKey key = KeyForEffectPass(fullKey, pass->vertexShader >= 0, pass->pixelShader >= 0);
    auto* cache = dynamic_cast<EffectPrograms*>(m_effect->backend.get());
    if (!cache) {
        cache = new EffectPrograms;
        m_effect->backend.reset(cache);
        cache->declarations = ParameterDeclarations(m_effect->File());
    }
    if (cache->epoch != m_cacheEpoch) {
        cache->programs.clear();
        cache->epoch = m_cacheEpoch;
    }
    for (const EffectPrograms::Entry& entry : cache->programs)
        if (entry.pass == pass && std::memcmp(&entry.key, &key, sizeof key) == 0)
            return entry.program;
    const fx::EffectFile& file = m_effect->File();
    std::string log;
    Program* program = CompileEffectPass(file, cache->declarations, *pass, key, &log);
    if (!program)
        std::fprintf(stderr, "Effect pass %s failed: %s\n", pass->name.c_str(), log.c_str());
    if (program && program->parameters.empty())
        for (const fx::Parameter& p : file.parameters)
            program->parameters.push_back(glGetUniformLocation(program->id, p.name.c_str()));
    cache->programs.push_back(EffectPrograms::Entry{pass, key, program});
    return program;
}

Program* GlDevice::CompileEffectPass(const fx::EffectFile& file, const std::string& declarations, const fx::Pass& pass,
                                     const ProgramKey& key, std::string* log)
{
    const std::string vs = EffectVertexSource(file, declarations, pass.vertexShader, key);
    const std::string fs = EffectFragmentSource(file, declarations, pass.pixelShader, key);
    const std::string full = KeyBytes(key) + vs + fs;
    Program* program = m_programs.Find(full);
    return program ? program : CompileTimed(full, vs, fs, "effect pass " + pass.name, log);
}

namespace {

// Copies now into seen and says so when they differ.
template <class T>
bool Changed(T& seen, const T& now, bool known)
{
    if (known && std::memcmp(&seen, &now, sizeof(T)) == 0)
        return false;
    std::memcpy(&seen, &now, sizeof(T));
    return true;
}

} // namespace

void GlDevice::SetTransformUniforms(Program& program, bool known)
{
    const GLint* loc = program.location;
    AppliedUniforms& seen = program.applied;
    const D3DMATRIX& world = m_transforms[D3DTS_WORLD];
    const D3DMATRIX& view = m_transforms[D3DTS_VIEW];
    const bool worldChanged = Changed(seen.world, world, known);
    const bool viewChanged = Changed(seen.view, view, known);
    if (worldChanged)
        glUniformMatrix4fv(loc[uWorld], 1, GL_FALSE, &world._11);
    if (viewChanged)
        glUniformMatrix4fv(loc[uView], 1, GL_FALSE, &view._11);
    if (Changed(seen.proj, m_transforms[D3DTS_PROJECTION], known))
        glUniformMatrix4fv(loc[uProj], 1, GL_FALSE, &m_transforms[D3DTS_PROJECTION]._11);
    if (loc[uNormalMatrix] >= 0 && (worldChanged || viewChanged)) {
        float normal[9];
        NormalMatrix(Multiply(world, view), normal);
        glUniformMatrix3fv(loc[uNormalMatrix], 1, GL_FALSE, normal);
    }
    if (loc[uTexMatrix] >= 0 &&
        Changed(seen.texture, *reinterpret_cast<const D3DMATRIX(*)[8]>(&m_transforms[D3DTS_TEXTURE0]), known))
        glUniformMatrix4fv(loc[uTexMatrix], 8, GL_FALSE, &m_transforms[D3DTS_TEXTURE0]._11);
    if (loc[uLightDiffuse] >= 0 || loc[uLightAmbient] >= 0) {
        D3DLIGHT9 lights[kLights];
        PackLights(lights);
        // Light positions are sent in view space, so a new view sends them too.
        if (Changed(seen.lights, lights, known) || viewChanged)
            SetLightUniforms(loc, lights);
    }
}

// The enabled lights by kind (directional, point, spot), each kind in the
// order of its indices, the rest zero: the programs loop over them by the
// count of each kind.
void GlDevice::PackLights(D3DLIGHT9 lights[kLights]) const
{
    DWORD n = 0;
    for (D3DLIGHTTYPE kind : {D3DLIGHT_DIRECTIONAL, D3DLIGHT_POINT, D3DLIGHT_SPOT})
        for (DWORD i = 0; i < kLights; ++i)
            if (m_lightEnabled[i] && m_lights[i].Type == kind)
                lights[n++] = m_lights[i];
    for (; n < kLights; ++n)
        lights[n] = D3DLIGHT9{};
}

void GlDevice::SetLightUniforms(const GLint* loc, const D3DLIGHT9 lights[kLights])
{
    const D3DMATRIX& view = m_transforms[D3DTS_VIEW];
    float diffuse[32], specular[32], ambient[32], position[24], direction[24], attenuation[32], spot[32];
    GLint counts[3] = {0, 0, 0};
    for (DWORD i = 0; i < kLights; ++i) {
        const D3DLIGHT9& l = lights[i];
        if (l.Type >= D3DLIGHT_POINT && l.Type <= D3DLIGHT_DIRECTIONAL)
            ++counts[l.Type == D3DLIGHT_DIRECTIONAL ? 0 : l.Type == D3DLIGHT_POINT ? 1 : 2];
        std::memcpy(diffuse + i * 4, &l.Diffuse, 16);
        std::memcpy(specular + i * 4, &l.Specular, 16);
        std::memcpy(ambient + i * 4, &l.Ambient, 16);
        const float p[4] = {l.Position.x, l.Position.y, l.Position.z, 1.0f};
        const float d[4] = {l.Direction.x, l.Direction.y, l.Direction.z, 0.0f};
        float pv[4], dv[4];
        Transform(p, view, pv);
        Transform(d, view, dv);
        const float length = std::sqrt(dv[0] * dv[0] + dv[1] * dv[1] + dv[2] * dv[2]);
        for (int k = 0; k < 3; ++k) {
            position[i * 3 + k] = pv[k];
            direction[i * 3 + k] = length > 0.0f ? dv[k] / length : 0.0f;
        }
        const float a[4] = {l.Attenuation0, l.Attenuation1, l.Attenuation2, l.Range};
        const float s[4] = {std::cos(l.Theta * 0.5f), std::cos(l.Phi * 0.5f), l.Falloff, 0.0f};
        std::memcpy(attenuation + i * 4, a, 16);
        std::memcpy(spot + i * 4, s, 16);
    }
    glUniform4fv(loc[uLightDiffuse], 8, diffuse);
    glUniform4fv(loc[uLightSpecular], 8, specular);
    glUniform4fv(loc[uLightAmbient], 8, ambient);
    glUniform3fv(loc[uLightPosition], 8, position);
    glUniform3fv(loc[uLightDirection], 8, direction);
    glUniform4fv(loc[uLightAttenuation], 8, attenuation);
    glUniform4fv(loc[uLightSpot], 8, spot);
    glUniform3iv(loc[uLightCounts], 1, counts);
}

void GlDevice::SetColourUniforms(Program& program, bool known)
{
    const GLint* loc = program.location;
    AppliedUniforms& seen = program.applied;
    const auto& rs = m_renderStates;
    if (Changed(seen.material, m_material, known)) {
        glUniform4fv(loc[uMatDiffuse], 1, &m_material.Diffuse.r);
        glUniform4fv(loc[uMatAmbient], 1, &m_material.Ambient.r);
        glUniform4fv(loc[uMatSpecular], 1, &m_material.Specular.r);
        glUniform4fv(loc[uMatEmissive], 1, &m_material.Emissive.r);
        glUniform1f(loc[uMatPower], m_material.Power);
    }
    float color[4];
    if (Changed(seen.ambient, rs[D3DRS_AMBIENT], known)) {
        ColorOf(rs[D3DRS_AMBIENT], color);
        glUniform4fv(loc[uAmbient], 1, color);
    }
    const bool fogStart = Changed(seen.fogStart, rs[D3DRS_FOGSTART], known);
    const bool fogEnd = Changed(seen.fogEnd, rs[D3DRS_FOGEND], known);
    if (Changed(seen.fogDensity, rs[D3DRS_FOGDENSITY], known) || fogStart || fogEnd) {
        const float fog[4] = {FloatOf(rs[D3DRS_FOGSTART]), FloatOf(rs[D3DRS_FOGEND]), FloatOf(rs[D3DRS_FOGDENSITY]),
                              0.0f};
        glUniform4fv(loc[uFog], 1, fog);
    }
    if (Changed(seen.fogColor, rs[D3DRS_FOGCOLOR], known)) {
        ColorOf(rs[D3DRS_FOGCOLOR], color);
        glUniform4fv(loc[uFogColor], 1, color);
    }
    if (Changed(seen.textureFactor, rs[D3DRS_TEXTUREFACTOR], known)) {
        ColorOf(rs[D3DRS_TEXTUREFACTOR], color);
        glUniform4fv(loc[uTextureFactor], 1, color);
    }
    DWORD constants[kStages];
    for (DWORD i = 0; i < kStages; ++i)
        constants[i] = m_stageStates[i][D3DTSS_CONSTANT];
    if (loc[uStageConstant] >= 0 && Changed(seen.stageConstant, constants, known)) {
        float values[32];
        for (DWORD i = 0; i < kStages; ++i)
            ColorOf(constants[i], values + i * 4);
        glUniform4fv(loc[uStageConstant], 8, values);
    }
    if (Changed(seen.alphaRef, rs[D3DRS_ALPHAREF], known))
        glUniform1f(loc[uAlphaRef], float(rs[D3DRS_ALPHAREF] & 0xFF));
}

void GlDevice::SetUniforms(Program& program)
{
    AppliedUniforms& seen = program.applied;
    const bool known = seen.epoch == m_uniformEpoch;
    seen.epoch = m_uniformEpoch;
    const GLint* loc = program.location;
    SetTransformUniforms(program, known);
    SetColourUniforms(program, known);
    if (Changed(seen.clipPlane, *reinterpret_cast<const float(*)[4]>(m_clipPlanes[0].data()), known))
        glUniform4fv(loc[uClipPlane], 1, m_clipPlanes[0].data());
    if (Changed(seen.viewport, m_viewport, known)) {
        const float viewport[4] = {float(m_viewport.X), float(m_viewport.Y),
                                   float(std::max<DWORD>(m_viewport.Width, 1)),
                                   float(std::max<DWORD>(m_viewport.Height, 1))};
        glUniform4fv(loc[uViewport], 1, viewport);
        glUniform2f(loc[uDepthRange], m_viewport.MinZ, m_viewport.MaxZ);
    }
    // The register banks go only to the programs that read them, after a write.
    std::uint32_t* banks = seen.constants;
    if (loc[uVsConst] >= 0 && (!known || banks[0] != m_constantRevision[0]))
        glUniform4fv(loc[uVsConst], kVertexConstRegisters, m_vsConstF.data());
    if (loc[uVsConstI] >= 0 && (!known || banks[1] != m_constantRevision[1]))
        glUniform4iv(loc[uVsConstI], kIntConstRegisters, m_vsConstI.data());
    if (loc[uPsConst] >= 0 && (!known || banks[2] != m_constantRevision[2]))
        glUniform4fv(loc[uPsConst], kPixelConstRegisters, m_psConstF.data());
    if (loc[uPsConstI] >= 0 && (!known || banks[3] != m_constantRevision[3]))
        glUniform4iv(loc[uPsConstI], kIntConstRegisters, m_psConstI.data());
    std::copy(m_constantRevision, m_constantRevision + 4, banks);
}

// A texture that shaders read by name goes on a unit of its own with a
// sampler set up the way its declaration asks.
void GlDevice::BindNamedTexture(const fx::Parameter& p, IDirect3DBaseTexture9* texture, GLint unit)
{
    const int slot = unit - kFirstNamedUnit;
    const GLuint sampler = m_namedSamplers[slot];
    const int setting = int(p.filter) * 8 + int(p.address);
    if (m_namedSamplerSetting[slot] != setting) {
        m_namedSamplerSetting[slot] = setting;
        const bool point = p.filter == fx::Filter::Point;
        const GLint wrap = p.address == fx::Address::Clamp    ? GL_CLAMP_TO_EDGE
                           : p.address == fx::Address::Mirror ? GL_MIRRORED_REPEAT
                                                              : GL_REPEAT;
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, wrap);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, wrap);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, wrap);
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, point ? GL_NEAREST : GL_LINEAR);
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, point ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_LINEAR);
    }
    GLenum target = 0;
    const GLuint name = texture ? SyncTexture(texture, &target) : 0;
    const GLenum wanted = p.type == fx::ParamType::CubeTexture ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D;
    // A texture of the other kind would break the draw: the unit stays empty.
    m_gl.BindTexture(GLuint(unit), wanted, target == wanted ? name : 0);
    m_gl.BindSampler(GLuint(unit), sampler);
}

// Parameter values of the applied effect, sent when the effect changed any
// since this program last had them; textures that no stage carries go on
// texture units 8 and up.
void GlDevice::SetEffectUniforms(Program& program)
{
    if (!m_effect || !m_effect->ActivePass())
        return;
    auto* effect = const_cast<fx::Effect*>(m_effect);
    const bool send = program.applied.effectStamp != effect->Stamp() || program.applied.epoch != m_uniformEpoch;
    program.applied.effectStamp = effect->Stamp();
    const auto& parameters = effect->File().parameters;
    GLint unit = kFirstNamedUnit;
    for (size_t i = 0; i < parameters.size() && i < program.parameters.size(); ++i) {
        const fx::Parameter& p = parameters[i];
        const GLint location = program.parameters[i];
        if (location < 0)
            continue;
        if (p.IsTexture()) {
            if (p.stage >= 0 && p.stage < 8) {
                if (send)
                    glUniform1i(location, p.stage);
                continue;
            }
            if (unit > kLastNamedUnit)
                continue;
            IDirect3DBaseTexture9* texture = nullptr;
            effect->GetTexture(p.name.c_str(), &texture);
            BindNamedTexture(p, texture, unit);
            if (texture)
                texture->Release();
            if (send)
                glUniform1i(location, unit);
            ++unit;
            continue;
        }
        if (!send)
            continue;
        if (p.type == fx::ParamType::Float)
            glUniform1f(location, p.value[0]);
        else if (p.type == fx::ParamType::Vector)
            glUniform4fv(location, 1, p.value);
        else if (p.type == fx::ParamType::Matrix)
            glUniformMatrix4fv(location, 1, GL_FALSE, p.value);
        else if (p.type == fx::ParamType::Int)
            glUniform1i(location, p.integer);
    }
}

// The attributes of the current vertex format, read from the bound buffer
// at base with the given stride.
void GlDevice::SetupVertexArray(GLuint buffer, GLintptr base, UINT stride)
{
    const DWORD fvf = m_fvf;
    if (m_layout.known && m_layout.fvf == fvf && m_layout.buffer == buffer && m_layout.base == base &&
        m_layout.stride == stride)
        return;
    m_layout = VertexLayout{true, fvf, buffer, base, stride};
    m_gl.BindArrayBuffer(buffer);
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    GLintptr offset = base;
    auto attribute = [&](GLuint index, GLint size, GLenum type, GLboolean normalized, GLintptr bytes) {
        glEnableVertexAttribArray(index);
        glVertexAttribPointer(index, size, type, normalized, GLsizei(stride), reinterpret_cast<const void*>(offset));
        offset += bytes;
    };
    for (GLuint i = 0; i < 12; ++i)
        glDisableVertexAttribArray(i);
    glVertexAttrib4f(2, 1.0f, 1.0f, 1.0f, 1.0f);
    glVertexAttrib4f(3, 0.0f, 0.0f, 0.0f, 0.0f);
    if (position == D3DFVF_XYZRHW || position == D3DFVF_XYZW) {
        attribute(0, 4, GL_FLOAT, GL_FALSE, 16);
    } else {
        attribute(0, 3, GL_FLOAT, GL_FALSE, 12);
        if (position >= D3DFVF_XYZB1 && position <= D3DFVF_XYZB5)
            offset += 4 * ((position - D3DFVF_XYZ) / 2); // blend weights: no vertex blending here
    }
    if (fvf & D3DFVF_NORMAL)
        attribute(1, 3, GL_FLOAT, GL_FALSE, 12);
    if (fvf & D3DFVF_PSIZE)
        offset += 4;
    // D3DCOLOR is stored B, G, R, A: GL reads it the same way with GL_BGRA.
    if (fvf & D3DFVF_DIFFUSE)
        attribute(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 4);
    if (fvf & D3DFVF_SPECULAR)
        attribute(3, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 4);
    static constexpr GLint kFloatsByCode[4] = {2, 3, 4, 1};
    const DWORD sets = std::min<DWORD>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT, 8);
    for (DWORD i = 0; i < sets; ++i) {
        const GLint floats = kFloatsByCode[(fvf >> (i * 2 + 16)) & 3];
        attribute(4 + i, floats, GL_FLOAT, GL_FALSE, 4 * floats);
    }
}

// The GL copy of a vertex buffer, copied again only after a change.
GLuint GlDevice::VertexBufferName(d3d::BufferStore& store)
{
    GLuint name = CurrentBuffer(store);
    if (!name) {
        name = SyncBuffer(store, GL_ARRAY_BUFFER);
        m_gl.ArrayBufferChanged(name);
    }
    return name;
}

// Index buffers belong to the vertex array, which is always this device's.
void GlDevice::BindIndexBuffer(d3d::BufferStore& store)
{
    GLuint name = CurrentBuffer(store);
    if (!name)
        name = SyncBuffer(store, GL_ELEMENT_ARRAY_BUFFER);
    else if (name != m_elementBuffer)
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, name);
    m_elementBuffer = name;
}

bool GlDevice::PrepareDraw()
{
    if (m_seenDeletions != GlDeletions()) {
        m_seenDeletions = GlDeletions();
        m_gl.Forget();
        m_layout.known = false;
        m_elementBuffer = 0xFFFFFFFFu;
    }
    if (!BindTarget())
        return false;
    ApplyRenderStates();
    ProgramKey key = MakeKey();
    BindTextures(&key);
    Program* program = ChooseProgram(key);
    if (!program)
        return false;
    m_gl.UseProgram(program->id);
    SetUniforms(*program);
    SetEffectUniforms(*program);
    m_gl.BindVertexArray(m_vao);
    return true;
}

void GlDevice::DrawArrays(D3DPRIMITIVETYPE type, UINT first, UINT primitives)
{
    glDrawArrays(PrimitiveMode(type), GLint(first), GLsizei(d3d::VerticesOfPrimitives(type, primitives)));
}

void GlDevice::DrawElements(D3DPRIMITIVETYPE type, UINT primitives, GLenum indexType, GLintptr offset,
                            GLint baseVertex)
{
    glDrawElementsBaseVertex(PrimitiveMode(type), GLsizei(d3d::VerticesOfPrimitives(type, primitives)), indexType,
                             reinterpret_cast<const void*>(offset), baseVertex);
}

HRESULT GlDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    const HRESULT hr = RecordingDevice::DrawPrimitive(type, startVertex, primitiveCount);
    if (FAILED(hr) || primitiveCount == 0 || !PrepareDraw())
        return hr;
    auto* vb = static_cast<d3d::VertexBuffer*>(m_stream.buffer);
    SetupVertexArray(VertexBufferName(vb->Store()), GLintptr(m_stream.offset), m_stream.stride);
    DrawArrays(type, startVertex, primitiveCount);
    return hr;
}

HRESULT GlDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                                       UINT startIndex, UINT primitiveCount)
{
    const HRESULT hr =
        RecordingDevice::DrawIndexedPrimitive(type, baseVertex, minIndex, vertexCount, startIndex, primitiveCount);
    if (FAILED(hr) || primitiveCount == 0 || !PrepareDraw())
        return hr;
    // The checks above found both buffers to be the layer's own.
    auto* vb = static_cast<d3d::VertexBuffer*>(m_stream.buffer);
    auto* ib = static_cast<d3d::IndexBuffer*>(m_indices);
    SetupVertexArray(VertexBufferName(vb->Store()), GLintptr(m_stream.offset), m_stream.stride);
    BindIndexBuffer(ib->Store());
    const bool wide = ib->Format() == D3DFMT_INDEX32;
    DrawElements(type, primitiveCount, wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                 GLintptr(startIndex) * (wide ? 4 : 2), baseVertex);
    return hr;
}

HRESULT GlDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride)
{
    const HRESULT hr = RecordingDevice::DrawPrimitiveUP(type, primitiveCount, vertices, stride);
    if (FAILED(hr) || primitiveCount == 0 || !PrepareDraw())
        return hr;
    const size_t bytes = size_t(d3d::VerticesOfPrimitives(type, primitiveCount)) * stride;
    m_gl.BindArrayBuffer(m_streamVertices);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes), vertices, GL_STREAM_DRAW);
    SetupVertexArray(m_streamVertices, 0, stride);
    DrawArrays(type, 0, primitiveCount);
    return hr;
}

HRESULT GlDevice::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount,
                                         UINT primitiveCount, const void* indices, D3DFORMAT indexFormat,
                                         const void* vertices, UINT stride)
{
    const HRESULT hr = RecordingDevice::DrawIndexedPrimitiveUP(type, minIndex, vertexCount, primitiveCount, indices,
                                                               indexFormat, vertices, stride);
    if (FAILED(hr) || primitiveCount == 0 || !PrepareDraw())
        return hr;
    const size_t indexSize = indexFormat == D3DFMT_INDEX32 ? 4 : 2;
    m_gl.BindArrayBuffer(m_streamVertices);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(size_t(minIndex + vertexCount) * stride), vertices, GL_STREAM_DRAW);
    SetupVertexArray(m_streamVertices, 0, stride);
    if (m_elementBuffer != m_streamIndices)
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_streamIndices);
    m_elementBuffer = m_streamIndices;
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 GLsizeiptr(size_t(d3d::VerticesOfPrimitives(type, primitiveCount)) * indexSize), indices,
                 GL_STREAM_DRAW);
    DrawElements(type, primitiveCount, indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT, 0, 0);
    return hr;
}

} // namespace plat::gl
