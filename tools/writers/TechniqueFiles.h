// The four technique files "Data/Misc/RenderTechniques_00.dat", "_11", "_14"
// and "_20" of the sample data: every technique and parameter the renderer
// names, with shaders for the cards that run them.
#pragma once

#include <string>

namespace tools {

// shaderLevel 0, 11, 14 or 20 (the file's suffix). Level 0 is for cards
// without vertex shaders: its passes leave both stages to the fixed-function
// pipeline.
std::string TechniqueFileText(int shaderLevel);

bool WriteTechniqueFile(const std::string& path, int shaderLevel);

} // namespace tools
