// Until the pop-up menu is built, opening it only records the mode asked for.
#include "game/GameInterface.h"

void CGameInterface::SetPopupMenu(int mode)
{
    if (mode == m_nPopupMode)
        return;
    m_nPopupPrevMode = m_nPopupMode;
    m_nPopupMode = (mode == POPUP_PAUSE || mode == POPUP_TAXI_OFFER) ? mode : POPUP_NONE;
    m_bPopupOpen = m_nPopupMode != POPUP_NONE;
}
