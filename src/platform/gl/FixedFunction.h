// The fixed-function pipeline as GLSL: a program key taken from the device's
// states (only what changes the code: which inputs the vertex has, light
// types, material sources, fog mode, texture stage operations, alpha test,
// clip plane, shading), and the vertex and fragment sources for a key.
// Values (matrices, colours, ranges, reference values) are uniforms, so a
// new value never needs a new program.
#pragma once

#include <cstdint>
#include <string>

namespace plat::gl {

inline constexpr int kStageCount = 8;

struct StageKey {
    std::uint8_t colorOp, colorArg[3], alphaOp, alphaArg[3]; // args 0, 1, 2
    std::uint8_t result;   // 0 current, 1 temp
    std::uint8_t texSet;   // vertex coordinate set
    std::uint8_t texGen;   // 0 pass through, 1 camera normal, 2 camera position, 3 reflection, 4 sphere
    std::uint8_t transform; // 0 none, else the count of coordinates kept (1-4)
    std::uint8_t projected;
    std::uint8_t texType;  // 0 none bound, 1 2-D, 2 cube
};

struct ProgramKey {
    // Vertex layout.
    std::uint8_t rhw, normal, diffuse, specular, texSets;
    std::uint8_t texSize[8];
    // Lighting on (the lights themselves are uniforms, looped over by the
    // count of each kind), material colour sources (0 material, 1 vertex
    // diffuse, 2 vertex specular).
    std::uint8_t lighting;
    std::uint8_t diffuseSource, ambientSource, specularSource, emissiveSource;
    std::uint8_t normalize, localViewer, specularEnable;
    // Fog: 0 off, else the D3DFOG mode; range fog; fog factor from specular alpha.
    std::uint8_t fogMode, rangeFog;
    // Alpha test: 0 off, else the D3DCMP function.
    std::uint8_t alphaFunc;
    std::uint8_t clipPlane, flat;
    StageKey stages[kStageCount];
};

// A key with every byte (padding too) zero, ready to fill.
ProgramKey EmptyKey();
std::string KeyBytes(const ProgramKey& key);
// The key of an effect pass: what its own shaders do (a vertex shader the
// transforms, lighting and coordinates, a pixel shader the stages) is left
// out, so the program depends only on the rest.
ProgramKey KeyForEffectPass(ProgramKey key, bool vertexShader, bool pixelShader);

std::string FixedVertexSource(const ProgramKey& key);
std::string FixedFragmentSource(const ProgramKey& key);

// The vertex-side helpers turning the device's clip space and screen
// positions into GL's (ffToGl, ffScreenToGl), with their uniforms.
const char* ClipFixupSource();

// What every vertex stage hands every fragment stage (fixed or effect).
std::string VaryingBlock(bool vertexSide, bool flat);
// The fragment stage's ending common to both kinds: specular add (fixed
// only), alpha test and fog, from uniforms.
std::string AlphaTestAndFog(const ProgramKey& key);

} // namespace plat::gl
