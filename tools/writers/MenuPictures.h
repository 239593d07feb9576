// The pictures and sounds of the game menu and the start-up logos, all
// drawn here: twelve backgrounds of the city at different times of day, the
// title, the studio, partner and physics logos, the loading caption and the
// logo music.
#pragma once

#include "writers/ImageWriters.h"

#include <string>

namespace tools {

// Background n (1..12) at the given size.
ArgbImage MenuBackground(int number, unsigned width, unsigned height);

// Writes every menu file under root.
bool WriteMenuPictures(const std::string& root);

} // namespace tools
