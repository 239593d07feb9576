// Drawing and measuring text with the two-glyph sample font.
#include "font_fixture.h"

#include "graphics/ScreenDraw.h"

namespace {

using plat::D3DCall;
using plat::D3DOp;

class FontTextTest : public test::FontTest {
protected:
    void SetUp() override
    {
        FontTest::SetUp();
        LoadSettings("Game.ini"); // the unit-circle table of the glow discs
        LoadFolder("AB ", MaskWithBlank());
        ClearLog();
    }
    // The sample glyphs and a blank one pixel wide after them.
    static std::string MaskWithBlank()
    {
        std::string mask = test::TwoGlyphMask();
        mask[16 + 11] = '\x05';
        return mask;
    }
    std::vector<CScreenVertex> OnlyDraw()
    {
        const std::vector<D3DCall> draws = Draws();
        EXPECT_EQ(draws.size(), 1u);
        return draws.empty() ? std::vector<CScreenVertex>{} : VerticesOf<CScreenVertex>(draws.back());
    }
};

TEST_F(FontTextTest, UnknownCharactersTakeNoQuadAndNoSpace)
{
    // A: 2 wide, B: 4 wide, spacing 0.4; size 10.
    EXPECT_EQ(m_font->DrawText(0, 7, "AXB", 0xFF00FF00u, 10.0f, 0), 68.0f);
    const std::vector<D3DCall> draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].op, D3DOp::DrawIndexedPrimitiveUP);
    EXPECT_EQ(draws[0].a, DWORD(D3DPT_TRIANGLELIST));
    EXPECT_EQ(draws[0].d, 8u);
    EXPECT_EQ(draws[0].f, 4u);
    EXPECT_EQ(draws[0].e, 28u);
    const std::vector<CScreenVertex> v = VerticesOf<CScreenVertex>(draws[0]);
    ASSERT_EQ(v.size(), 8u);
    // Quad corners: (left, top), (left, bottom), (right, top), (right, bottom).
    EXPECT_FLOAT_EQ(v[0].x, 0.0f);
    EXPECT_FLOAT_EQ(v[0].y, 7.0f);
    EXPECT_FLOAT_EQ(v[1].y, 37.0f); // the record height 3, times 10
    EXPECT_FLOAT_EQ(v[2].x, 20.0f);
    EXPECT_FLOAT_EQ(v[4].x, 24.0f); // pen after A: whole part of 24
    EXPECT_FLOAT_EQ(v[6].x, 64.0f);
    EXPECT_FLOAT_EQ(v[6].u, 10.0f / 16);
    EXPECT_FLOAT_EQ(v[5].v, 5.0f / 16);
    EXPECT_EQ(DrawnFaces(), 4u);
}

TEST_F(FontTextTest, TextStatesLeaveFogAndDepthWritesAlone)
{
    m_font->DrawText(0, 0, "A", ~0u, 1.0f, 0);
    EXPECT_FALSE(StateSet(D3DRS_FOGENABLE));
    EXPECT_FALSE(StateSet(D3DRS_ZWRITEENABLE));
    DWORD value = 7;
    EXPECT_TRUE(StateSet(D3DRS_LIGHTING, &value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(StateSet(D3DRS_ZENABLE, &value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(StateSet(D3DRS_ALPHABLENDENABLE, &value));
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(Log().Of(D3DOp::SetFVF).back().a, DWORD(SCREEN_VERTEX_FVF));
}

TEST_F(FontTextTest, GradientRunsFromTopToBottomAndScalesToPixels)
{
    Attach(1600, 1200);
    m_font->DrawTextGradient(10, 20, "B", 0xFF000001u, 0xFF000002u, 1.0f, 0);
    const std::vector<CScreenVertex> v = OnlyDraw();
    ASSERT_EQ(v.size(), 4u);
    const DWORD colours[4] = {0xFF000001u, 0xFF000002u, 0xFF000001u, 0xFF000002u};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(v[i].colour, colours[i]) << i;
    EXPECT_FLOAT_EQ(v[0].x, 20.0f);
    EXPECT_FLOAT_EQ(v[0].y, 40.0f);
    EXPECT_FLOAT_EQ(v[3].x, 28.0f);
    EXPECT_FLOAT_EQ(v[3].y, 46.0f);
}

TEST_F(FontTextTest, FixedWidthCentresGlyphsInEqualCells)
{
    // Cell 2.2 at size 10: A (2 wide) spans 1..21, B (4 wide) is centred in
    // the next cell starting at 22.
    EXPECT_EQ(m_font->DrawText(0, 0, "AB", ~0u, 10.0f, 1), 44.0f);
    const std::vector<CScreenVertex> v = OnlyDraw();
    ASSERT_EQ(v.size(), 8u);
    EXPECT_NEAR(v[0].x, 1.0f, 1e-4f);
    EXPECT_NEAR(v[2].x, 21.0f, 1e-4f);
    EXPECT_NEAR(v[4].x, 13.0f, 1e-4f);
    EXPECT_NEAR(v[6].x, 53.0f, 1e-4f);
    EXPECT_FLOAT_EQ(m_font->GetTextWidth("AB", 10.0f, 1), 40.0f);
}

TEST_F(FontTextTest, LongTextDrawsItsFirst254Characters)
{
    EXPECT_EQ(m_font->DrawText(0, 0, std::string(300, 'A').c_str(), ~0u, 1.0f, 0), 254.0f * 2.0f);
    const std::vector<D3DCall> draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].d, 254u * 4);
    EXPECT_EQ(draws[0].f, 254u * 2);
}

TEST_F(FontTextTest, EmptyOrUnknownTextMakesNoDrawCall)
{
    EXPECT_EQ(m_font->DrawText(3, 0, "", ~0u, 1.0f, 0), 3.0f);
    EXPECT_EQ(m_font->DrawText(4, 0, "xyz", ~0u, 1.0f, 0), 4.0f);
    EXPECT_EQ(m_font->DrawText(5, 0, nullptr, ~0u, 1.0f, 0), 5.0f);
    EXPECT_TRUE(Draws().empty());
    EXPECT_EQ(DrawnFaces(), 0u);
}

TEST_F(FontTextTest, WidthIsCutBeforeScalingAndThePenAfter)
{
    // Per character the sum is cut: 2.4 -> 2, then 6.4 -> 6; times 10 is 60.
    // The pen cuts 24 and 68 after scaling.
    EXPECT_FLOAT_EQ(m_font->GetTextWidth("AB", 10.0f, 0), 60.0f);
    EXPECT_EQ(m_font->DrawText(0, 0, "AB", ~0u, 10.0f, 0), 68.0f);
    EXPECT_FLOAT_EQ(m_font->GetTextWidth("AxB", 10.0f, 0), 60.0f);
}

TEST_F(FontTextTest, PenPositionsAreWholeNumbers)
{
    for (float size : {0.37f, 0.525f, 1.3f, 2.71f}) {
        const float pen = m_font->DrawText(11, 0, "ABBA", ~0u, size, 0);
        EXPECT_EQ(pen, static_cast<float>(static_cast<int>(pen))) << size;
    }
}

TEST_F(FontTextTest, GlowTextSkipsHalosBehindBlanks)
{
    EXPECT_EQ(m_font->DrawGlowText(0, 0, "A B", ~0u, 0x80FF8000u, 10.0f), m_font->DrawText(0, 0, "A B", ~0u, 10.0f, 0));
    std::vector<D3DCall> discs;
    for (const D3DCall& c : Draws())
        if (c.a == DWORD(D3DPT_TRIANGLEFAN))
            discs.push_back(c);
    ASSERT_EQ(discs.size(), 2u);
    const std::vector<CScreenVertex> a = VerticesOf<CScreenVertex>(discs[0]);
    const std::vector<CScreenVertex> b = VerticesOf<CScreenVertex>(discs[1]);
    // Centre over the glyph's middle and half a line down; the rim fades out.
    EXPECT_FLOAT_EQ(a[0].x, 10.0f);
    EXPECT_FLOAT_EQ(a[0].y, 21.0f);
    EXPECT_EQ(a[0].colour, 0x80FF8000u);
    EXPECT_EQ(a[1].colour, 0x00FF8000u);
    EXPECT_FLOAT_EQ(a[1].x - a[0].x, 3.0f * 0.6f * 10.0f);
    // A advances to 24, the blank (width 0) to 28: B's halo is at 28 + 20.
    EXPECT_FLOAT_EQ(b[0].x, 48.0f);
}

} // namespace
