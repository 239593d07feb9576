// The camera hands its matrices and eye point to the main effect: every
// shader draws with the camera that last renewed its view.
#include "render_fixture.h"

#include "graphics/WorldCamera.h"

namespace {

class CameraEffectTest : public test::RenderTest {
protected:
    void ExpectEffectHolds(const CWorldCamera& camera)
    {
        ID3DXEffect* effect = g_D3DRender.m_pEffect;
        D3DXMATRIX view, proj;
        D3DXVECTOR4 eye;
        ASSERT_EQ(effect->GetMatrix("matView", &view), D3D_OK);
        ASSERT_EQ(effect->GetMatrix("matProj", &proj), D3D_OK);
        ASSERT_EQ(effect->GetVector("EyePos", &eye), D3D_OK);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                EXPECT_FLOAT_EQ(view.m[r][c], camera.m_matView.m[r][c]) << r << c;
                EXPECT_FLOAT_EQ(proj.m[r][c], camera.m_matProj.m[r][c]) << r << c;
            }
        EXPECT_FLOAT_EQ(eye.x, camera.m_vEye.x);
        EXPECT_FLOAT_EQ(eye.y, camera.m_vEye.y);
        EXPECT_FLOAT_EQ(eye.z, camera.m_vEye.z);
        EXPECT_FLOAT_EQ(eye.w, 1.0f);
    }
};

TEST_F(CameraEffectTest, TheLastRenewedViewIsTheEffects)
{
    ASSERT_EQ(Start(), 0);
    CWorldCamera street{};
    CWorldCamera shadow{};
    const D3DXVECTOR3 eye(225.0f, 20.0f, -740.0f), target(225.0f, 20.0f, -700.0f);
    const D3DXVECTOR3 origin(0, 0, 0), ahead(0, 0, 1);
    street.Init(&eye, &target, D3DX_PI / 2.0f, 1.1f, 0.2f, 600.0f, 0);
    shadow.Init(&origin, &ahead, D3DX_PI / 2.0f, 1.0f, 0.2f, 1200.0f, 0);
    D3DXMatrixOrthoOffCenterLH(&shadow.m_matProj, -40.0f, 40.0f, -40.0f, 40.0f, 0.2f, 1200.0f);

    street.UpdateView();
    ExpectEffectHolds(street);
    shadow.UpdateView();
    ExpectEffectHolds(shadow);

    // A moved eye and a new projection reach the effect with the next view.
    street.m_vEye = D3DXVECTOR3(10.0f, 5.0f, -3.0f);
    street.SetProjection(D3DX_PI / 3.0f, 4.0f / 3.0f, 0.5f, 300.0f);
    street.UpdateView();
    ExpectEffectHolds(street);
    street.Release();
    shadow.Release();
}

} // namespace
