// Writes "Game.ini" files in the private-profile text format the game reads.
#pragma once

#include <string>
#include <vector>

namespace tools {

struct IniEntry {
    std::string section;
    std::string key;
    std::string value;
};

// Every key of the settings file with its default value, section by section.
std::vector<IniEntry> DefaultGameIni();

// Writes the entries grouped by section in the order given; returns false
// when the file cannot be written.
bool WriteIni(const std::string& path, const std::vector<IniEntry>& entries);

} // namespace tools
