// The technique file: the game's own text format for effects.
//
// A technique file is read line by line (a CR before the line end is
// dropped). Blank lines and lines whose first non-blank characters are '#'
// or "//" are skipped outside shader sources. Names are letters, digits and
// '_', not starting with a digit, at most 63 characters, unique within their
// kind (parameters, shaders, techniques).
//
//   param float <name> [= v]
//   param int <name> [= n]                         (a whole number)
//   param vector <name> [= x y z w]
//   param matrix <name> [= m11 m12 ... m44]        (16 values, row by row)
//   param texture <name> [stage N] [filter point|linear] [address wrap|clamp|mirror]
//   param cubetexture <name> [stage N] [filter ...] [address ...]
//       A parameter the program sets by name. Numbers and vectors start at
//       0, matrices at the identity unless values are given. A texture with
//       "stage N" (0..7) is bound on sampler stage N whenever a pass is
//       applied and is sampled with that stage's sampler states; without it
//       only shaders see it by name, sampled by a sampler of its own with the
//       filter (default linear, mipmapped) and address mode (default wrap)
//       given here.
//
//   vertexshader <name>
//   ... source lines ...
//   end
//   pixelshader <name>
//   ... source lines ...
//   end
//       Shader source kept verbatim (without the CRs) for a drawing back end
//       to compile (the OpenGL back end's language is described in
//       platform/gl/EffectSource.h); parameters are visible to it by name.
//       Only a line holding the word "end" alone closes it.
//
//   technique <name>
//       pass <name> <vertexshader or -> <pixelshader or ->
//   end
//       A technique has 1 to 16 passes; "-" leaves that stage to the fixed
//       function pipeline. Shaders may be defined before or after the
//       techniques that use them.
//
// Passes set no render, stage or sampler states: those belong to the
// renderer and its state cache. A pass binds its shaders and the textures of
// the staged parameters, nothing else.
#pragma once

#include <string>
#include <vector>

namespace plat::fx {

enum class ParamType { Float, Vector, Matrix, Texture, CubeTexture, Int };
enum class Filter { Linear, Point };
enum class Address { Wrap, Clamp, Mirror };

struct Parameter {
    std::string name;
    ParamType type = ParamType::Float;
    int stage = -1;
    float value[16] = {};
    int integer = 0;
    // Sampling of a texture bound by name only.
    Filter filter = Filter::Linear;
    Address address = Address::Wrap;

    bool IsTexture() const { return type == ParamType::Texture || type == ParamType::CubeTexture; }
};

struct Shader {
    std::string name;
    bool pixel = false;
    std::string source;
};

struct Pass {
    std::string name;
    int vertexShader = -1; // index into shaders, -1 for none
    int pixelShader = -1;
};

struct Technique {
    std::string name;
    std::vector<Pass> passes;
};

struct EffectFile {
    std::vector<Parameter> parameters;
    std::vector<Shader> shaders;
    std::vector<Technique> techniques;
};

// Parses a whole file. On failure returns false with one "line N: message"
// per problem in errors.
bool ParseEffectFile(const char* text, size_t length, EffectFile* out, std::string* errors);

} // namespace plat::fx
