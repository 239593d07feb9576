// The sample data's fonts, rendered from TrueType fonts, load through the
// archives with a glyph for every character they list.
#include "font_fixture.h"

#include "writers/FontWriter.h"

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

} // namespace
