// Writes the renderer's data files: the four technique files (one per
// shader level of the card) and the textures the renderer loads by name.
#pragma once

#include <string>

namespace tools {

// Shader levels of the technique files, as in their names.
enum class ShaderLevel { None = 0, Vs11 = 11, Ps14 = 14, Ps20 = 20 };

// A technique file in the effect format: every parameter and technique the
// renderer and the object renderers ask for by name. Level None uses the
// fixed-function pipeline in every pass, the others vertex and pixel shaders
// (the shader language is described in platform/gl/EffectSource.h).
std::string TechniqueFileText(ShaderLevel level);

// "Data/Misc/RenderTechniques_20.dat", "_14", "_11" and "_00" under root.
bool WriteTechniqueFiles(const std::string& root);

// "Data/Misc/StaticEnvMap.dds" (cube), "Data/Misc/LightMap.dds", and black
// and white as both "Data/Misc/Black.bmp" / ".jpg" and "White.bmp" / ".jpg",
// so they load with "BMP to JPG" on or off.
bool WriteRenderTextures(const std::string& root);

} // namespace tools
