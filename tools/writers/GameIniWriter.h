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

// Sets the value of a key, adding the key at the end when it is not listed.
void SetIniValue(std::vector<IniEntry>* entries, const std::string& section, const std::string& key,
                 const std::string& value);

// Writes the entries grouped by section in the order given; returns false
// when the file cannot be written.
bool WriteIni(const std::string& path, const std::vector<IniEntry>& entries);

} // namespace tools
