#include "game/HudFigures.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kMapRange = 250.0f; // world units from the car to the map's edge

} // namespace

bool HudMapPoint(const D3DXVECTOR3& p, const D3DXVECTOR3& c, float limit, bool pull, HudPoint* out)
{
    float dx = p.x - c.x;
    float dz = p.z - c.z;
    const float d = std::sqrt(dx * dx + dz * dz);
    if (!(d < limit))
        return false;
    if (pull && d > HUD_RIM_DISTANCE) {
        dx *= HUD_RIM_DISTANCE / d;
        dz *= HUD_RIM_DISTANCE / d;
    }
    out->x = 90.0f + dx / kMapRange * 72.0f;
    out->y = 515.0f - dz / kMapRange * 68.0f;
    return true;
}

float HudForceAngle(float force, float maxForce)
{
    if (!(maxForce > 0.0f))
        return 0.0f;
    const float f = std::max(0.0f, std::min(0.8f * force, maxForce));
    return f / maxForce * HUD_DIAL_SWEEP;
}

float HudSpeedAngle(float speedKmh)
{
    return std::clamp(speedKmh, 0.0f, 180.0f) / 190.0f * HUD_DIAL_SWEEP;
}

int HudCriminalSegments(float level)
{
    return std::clamp(static_cast<int>(std::min(level * 10.5f, 10.0f)), 0, 10);
}

float HudSirenPosition(std::uint32_t clockMs)
{
    const float f = static_cast<float>(clockMs % 500) / 250.0f * 10.0f;
    return f > 10.0f ? 20.0f - f : f;
}

bool HudBlinkOn(std::uint32_t clockMs)
{
    return clockMs % 400 > 200;
}

int HudTimeStep(float clock, const float thresholds[3])
{
    if (clock > thresholds[2])
        return HUD_RED;
    if (clock > thresholds[1])
        return HUD_ORANGE;
    if (clock > thresholds[0])
        return HUD_YELLOW;
    return HUD_GREEN;
}

int HudFareStep(float fare, float offered)
{
    const float share = offered > 0.0f ? fare / offered : 0.0f;
    if (share < 0.2f)
        return HUD_RED;
    if (share < 0.4f)
        return HUD_ORANGE;
    if (share < 0.6f)
        return HUD_YELLOW;
    return HUD_GREEN;
}

DWORD HudStepColour(int step, int dim)
{
    static const DWORD colours[4][2] = {
        {D3DCOLOR_ARGB(168, 150, 250, 0), D3DCOLOR_ARGB(168, 100, 200, 0)},
        {D3DCOLOR_ARGB(168, 250, 250, 0), D3DCOLOR_ARGB(168, 200, 200, 0)},
        {D3DCOLOR_ARGB(168, 250, 150, 0), D3DCOLOR_ARGB(168, 200, 100, 0)},
        {D3DCOLOR_ARGB(168, 250, 0, 0), D3DCOLOR_ARGB(168, 200, 0, 0)},
    };
    return colours[std::clamp(step, 0, 3)][dim ? 1 : 0];
}

bool HudProgress(float remaining, float length, float* percent)
{
    if (!(length > 0.0f))
        return false;
    *percent = 100.0f - remaining / (length / 100.0f);
    return true;
}

D3DXCOLOR4 HudDamageColour(float damage)
{
    return D3DXCOLOR4{std::clamp(2.0f * damage, 0.0f, 1.0f), std::clamp(1.0f - damage, 0.0f, 1.0f), 0.0f, 1.0f};
}

bool HudDamageTimerStep(float* timer, float dt)
{
    *timer += dt;
    if (*timer > 1.0f) {
        *timer = 0.0f;
        return true;
    }
    return false;
}

void HudArrowCorners(float headingX, float headingZ, float scale, float out[4][2])
{
    static const float corners[4][2] = {{6.0f, -8.0f}, {6.0f, 8.0f}, {-6.0f, -8.0f}, {-6.0f, 8.0f}};
    // The rotation a look-at towards the heading with up (0, 1, 0) builds:
    // right (hz, 0, -hx), forward (hx, 0, hz).
    float hx = 0.0f, hz = 1.0f;
    const float length = std::sqrt(headingX * headingX + headingZ * headingZ);
    if (length > 1e-6f && std::isfinite(length)) {
        hx = headingX / length;
        hz = headingZ / length;
    }
    for (int i = 0; i < 4; ++i) {
        const float cx = corners[i][0] * scale;
        const float cz = corners[i][1] * scale;
        const float tx = cx * hz + cz * hx;
        const float tz = -cx * hx + cz * hz;
        out[i][0] = -tx;
        out[i][1] = tz;
    }
}

bool HudMapTexCoords(float carX, float carZ, float worldSize, float uv[33][2])
{
    if (!(worldSize > 0.0f))
        return false;
    const float cu = carX / worldSize + 0.5f;
    const float cv = 0.5f - carZ / worldSize;
    const float reach = 2.0f * kMapRange / worldSize;
    uv[0][0] = cu;
    uv[0][1] = cv;
    for (int i = 1; i < 33; ++i) {
        const float a = -2.0f * 3.14159265f * static_cast<float>(i - 1) / 31.0f;
        uv[i][0] = cu + std::cos(a) * 0.5f * reach;
        uv[i][1] = cv + std::sin(a) * 0.5f * reach;
    }
    return true;
}
