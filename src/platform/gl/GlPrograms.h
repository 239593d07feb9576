// Linked GL programs, found by the text of their sources' key, with the
// locations of the uniforms the device sets.
#pragma once

#include "platform/gl/GlApi.h"

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

struct Program {
    GLuint id = 0;
    GLint location[kUniformCount] = {};
    std::vector<GLint> parameters; // effect parameters, in the file's order
};

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

private:
    std::unordered_map<std::string, Program> m_programs;
};

} // namespace plat::gl
