// Info screens: the board list, picture runs, and render targets kept only
// near the camera, drawn through the headless device.
#include "objects/static_object_fixture.h"

#include "world/InfoScreenManager.h"

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

TEST(InfoScreenLayer, AlphaFadesInAndOut)
{
    const struct {
        float t, alpha;
    } cases[] = {{0.0f, 0.0f}, {0.2f, 0.5f}, {0.4f, 1.0f}, {0.5f, 1.0f}, {0.6f, 1.0f}, {0.7f, 0.75f}, {1.0f, 0.0f}};
    for (const auto& c : cases)
        EXPECT_NEAR(InfoScreenLayerAlpha(c.t), c.alpha, 1e-5f) << c.t;
}

// Whatever the draws, a run shows one of the eight pictures for 3..10 s at
// one to four times the board's size, framed so it covers the whole board.
TEST(InfoScreenPick, PictureAlwaysCoversTheBoard)
{
    CStaticObject owner;
    for (int kind : {0, 3}) {
        CInfoScreen screen(kind, &owner);
        const float w = static_cast<float>(screen.m_nWidth), h = static_cast<float>(screen.m_nHeight);
        for (unsigned seed = 1; seed <= 200; ++seed) {
            std::srand(seed);
            screen.PickItem(static_cast<int>(seed % 3));
            const int l = static_cast<int>(seed % 3);
            ASSERT_GE(screen.m_nItem[l], 0);
            ASSERT_LT(screen.m_nItem[l], 8);
            ASSERT_GE(screen.m_fDuration[l], 3.0f);
            ASSERT_LE(screen.m_fDuration[l], 10.0f);
            for (int k = 0; k < 2; ++k) {
                const D3DXVECTOR2 size = k ? screen.m_vSizeTo[l] : screen.m_vSizeFrom[l];
                const D3DXVECTOR2 pos = k ? screen.m_vPosTo[l] : screen.m_vPosFrom[l];
                ASSERT_GE(size.x, w);
                ASSERT_LE(size.x, 4.0f * w);
                ASSERT_GE(size.y, h);
                ASSERT_LE(size.y, 4.0f * h);
                ASSERT_LE(pos.x, 0.0f);
                ASSERT_LE(pos.y, 0.0f);
                ASSERT_GE(pos.x + size.x, w) << seed;
                ASSERT_GE(pos.y + size.y, h) << seed;
            }
        }
    }
}

TEST(InfoScreenList, RegistrationStopsAt128AndUnregisterIgnoresStrangers)
{
    CStaticObject owner;
    std::vector<std::unique_ptr<CInfoScreen>> boards;
    for (int i = 0; i < INFO_SCREEN_MAX + 2; ++i)
        boards.push_back(std::make_unique<CInfoScreen>(i % 4, &owner));
    EXPECT_EQ(g_InfoScreens.m_nScreens, static_cast<std::uint32_t>(INFO_SCREEN_MAX));
    EXPECT_EQ(boards.back()->m_pManager, nullptr);
    CInfoScreen* stranger = boards.back().get();
    g_InfoScreens.Unregister(stranger);
    EXPECT_EQ(g_InfoScreens.m_nScreens, static_cast<std::uint32_t>(INFO_SCREEN_MAX));
    boards.erase(boards.begin());
    EXPECT_EQ(g_InfoScreens.m_nScreens, static_cast<std::uint32_t>(INFO_SCREEN_MAX - 1));
    EXPECT_EQ(g_InfoScreens.m_pScreens[0], boards[0].get()) << "the order is kept";
    boards.clear();
    EXPECT_EQ(g_InfoScreens.m_nScreens, 0u);
}

class InfoScreenRender : public test::StaticObjectTest {
protected:
    void SetUp() override
    {
        StaticObjectTest::SetUp();
        g_D3DRender.m_fScreenWidth = 1024.0f;
        g_D3DRender.m_fScreenHeight = 768.0f;
        g_D3DRender.m_fScaleX = 1024.0f / 800.0f;
        g_D3DRender.m_fScaleY = 768.0f / 600.0f;
        g_InfoScreens.Init();
        m_owner.m_bVisible = 1;
    }
    void TearDown() override
    {
        m_screen.reset();
        g_InfoScreens.Release();
        StaticObjectTest::TearDown();
    }
    CStaticObject m_owner;
    std::unique_ptr<CInfoScreen> m_screen;
};

// The target is kept up to 200 from the camera and dropped beyond; the
// renderer's screen size, scales and target come back after the boards.
TEST_F(InfoScreenRender, TargetKeptWithin200AndStateRestored)
{
    m_screen = std::make_unique<CInfoScreen>(0, &m_owner);
    IDirect3DSurface9* before = nullptr;
    m_device->GetRenderTarget(0, &before);
    const struct {
        float distance;
        bool kept;
    } cases[] = {{10.0f, true}, {200.0f, true}, {200.1f, false}, {150.0f, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.distance);
        m_owner.m_fCameraDistance = c.distance;
        g_InfoScreens.Render();
        EXPECT_EQ(m_screen->m_pTexture != nullptr, c.kept);
        EXPECT_EQ(g_D3DRender.m_fScreenWidth, 1024.0f);
        EXPECT_EQ(g_D3DRender.m_fScreenHeight, 768.0f);
        EXPECT_EQ(g_D3DRender.m_fScaleX, 1024.0f / 800.0f);
        EXPECT_EQ(g_D3DRender.m_fScaleY, 768.0f / 600.0f);
        IDirect3DSurface9* after = nullptr;
        m_device->GetRenderTarget(0, &after);
        EXPECT_EQ(after, before);
        if (after)
            after->Release();
    }
    if (before)
        before->Release();
    g_InfoScreens.OnLostDevice();
    EXPECT_EQ(m_screen->m_pTexture, nullptr);
}

TEST_F(InfoScreenRender, HiddenOwnerDrawsNothing)
{
    m_screen = std::make_unique<CInfoScreen>(3, &m_owner);
    m_owner.m_bVisible = 0;
    m_owner.m_fCameraDistance = 10.0f;
    g_InfoScreens.Render();
    EXPECT_EQ(m_screen->m_pTexture, nullptr);
    EXPECT_EQ(m_screen->m_nItem[0], -1) << "no picture was chosen";
}

// The upright advert board shows two picture layers and no title layer.
TEST_F(InfoScreenRender, UprightBoardUsesTwoLayers)
{
    m_screen = std::make_unique<CInfoScreen>(3, &m_owner);
    m_owner.m_fCameraDistance = 10.0f;
    g_InfoScreens.Render();
    ASSERT_NE(m_screen->m_pTexture, nullptr);
    EXPECT_GE(m_screen->m_nItem[0], 0);
    EXPECT_GE(m_screen->m_nItem[1], 0);
    EXPECT_EQ(m_screen->m_nItem[2], -1);
}

// A lost device takes every target; the reset makes it again at once for a
// board near the camera (so the first frame after it has a surface to
// show), at the board's size, and not for a board beyond keeping distance.
TEST_F(InfoScreenRender, AResetGivesNearBoardsTheirTargetBack)
{
    const struct {
        int kind;
        float distance;
        bool target;
        UINT width, height;
    } cases[] = {
        {0, 10.0f, true, 512, 256},
        {3, INFO_SCREEN_DISTANCE, true, 256, 512},
        {2, INFO_SCREEN_DISTANCE + 0.1f, false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        m_screen = std::make_unique<CInfoScreen>(c.kind, &m_owner);
        m_owner.m_fCameraDistance = 10.0f;
        g_InfoScreens.Render();
        ASSERT_NE(m_screen->m_pTexture, nullptr);
        m_owner.m_fCameraDistance = c.distance;
        g_InfoScreens.OnLostDevice();
        EXPECT_EQ(m_screen->m_pTexture, nullptr);
        g_InfoScreens.OnResetDevice();
        ASSERT_EQ(m_screen->m_pTexture != nullptr, c.target);
        if (!c.target)
            continue;
        D3DSURFACE_DESC desc{};
        ASSERT_EQ(m_screen->m_pTexture->GetLevelDesc(0, &desc), D3D_OK);
        EXPECT_EQ(desc.Width, c.width);
        EXPECT_EQ(desc.Height, c.height);
        EXPECT_EQ(desc.Usage & D3DUSAGE_RENDERTARGET, static_cast<DWORD>(D3DUSAGE_RENDERTARGET));
    }
}

} // namespace
