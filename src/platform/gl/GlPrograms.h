// Linked GL programs, found by the text of their sources' key, with the
// locations of the uniforms the device sets.
#pragma once

#include "platform/D3D9.h"
#include "platform/gl/GlApi.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace plat::gl {

enum Uniform {
    uWorld,
    uView,
    uProj,
    uNormalMatrix,
    uTexMatrix,
    uMatDiffuse,
    uMatAmbient,
    uMatSpecular,
    uMatEmissive,
    uMatPower,
    uAmbient,
    uLightDiffuse,
    uLightSpecular,
    uLightAmbient,
    uLightPosition,
    uLightDirection,
    uLightAttenuation,
    uLightSpot,
    uLightCounts,
    uFog,
    uClipPlane,
    uViewport,
    uDepthRange,
    uTextureFactor,
    uStageConstant,
    uAlphaRef,
    uFogColor,
    uVsConst,
    uPsConst,
    uVsConstI,
    uPsConstI,
    uSampler0,
    uStage0 = uSampler0 + 8,
    kUniformCount = uStage0 + 8,
};

// The values a program was last given, so that a draw sends a uniform only
// when it differs. A device epoch other than the one recorded means nothing
// is known (a new program, a reset device).
struct AppliedUniforms {
    unsigned epoch = 0;
    D3DMATRIX world{}, view{}, proj{};
    D3DMATRIX texture[8]{};
    D3DMATERIAL9 material{};
    D3DLIGHT9 lights[8]{};
    DWORD ambient = 0, fogStart = 0, fogEnd = 0, fogDensity = 0, fogColor = 0, textureFactor = 0, alphaRef = 0;
    float clipPlane[4] = {};
    D3DVIEWPORT9 viewport{};
    DWORD stageConstant[8] = {};
    std::uint32_t constants[4] = {}; // revisions of the four register banks
    std::uint64_t effectStamp = 0;   // the effect values last sent
};

struct Program {
    GLuint id = 0;
    GLint location[kUniformCount] = {};
    std::vector<GLint> parameters; // effect parameters, in the file's order
    AppliedUniforms applied;
};

// Passes a compile's time to the listener the game set, if any.
void ReportShaderCompile(const char* what, double milliseconds);

// Compiles and links; 0 with the compiler's text in log on failure.
GLuint LinkProgram(const std::string& vertex, const std::string& fragment, std::string* log);

class ProgramCache {
public:
    ~ProgramCache();
    Program* Find(const std::string& key);
    // Links the sources under key; null (and the log) when they do not compile.
    Program* Add(const std::string& key, const std::string& vertex, const std::string& fragment, std::string* log);
    void Clear();
    size_t Size() const { return m_programs.size(); }
    // The keys of every program held (in no particular order).
    std::vector<std::string> Keys() const;

private:
    std::unordered_map<std::string, Program> m_programs;
};

} // namespace plat::gl
