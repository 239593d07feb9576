// Shader sources of the technique files as GL programs.
//
// The shaders of a technique file are GLSL 3.30 function bodies' files: a
// vertex shader defines main() and writes gl_Position in the device's clip
// space (row vectors: a matrix parameter M applies to a position p as
// M * p, the way the game means p x M), and may write the values handed to
// the pixel shader:
//   vec4 vDiffuse, vSpecular;  vec4 vTex[8];  float vFog (1 = no fog)
// A pixel shader defines main() and writes vec4 fragColor. Both see:
//   the vertex inputs inPosition, inNormal, inColor0 (diffuse), inColor1
//   (specular), inTex0..inTex7 (vertex shaders only);
//   every parameter of the file by its name (float, int, vec4, mat4,
//   sampler2D, samplerCube);
//   the constant registers the program sets directly: vec4 vsConst[256] and
//   ivec4 vsConstI[16] (vertex shaders), vec4 psConst[32] and
//   ivec4 psConstI[16] (pixel shaders);
//   the textures of sampler stages 0-7 as fxStage0..fxStage7: sampler2D,
//   or samplerCube for a stage that a cube-texture parameter names.
// The device adds the alpha test and fog of its render states after the
// pixel shader. A pass with "-" for a stage uses the fixed-function code of
// the current states for it.
#pragma once

#include "platform/d3dx9/EffectFile.h"
#include "platform/gl/FixedFunction.h"

namespace plat::gl {

inline constexpr int kVertexConstRegisters = 256;
inline constexpr int kPixelConstRegisters = 32;
inline constexpr int kIntConstRegisters = 16;
// Texture units of the textures that shaders read by name only.
inline constexpr int kFirstNamedUnit = 8;
inline constexpr int kLastNamedUnit = 15;

// The parameters and the stage samplers as GLSL declarations.
std::string ParameterDeclarations(const fx::EffectFile& file);
// Complete sources; shader -1 gives the fixed-function stage for key.
std::string EffectVertexSource(const fx::EffectFile& file, const std::string& declarations, int shader,
                               const ProgramKey& key);
std::string EffectFragmentSource(const fx::EffectFile& file, const std::string& declarations, int shader,
                                 const ProgramKey& key);

} // namespace plat::gl
