#include "writers/GameIniWriter.h"

#include "writers/FileBytes.h"

#include <cstdio>

namespace tools {

std::vector<IniEntry> DefaultGameIni()
{
    return {
        {"Game", "Version", "1.0.1"},
        {"Video", "Mode", "1"},
        {"Video", "Distance", "2"},
        {"Video", "Details", "1"},
        {"Video", "Traffic", "1"},
        {"Video", "Shadows", "3"},
        {"Video", "Glow", "1"},
        {"Video", "Blur", "1"},
        {"Video", "Water", "2"},
        {"Video", "Reflect", "1"},
        {"Video", "Windowed", "1"},
        {"Audio", "Audio", "1"},
        {"Audio", "Master", "100"},
        {"Audio", "Music", "100"},
        {"Audio", "Effects", "100"},
        {"Misc", "File manager", "1"},
        {"Misc", "BMP to JPG", "1"},
        {"Misc", "Game menu", "1"},
        {"Misc", "Debug out", "0"},
        {"Misc", "Editor mode", "0"},
        {"Controls", "Act01", "38"},
        {"Controls", "Act02", "40"},
        {"Controls", "Act03", "37"},
        {"Controls", "Act04", "39"},
    };
}

void SetIniValue(std::vector<IniEntry>* entries, const std::string& section, const std::string& key,
                 const std::string& value)
{
    for (IniEntry& e : *entries) {
        if (e.section == section && e.key == key) {
            e.value = value;
            return;
        }
    }
    entries->push_back({section, key, value});
}

bool WriteIni(const std::string& path, const std::vector<IniEntry>& entries)
{
    std::string text;
    const std::string* section = nullptr;
    for (const IniEntry& e : entries) {
        if (!section || *section != e.section) {
            text += (section ? "\n[" : "[") + e.section + "]\n";
            section = &e.section;
        }
        text += e.key + "=" + e.value + "\n";
    }
    return WriteFileBytes(path, text);
}

} // namespace tools
