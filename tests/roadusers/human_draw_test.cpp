// Pedestrians on the recording device: the pass set-up and reset with and
// without per-stage constants, each pedestrian's alpha and tints, the
// ragdoll's part draws and the shadow distance.
#include "roadusers/human_fixture.h"

namespace {

using plat::D3DCall;
using plat::D3DOp;

class HumanDrawTest : public test::HumanTest {
protected:
    void SetUp() override
    {
        HumanTest::SetUp();
        g_D3DRender.SetDefaultStates();
        g_Game.m_pCamera = &m_camera;
    }
    void TearDown() override
    {
        g_Game.m_pCamera = nullptr;
        HumanTest::TearDown();
    }
    plat::DeviceLog& Calls() { return plat::RecordedCalls(m_device); }
    DWORD Stage(DWORD stage, D3DTEXTURESTAGESTATETYPE type)
    {
        DWORD v = 0;
        m_device->GetTextureStageState(stage, type, &v);
        return v;
    }
    CHuman* Ready(float distance, float fade = 1.0f)
    {
        CHuman* h = Make(test::KerbPoint());
        h->m_bAlive = h->m_bVisible = 1;
        h->m_fCameraDistance = distance;
        h->m_Material.Diffuse.a = fade;
        return h;
    }
    CWorldCamera m_camera;
};

TEST_F(HumanDrawTest, PassSetUpAndResetWithAndWithoutStageConstants)
{
    Ready(10.0f);
    for (int constants : {1, 0}) {
        g_D3DRender.m_bPerStageConstant = constants;
        Calls().Clear();
        DWORD during[7] = {};
        // The stage table as the pedestrian draws with it.
        g_HumanManager.Render();
        bool drawn = false;
        std::vector<D3DCall> draws = Calls().Of(D3DOp::DrawIndexedPrimitive);
        drawn = !draws.empty();
        EXPECT_TRUE(drawn) << constants;
        // Replay the log's stage states up to the first draw.
        for (const D3DCall& c : Calls().Calls()) {
            if (c.op == D3DOp::DrawIndexedPrimitive)
                break;
            if (c.op == D3DOp::SetTextureStageState && c.b == D3DTSS_COLOROP && c.a < 7)
                during[c.a] = c.c;
        }
        EXPECT_EQ(during[0], DWORD(D3DTOP_SELECTARG1));
        for (DWORD s = 1; s <= 3; ++s)
            EXPECT_EQ(during[s], DWORD(constants ? D3DTOP_MULTIPLYADD : D3DTOP_ADD)) << s;
        EXPECT_EQ(during[4], DWORD(D3DTOP_MODULATEINVALPHA_ADDCOLOR));
        EXPECT_EQ(during[5], DWORD(D3DTOP_MODULATE));
        EXPECT_EQ(during[6], DWORD(D3DTOP_MODULATE));
        EXPECT_EQ(Calls().Of(D3DOp::SetFVF).front().a, 0x112u);
        // Reset afterwards.
        EXPECT_EQ(Stage(0, D3DTSS_COLOROP), DWORD(D3DTOP_MODULATE));
        for (DWORD s = 1; s <= 6; ++s)
            EXPECT_EQ(Stage(s, D3DTSS_COLOROP), DWORD(D3DTOP_DISABLE)) << s;
        EXPECT_EQ(Stage(6, D3DTSS_TEXCOORDINDEX), 0u);
        EXPECT_EQ(Stage(6, D3DTSS_TEXTURETRANSFORMFLAGS), 0u);
    }
}

TEST_F(HumanDrawTest, DistanceAlphaAndTintConstants)
{
    CHuman* h = Ready(50.0f, 0.0f);
    h->m_Clothing[0].r = 1.0f;
    h->m_Clothing[0].g = 0.5f;
    h->m_Clothing[0].b = 0.0f;
    struct Case {
        float distance, fade;
        bool drawn, blended;
    };
    for (const Case k : {Case{50.0f, 0.0f, true, true}, Case{50.01f, 0.0f, false, false},
                         Case{10.0f, 1.0f, true, false}}) {
        h->m_fCameraDistance = k.distance;
        h->m_Material.Diffuse.a = k.fade;
        Calls().Clear();
        g_HumanManager.Render();
        EXPECT_EQ(Calls().Count(D3DOp::DrawIndexedPrimitive) > 0, k.drawn) << k.distance;
        if (!k.drawn)
            continue;
        DWORD blend = 0;
        ASSERT_TRUE(Calls().LastRenderState(D3DRS_ALPHABLENDENABLE, &blend) || !k.blended);
        EXPECT_EQ(blend != 0, k.blended) << k.distance;
        DWORD constant = 0;
        for (const D3DCall& c : Calls().Calls())
            if (c.op == D3DOp::SetTextureStageState && c.a == 1 && c.b == D3DTSS_CONSTANT)
                constant = c.c;
        EXPECT_EQ(constant, 0xFFFF7F00u) << "alpha 255, channels truncated";
    }
}

TEST_F(HumanDrawTest, RagdollDrawsElevenPartsAtTheirBodies)
{
    CHuman* h = Ready(10.0f);
    h->SetRagdoll(1);
    ASSERT_NE(h->m_pRagdoll, nullptr);
    Calls().Clear();
    g_HumanManager.Render();
    const auto draws = Calls().Of(D3DOp::DrawIndexedPrimitive);
    ASSERT_EQ(draws.size(), 11u);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(draws[i].b, 0u);
        EXPECT_EQ(draws[i].c, DWORD(h->m_PartVertices[i].first)) << i;
        EXPECT_EQ(draws[i].e, DWORD(h->m_PartTriangles[i].first * 3)) << i;
        EXPECT_EQ(draws[i].f, DWORD(h->m_PartTriangles[i].count)) << i;
    }
    // A part whose range runs past the mesh, or is empty, is not drawn.
    h->m_PartTriangles[3].count = 0;
    h->m_PartVertices[4].count = 1000000;
    Calls().Clear();
    g_HumanManager.Render();
    EXPECT_EQ(Calls().Count(D3DOp::DrawIndexedPrimitive), 9u);
    h->SetRagdoll(0);
}

TEST_F(HumanDrawTest, ShadowsOnlyWithin25)
{
    CHuman* h = Ready(25.0f);
    for (const auto& [distance, drawn] : {std::pair{25.0f, true}, std::pair{25.01f, false}}) {
        h->m_fCameraDistance = distance;
        Calls().Clear();
        g_HumanManager.RenderShadows();
        EXPECT_EQ(Calls().Count(D3DOp::DrawIndexedPrimitive) > 0, drawn) << distance;
    }
}

} // namespace
