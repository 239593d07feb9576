#include "objects/EffectColour.h"

std::uint32_t EffectChannel(float value)
{
    const float scaled = value * 255.0f;
    if (!(scaled > 0.0f)) // also NaN
        return 0;
    if (scaled >= 255.0f)
        return 255;
    return static_cast<std::uint32_t>(scaled);
}

std::uint32_t PackEffectColour(float r, float g, float b, float a)
{
    return EffectChannel(a) << 24 | EffectChannel(r) << 16 | EffectChannel(g) << 8 | EffectChannel(b);
}
