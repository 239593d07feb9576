#include "writers/FontWriter.h"

#include "writers/FileBytes.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <filesystem>

namespace tools {

namespace {

const unsigned kMaxAtlas = 2048;
const unsigned char kBackground = 0xFF;

struct RenderedGlyph {
    unsigned width = 1;     // cell width in pixels
    std::vector<unsigned char> coverage; // width x line height
};

class FreeTypeFace {
public:
    bool Open(const std::string& path, unsigned pixelSize)
    {
        if (FT_Init_FreeType(&m_library) != 0)
            return false;
        return FT_New_Face(m_library, path.c_str(), 0, &m_face) == 0 &&
               FT_Set_Pixel_Sizes(m_face, 0, pixelSize) == 0;
    }
    ~FreeTypeFace()
    {
        if (m_face)
            FT_Done_Face(m_face);
        if (m_library)
            FT_Done_FreeType(m_library);
    }
    FT_Face Face() const { return m_face; }

private:
    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
};

// One character as a cell of the line height: its advance wide (at least one
// pixel) plus the clear margin on either side, the bitmap placed on the
// common baseline.
bool RenderGlyph(FT_Face face, unsigned char c, int ascent, unsigned lineHeight, unsigned margin,
                 RenderedGlyph* out)
{
    if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0)
        return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const int advance = static_cast<int>(slot->advance.x >> 6);
    const int right = slot->bitmap_left + static_cast<int>(bitmap.width);
    out->width = static_cast<unsigned>(std::max({1, advance, right})) + 2 * margin;
    out->coverage.assign(static_cast<std::size_t>(out->width) * lineHeight, 0);
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        const int y = ascent - slot->bitmap_top + static_cast<int>(row);
        for (unsigned col = 0; col < bitmap.width; ++col) {
            const int x = static_cast<int>(margin) + slot->bitmap_left + static_cast<int>(col);
            if (y < 0 || y >= static_cast<int>(lineHeight) || x < 0 || x >= static_cast<int>(out->width))
                continue;
            out->coverage[static_cast<std::size_t>(y) * out->width + x] = bitmap.buffer[row * bitmap.pitch + col];
        }
    }
    return true;
}

// Top-left corner of each glyph for an atlas of edge n, or false when the
// glyphs do not fit.
bool PlaceGlyphs(const std::vector<RenderedGlyph>& glyphs, unsigned lineHeight, unsigned n,
                 std::vector<std::pair<unsigned, unsigned>>* places)
{
    places->clear();
    unsigned x = 1, y = 1;
    for (const RenderedGlyph& g : glyphs) {
        if (x + g.width > n) {
            x = 1;
            y += lineHeight + 1;
        }
        if (x + g.width > n || y + lineHeight > n)
            return false;
        places->emplace_back(x, y);
        x += g.width + 1;
    }
    return true;
}

void Paint(const RenderedGlyph& g, unsigned x0, unsigned y0, unsigned lineHeight, BitmapFont* out)
{
    const unsigned n = out->atlas.width;
    for (unsigned y = 0; y < lineHeight; ++y)
        for (unsigned x = 0; x < g.width; ++x) {
            const unsigned char c = g.coverage[static_cast<std::size_t>(y) * g.width + x];
            const std::size_t at = static_cast<std::size_t>(y0 + y) * n + x0 + x;
            out->mask[at] = static_cast<char>(std::min<unsigned>(c, kBackground - 1));
            out->atlas.pixels[at] = (static_cast<std::uint32_t>(c) << 24) | 0x00FFFFFFu;
        }
}


} // namespace

bool RenderBitmapFont(const SampleFont& font, const std::string& chars, BitmapFont* out)
{
    FreeTypeFace face;
    if (!face.Open(font.ttfPath, font.pixelSize))
        return false;
    const FT_Size_Metrics& metrics = face.Face()->size->metrics;
    const int ascent = static_cast<int>(metrics.ascender >> 6);
    const unsigned lineHeight = static_cast<unsigned>(std::max(1L, (metrics.ascender - metrics.descender) >> 6));
    std::vector<RenderedGlyph> glyphs(chars.size());
    for (std::size_t i = 0; i < chars.size(); ++i)
        if (!RenderGlyph(face.Face(), static_cast<unsigned char>(chars[i]), ascent, lineHeight, font.margin,
                         &glyphs[i]))
            return false;
    std::vector<std::pair<unsigned, unsigned>> places;
    unsigned n = 64;
    while (!PlaceGlyphs(glyphs, lineHeight, n, &places))
        if ((n *= 2) > kMaxAtlas)
            return false;
    out->chars = chars;
    out->mask.assign(static_cast<std::size_t>(n) * n, static_cast<char>(kBackground));
    out->atlas = SolidImage(n, n, 0x00FFFFFFu);
    for (std::size_t i = 0; i < glyphs.size(); ++i)
        Paint(glyphs[i], places[i].first, places[i].second, lineHeight, out);
    return true;
}

bool WriteBitmapFont(const std::string& folder, const BitmapFont& font)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec)
        return false;
    const std::filesystem::path dir(folder);
    return WriteFileBytes(dir / "Main.dat", font.chars) && WriteFileBytes(dir / "Mask.dat", font.mask) &&
           WriteImageFile((dir / "Main.dds").string(), EncodeDds({font.atlas}, DdsPixels::A8R8G8B8, 1));
}

std::string SampleFontCharacters()
{
    std::string chars;
    for (int c = 32; c < 127; ++c)
        chars.push_back(static_cast<char>(c));
    return chars;
}

std::vector<SampleFont> SampleFonts()
{
    const char* dir = "/usr/share/fonts/truetype/dejavu/";
    static const std::string sans = std::string(dir) + "DejaVuSans.ttf";
    static const std::string bold = std::string(dir) + "DejaVuSans-Bold.ttf";
    static const std::string condensed = std::string(dir) + "DejaVuSansCondensed-Bold.ttf";
    // The interface draws its font with the letter spacing set to -1.25
    // times the font's own (a tenth of the widest glyph), which pulls every
    // letter about 4.6 px into its neighbour: it expects glyph cells with
    // room around the letters. Four clear pixels on each side widen the
    // widest cell to 45 px, and the tightened pen then lands each letter
    // about 1.4 px past its own advance, about what the pen's cut to whole
    // units takes back at the interface's text scales.
    return {
        {"Data/Interface/Fonts/Arial.18", sans.c_str(), 18, 0},
        {"Data/Interface/Fonts/Menu 01", bold.c_str(), 30, 0},
        {"Data/Interface/Fonts/Game 01", condensed.c_str(), 38, 4},
    };
}

} // namespace tools
