// Writes the sky's files: the dome description with its mesh (dome and
// horizon band), the cloud layer mesh and the sun, moon, star, cloud, dome
// and band textures.
#pragma once

#include "writers/MeshWriter.h"
#include "writers/ObjectDescriptions.h"

#include <string>
#include <vector>

namespace tools {

// The dome and the cloud layer stay inside this radius: the environment
// cube's camera sees no farther than 100.
inline constexpr float kSkyDomeRadius = 85.0f;

// The dome description: mesh, the dome texture (drawn additively), a
// self-illumination section naming the band texture, the end line and the
// prop's own lines. meshPath and bandTexture let tests point it elsewhere;
// an empty bandTexture leaves the section out.
std::string SkyDescription(const std::string& meshPath, const std::string& bandTexture);
// Part 0 the dome (outward normals), part 2 the horizon band.
MeshData SkyDomeMesh();
MeshData SkyCloudsMesh();
std::vector<SampleFile> SampleSkyFiles();
bool WriteSkyData(const std::string& root);

} // namespace tools
