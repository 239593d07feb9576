// Bringing numbers that may come from a file (or grow from one) into the
// range the game works with, without the undefined behaviour a plain cast
// of an out-of-range or non-finite value has.
#pragma once

#include <climits>
#include <cmath>

// v within lo..hi; not-a-number gives lo.
inline float ClampFloat(float v, float lo, float hi)
{
    if (!(v >= lo))
        return lo;
    return v > hi ? hi : v;
}

// v truncated toward zero into the int range: beyond it the nearest end,
// not-a-number 0.
inline int SaturateToInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(v);
}

// The sum or difference of two ints, held at the int range's ends.
inline int SaturatingAdd(long long a, long long b)
{
    const long long sum = a + b;
    return sum < INT_MIN ? INT_MIN : (sum > INT_MAX ? INT_MAX : static_cast<int>(sum));
}
