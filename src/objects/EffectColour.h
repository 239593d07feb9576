// Colour packing of the pooled effects.
#pragma once

#include <cstdint>

// A channel 0..1 as a byte: the truncated value x 255. Point lights can push
// a channel above 1 and fades can dip it below 0; both saturate, so a bright
// drop stays bright instead of wrapping round to a dark one.
std::uint32_t EffectChannel(float value);
// A8R8G8B8 from four channels 0..1.
std::uint32_t PackEffectColour(float r, float g, float b, float a);
