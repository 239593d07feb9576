// Description files, meshes and textures of the city props placed in the
// sample city and used by the shops and races: the workshop, the car shop,
// more buildings of several heights, the trick ramp, the taxi marker and the
// two race boards with their pictures and loop sound.
#pragma once

#include "writers/MeshWriter.h"
#include "writers/ObjectDescriptions.h"

#include <string>
#include <vector>

namespace tools {

// Every prop file of the sample set (descriptions, meshes, textures).
std::vector<SampleFile> SamplePropFiles();

// Meshes tests build fixtures from: a shop building of the given size with
// the given part-9 points, a lamp post without part-3 points, a bridge.
MeshData ShopMesh(float width, float depth, float height, const std::vector<MeshVec3>& entrancePoints);
MeshData BoardMesh();
MeshData RampMesh();

// Description text of a prop: the common part (head, effect sections, end)
// then the prop's own lines. Sub-parts are (mass, mesh path) pairs written
// with the mass in a 5-character field after the 32-character key.
struct PropText {
    ObjectHead head;
    std::string sections;                               // effect sections, already written
    float mass = 0.0f;                                  // decors and lamp posts only
    std::vector<std::pair<float, std::string>> parts;   // decors and lamp posts only
    std::string sound;                                  // info-screen boards only
};
std::string EncodePropDescription(const PropText& prop);

// The board's pictures and loop sound.
bool WriteInfoScreenPictures(const std::string& root);

// Writes every file of SamplePropFiles below root, plus the pictures.
bool WritePropDescriptions(const std::string& root);

} // namespace tools
