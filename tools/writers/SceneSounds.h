// Sounds of the scripted scenes: the car door of the taxi passenger.
#pragma once

#include <string>

namespace tools {

// Writes "Data/Audio/GetInCar.wav" under root.
bool WriteSceneSounds(const std::string& root);

} // namespace tools
