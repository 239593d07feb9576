// The in-game interface's sample data: the racer-name file, the HUD and panel
// pictures, the world map, the cursor and the button sounds.
#pragma once

#include "writers/ImageWriters.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// The racer-name file's text: three header lines, then per name a name line
// and an ignored line, for each of the two lists of 64.
std::string RacerNamesText(const std::vector<std::string>& first, const std::vector<std::string>& second);
// The sample lists: 64 names each, at most 15 characters.
std::vector<std::string> SampleRacerNames(int list);

// The race offer panel (a street race's or a time race's) and the driver
// information panel, with the captions of the figures the game draws over
// them; an empty picture when the caption font cannot be read.
ArgbImage RaceOfferPanel(std::uint32_t accent, bool timeRace);
ArgbImage DriverInfoPanel();

bool WriteInterfaceData(const std::string& root);

} // namespace tools
