// The camera's view volume, screen projection and viewport.
#include "graphics/D3DRender.h"
#include "graphics/WorldCamera.h"
#include "support/HeadlessDevice.h"

#include <gtest/gtest.h>

namespace {

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_D3DRender.m_pDevice = device.Get();
        SetScreen(800.0f, 600.0f);
        const D3DXVECTOR3 eye(0, 0, 0);
        const D3DXVECTOR3 target(0, 0, 1);
        camera.Init(&eye, &target, D3DX_PI / 2.0f, 1.0f, 1.0f, 100.0f, 0);
    }
    void TearDown() override
    {
        camera.Release();
        g_D3DRender.m_pDevice = nullptr;
        SetScreen(800.0f, 600.0f);
    }
    static void SetScreen(float w, float h)
    {
        g_D3DRender.m_fScreenWidth = w;
        g_D3DRender.m_fScreenHeight = h;
        g_D3DRender.m_fScaleX = w / 800.0f;
        g_D3DRender.m_fScaleY = h / 600.0f;
    }
    test::HeadlessDevice device{1024, 768};
    CWorldCamera camera{};
};

TEST_F(CameraTest, PlanesAreNormalisedAndFaceInwards)
{
    const D3DXVECTOR3 inside(0, 0, 50);
    for (const D3DXPLANE& p : camera.m_Planes) {
        EXPECT_NEAR(p.a * p.a + p.b * p.b + p.c * p.c, 1.0f, 1e-5f);
        EXPECT_GT(p.a * inside.x + p.b * inside.y + p.c * inside.z + p.d, 0.0f);
    }
    EXPECT_NEAR(camera.m_Planes[4].d, 100.0f, 1e-2f) << "the far plane lies at the far distance";
}

TEST_F(CameraTest, SpheresJustInsideAndJustOutsideEachPlane)
{
    const D3DXVECTOR3 reference(0, 0, 50);
    const float r = 0.5f;
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const D3DXPLANE& p = camera.m_Planes[i];
        const D3DXVECTOR3 n(p.a, p.b, p.c);
        const float distance = p.a * reference.x + p.b * reference.y + p.c * reference.z + p.d;
        const D3DXVECTOR3 onPlane = reference - n * distance;
        const D3DXVECTOR3 inside = onPlane - n * (r - 0.01f);
        const D3DXVECTOR3 outside = onPlane - n * (r + 0.01f);
        EXPECT_EQ(camera.IsSphereInFrustum(&inside, r), 1u);
        EXPECT_EQ(camera.IsSphereInFrustum(&outside, r), 0u);
        EXPECT_EQ(camera.IsSphereInFrustum(&onPlane, 0.0f), 1u) << "distance 0 is not below -0";
        const D3DXVECTOR3 grazing = onPlane - n * (r * 0.95f);
        EXPECT_EQ(camera.IsSphereVisible(&grazing, r), 0u) << "visible needs more than a tenth of the radius";
    }
}

TEST_F(CameraTest, BoxTests)
{
    auto box = [](float z0, float z1) {
        static D3DXVECTOR3 c[8];
        int k = 0;
        for (float x : {-1.0f, 1.0f})
            for (float y : {-1.0f, 1.0f})
                for (float z : {z0, z1})
                    c[k++] = D3DXVECTOR3(x, y, z);
        return c;
    };
    EXPECT_EQ(camera.IsBoxInFrustum(box(10, 12)), 1u);
    EXPECT_EQ(camera.IsBoxInFrustum(box(-5, -3)), 0u) << "behind the eye";
    EXPECT_EQ(camera.IsBoxInFrustum(box(150, 160)), 0u) << "past the far plane";
    EXPECT_EQ(camera.IsBoxInFrustum(box(90, 150)), 1u) << "straddling the far plane";
}

TEST_F(CameraTest, ProjectionToTheScreen)
{
    SetScreen(1024.0f, 768.0f);
    camera.SetViewport(0, 0, 800, 600);
    D3DVIEWPORT9 vp{};
    device.Get()->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 1024u);
    EXPECT_EQ(vp.Height, 768u);

    float x = 0, y = 0, depth = 0;
    const D3DXVECTOR3 ahead(0, 0, 20);
    EXPECT_EQ(camera.ProjectToScreen(&x, &y, &ahead, &depth), 1u);
    EXPECT_NEAR(x, 400.0f, 1e-3f);
    EXPECT_NEAR(y, 300.0f, 1e-3f);
    EXPECT_NEAR(depth, 20.0f, 1e-4f);

    const D3DXVECTOR3 behind(0, 0, -20);
    EXPECT_EQ(camera.ProjectToScreen(&x, &y, &behind, &depth), 0u);
    EXPECT_LT(depth, 0.0f);
    EXPECT_EQ(camera.ProjectToScreen(nullptr, nullptr, &ahead, nullptr), 1u);

    D3DXVECTOR3 far;
    camera.UnprojectScreenPoint(400.0f, 300.0f, &far, nullptr);
    EXPECT_NEAR(far.x, 0.0f, 1e-2f);
    EXPECT_NEAR(far.z, 100.0f, 0.5f) << "the pick ray ends on the far plane";
}

TEST_F(CameraTest, UpdateViewReachesTheDevice)
{
    device.Log().Clear();
    camera.UpdateView();
    EXPECT_EQ(device.Log().Count(plat::D3DOp::SetTransform), 2u) << "view and projection";
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, &camera.m_matView, &camera.m_matInvView);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(product.m[r][c], r == c ? 1.0f : 0.0f, 1e-5f);
}

} // namespace
