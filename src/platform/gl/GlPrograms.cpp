#include "platform/gl/GlPrograms.h"

#include "platform/D3D9Gl.h"
#include "platform/gl/GlContext.h"

namespace plat::gl {

namespace {

const char* const kUniformNames[kUniformCount] = {
    "ffWorld",          "ffView",          "ffProj",         "ffNormalMatrix",   "ffTexMatrix",     "ffMatDiffuse",
    "ffMatAmbient",     "ffMatSpecular",   "ffMatEmissive",  "ffMatPower",       "ffAmbient",       "ffLightDiffuse",
    "ffLightSpecular",  "ffLightAmbient",  "ffLightPosition", "ffLightDirection", "ffLightAttenuation",
    "ffLightSpot",      "ffLightCounts",
    "ffFog",            "ffClipPlane",     "ffViewport",     "ffDepthRange",     "ffTextureFactor",
    "ffStageConstant",  "ffAlphaRef",      "ffFogColor",     "vsConst",          "psConst",         "vsConstI",
    "psConstI",         "ffSampler0",
    "ffSampler1",       "ffSampler2",      "ffSampler3",     "ffSampler4",       "ffSampler5",      "ffSampler6",
    "ffSampler7",       "fxStage0",        "fxStage1",       "fxStage2",         "fxStage3",        "fxStage4",
    "fxStage5",         "fxStage6",        "fxStage7",
};

// The status of a shader or program; on failure its info log goes to log
// after the label.
template <class GetIv, class GetLog>
bool Succeeded(GLuint object, GLenum status, GetIv getIv, GetLog getLog, const char* label, std::string* log)
{
    GLint ok = 0;
    getIv(object, status, &ok);
    if (ok)
        return true;
    char buffer[4096] = {};
    getLog(object, sizeof buffer - 1, nullptr, buffer);
    *log += label;
    *log += buffer;
    return false;
}

GLuint CompileStage(GLenum kind, const std::string& source, std::string* log)
{
    GLuint shader = glCreateShader(kind);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    if (!Succeeded(shader, GL_COMPILE_STATUS, glGetShaderiv, glGetShaderInfoLog,
                   kind == GL_VERTEX_SHADER ? "vertex shader: " : "pixel shader: ", log)) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

namespace {
ShaderCompileListener s_compileListener = nullptr;
} // namespace

void ReportShaderCompile(const char* what, double milliseconds)
{
    if (s_compileListener)
        s_compileListener(what, milliseconds);
}

GLuint LinkProgram(const std::string& vertex, const std::string& fragment, std::string* log)
{
    GLuint vs = CompileStage(GL_VERTEX_SHADER, vertex, log);
    GLuint fs = CompileStage(GL_FRAGMENT_SHADER, fragment, log);
    GLuint program = 0;
    if (vs && fs) {
        program = glCreateProgram();
        glAttachShader(program, vs);
        glAttachShader(program, fs);
        glLinkProgram(program);
        if (!Succeeded(program, GL_LINK_STATUS, glGetProgramiv, glGetProgramInfoLog, "link: ", log)) {
            glDeleteProgram(program);
            program = 0;
        }
    }
    if (vs)
        glDeleteShader(vs);
    if (fs)
        glDeleteShader(fs);
    return program;
}

ProgramCache::~ProgramCache()
{
    Clear();
}

Program* ProgramCache::Find(const std::string& key)
{
    auto it = m_programs.find(key);
    return it == m_programs.end() ? nullptr : &it->second;
}

Program* ProgramCache::Add(const std::string& key, const std::string& vertex, const std::string& fragment,
                           std::string* log)
{
    const GLuint id = LinkProgram(vertex, fragment, log);
    if (!id)
        return nullptr;
    Program& program = m_programs[key];
    program.id = id;
    for (int i = 0; i < kUniformCount; ++i)
        program.location[i] = glGetUniformLocation(id, kUniformNames[i]);
    // Samplers name texture units once: stage i reads unit i.
    glUseProgram(id);
    for (int i = 0; i < 8; ++i) {
        if (program.location[uSampler0 + i] >= 0)
            glUniform1i(program.location[uSampler0 + i], i);
        if (program.location[uStage0 + i] >= 0)
            glUniform1i(program.location[uStage0 + i], i);
    }
    return &program;
}

std::vector<std::string> ProgramCache::Keys() const
{
    std::vector<std::string> keys;
    keys.reserve(m_programs.size());
    for (const auto& entry : m_programs)
        keys.push_back(entry.first);
    return keys;
}

void ProgramCache::Clear()
{
    if (CurrentContext())
        for (auto& entry : m_programs)
            glDeleteProgram(entry.second.id);
    m_programs.clear();
}

} // namespace plat::gl

namespace plat {

void SetShaderCompileListener(ShaderCompileListener listener)
{
    gl::s_compileListener = listener;
}

} // namespace plat
