// Reading the font files: character list, glyph mask scan, spacing and the
// character map, including damaged files.
#include "font_fixture.h"

#include "shell/Log.h"
#include "writers/ImageWriters.h"

#include <cstring>

namespace {

using test::FontTest;
using test::TwoGlyphMask;

TEST_F(FontTest, TwoGlyphMaskGivesTableAndSpacing)
{
    LoadFolder("AB", TwoGlyphMask());
    EXPECT_EQ(m_font->m_nChars, 2u);
    EXPECT_EQ(m_font->m_nGlyphs, 2u);
    EXPECT_EQ(m_font->m_fGlyphHeight, 4.0f);

    const FontGlyph& a = m_font->m_Glyphs[0];
    EXPECT_EQ(a.cChar, 'A');
    EXPECT_FLOAT_EQ(a.fLeft, 1.0f / 16);
    EXPECT_FLOAT_EQ(a.fTop, 1.0f / 16);
    EXPECT_FLOAT_EQ(a.fRight, 4.0f / 16);
    EXPECT_FLOAT_EQ(a.fBottom, 5.0f / 16);
    EXPECT_EQ(a.fWidth, 2.0f);
    EXPECT_EQ(a.fHeight, 3.0f);

    const FontGlyph& b = m_font->m_Glyphs[1];
    EXPECT_EQ(b.cChar, 'B');
    EXPECT_FLOAT_EQ(b.fLeft, 5.0f / 16);
    EXPECT_FLOAT_EQ(b.fRight, 10.0f / 16);
    EXPECT_EQ(b.fWidth, 4.0f);

    EXPECT_FLOAT_EQ(m_font->m_fCellWidth, 0.55f * 4.0f);
    EXPECT_FLOAT_EQ(m_font->m_fLetterSpacing, 0.4f);
    EXPECT_FLOAT_EQ(m_font->GetLineHeight(0.5f), 2.0f);
    EXPECT_EQ(m_font->m_fScale, 1.0f);
}

TEST_F(FontTest, CharacterMapFindsEveryByteOfTheList)
{
    LoadFolder("A\xE9", TwoGlyphMask());
    EXPECT_EQ(m_font->FindGlyph('A'), 0u);
    EXPECT_EQ(m_font->FindGlyph(0xE9), 1u);
    EXPECT_EQ(m_font->GlyphOf('A'), 0u);
    EXPECT_EQ(m_font->GlyphOf(static_cast<char>(0xE9)), 1u);
    EXPECT_EQ(m_font->GlyphOf('B'), FONT_NO_GLYPH);
    // Glyph records that were never assigned hold character 0; it has none.
    EXPECT_EQ(m_font->FindGlyph(0), FONT_NO_GLYPH);
    EXPECT_EQ(m_font->GlyphOf('\0'), FONT_NO_GLYPH);
    // Both halves of the map agree for the same byte.
    EXPECT_EQ(m_font->m_CharMap[FONT_CHAR_MAP_ZERO + 0xE9], 1u);
    EXPECT_EQ(m_font->m_CharMap[FONT_CHAR_MAP_ZERO + 0xE9 - 256], 1u);
}

TEST_F(FontTest, UnloadedFontMapsNothing)
{
    for (int i = 0; i < FONT_CHAR_MAP_SIZE; ++i)
        ASSERT_EQ(m_font->m_CharMap[i], FONT_NO_GLYPH) << i;
    EXPECT_EQ(m_font->m_nTexture, INVALID_TEXTURE_ID);
}

TEST_F(FontTest, QuadIndicesAreBuiltOnce)
{
    LoadFolder("AB", TwoGlyphMask());
    const std::uint16_t second[6] = {4, 5, 6, 6, 5, 7};
    EXPECT_EQ(std::memcmp(&m_font->m_Indices[6], second, sizeof(second)), 0);
    EXPECT_EQ(m_font->m_Indices[254 * 6 + 5], 254 * 4 + 3);
    EXPECT_EQ(m_font->m_Vertices[17].rhw, 2.0f);
}

TEST_F(FontTest, LongCharacterFileIsCutAt255)
{
    LoadFolder(std::string(300, 'Q'), TwoGlyphMask());
    EXPECT_EQ(m_font->m_nChars, 255u);
    EXPECT_EQ(m_font->m_szChars[255], '\0');
    EXPECT_EQ(m_font->m_nGlyphs, 2u);
}

TEST_F(FontTest, CharacterListEndsAtTheFirstZero)
{
    LoadFolder(std::string("AB\0C", 4), TwoGlyphMask());
    EXPECT_EQ(m_font->m_nChars, 2u);
}

TEST_F(FontTest, MoreCharactersThanGlyphsLeavesTheRestWithout)
{
    LoadFolder("ABC", TwoGlyphMask());
    EXPECT_EQ(m_font->m_nGlyphs, 2u);
    EXPECT_EQ(m_font->FindGlyph('C'), FONT_NO_GLYPH);
}

TEST_F(FontTest, RunReachingTheRowEndStopsThere)
{
    std::string mask = TwoGlyphMask();
    for (int y = 1; y <= 4; ++y)
        for (int x = 12; x < 16; ++x)
            mask[y * 16 + x] = '\x02';
    LoadFolder("ABC", mask);
    ASSERT_EQ(m_font->m_nGlyphs, 3u);
    EXPECT_EQ(m_font->m_Glyphs[2].fWidth, 3.0f);
    EXPECT_FLOAT_EQ(m_font->m_Glyphs[2].fRight, 1.0f);
}

TEST_F(FontTest, MaskThatIsNotASquareIsReadAsItsSquare)
{
    // Seven stray bytes after the 16 x 16 image, all glyph-coloured.
    LoadFolder("AB", TwoGlyphMask() + std::string(7, '\x01'));
    EXPECT_EQ(m_font->m_nGlyphs, 2u);
    EXPECT_FLOAT_EQ(m_font->m_Glyphs[1].fRight, 10.0f / 16);
}

TEST_F(FontTest, SecondGlyphLineFollowsOneBackgroundRow)
{
    std::string mask = TwoGlyphMask();
    for (int y = 6; y <= 9; ++y)
        mask[y * 16 + 2] = '\x03';
    LoadFolder("ABC", mask);
    ASSERT_EQ(m_font->m_nGlyphs, 3u);
    EXPECT_FLOAT_EQ(m_font->m_Glyphs[2].fTop, 6.0f / 16);
    EXPECT_FLOAT_EQ(m_font->m_Glyphs[2].fLeft, 2.0f / 16);
    EXPECT_EQ(m_font->m_Glyphs[2].fWidth, 0.0f);
}

struct DamagedMask {
    const char* what;
    std::string mask;
};

TEST_F(FontTest, DamagedMasksLoadNoGlyphs)
{
    std::string noBackgroundRow = TwoGlyphMask();
    for (int y = 0; y < 16; ++y)
        noBackgroundRow[y * 16 + 1] = '\x01';
    std::string startsWithBackground = TwoGlyphMask();
    startsWithBackground[16 + 1] = '\xFF';
    const DamagedMask cases[] = {
        {"empty", ""},
        {"one byte", "\x01"},
        {"three bytes", "\x01\x01\x01"},
        {"all background", std::string(64, '\xFF')},
        {"all glyph", std::string(64, '\x01')},
        {"glyph line without an end", noBackgroundRow},
        {"first glyph pixel missing", startsWithBackground},
    };
    for (const DamagedMask& c : cases) {
        m_font = std::make_unique<CGameFont>();
        LoadFolder("AB", c.mask);
        EXPECT_EQ(m_font->m_nGlyphs, 0u) << c.what;
        EXPECT_EQ(m_font->GlyphOf('A'), FONT_NO_GLYPH) << c.what;
        ClearLog();
        EXPECT_EQ(m_font->DrawText(5, 5, "AB", ~0u, 1.0f, 0), 5.0f) << c.what;
        EXPECT_TRUE(Draws().empty()) << c.what;
    }
}

TEST_F(FontTest, MissingFilesLeaveAFontThatDrawsNothing)
{
    WriteFolder(nullptr, nullptr);
    m_font->Load("Fonts/Test");
    EXPECT_EQ(m_font->m_nChars, 0u);
    WriteFolder("AB", nullptr);
    m_font->Load("Fonts/Missing");
    EXPECT_EQ(m_font->m_nGlyphs, 0u);
    m_font->Load("Fonts/Test"); // "Main.dat" there, "Mask.dat" not
    EXPECT_EQ(m_font->m_nChars, 2u);
    EXPECT_EQ(m_font->m_nGlyphs, 0u);
    ClearLog();
    EXPECT_EQ(m_font->DrawText(0, 0, "AB", ~0u, 1.0f, 0), 0.0f);
    EXPECT_EQ(m_font->GetTextWidth("AB", 1.0f, 0), 0.0f);
    EXPECT_TRUE(Draws().empty());
}

class FontAtlasTest : public FontTest {
protected:
    void SetUp() override
    {
        FontTest::SetUp();
        g_bDebugLog = 1;
        DebugLog(nullptr);
    }
    void TearDown() override
    {
        g_bDebugLog = 0;
        FontTest::TearDown();
    }
};

TEST_F(FontAtlasTest, BitmapAtlasStandsInForAMissingDds)
{
    const int savedBmpToJpg = g_bBmpToJpg;
    g_bBmpToJpg = 0; // read the bitmap itself, not a JPEG of the same name
    const tools::ArgbImage image = tools::SolidImage(16, 16, 0xFFFFFFFFu);
    std::filesystem::create_directories(m_dir.Path() / "Fonts/Test");
    ASSERT_TRUE(tools::WriteImageFile(m_dir.File("Fonts/Test/Main.bmp"), tools::EncodeBmp(image, 24)));
    LoadFolder("AB", test::TwoGlyphMask());
    ASSERT_NE(m_font->m_nTexture, INVALID_TEXTURE_ID);
    EXPECT_STREQ(g_D3DRender.m_TextureManager.GetTextureName(m_font->m_nTexture), "Fonts/Test/Main.bmp");
    m_font->Release();
    EXPECT_EQ(m_font->m_nTexture, INVALID_TEXTURE_ID);
    g_bBmpToJpg = savedBmpToJpg;
}

TEST_F(FontAtlasTest, MissingAtlasIsNoErrorAndTextDrawsUntextured)
{
    LoadFolder("AB", test::TwoGlyphMask());
    EXPECT_EQ(m_font->m_nTexture, INVALID_TEXTURE_ID);
    EXPECT_EQ(test::ReadWholeFile("debug.txt").find("Load texture failed!"), std::string::npos);
    ClearLog();
    m_font->DrawText(0, 0, "AB", ~0u, 1.0f, 0);
    const std::vector<plat::D3DCall> bound = Log().Of(plat::D3DOp::SetTexture);
    ASSERT_EQ(bound.size(), 1u);
    EXPECT_EQ(bound[0].object, nullptr);
    EXPECT_EQ(Draws().size(), 1u);
}

} // namespace
