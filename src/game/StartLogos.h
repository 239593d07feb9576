// The start-up logo sequence as a phase machine on a millisecond clock:
// the partner logo fades in and out, then the studio logo, with pauses
// between; any skip key jumps ahead, and a skip during the studio logo
// ends the sequence at once.
#pragma once

#include <cstdint>

enum { LOGO_PARTNER_IN, LOGO_PARTNER_OUT, LOGO_STUDIO_IN, LOGO_STUDIO_OUT, LOGO_DONE };

struct CStartLogos {
    // Starts at phase 0 with a 1 s pause.
    void Start(std::uint32_t now);
    // One pass at the clock now. Returns true when a picture is to be drawn
    // this pass (no pause pending), with its alpha (0..255) in *alpha.
    bool Step(std::uint32_t now, bool skip, float* alpha);
    // The last phase has ended and its pause has passed.
    bool Done() const;

    int m_nPhase = LOGO_DONE;
    std::uint32_t m_nStamp = 0;
    float m_fWait = 0.0f;
};
