// A race board placed in the world and drawn through the OpenGL back end:
// its picture is first drawn into the board's own texture, then shown on
// the board's self-lit surface, and the frame's target and sizes come back.
#include "GameRendererFixture.h"

#include "graphics/D3DRender.h"
#include "objects/MaterialEffects.h"
#include "shell/GameTimer.h"
#include "world/InfoScreenManager.h"
#include "world/Prop.h"
#include "world/PropManager.h"
#include "writers/PropDescriptions.h"

namespace gltest {
namespace {

constexpr D3DCOLOR kClear = 0xFF6080A0;
const char kBoard[] = "Data/Static/InfoScreen/01/Main1.obj";

class BoardPixelsTest : public GameRendererTest {
protected:
    void SetUp() override
    {
        GameRendererTest::SetUp();
        ASSERT_TRUE(tools::WritePropDescriptions(m_dir.Path().string()));
        StartRenderer();
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(g_Game.InitPhysics(), 1);
        CD3DRender& r = g_D3DRender;
        r.m_fScreenWidth = static_cast<float>(kWidth);
        r.m_fScreenHeight = static_cast<float>(kHeight);
        r.m_fScaleX = kWidth / 800.0f;
        r.m_fScaleY = kHeight / 600.0f;
        ASSERT_EQ(g_InfoScreens.Init(), 1);
        g_PropManager.Init();
    }
    void TearDown() override
    {
        g_PropManager.Clear();
        g_InfoScreens.Release();
        g_Game.ReleasePhysics();
        GameRendererTest::TearDown();
    }

    // The board at the origin with its screen facing the camera 8 in front
    // of it at the screen's middle height.
    CProp* PlaceBoard()
    {
        const D3DXVECTOR3 at(0, 0, 0), target(0, 0, 50), up(0, 1, 0);
        CProp* board = g_PropManager.AddProp(kBoard, &at, &target, &up, 0);
        if (!board)
            return nullptr;
        m_world->LookFrom(D3DXVECTOR3(0.0f, 4.25f, -8.0f));
        g_PropManager.RefreshVisibility();
        return board;
    }
};

TEST_F(BoardPixelsTest, TheBoardShowsItsPictureAndTheFrameStateComesBack)
{
    CProp* board = PlaceBoard();
    ASSERT_NE(board, nullptr);
    ASSERT_NE(board->m_pSelfIllum, nullptr);
    CInfoScreen* screen = board->m_pSelfIllum->m_pInfoScreen;
    ASSERT_NE(screen, nullptr) << "the board's surface carries a race board";
    ASSERT_EQ(board->m_bVisible, 1);

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClear, 1.0f, 0);
    IDirect3DSurface9 *before = nullptr, *depthBefore = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &before), D3D_OK);
    ASSERT_EQ(device->GetDepthStencilSurface(&depthBefore), D3D_OK);
    // A picture fades in from nothing over the first part of its 3 to 10 s:
    // by the third frame a second apart every layer is at least half in.
    g_GameTimer.m_fDelta = 1.0f;
    for (int frame = 0; frame < 3; ++frame)
        g_InfoScreens.Render();
    ASSERT_NE(screen->m_pTexture, nullptr);

    // The board's own picture: neither empty nor masked out.
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(screen->m_pTexture->GetSurfaceLevel(0, &level), D3D_OK);
    const plat::Pixels picture = Frame(level);
    level->Release();
    ASSERT_EQ(picture.width, 512u);
    ASSERT_EQ(picture.height, 256u);
    size_t lit = 0;
    for (UINT y = 32; y < 224; ++y)
        for (UINT x = 32; x < 480; ++x) {
            const std::uint32_t p = picture.At(x, y);
            lit += Red(p) + Green(p) + Blue(p) > 40;
        }
    EXPECT_GT(lit, 192u * 448u * 3 / 4) << "the middle of the board shows the picture";

    // The frame's target and depth surface, sizes, scales and viewport come
    // back.
    IDirect3DSurface9 *after = nullptr, *depthAfter = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &after), D3D_OK);
    ASSERT_EQ(device->GetDepthStencilSurface(&depthAfter), D3D_OK);
    EXPECT_EQ(after, before);
    EXPECT_EQ(depthAfter, depthBefore);
    for (IDirect3DSurface9* s : {before, after, depthBefore, depthAfter})
        s->Release();
    EXPECT_EQ(g_D3DRender.m_fScreenWidth, static_cast<float>(kWidth));
    EXPECT_EQ(g_D3DRender.m_fScreenHeight, static_cast<float>(kHeight));
    EXPECT_EQ(g_D3DRender.m_fScaleX, kWidth / 800.0f);
    EXPECT_EQ(g_D3DRender.m_fScaleY, kHeight / 600.0f);
    D3DVIEWPORT9 viewport{};
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.X, 0u);
    EXPECT_EQ(viewport.Y, 0u);
    EXPECT_EQ(viewport.Width, kWidth);
    EXPECT_EQ(viewport.Height, kHeight);
    for (std::uint32_t p : Frame().argb)
        ASSERT_TRUE(Near(p, kClear)) << "nothing of the board's picture lands in the frame";

    // The board in the world: its screen in the middle of the frame shows
    // the picture, not the clear colour nor a black surface.
    g_PropManager.Render(GTYPE_DECORS | GTYPE_LAMPPOST);
    g_PropManager.RenderLightEffects(GTYPE_BRIDGE | GTYPE_BUILDING | GTYPE_DECORS | GTYPE_LAMPPOST);
    const plat::Pixels frame = Frame();
    size_t shown = 0, total = 0;
    for (UINT y = kHeight / 2 - 6; y < kHeight / 2 + 6; ++y)
        for (UINT x = kWidth / 2 - 16; x < kWidth / 2 + 16; ++x) {
            const std::uint32_t p = frame.At(x, y);
            ++total;
            shown += !Near(p, kClear, 8) && Red(p) + Green(p) + Blue(p) > 40;
        }
    EXPECT_GT(shown, total * 3 / 4);
}

} // namespace
} // namespace gltest
