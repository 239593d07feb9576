// Captions printed into interface pictures with a TrueType font, for panels
// whose words are part of the picture and whose figures the game draws.
#pragma once

#include "writers/ImageWriters.h"

#include <string>

namespace tools {

enum class CaptionAlign { Left, Right, Centre };

// A panel picture stretched over a screen rectangle of the 800 x 600 space:
// captions are placed and sized in screen units and land in the picture's
// pixels, stretched as the game will squeeze them back.
struct CaptionPanel {
    ArgbImage* image;
    float left, top, right, bottom; // the screen rectangle the picture covers
};

// Prints the text with its line's top at screen y, the x by the alignment;
// `height` is the font's pixel size in screen units. False when the font
// cannot be read.
bool PrintCaption(const CaptionPanel& panel, const std::string& text, float x, float y, float height,
                  CaptionAlign align, std::uint32_t colour);

// The font the sample captions are printed with.
const char* CaptionFontPath();

} // namespace tools
