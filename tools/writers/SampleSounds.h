// The sample sound set: short generated sounds shaped to each role (engine
// loops, horns, sirens, impacts, squeals, cries, voices, music and
// ambience) and the ambience description, written as loose files.
#pragma once

#include <string>

namespace tools {

// Base frequency (Hz) of the tone of engine sound k (0..7); each engine file
// holds exactly one second, a whole number of periods, so it loops cleanly.
int EngineToneHz(int k);

// Writes every sound and "Data/Audio/AmbTrks/AmbientData.obj" under root.
bool WriteSampleSounds(const std::string& root);

} // namespace tools
