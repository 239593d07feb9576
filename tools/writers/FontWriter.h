// Bitmap font folders rendered from TrueType fonts: "Main.dat" (the
// characters in mask order), "Mask.dat" (N x N bytes, 0xFF background, every
// glyph a solid block of non-0xFF bytes as wide as its advance and margins
// and as high as the line, one background row between lines and at least
// one background byte between glyphs, row 0 and column 0 left empty) and
// "Main.dds" (the N x N atlas: white with the glyph coverage as alpha).
#pragma once

#include "writers/ImageWriters.h"

#include <string>
#include <vector>

namespace tools {

struct BitmapFont {
    std::string chars;
    std::string mask;
    ArgbImage atlas;
};

struct SampleFont {
    const char* folder; // relative to the data root
    const char* ttfPath;
    unsigned pixelSize;
    unsigned margin; // clear pixels left and right of each glyph, inside its cell
};

// Renders the characters at the font's pixel size; false when the font file
// cannot be read or the glyphs do not fit a 2048 x 2048 atlas.
bool RenderBitmapFont(const SampleFont& font, const std::string& chars, BitmapFont* out);
bool WriteBitmapFont(const std::string& folder, const BitmapFont& font);

// The printable ASCII characters, blank first.
std::string SampleFontCharacters();
// The debug, menu and interface fonts of the sample data.
std::vector<SampleFont> SampleFonts();

} // namespace tools
