// Writes the description files (".obj") of the game's objects: LF line ends,
// every key padded with blanks to 32 characters so the value starts at
// column 32, "-" for a line the reader ignores (an Objects archive entry
// swallows an empty line after a line end), colour lines ending right after
// the blue digits, and ">>>>" separators after every effect section.
#pragma once

#include <string>
#include <vector>

namespace tools {

// What every description starts with.
struct ObjectHead {
    std::string title;
    std::string classKeyword; // GCLASS_...
    std::string typeKeyword;  // GTYPE_...
    std::string displayName;  // written for a car (GCLASS_VEHICLE and GTYPE_VEHICLE) only
    std::string mesh;
    std::string texture;      // may hold "%N" for N variants
};

struct LampColour {
    int r, g, b;
};

class DescriptionWriter {
public:
    DescriptionWriter& Value(const std::string& key, const std::string& value);
    DescriptionWriter& Ignored();
    DescriptionWriter& Colour(const std::string& key, const LampColour& colour);
    DescriptionWriter& Raw(const std::string& line);
    // Three title lines, class, type, an ignored line, a car's name and
    // ignored line, mesh, texture and an ignored line.
    DescriptionWriter& Head(const ObjectHead& head);

    // Effect sections, each with its separator.
    DescriptionWriter& Chrome(const std::string& texture);
    DescriptionWriter& Glass(const std::string& texture);
    DescriptionWriter& LightMaps(int count, const std::string& texture, const LampColour& colour);
    DescriptionWriter& SelfIllum(const std::string& texture);
    DescriptionWriter& Lights(float size, const LampColour& colour);
    // With the lamp's point light: range, linear and quadratic attenuation.
    DescriptionWriter& Lights(float size, const LampColour& colour, float range, float linear, float quadratic);
    struct Lamp {
        LampColour colour;
        float size;
    };
    // Head, rear and third lamps.
    DescriptionWriter& DirectLights(const Lamp& head, const Lamp& rear, const Lamp& third);
    DescriptionWriter& Spots(const LampColour& colour);
    DescriptionWriter& Shadow();
    DescriptionWriter& Flame();
    // A section line with any keyword, then its separator.
    DescriptionWriter& EmptySection(const std::string& keyword);
    DescriptionWriter& Separator();
    // The line that ends the common part.
    DescriptionWriter& End();

    const std::string& Text() const { return m_text; }

private:
    DescriptionWriter& Section(const std::string& keyword);
    std::string m_text;
};

std::string PadKey(const std::string& key);

// One file of the sample set: its path under the data root and its bytes.
struct SampleFile {
    std::string path;
    std::string bytes;
};

// The description files of every object kind the game ships: buildings,
// bridge, trees, stones, lamp post, bench, car with its wheel, pedestrians
// and the HUD arrow.
std::vector<SampleFile> SampleObjectDescriptions();
// Their meshes and textures (every "%N" texture as its N variants).
std::vector<SampleFile> SampleObjectMeshes();
std::vector<SampleFile> SampleObjectTextures();

// Writes all three lists below root.
bool WriteObjectDescriptions(const std::string& root);

} // namespace tools
