// Line reading of the description files: every line has a 32-character key
// column that is never compared, and its value starts at column 32.
#pragma once

#include "shell/FileManager.h"
#include "shell/VectorHelpers.h"

#include <cstddef>

enum {
    // A description line is read up to 254 characters; the rest of a longer
    // line is the next read.
    DESCRIPTION_LINE_SIZE = 255,
    DESCRIPTION_VALUE_COLUMN = 32,
};

// Reads one line (the line end is consumed, not stored); "" at the end of the data.
void ReadDescriptionLine(char* line, FileHandle file);
// The value of a line from column 32; "" for a line of 32 characters or fewer.
const char* DescriptionValue(const char* line);
// Reads a colour line: red, green and blue as three-character numbers
// 0..255 at columns 32, 36 and 40, each divided by 255; alpha 1. The whole
// line is taken, so a line that goes on after the blue digits, or one cut
// short, never runs into the next line.
void ReadColourLine(D3DXCOLOR4* colour, FileHandle file);
// Turns a texture line holding "%N" (N a digit 1..9; the first '%' counts)
// into the name of one of its N variants, "01".."0N": variant -1 picks at
// random, any other value picks variant % N + 1 (as unsigned). A random
// number is drawn for every line with a '%' either way. A '%' followed by 0
// or a non-digit gives variant 1; a '%' that ends the line stays.
void SelectTextureVariant(char* line, int variant);
// The same with the variant always drawn at random, as glass textures take it.
void SelectRandomTextureVariant(char* line);
// The names a texture line can stand for without drawing anything: the
// number of them (1 for a line without a "%N"), and the line turned into
// the name of variant index % count + 1 (a line without "%N" stays).
unsigned TextureVariantCount(const char* line);
void WriteTextureVariant(char* line, unsigned index);
// A random colour of channels 0.33, 0.66 or 0.99 (drawn blue, green, red),
// alpha 1, scaled so its largest channel is 1.
void RandomLightColour(D3DXCOLOR4* colour);
// Writes a numbered texture name from a name holding one integer conversion
// (%d or %i, with an optional 0 flag and width up to 9; "%%" is a percent
// sign) and the number. False for any other conversion, a second one, or a
// result that does not fit.
bool FormatNumberedName(char* out, std::size_t size, const char* format, int number);
