// The interface drawn on the drawing device: the 800 x 600 layout scaled to
// the small frame, every cached render state and texture unset so that its
// first setting reaches the fresh device, the game's culling (clockwise faces
// are the back ones) and a cleared black frame.
#pragma once

#include "GlFixture.h"

#include "graphics/D3DRender.h"

namespace gltest {

class ScreenPixelsTest : public GlDeviceTest {
protected:
    void SetUp() override
    {
        GlDeviceTest::SetUp();
        ASSERT_NE(device, nullptr);
        g_D3DRender.m_pDevice = device;
        g_D3DRender.m_fScaleX = kWidth / 800.0f;
        g_D3DRender.m_fScaleY = kHeight / 600.0f;
        for (DWORD* cache : {&g_D3DRender.m_nZWriteEnable, &g_D3DRender.m_nZEnable, &g_D3DRender.m_nLighting,
                             &g_D3DRender.m_nSrcBlend, &g_D3DRender.m_nDestBlend, &g_D3DRender.m_nAlphaBlendEnable,
                             &g_D3DRender.m_nFogEnable})
            *cache = RENDER_STATE_UNSET;
        g_D3DRender.m_nCachedTexture = INVALID_TEXTURE_ID;
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    }
    void TearDown() override
    {
        g_D3DRender.m_pDevice = nullptr;
        GlDeviceTest::TearDown();
    }
};

} // namespace gltest
