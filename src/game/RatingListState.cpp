// Opening and closing the racers' rating list. Stand-in until the list's
// panel is built: it keeps the open flag and restarts the open timer.
#include "game/GameInterface.h"

void CGameInterface::ShowRatingList(int open)
{
    const std::uint32_t state = open ? 1u : 0u;
    if (state == m_bRatingOpen)
        return;
    m_bRatingOpen = state;
    if (open)
        m_fRatingTimer = 0.0f;
}
