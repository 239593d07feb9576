// Opening and closing the racers' rating list. Closing it with the points
// for the top of the list congratulates the player.
#include "game/GameInterface.h"
#include "game/PlayerStats.h"

namespace {

const D3DXCOLOR4 kWhite{1.0f, 1.0f, 1.0f, 1.0f};

} // namespace

void CGameInterface::ShowRatingList(int open)
{
    auto& rating = m_RatingListPanel;
    const std::uint32_t want = open ? 1u : 0u;
    if (want == rating.m_bRatingOpen)
        return;
    rating.m_bRatingOpen = want;
    if (want) {
        rating.m_fRatingTimer = 0.0f;
    } else if (g_PlayerStats.m_nRatingPoints >= RATING_POINTS_TO_WIN) {
        // The message itself is shown only once per profile.
        ShowMessage(MSG_CONGRATULATIONS, 20.0f, &kWhite, 0.0f);
    }
}
