// Which back end the stand-in layer runs on, chosen once at start-up.
//
// MORVAINE_HEADLESS=1 runs without a window, sound device or display: message
// boxes go to standard error, nothing is shown, and tests post their own
// messages. MORVAINE_FRAMES=N ends a run by itself after N passes of the main
// loop (a WM_CLOSE is posted to the main window).
#pragma once

namespace plat {

bool IsHeadless();
// Tests and tools may force the choice before anything else of the layer runs.
void SetHeadless(bool headless);

// The frame budget from MORVAINE_FRAMES, or 0 for none.
unsigned FrameBudget();
void SetFrameBudget(unsigned frames);

} // namespace plat
