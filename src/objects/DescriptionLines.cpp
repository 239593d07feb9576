#include "objects/DescriptionLines.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// atof of the three characters at a column; "" past the end of the line.
float ColourChannel(const char* line, std::size_t length, std::size_t column)
{
    char digits[4] = {};
    if (column < length)
        std::snprintf(digits, sizeof digits, "%.3s", line + column);
    return static_cast<float>(std::atof(digits)) / 255.0f;
}

unsigned VariantCount(const char* percent)
{
    const char digit = percent[1];
    return digit >= '1' && digit <= '9' ? static_cast<unsigned>(digit - '0') : 0u;
}

// Writes variant `index` % count + 1 in place of the "%N" (variant 1 for a
// count that is no digit 1..9).
void WriteVariant(char* percent, unsigned index)
{
    const unsigned count = VariantCount(percent);
    const unsigned chosen = count >= 1 ? index % count + 1 : 1u;
    percent[0] = '0';
    percent[1] = static_cast<char>('0' + chosen);
}

void ReplaceVariant(char* percent, int variant)
{
    // Drawn whatever the argument says, so the random sequence of a sector's
    // placement does not depend on which props were given a variant.
    const unsigned drawn = static_cast<unsigned>(std::rand());
    if (percent[1] == '\0')
        return;
    WriteVariant(percent, variant == -1 ? drawn : static_cast<unsigned>(variant));
}

} // namespace

void ReadDescriptionLine(char* line, FileHandle file)
{
    line[0] = '\0';
    g_FileManager.ReadLine(line, DESCRIPTION_LINE_SIZE, file);
}

const char* DescriptionValue(const char* line)
{
    return std::strlen(line) > DESCRIPTION_VALUE_COLUMN ? line + DESCRIPTION_VALUE_COLUMN : "";
}

void ReadColourLine(D3DXCOLOR4* colour, FileHandle file)
{
    char line[DESCRIPTION_LINE_SIZE];
    ReadDescriptionLine(line, file);
    const std::size_t length = std::strlen(line);
    colour->r = ColourChannel(line, length, DESCRIPTION_VALUE_COLUMN);
    colour->g = ColourChannel(line, length, DESCRIPTION_VALUE_COLUMN + 4);
    colour->b = ColourChannel(line, length, DESCRIPTION_VALUE_COLUMN + 8);
    colour->a = 1.0f;
}

void SelectTextureVariant(char* line, int variant)
{
    if (char* percent = std::strchr(line, '%'))
        ReplaceVariant(percent, variant);
}

unsigned TextureVariantCount(const char* line)
{
    const char* percent = std::strchr(line, '%');
    if (!percent || percent[1] == '\0')
        return 1;
    return std::max(VariantCount(percent), 1u);
}

void WriteTextureVariant(char* line, unsigned index)
{
    char* percent = std::strchr(line, '%');
    if (percent && percent[1] != '\0')
        WriteVariant(percent, index);
}

void SelectRandomTextureVariant(char* line)
{
    SelectTextureVariant(line, -1);
}

void RandomLightColour(D3DXCOLOR4* colour)
{
    D3DXCOLOR4 drawn;
    drawn.b = static_cast<float>(std::rand() % 3 + 1) * 0.33f;
    drawn.g = static_cast<float>(std::rand() % 3 + 1) * 0.33f;
    drawn.r = static_cast<float>(std::rand() % 3 + 1) * 0.33f;
    drawn.a = 1.0f;
    ColorNormalizeToMax(colour, &drawn);
}

namespace {

// Parses "%[0][width](d|i)" at format; returns its length, or 0.
std::size_t IntegerConversion(const char* format, bool* zeroPad, int* width)
{
    std::size_t i = 1;
    *zeroPad = format[i] == '0';
    if (*zeroPad)
        ++i;
    *width = 0;
    if (format[i] >= '1' && format[i] <= '9')
        *width = format[i++] - '0';
    return format[i] == 'd' || format[i] == 'i' ? i + 1 : 0;
}

} // namespace

bool FormatNumberedName(char* out, std::size_t size, const char* format, int number)
{
    std::string result;
    bool converted = false;
    for (std::size_t i = 0; format[i] != '\0';) {
        if (format[i] != '%') {
            result.push_back(format[i++]);
            continue;
        }
        if (format[i + 1] == '%') {
            result.push_back('%');
            i += 2;
            continue;
        }
        bool zeroPad = false;
        int width = 0;
        const std::size_t length = IntegerConversion(format + i, &zeroPad, &width);
        if (length == 0 || converted)
            return false;
        char digits[32];
        std::snprintf(digits, sizeof(digits), zeroPad ? "%0*d" : "%*d", width, number);
        result += digits;
        converted = true;
        i += length;
    }
    if (result.size() >= size)
        return false;
    std::memcpy(out, result.c_str(), result.size() + 1);
    return true;
}
