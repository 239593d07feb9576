// The keys an interface panel, the menu, the message box, the dialogue or
// the start logos read in one frame. Each step takes a snapshot, clears each key it handles, and the frame then
// clears the same keys in the global flags, so a key held down acts once
// and no panel drawn later sees it.
#pragma once

#include <type_traits>

struct ScreenKeys {
    int up = 0, down = 0, left = 0, right = 0;
    int enter = 0, escape = 0;
    // The panels' own toggles: the racers-list key and the info key.
    int ratingList = 0, driverInfo = 0;
    // The blank and the left mouse button press or skip as Enter does on
    // the menu and the start logos; in the city the blank is the hand
    // brake, which no panel takes.
    int space = 0, mouseLeft = 0;
};

ScreenKeys ReadScreenKeys();
// Clears every global flag that was set in `read` and is clear in `left`.
void ConsumeScreenKeys(const ScreenKeys& read, const ScreenKeys& left);

// Runs a panel's step on this frame's keys, then clears in the global flags
// the keys the step handled; gives back what the step returns.
template <class Step>
auto StepWithScreenKeys(Step&& step)
{
    ScreenKeys keys = ReadScreenKeys();
    const ScreenKeys read = keys;
    if constexpr (std::is_void_v<decltype(step(keys))>) {
        step(keys);
        ConsumeScreenKeys(read, keys);
    } else {
        auto result = step(keys);
        ConsumeScreenKeys(read, keys);
        return result;
    }
}
