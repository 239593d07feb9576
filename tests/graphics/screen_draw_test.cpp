// The 2-D and world-space drawing operations as the device sees them.
#include "graphics/ScreenDraw.h"
#include "screen_fixture.h"
#include "shell/Settings.h"
#include "support/TempDir.h"

#include <functional>

namespace {

using plat::D3DCall;
using plat::D3DOp;
using test::ScreenDrawTest;

TEST_F(ScreenDrawTest, FullScreenRectCoversTheBackBufferAtAnyResolution)
{
    Attach(1024, 768);
    ClearLog();
    CScreenDraw::DrawRect(0.0f, 0.0f, 800.0f, 600.0f, 0xFF102030u, INVALID_TEXTURE_ID);

    const std::vector<D3DCall> draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].a, DWORD(D3DPT_TRIANGLESTRIP));
    EXPECT_EQ(draws[0].c, 2u);
    EXPECT_EQ(draws[0].d, 28u);
    const std::vector<CScreenVertex> v = VerticesOf<CScreenVertex>(draws[0]);
    ASSERT_EQ(v.size(), 4u);
    const float expected[4][4] = {
        {0.0f, 0.0f, 0.001f, 0.001f},
        {0.0f, 768.0f, 0.001f, 0.999f},
        {1024.0f, 0.0f, 0.999f, 0.001f},
        {1024.0f, 768.0f, 0.999f, 0.999f},
    };
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(v[i].x, expected[i][0]) << i;
        EXPECT_FLOAT_EQ(v[i].y, expected[i][1]) << i;
        EXPECT_FLOAT_EQ(v[i].u, expected[i][2]) << i;
        EXPECT_FLOAT_EQ(v[i].v, expected[i][3]) << i;
        EXPECT_EQ(v[i].z, 0.0f);
        EXPECT_EQ(v[i].rhw, 1.0f);
        EXPECT_EQ(v[i].colour, 0xFF102030u);
    }
    EXPECT_EQ(DrawnFaces(), 2u);
}

// After the texture binding: fog, depth test, depth writes, lighting, then
// the vertex format and the draw.
TEST_F(ScreenDrawTest, ScreenStatesFollowTheTextureBindingInOrder)
{
    ClearLog();
    CScreenDraw::DrawFrame(10.0f, 10.0f, 20.0f, 20.0f, 0x80FFFFFFu);
    std::vector<std::pair<D3DOp, DWORD>> seen;
    for (const D3DCall& c : Log().Calls())
        seen.emplace_back(c.op, c.op == D3DOp::SetRenderState ? c.a : 0);
    const std::vector<std::pair<D3DOp, DWORD>> expected = {
        {D3DOp::SetTexture, 0},
        {D3DOp::SetRenderState, D3DRS_ALPHABLENDENABLE},
        {D3DOp::SetRenderState, D3DRS_SRCBLEND},
        {D3DOp::SetRenderState, D3DRS_DESTBLEND},
        {D3DOp::SetRenderState, D3DRS_FOGENABLE},
        {D3DOp::SetRenderState, D3DRS_ZENABLE},
        {D3DOp::SetRenderState, D3DRS_ZWRITEENABLE},
        {D3DOp::SetRenderState, D3DRS_LIGHTING},
        {D3DOp::SetFVF, 0},
        {D3DOp::DrawPrimitiveUP, 0},
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(Log().Of(D3DOp::SetFVF)[0].a, DWORD(SCREEN_VERTEX_FVF));
    const std::vector<D3DCall> draws = Draws();
    EXPECT_EQ(draws[0].a, DWORD(D3DPT_LINESTRIP));
    EXPECT_EQ(draws[0].c, 4u);
}

struct BlendCase {
    const char* what;
    std::function<void()> draw;
    DWORD blendOn, src, dest;
};

TEST_F(ScreenDrawTest, AlphaRuleDecidesBlending)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    const D3DXVECTOR3 quad[4] = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}};
    const BlendCase cases[] = {
        {"opaque rectangle", [] { CScreenDraw::DrawRectGradient(0, 0, 9, 9, ~0u, ~0u, ~0u, ~0u, 3); },
         FALSE, D3DBLEND_ONE, D3DBLEND_ZERO},
        {"one corner 0xFE",
         [] { CScreenDraw::DrawRectGradient(0, 0, 9, 9, ~0u, ~0u, ~0u, 0xFEFFFFFFu, INVALID_TEXTURE_ID); }, TRUE,
         D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
        {"pointer rect, no texture, opaque", [] { CScreenDraw::DrawTexturePointerRect(0, 0, 9, 9, ~0u, nullptr); },
         FALSE, D3DBLEND_ONE, D3DBLEND_ZERO},
        {"pointer rect, texture, opaque",
         [&] { CScreenDraw::DrawTexturePointerRect(0, 0, 9, 9, ~0u, texture); }, TRUE, D3DBLEND_SRCALPHA,
         D3DBLEND_INVSRCALPHA},
        {"pointer rect, translucent",
         [] { CScreenDraw::DrawTexturePointerRect(0, 0, 9, 9, 0x7FFFFFFFu, nullptr); }, TRUE, D3DBLEND_SRCALPHA,
         D3DBLEND_INVSRCALPHA},
        {"additive rect", [] { CScreenDraw::DrawAdditiveRect(0, 0, 9, 9, ~0u, INVALID_TEXTURE_ID); }, TRUE,
         D3DBLEND_ONE, D3DBLEND_ONE},
        {"glow disc", [] { CScreenDraw::DrawGlowDisc(5, 5, 3, ~0u, ~0u, 1, 1); }, TRUE, D3DBLEND_ONE,
         D3DBLEND_ONE},
        {"disc, opaque", [] { CScreenDraw::DrawDisc(5, 5, 3, ~0u, ~0u, 1, 1, nullptr); }, FALSE, D3DBLEND_ONE,
         D3DBLEND_ZERO},
        {"disc, clear rim", [] { CScreenDraw::DrawDisc(5, 5, 3, ~0u, 0x00FFFFFFu, 1, 1, nullptr); }, TRUE,
         D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
        {"quad 3-D, textured, opaque", [&] { CScreenDraw::DrawQuad3D(quad, ~0u, 7); }, TRUE, D3DBLEND_SRCALPHA,
         D3DBLEND_INVSRCALPHA},
        {"quad 3-D, untextured, opaque", [&] { CScreenDraw::DrawQuad3D(quad, ~0u, INVALID_TEXTURE_ID); }, FALSE,
         D3DBLEND_ONE, D3DBLEND_ZERO},
        {"line 3-D, one end translucent",
         [&] { CScreenDraw::DrawLine3DGradient(&quad[0], &quad[1], ~0u, 0x01FFFFFFu); }, TRUE, D3DBLEND_SRCALPHA,
         D3DBLEND_INVSRCALPHA},
    };
    for (const BlendCase& c : cases) {
        ClearLog();
        c.draw();
        DWORD on = 7, src = 0, dest = 0;
        ASSERT_TRUE(StateSet(D3DRS_ALPHABLENDENABLE, &on)) << c.what;
        StateSet(D3DRS_SRCBLEND, &src);
        StateSet(D3DRS_DESTBLEND, &dest);
        EXPECT_EQ(on, c.blendOn) << c.what;
        EXPECT_EQ(src, c.src) << c.what;
        EXPECT_EQ(dest, c.dest) << c.what;
    }
    texture->Release();
}

TEST_F(ScreenDrawTest, PanelStyleBevelScalesAndAddsTwoHalos)
{
    Attach(1600, 1200);
    ClearLog();
    CScreenDraw::DrawBevelFrame(100.0f, 100.0f, 200.0f, 150.0f, 0xFF00FF00u, 5);
    const std::vector<D3DCall> draws = Draws();
    ASSERT_EQ(draws.size(), 3u);
    // Device pixels: (200, 200) to (400, 300); cut 5, then the halos with cut
    // 6 grown by 1 and by 1.5 pixels, at half the alpha.
    const float grow[3] = {0.0f, 1.0f, 1.5f};
    const float cut[3] = {5.0f, 6.0f, 6.0f};
    const DWORD colour[3] = {0xFF00FF00u, 0x7F00FF00u, 0x7F00FF00u};
    for (int d = 0; d < 3; ++d) {
        EXPECT_EQ(draws[d].a, DWORD(D3DPT_LINESTRIP));
        EXPECT_EQ(draws[d].c, 8u);
        const std::vector<CScreenVertex> v = VerticesOf<CScreenVertex>(draws[d]);
        ASSERT_EQ(v.size(), 9u);
        const float l = 200.0f - grow[d], t = 200.0f - grow[d], r = 400.0f + grow[d], b = 300.0f + grow[d];
        EXPECT_FLOAT_EQ(v[0].x, l + cut[d]);
        EXPECT_FLOAT_EQ(v[0].y, t);
        EXPECT_FLOAT_EQ(v[1].x, l);
        EXPECT_FLOAT_EQ(v[1].y, t + cut[d]);
        EXPECT_FLOAT_EQ(v[5].x, r);
        EXPECT_FLOAT_EQ(v[5].y, b - cut[d]);
        EXPECT_FLOAT_EQ(v[8].x, v[0].x);
        EXPECT_FLOAT_EQ(v[8].y, v[0].y);
        EXPECT_EQ(v[3].colour, colour[d]);
    }
    // The halos set no state of their own.
    EXPECT_EQ(Log().Count(D3DOp::SetFVF), 1u);
    EXPECT_EQ(DrawnFaces(), 18u);
}

TEST_F(ScreenDrawTest, OtherBevelStylesDrawBarePixelsWithoutStates)
{
    Attach(1024, 768);
    ClearLog();
    CScreenDraw::DrawBevelFrame(10.0f, 20.0f, 50.0f, 60.0f, 0x80FFFFFFu, 3);
    EXPECT_EQ(Log().Count(D3DOp::SetRenderState), 0u);
    EXPECT_EQ(Log().Count(D3DOp::SetTexture), 0u);
    EXPECT_EQ(Log().Count(D3DOp::SetFVF), 0u);
    const std::vector<D3DCall> draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    const std::vector<CScreenVertex> v = VerticesOf<CScreenVertex>(draws[0]);
    ASSERT_EQ(v.size(), 9u);
    EXPECT_FLOAT_EQ(v[0].x, 13.0f);
    EXPECT_FLOAT_EQ(v[0].y, 20.0f);
    EXPECT_FLOAT_EQ(v[6].x, 50.0f);
    EXPECT_FLOAT_EQ(v[6].y, 23.0f);
    EXPECT_EQ(DrawnFaces(), 6u);
}

TEST_F(ScreenDrawTest, BevelPanelCutStaysFivePixels)
{
    Attach(1024, 768);
    ClearLog();
    CScreenDraw::DrawBevelRectGradient(0.0f, 0.0f, 400.0f, 300.0f, 0xFF000001u, 0xFF000002u, 0xFF000003u,
                                       0xFF000004u);
    const std::vector<D3DCall> draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].a, DWORD(D3DPT_TRIANGLESTRIP));
    EXPECT_EQ(draws[0].c, 6u);
    const std::vector<CScreenVertex> v = VerticesOf<CScreenVertex>(draws[0]);
    ASSERT_EQ(v.size(), 8u);
    const float expected[8][2] = {{0, 5},   {0, 379},   {5, 0},   {5, 384},
                                  {507, 0}, {507, 384}, {512, 5}, {512, 379}};
    const DWORD colours[8] = {1, 2, 1, 2, 3, 4, 3, 4};
    for (int i = 0; i < 8; ++i) {
        EXPECT_FLOAT_EQ(v[i].x, expected[i][0]) << i;
        EXPECT_FLOAT_EQ(v[i].y, expected[i][1]) << i;
        EXPECT_EQ(v[i].colour & 0xFF, colours[i]) << i;
    }
    EXPECT_EQ(DrawnFaces(), 6u);
}

class DiscTest : public ScreenDrawTest {
protected:
    void SetUp() override
    {
        ScreenDrawTest::SetUp();
        LoadSettings("Game.ini"); // fills the unit-circle table
    }
    test::ScopedTempDir m_dir;
};

TEST_F(DiscTest, DiscIsAFanOfFifteenOverTheUnitCircle)
{
    Attach(1600, 1200);
    ClearLog();
    CScreenDraw::DrawDisc(100.0f, 50.0f, 10.0f, 0xFFFF0000u, 0x0000FF00u, 2.0f, 1.0f, nullptr);
    const std::vector<D3DCall> draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].a, DWORD(D3DPT_TRIANGLEFAN));
    EXPECT_EQ(draws[0].c, 15u);
    const std::vector<CScreenVertex> v = VerticesOf<CScreenVertex>(draws[0]);
    ASSERT_EQ(v.size(), 17u);
    EXPECT_FLOAT_EQ(v[0].x, 200.0f);
    EXPECT_FLOAT_EQ(v[0].y, 100.0f);
    EXPECT_EQ(v[0].colour, 0xFFFF0000u);
    EXPECT_FLOAT_EQ(v[0].u, 0.5f);
    // Record 1 is (1, 0): radius x scale x stretch to the right.
    EXPECT_FLOAT_EQ(v[1].x, 240.0f);
    EXPECT_NEAR(v[1].y, 100.0f, 1e-4f);
    EXPECT_FLOAT_EQ(v[1].u, 1.0f);
    for (int i = 1; i < 17; ++i) {
        EXPECT_EQ(v[i].colour, 0x0000FF00u) << i;
        const float dx = (v[i].x - 200.0f) / 40.0f, dy = (v[i].y - 100.0f) / 20.0f;
        EXPECT_NEAR(dx * dx + dy * dy, 1.0f, 1e-4f) << i;
    }
    EXPECT_NEAR(v[16].x, v[1].x, 1e-3f);
    EXPECT_NEAR(v[16].y, v[1].y, 1e-3f);
    EXPECT_EQ(DrawnFaces(), 16u);
}

TEST_F(DiscTest, ZeroRadiusDrawsADegenerateFan)
{
    ClearLog();
    CScreenDraw::DrawGlowDisc(30.0f, 40.0f, 0.0f, ~0u, 0u, 1.0f, 1.0f);
    const std::vector<D3DCall> draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    for (const CScreenVertex& v : VerticesOf<CScreenVertex>(draws[0])) {
        EXPECT_FLOAT_EQ(v.x, 30.0f);
        EXPECT_FLOAT_EQ(v.y, 40.0f);
    }
}

TEST_F(ScreenDrawTest, WorldLineKeepsDepthStatesAndUsesWorldSpace)
{
    const D3DXVECTOR3 a(1.0f, 2.0f, 3.0f), b(-4.0f, 5.0f, 6.5f);
    ClearLog();
    CScreenDraw::DrawLine3D(&a, &b, 0xFFABCDEFu);
    EXPECT_FALSE(StateSet(D3DRS_ZENABLE));
    EXPECT_FALSE(StateSet(D3DRS_ZWRITEENABLE));
    DWORD fog = 1, lighting = 1;
    EXPECT_TRUE(StateSet(D3DRS_FOGENABLE, &fog));
    EXPECT_TRUE(StateSet(D3DRS_LIGHTING, &lighting));
    EXPECT_EQ(fog, 0u);
    EXPECT_EQ(lighting, 0u);
    const std::vector<D3DCall> world = Log().Of(D3DOp::SetTransform);
    ASSERT_EQ(world.size(), 1u);
    EXPECT_EQ(world[0].a, DWORD(D3DTS_WORLD));
    D3DMATRIX m{};
    m_device->GetTransform(D3DTS_WORLD, &m);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(m.m[r][c], r == c ? 1.0f : 0.0f);
    EXPECT_EQ(Log().Of(D3DOp::SetFVF)[0].a, DWORD(WORLD_LINE_VERTEX_FVF));
    const std::vector<D3DCall> draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].a, DWORD(D3DPT_LINELIST));
    EXPECT_EQ(draws[0].d, 24u);
    const std::vector<CWorldLineVertex> v = VerticesOf<CWorldLineVertex>(draws[0]);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[1].x, -4.0f);
    EXPECT_EQ(v[1].z, 6.5f);
    EXPECT_EQ(DrawnFaces(), 0u);
}

TEST_F(ScreenDrawTest, WorldQuadTakesThePointsInOrder)
{
    const D3DXVECTOR3 p[4] = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 2}};
    ClearLog();
    CScreenDraw::DrawQuad3DGradient(p, 1u, 2u, 3u, 4u, INVALID_TEXTURE_ID);
    const std::vector<D3DCall> draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].a, DWORD(D3DPT_TRIANGLESTRIP));
    const std::vector<CWorldLineVertex> v = VerticesOf<CWorldLineVertex>(draws[0]);
    ASSERT_EQ(v.size(), 4u);
    const float uv[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(v[i].colour, DWORD(i + 1));
        EXPECT_EQ(v[i].u, uv[i][0]);
        EXPECT_EQ(v[i].v, uv[i][1]);
    }
    EXPECT_EQ(v[3].z, 2.0f);
    EXPECT_EQ(DrawnFaces(), 2u);
}

} // namespace
