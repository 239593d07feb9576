// Writes the ambience description "AmbientData.obj": per channel four
// comment lines, then a day list and a night list, each a count line (a
// 32-character label, then the number) followed by the track names.
#pragma once

#include <string>
#include <vector>

namespace tools {

struct AmbientLists {
    std::vector<std::string> tracks[2][2]; // [channel][day, night]
};

std::string MakeAmbientData(const AmbientLists& lists);
// A count line: the label padded or cut to 32 characters, then the count.
std::string AmbientCountLine(const std::string& label, long count);

} // namespace tools
