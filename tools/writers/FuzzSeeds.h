// Seed inputs for the fuzz targets, taken from a written sample data set so
// every fuzzer starts from files the game really reads.
#pragma once

#include <string>

namespace tools {

// sampleRoot holds a sample data set (loose and packed); one folder per
// fuzz target is written below outDir. Returns false when a seed is missing.
bool WriteFuzzSeeds(const std::string& sampleRoot, const std::string& outDir);

} // namespace tools
