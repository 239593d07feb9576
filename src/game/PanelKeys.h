// The keys an interface panel reads in one frame. A panel's step clears what
// it takes, and the frame writes the snapshot back, so the panels later in
// the frame's order no longer see a consumed key.
#pragma once

struct PanelKeys {
    int enter = 0, escape = 0, left = 0, right = 0, up = 0, down = 0;

    static PanelKeys Read();
    void WriteBack() const;
};
