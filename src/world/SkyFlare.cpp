// The sun drawn over the finished world as a screen sprite that grows
// towards the screen centre and fades out behind anything a ray towards it
// hits, with a row of glare discs through the centre.
#include "world/Sky.h"

#include "graphics/D3DRender.h"
#include "graphics/ScreenDraw.h"
#include "graphics/WorldCamera.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/RenderPasses.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"

#include <algorithm>
#include <cmath>

namespace {

int LandscapeRayTest(const D3DXVECTOR3* from, const D3DXVECTOR3* to)
{
    return g_Landscape.CastRay(from, to, nullptr, 0);
}

// The sprite's target half-size: largest at the screen centre, never below
// 50 while the sun is near the screen, 0 behind the camera or far off it.
float FlareTargetSize(float x, float y, float depth)
{
    if (!(depth >= 0.0f && x >= -100.0f && x <= 900.0f && y >= -100.0f && y <= 700.0f))
        return 0.0f;
    const float d = std::sqrt((x - 400.0f) * (x - 400.0f) + (y - 300.0f) * (y - 300.0f));
    return std::max((500.0f - d) * 0.8f, 50.0f);
}

DWORD Grey(float level)
{
    const DWORD c = DWORD(std::int32_t(std::clamp(level, 0.0f, 1.0f) * 255.0f)) & 0xFFu;
    return D3DCOLOR_ARGB(0xFF, c, c, c);
}

} // namespace

SkyRayTest g_pSkyRayTest = LandscapeRayTest;

float CSky::UpdateFlareSize(float x, float y, float depth, const D3DXVECTOR3* eye, const D3DXVECTOR3* sun)
{
    float target = m_vSunDir.y < 0.0f ? FlareTargetSize(x, y, depth) : 0.0f;
    // A new game or a loaded profile sets the clock back: a stamp from the
    // future makes the test due at once instead of waiting for the clock.
    const double now = std::isfinite(g_GameTimer.m_fGameTime) ? std::floor(g_GameTimer.m_fGameTime) : 0.0;
    const double since = (now - static_cast<double>(m_nFlareTestTime)) * 0.001;
    if (since > 0.2 || since < 0.0) {
        m_nFlareTestTime = static_cast<std::int32_t>(std::clamp(now, 0.0, 2147483647.0));
        m_bSunHidden = 0;
        if (target != 0.0f && g_pSkyRayTest && g_pSkyRayTest(eye, sun)) {
            target = 0.0f;
            m_bSunHidden = 1;
        }
    }
    if (m_bSunHidden)
        target = 0.0f;
    const float step = 2000.0f * g_GameTimer.m_fRealDelta;
    if (m_fFlareSize < target)
        m_fFlareSize = std::min(m_fFlareSize + step, target);
    else
        m_fFlareSize = std::max(m_fFlareSize - step, target);
    return m_fFlareSize;
}

void CSky::RenderSunFlare()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    if (!camera || !g_D3DRender.m_pDevice || g_D3DRender.m_nFillMode == D3DFILL_WIREFRAME)
        return;
    if (g_WaterPassActive && g_nWater < 2)
        return;
    const D3DXVECTOR3 eye = camera->m_vEye;
    const D3DXVECTOR3 sun = eye - m_vSunDir * 100000.0f;
    float x = 0.0f, y = 0.0f, depth = -1.0f;
    camera->ProjectToScreen(&x, &y, &sun, &depth);
    // No sun below the horizon: no brightness, nothing drawn.
    const float b = m_vSunDir.y >= 0.0f ? 0.0f : m_vSunDir.y < -0.4f ? 0.5f : -m_vSunDir.y / 0.4f * 0.5f;
    const float h = g_WaterPassActive ? 300.0f : UpdateFlareSize(x, y, depth, &eye, &sun);
    if (h == 0.0f || b <= 0.0f || !std::isfinite(x + y))
        return;

    g_D3DRender.SetFogEnable(0);
    g_D3DRender.SetLighting(0);
    g_D3DRender.SetTexture(m_nSunTexture, 1);
    if (g_WaterPassActive)
        g_D3DRender.SetCullMode(D3DCULL_NONE);
    CScreenDraw::DrawAdditiveRect(x - h, y - h, x + h, y + h, Grey(b), m_nSunTexture);
    if (g_WaterPassActive) {
        g_D3DRender.SetCullMode(D3DCULL_CCW);
        return;
    }
    if (m_bSunHidden)
        return;
    const D3DXCOLOR4 sky{m_Colour[0], m_Colour[1], m_Colour[2], m_Colour[3]};
    D3DXCOLOR4 g;
    ColorNormalizeToMax(&g, &sky);
    const float k = 0.2f * b;
    const DWORD centre = D3DCOLOR_ARGB(0xFF, DWORD(std::int32_t(std::clamp(g.r * k, 0.0f, 1.0f) * 255.0f)),
                                       DWORD(std::int32_t(std::clamp(g.g * k, 0.0f, 1.0f) * 255.0f)),
                                       DWORD(std::int32_t(std::clamp(g.b * k, 0.0f, 1.0f) * 255.0f)));
    const float dx = (400.0f - x) / 4.0f, dy = (300.0f - y) / 4.0f;
    for (int i = 0; i < 8; ++i) {
        x += dx;
        y += dy;
        const float radius = std::sqrt((x - 400.0f) * (x - 400.0f) + (y - 300.0f) * (y - 300.0f)) / 4.0f + 5.0f;
        CScreenDraw::DrawGlowDisc(x, y, radius, centre, 0, 1.0f, 1.0f);
    }
}
