// The sample data's fonts, rendered from TrueType fonts, load through the
// archives with a glyph for every character they list.
#include "font_fixture.h"

#include "writers/FontWriter.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

class SampleFontTest : public test::FontTest {
protected:
    void SetUp() override
    {
        FontTest::SetUp();
        UseSampleArchives();
    }

    void ExpectComplete(const CGameFont& font, const char* folder)
    {
        const std::string chars = tools::SampleFontCharacters();
        EXPECT_EQ(font.m_nChars, chars.size()) << folder;
        EXPECT_EQ(font.m_nGlyphs, chars.size()) << folder;
        EXPECT_GT(font.m_fGlyphHeight, 8.0f) << folder;
        for (char c : chars) {
            const std::uint16_t g = font.GlyphOf(c);
            ASSERT_NE(g, FONT_NO_GLYPH) << folder << " '" << c << "'";
            EXPECT_EQ(font.m_Glyphs[g].cChar, static_cast<unsigned char>(c));
            EXPECT_GT(font.m_Glyphs[g].fRight, font.m_Glyphs[g].fLeft);
            EXPECT_LE(font.m_Glyphs[g].fBottom, 1.0f);
        }
        // Proportional: 'i' is narrower than 'W'.
        EXPECT_LT(font.m_Glyphs[font.GlyphOf('i')].fWidth, font.m_Glyphs[font.GlyphOf('W')].fWidth) << folder;
    }
};

TEST_F(SampleFontTest, EverySampleFontLoadsFromTheArchives)
{
    for (const tools::SampleFont& f : tools::SampleFonts()) {
        m_font = std::make_unique<CGameFont>();
        m_font->Load(f.folder);
        ExpectComplete(*m_font, f.folder);
        EXPECT_NE(g_D3DRender.GetTexture(m_font->m_nTexture), nullptr) << "atlas of " << f.folder;
        m_font->Release();
        EXPECT_EQ(m_font->m_nTexture, INVALID_TEXTURE_ID);
    }
}

TEST_F(SampleFontTest, RenderedFontDrawsEveryCharacterOfAText)
{
    m_font->Load("Data/Interface/Fonts/Arial.18");
    ClearLog();
    m_font->DrawText(0, 0, "FPS: 60", 0xFFFFFF00u, 0.525f, 0);
    const std::vector<plat::D3DCall> draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].f, 2u * 7);
    const std::vector<plat::D3DCall> bound = Log().Of(plat::D3DOp::SetTexture);
    ASSERT_EQ(bound.size(), 1u);
    EXPECT_EQ(bound[0].object, g_D3DRender.GetTexture(m_font->m_nTexture));
    EXPECT_NE(bound[0].object, nullptr);
    m_font->Release();
}

// The interface font drawn the way the interface draws it: letter spacing
// tightened to -1.25 times the font's own, at the text scales of the
// dialogue and panels. The glyphs' ink (the non-zero mask bytes inside each
// glyph's run) must not run into the next letter, and a blank must leave a
// gap a reader sees as one.
class InterfaceFontTest : public SampleFontTest {
protected:
    void SetUp() override
    {
        SampleFontTest::SetUp();
        m_font->Load("Data/Interface/Fonts/Game 01");
        m_font->m_fLetterSpacing = -1.25f * m_font->ComputeSpacing();
        ReadMask("Data/Interface/Fonts/Game 01/Mask.dat");
    }
    void TearDown() override
    {
        if (m_font) // the screen fixture's attach runs this before the font exists
            m_font->Release();
        SampleFontTest::TearDown();
    }
    void ReadMask(const char* path)
    {
        std::uint32_t size = 0;
        const FileHandle file = g_FileManager.Open(path, ARCHIVE_WORLD, &size);
        ASSERT_NE(file, INVALID_FILE_HANDLE);
        m_mask.resize(size);
        EXPECT_EQ(g_FileManager.Read(m_mask.data(), 1, size, file), size);
        g_FileManager.Close(file);
        while ((m_n + 1) * (m_n + 1) <= size)
            ++m_n;
    }

    // Left and right ink edge of a drawn glyph quad in 800 x 600 units, or
    // false for a glyph without ink (a blank).
    bool InkSpan(const FontGlyph& g, float left, float right, float* inkLeft, float* inkRight) const
    {
        const std::uint32_t x0 = static_cast<std::uint32_t>(g.fLeft * m_n + 0.5f);
        const std::uint32_t x1 = static_cast<std::uint32_t>(g.fRight * m_n + 0.5f);
        const std::uint32_t y0 = static_cast<std::uint32_t>(g.fTop * m_n + 0.5f);
        const std::uint32_t y1 = static_cast<std::uint32_t>(g.fBottom * m_n + 0.5f);
        std::uint32_t first = x1, last = x0;
        for (std::uint32_t y = y0; y < y1; ++y)
            for (std::uint32_t x = x0; x < x1; ++x)
                if (m_mask[static_cast<std::size_t>(y) * m_n + x] != 0) {
                    first = std::min(first, x);
                    last = std::max(last, x + 1);
                }
        if (first >= last)
            return false;
        const float perPixel = (right - left) / static_cast<float>(x1 - x0);
        *inkLeft = left + static_cast<float>(first - x0) * perPixel;
        *inkRight = left + static_cast<float>(last - x0) * perPixel;
        return true;
    }

    std::vector<unsigned char> m_mask;
    std::uint32_t m_n = 0;
};

TEST_F(InterfaceFontTest, DialogueLettersStayApartAndBlanksSeparateWords)
{
    static const char* const kTexts[] = {"Drive to the car shop", "Place: 3rd  Time: 01:12", "Money wanted: 12500",
                                         "He will pay you well"};
    static const float kScales[] = {0.3f, 0.4f, 0.5f, 1.0f};
    const float sx = g_D3DRender.m_fScaleX;
    for (const char* text : kTexts)
        for (float scale : kScales) {
            ClearLog();
            m_font->DrawText(0, 0, text, 0xFFFFFFFFu, scale, 0);
            const std::vector<CScreenVertex> v = VerticesOf<CScreenVertex>(Draws().at(0));
            ASSERT_EQ(v.size(), 4 * std::strlen(text)) << text;
            float prevInk = 0.0f;
            bool prevLetter = false;
            bool blankSince = false;
            for (std::size_t i = 0; text[i]; ++i) {
                const FontGlyph& g = m_font->m_Glyphs[m_font->GlyphOf(text[i])];
                float inkLeft = 0.0f, inkRight = 0.0f;
                if (!InkSpan(g, v[4 * i].x / sx, v[4 * i + 2].x / sx, &inkLeft, &inkRight)) {
                    blankSince = true;
                    continue;
                }
                const float gap = inkLeft - prevInk;
                const float least = blankSince ? 0.2f * m_font->GetLineHeight(scale) : 0.0f;
                if (prevLetter) {
                    EXPECT_GE(gap, least) << "before '" << text[i] << "' in \"" << text << "\" at " << scale;
                }
                prevInk = inkRight;
                prevLetter = true;
                blankSince = false;
            }
        }
}

} // namespace
