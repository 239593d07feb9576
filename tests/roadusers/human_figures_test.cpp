// What the pedestrians share is loaded as the session starts: no pedestrian
// made afterwards reads a mesh or a texture, loading it draws no random
// number, and the session's end gives every reference back.
#include "human_fixture.h"

#include "graphics/MeshContainer.h"

namespace {

using test::HumanTest;

struct LoadedCounts {
    int textures = 0;
    int meshes = 0;
    bool operator==(const LoadedCounts&) const = default;
};

LoadedCounts CountLoaded()
{
    LoadedCounts counts;
    for (TextureId id = 0; id < MAX_TEXTURES; ++id)
        counts.textures += g_D3DRender.m_TextureManager.GetTexture(id) ? 1 : 0;
    for (const CMeshRecord* mesh = g_MeshContainer.m_pHead; mesh; mesh = mesh->m_pNext)
        ++counts.meshes;
    return counts;
}

TEST_F(HumanTest, FiguresLoadEverythingAPedestrianNeedsWithoutARandomDraw)
{
    // Clothing drawn per stage names its own textures; otherwise only the
    // body's are the figure's to load.
    for (int perStage : {1, 0}) {
        SCOPED_TRACE(perStage);
        g_D3DRender.m_bPerStageConstant = perStage;
        const LoadedCounts before = CountLoaded();
        std::srand(5);
        const int expected = std::rand();
        std::srand(5);
        g_HumanManager.LoadFigures();
        EXPECT_EQ(std::rand(), expected) << "loading the figures drew a random number";
        ASSERT_NE(g_HumanManager.m_pFigures[0], nullptr);
        ASSERT_NE(g_HumanManager.m_pFigures[1], nullptr);
        const LoadedCounts loaded = CountLoaded();
        EXPECT_GT(loaded.meshes, before.meshes);
        // Pedestrians of both genders with every random variant, and each
        // one gone again at once, as they come and go in play.
        for (int i = 0; i < 24; ++i) {
            CHuman* human = Make(test::KerbPoint(), 0, i % 2);
            ASSERT_NE(human->m_pMesh, nullptr);
            EXPECT_EQ(CountLoaded(), loaded) << "pedestrian " << i << " loaded something of its own";
            if (i % 3 == 0)
                g_HumanManager.RemoveHuman(human);
        }
        g_HumanManager.Clear();
        EXPECT_EQ(g_HumanManager.m_pFigures[0], nullptr);
        EXPECT_EQ(CountLoaded(), before) << "the session's end kept a reference";
    }
}

// The warm-up's stand-ins join the list in view and leave it as they came,
// the pedestrians around them untouched.
TEST_F(HumanTest, FiguresShownForTheWarmUpLeaveTheListAsItWas)
{
    CHuman* walker = Make(test::KerbPoint());
    g_HumanManager.LoadFigures();
    g_HumanManager.ShowFigures(1, 0.5f);
    ASSERT_EQ(g_HumanManager.m_nHumans, 3u);
    for (std::uint32_t i = 1; i < 3; ++i) {
        const CHuman* figure = g_HumanManager.m_pHumans[i];
        EXPECT_EQ(figure, g_HumanManager.m_pFigures[i - 1]);
        EXPECT_TRUE(figure->m_bVisible);
        EXPECT_EQ(figure->m_Material.Diffuse.a, 0.5f);
        EXPECT_GE(figure->m_nBodyTexture, 0);
    }
    g_HumanManager.ShowFigures(1, 1.0f); // shown again: not listed twice
    EXPECT_EQ(g_HumanManager.m_nHumans, 3u);
    g_HumanManager.ShowFigures(0, 1.0f);
    ASSERT_EQ(g_HumanManager.m_nHumans, 1u);
    EXPECT_EQ(g_HumanManager.m_pHumans[0], walker);
    EXPECT_EQ(g_HumanManager.m_pHumans[1], nullptr);
}

} // namespace
