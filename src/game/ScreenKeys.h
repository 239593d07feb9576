// The keys an interface panel or keyboard screen reads in one frame. Its
// step takes a snapshot, clears each key it handles, and the frame then
// clears the same keys in the global flags, so a key held down acts once
// and no panel drawn later sees it.
#pragma once

struct ScreenKeys {
    int up = 0, down = 0, left = 0, right = 0;
    int enter = 0, escape = 0;
    // The panels' own toggles: the racers-list key and the info key.
    int ratingList = 0, driverInfo = 0;
};

ScreenKeys ReadScreenKeys();
// Clears every global flag that was set in `read` and is clear in `left`.
void ConsumeScreenKeys(const ScreenKeys& read, const ScreenKeys& left);
