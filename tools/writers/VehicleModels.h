// The sample cars: eight models of different shapes, sizes and figures, two
// police cars, their wheels, meshes, deformable bodies and body textures.
#pragma once

#include "writers/ObjectDescriptions.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// The 24 lines after the car's common part, in file order.
struct CarLines {
    std::string wheelA, wheelB;
    float line4 = 1.0f, mass = 1200.0f, power = 2000.0f, transmission = 1.0f, handling = 1.0f;
    int driveFront = 0, driveRear = 1;
    float frontGrip = 1.0f, rearGrip = 1.0f, frontRoll = 0.2f, rearRoll = 0.2f;
    float stiffness = 20.0f, damping = 2.3f;
    int gloss = 64, paintRange = 255, paintRange2 = 255, engineSound = 0;
    std::vector<std::string> textures;
};

// The car's own lines of a description file, ended by "//--".
std::string EncodeCarLines(const CarLines& lines);

// One vertex of a body file: position, normal, ARGB colour, uv.
struct BodyVertex {
    float position[3];
    float normal[3];
    std::uint32_t colour;
    float u, v;
};
struct BodyRecord {
    float base[3], dented[3];
    float amount = 0.0f;
    std::uint16_t twins[4] = {};
    std::uint8_t twinCount = 0;
};
// A body of five part groups; indices are relative to their group's first vertex.
struct BodyData {
    std::vector<BodyVertex> groups[5];
    std::vector<std::uint16_t> indices[5];
};
// The body file bytes: counts, group tables, vertices, indices and one dent
// record per vertex (twins are the vertices at the same place).
std::string EncodeBody(const BodyData& body);
// The records EncodeBody writes, for tests.
std::vector<BodyRecord> BodyRecords(const BodyData& body);

// Every file of the sample cars, paths under the data root.
std::vector<SampleFile> SampleVehicleFiles();
// The description paths of the eight models, then the two police cars.
std::vector<std::string> SampleVehiclePaths();
// The body of the first model, for tests.
BodyData SampleCarBodyData();

} // namespace tools
