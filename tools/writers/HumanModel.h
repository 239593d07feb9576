// The pedestrians' sample files: the description with its own part, the
// animated figure and the body, clothing and model textures of both genders.
#pragma once

#include "writers/MeshWriter.h"
#include "writers/ObjectDescriptions.h"

#include <string>
#include <vector>

namespace tools {

// Frames of the sample figure's part 0.
enum {
    HUMAN_FRAME_PIECES = 0, // the eleven pieces, each around its own origin
    HUMAN_FRAME_IDLE = 1,
    HUMAN_FRAME_WALK = 2,     // 8 frames
    HUMAN_FRAME_APPLAUD1 = 10, // 2 frames
    HUMAN_FRAME_APPLAUD2 = 12, // 2 frames
    HUMAN_FRAME_WAIT = 14,     // 2 frames
    HUMAN_FRAME_COUNT = 16,
    HUMAN_PIECE_VERTICES = 36, // AddTexturedBox: six faces of two unshared triangles
    HUMAN_PIECE_TRIANGLES = 12,
};

struct HumanAction {
    std::string keyword; // ACTION_...
    std::string rate, first, last;
};

struct HumanDescriptionData {
    std::string folder; // "Data/Humans/Male/"
    float mass = 70.0f, walkSpeed = 1.4f, runSpeed = 4.5f;
    std::vector<HumanAction> actions;
    std::string endMarker = "//--";
    bool withEndMarker = true;
    // Eleven part records: first vertex, vertex count, first triangle, triangle count.
    std::vector<std::array<int, 4>> parts;
};

// The sample's values for a folder.
HumanDescriptionData SampleHumanData(const std::string& folder);
// The whole description file: common part, then the pedestrian's own lines
// with the action records in their fixed 32/5/5 columns.
std::string HumanDescription(const HumanDescriptionData& data);
// The clothing layers (A8R8G8B8, transparent off their own region), body
// and model textures of both genders.
std::vector<SampleFile> SampleHumanTextures();

} // namespace tools
