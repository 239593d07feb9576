#include "writers/CaptionPrinter.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

namespace tools {

namespace {

class CaptionFace {
public:
    ~CaptionFace()
    {
        if (m_face)
            FT_Done_Face(m_face);
        if (m_library)
            FT_Done_FreeType(m_library);
    }
    bool Open(const char* path, unsigned pixels)
    {
        return FT_Init_FreeType(&m_library) == 0 && FT_New_Face(m_library, path, 0, &m_face) == 0 &&
               FT_Set_Pixel_Sizes(m_face, 0, std::max(1u, pixels)) == 0;
    }
    FT_Face Face() const { return m_face; }

private:
    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
};

// The text's advance in picture pixels at the face's size and stretch.
float Advance(FT_Face face, const std::string& text)
{
    float width = 0.0f;
    for (unsigned char c : text)
        if (FT_Load_Char(face, c, FT_LOAD_DEFAULT) == 0)
            width += static_cast<float>(face->glyph->advance.x) / 64.0f;
    return width;
}

// Blends one rendered glyph's coverage in the colour over the picture.
void Blend(ArgbImage* image, const FT_Bitmap& bitmap, int x0, int y0, std::uint32_t colour)
{
    const int w = static_cast<int>(image->width), h = static_cast<int>(image->height);
    for (unsigned row = 0; row < bitmap.rows; ++row)
        for (unsigned col = 0; col < bitmap.width; ++col) {
            const int x = x0 + static_cast<int>(col), y = y0 + static_cast<int>(row);
            if (x < 0 || y < 0 || x >= w || y >= h)
                continue;
            const float a = bitmap.buffer[row * static_cast<unsigned>(bitmap.pitch) + col] / 255.0f;
            std::uint32_t& p = image->pixels[static_cast<std::size_t>(y) * image->width + static_cast<std::size_t>(x)];
            std::uint32_t out = 0;
            for (int s = 0; s < 32; s += 8) {
                const float under = static_cast<float>((p >> s) & 0xFF), over = static_cast<float>((colour >> s) & 0xFF);
                out |= static_cast<std::uint32_t>(std::lround(under + (over - under) * a)) << s;
            }
            p = out;
        }
}

} // namespace

const char* CaptionFontPath()
{
    return "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
}

bool PrintCaption(const CaptionPanel& panel, const std::string& text, float x, float y, float height,
                  CaptionAlign align, std::uint32_t colour)
{
    const float sx = static_cast<float>(panel.image->width) / (panel.right - panel.left);
    const float sy = static_cast<float>(panel.image->height) / (panel.bottom - panel.top);
    CaptionFace font;
    if (!font.Open(CaptionFontPath(), static_cast<unsigned>(std::lround(height * sy))))
        return false;
    FT_Face face = font.Face();
    // Wider in the picture than on screen where the picture is squeezed more
    // across than down.
    FT_Matrix stretch{static_cast<FT_Fixed>(sx / sy * 0x10000), 0, 0, 0x10000};
    FT_Set_Transform(face, &stretch, nullptr);
    const float width = Advance(face, text);
    float pen = (x - panel.left) * sx;
    if (align == CaptionAlign::Right)
        pen -= width;
    else if (align == CaptionAlign::Centre)
        pen -= width / 2.0f;
    const float baseline = (y - panel.top) * sy + static_cast<float>(face->size->metrics.ascender) / 64.0f;
    for (unsigned char c : text) {
        if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0)
            continue;
        FT_GlyphSlot g = face->glyph;
        Blend(panel.image, g->bitmap, static_cast<int>(pen) + g->bitmap_left,
              static_cast<int>(baseline) - g->bitmap_top, colour);
        pen += static_cast<float>(g->advance.x) / 64.0f;
    }
    return true;
}

} // namespace tools
