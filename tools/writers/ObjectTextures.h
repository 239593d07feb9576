// Textures of the sample city's objects, drawn procedurally: building
// fronts with windows, window lights for the night, bark and leaves, rock,
// concrete and asphalt, lamp metal and glass, wood, car paints, tyres,
// clothes and the HUD arrow.
#pragma once

#include "writers/ImageWriters.h"

#include <cstdint>

namespace tools {

// Columns x floors of windows on a wall colour; the bottom floor has wide
// shop windows. The top-left corner is plain wall (roofs sample it).
ArgbImage FacadeImage(unsigned width, unsigned height, int columns, int floors, std::uint32_t wall,
                      std::uint32_t glass);
// The same grid, black where it is dark, with some windows lit.
ArgbImage WindowLightsImage(unsigned width, unsigned height, int columns, int floors, std::uint32_t light);
// Left part bark, the rest leaves of the colour.
// A shop sign: a panel with a border and a row of bright letter blocks.
ArgbImage SignImage(unsigned width, unsigned height, std::uint32_t panel, std::uint32_t letters);
ArgbImage TreeImage(std::uint32_t leaves);
ArgbImage StoneImage(std::uint32_t tone);
// Left half concrete, right half asphalt.
ArgbImage BridgeImage();
// Left half dark metal, right half lamp glass.
ArgbImage LampImage();
// Left half wood planks, right half iron.
ArgbImage BenchImage();
// A body paint with a darker sill and a light roof edge.
ArgbImage PaintImage(std::uint32_t paint);
ArgbImage ChromeImage();
ArgbImage GlassImage(std::uint32_t tint);
// Left half tread, right half the rim disc.
ArgbImage WheelImage();
// Quarters: skin, shirt, trousers, shoes.
ArgbImage HumanImage(std::uint32_t skin, std::uint32_t shirt, std::uint32_t trousers);
ArgbImage ArrowImage();

// A DDS with the full chain of mip levels.
std::string EncodeObjectTexture(const ArgbImage& image);

} // namespace tools
