// The programs a GL device compiles for one game of a run are given back by
// the game's reset: every game starts with what its own start compiles, not
// with every program the games before it drew with.
#include "GlFixture.h"

#include "graphics/D3DRender.h"
#include "shell/Game.h"

#include <vector>

namespace gltest {
namespace {

class SessionProgramsTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        m_saved = g_D3DRender.m_pDevice;
        g_D3DRender.m_pDevice = device;
    }
    void TearDown() override
    {
        g_D3DRender.m_pDevice = m_saved;
        SceneTest::TearDown();
    }

    IDirect3DDevice9* m_saved = nullptr;
};

TEST_F(SessionProgramsTest, EveryGameOfARunStartsWithTheProgramsOfItsOwnStart)
{
    D3DMATERIAL9 material{};
    material.Diffuse = {1, 1, 1, 1};
    device->SetMaterial(&material);
    D3DLIGHT9 sun{};
    sun.Type = D3DLIGHT_DIRECTIONAL;
    sun.Diffuse = {1, 1, 1, 1};
    sun.Direction = {0, 0, 1};
    device->SetLight(0, &sun);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    // What each game meets in play that its start did not show: a lit draw
    // with an alpha test of its own.
    const DWORD sights[] = {D3DCMP_GREATER, D3DCMP_LESS, D3DCMP_EQUAL};
    std::vector<size_t> atStart;
    for (DWORD sight : sights) {
        // The start's warm-up draws.
        device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        DrawQuad();
        atStart.push_back(plat::ProgramCacheSize(device));
        device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        device->SetRenderState(D3DRS_ALPHAFUNC, sight);
        DrawQuad();
        EXPECT_GT(plat::ProgramCacheSize(device), atStart.back()) << "play compiled a program of its own";
        g_Game.Reset();
    }
    ASSERT_GT(atStart[0], 0u);
    EXPECT_EQ(atStart[1], atStart[0]) << "the second game";
    EXPECT_EQ(atStart[2], atStart[0]) << "the third game";
}

} // namespace
} // namespace gltest
