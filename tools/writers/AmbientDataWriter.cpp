#include "writers/AmbientDataWriter.h"

namespace tools {

std::string AmbientCountLine(const std::string& label, long count)
{
    std::string line = label.substr(0, 32);
    line.resize(32, ' ');
    return line + std::to_string(count);
}

std::string MakeAmbientData(const AmbientLists& lists)
{
    static const char* const kTimes[2] = {"day", "night"};
    std::string text;
    for (int channel = 0; channel < 2; ++channel) {
        text += "//--------------------------------\r\n";
        text += channel == 0 ? "// Ambience of busy streets\r\n" : "// Ambience of quiet places\r\n";
        text += "// One track is picked at random\r\n";
        text += "//--------------------------------\r\n";
        for (int time = 0; time < 2; ++time) {
            const auto& names = lists.tracks[channel][time];
            text += AmbientCountLine(std::string("Tracks by ") + kTimes[time] + ":", static_cast<long>(names.size()));
            text += "\r\n";
            for (const std::string& name : names)
                text += name + "\r\n";
        }
    }
    return text;
}

} // namespace tools
