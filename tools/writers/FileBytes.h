// Whole files in and out for the data writers.
#pragma once

#include <string>

namespace tools {

// Writes bytes to path, making its folder first; false when the file cannot
// be written whole.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// The whole file; false when it cannot be opened or read.
bool ReadFileBytes(const std::string& path, std::string* bytes);

} // namespace tools
