// Writes the key-names file "Data/Misc/KeyScanCodes.obj".
#pragma once

#include <string>
#include <vector>

namespace tools {

struct KeyName {
    int code;
    std::string name;
};

// The keys the game's bindings and options can name.
std::vector<KeyName> SampleKeyNames();

// Three header lines, a code line and a name line per key, then "////".
std::string KeyNamesText(const std::vector<KeyName>& keys);

bool WriteKeyNames(const std::string& path, const std::vector<KeyName>& keys);

} // namespace tools
