// The menu background's hold, cross-fade and swap on real time, with the
// renderer's reference-counted textures.
#include "menu_fixture.h"

#include <cstdlib>

namespace {

class BackgroundTest : public test::MenuTest {
protected:
    void SetUp() override
    {
        test::MenuTest::SetUp();
        g_GameMenu.LoadRandomBackground(3);
        std::srand(1);
    }
    void Step(float seconds)
    {
        g_GameTimer.m_fRealDelta = seconds;
        g_MenuBackground.Update();
    }
    static std::uint32_t References(TextureId id)
    {
        return id == INVALID_TEXTURE_ID ? 0 : g_D3DRender.m_TextureManager.m_nRefCount[id];
    }
    static std::uint32_t LoadedBackgrounds()
    {
        std::uint32_t n = 0;
        const CTextureManager& t = g_D3DRender.m_TextureManager;
        for (int i = 0; i < MAX_TEXTURES; ++i)
            if (t.m_pTextures[i] && std::strstr(t.m_szNames[i], "Backgrounds/Back") && !std::strstr(t.m_szNames[i], "Hider"))
                n += t.m_nRefCount[i];
        return n;
    }
};

TEST_F(BackgroundTest, HoldsFadesAndSwaps)
{
    CMenuBackground& b = g_MenuBackground;
    b.Start(1, 1);
    EXPECT_EQ(b.m_nCurrent, 3);
    ASSERT_NE(b.m_CurrentTexture, INVALID_TEXTURE_ID);
    Step(3.9f);
    EXPECT_EQ(b.m_NextTexture, INVALID_TEXTURE_ID) << "still holding";
    Step(0.2f);
    ASSERT_NE(b.m_NextTexture, INVALID_TEXTURE_ID) << "the next picture loads when the hold ends";
    const int next = b.m_nNext;
    EXPECT_GE(next, 1);
    EXPECT_LE(next, 12);
    Step(3.5f);
    EXPECT_NE(b.m_NextTexture, INVALID_TEXTURE_ID) << "still fading";
    Step(0.6f);
    EXPECT_EQ(b.m_nCurrent, next);
    EXPECT_EQ(b.m_NextTexture, INVALID_TEXTURE_ID);
    EXPECT_EQ(b.m_fHold, 0.0f);
    // The menu's own copy of picture 3 and the shown one: nothing leaks.
    EXPECT_EQ(LoadedBackgrounds(), 2u);
}

// The cross-fade runs on real time: a stopped game clock does not stop it.
TEST_F(BackgroundTest, RunsWhileTheGameClockStands)
{
    g_MenuBackground.Start(1, 1);
    g_GameTimer.m_fDelta = 0.0f;
    Step(3.9f);
    Step(0.5f);
    EXPECT_GT(g_MenuBackground.m_fFade, 0.0f);
}

TEST_F(BackgroundTest, SwitchingOffMidFadeReleasesBoth)
{
    g_MenuBackground.Start(1, 1);
    Step(3.9f);
    Step(1.0f);
    ASSERT_NE(g_MenuBackground.m_NextTexture, INVALID_TEXTURE_ID);
    g_MenuBackground.Start(0, 1);
    EXPECT_EQ(g_MenuBackground.m_CurrentTexture, INVALID_TEXTURE_ID);
    EXPECT_EQ(g_MenuBackground.m_NextTexture, INVALID_TEXTURE_ID);
    EXPECT_EQ(LoadedBackgrounds(), 1u) << "only the menu's own picture is left";
    Step(10.0f);
    EXPECT_EQ(g_MenuBackground.m_NextTexture, INVALID_TEXTURE_ID) << "off means no loading";
}

// A missing picture is asked for again at the next hold, not every frame,
// and never replaces the picture shown.
TEST_F(BackgroundTest, MissingPicturesMakeNoStormOfBoxes)
{
    g_MenuBackground.Start(1, 1);
    const TextureId shown = g_MenuBackground.m_CurrentTexture;
    std::filesystem::remove_all(m_dir.Path() / "Data/Interface/GameMenu/Backgrounds");
    const unsigned before = plat::MessageBoxCount();
    Step(4.0f);
    for (int i = 0; i < 100; ++i)
        Step(0.03f);
    EXPECT_EQ(plat::MessageBoxCount() - before, 1u);
    Step(1.0f);
    EXPECT_EQ(g_MenuBackground.m_CurrentTexture, shown);
    EXPECT_GE(References(shown), 1u);
    Step(4.1f);
    EXPECT_EQ(plat::MessageBoxCount() - before, 2u);
}

} // namespace
