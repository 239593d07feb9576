// Placeholder until the game timer lands: it only remembers whether it is paused.
#include "shell/GameTimer.h"

CGameTimer g_GameTimer;

void CGameTimer::Pause()
{
    m_bPaused = 1;
}

void CGameTimer::Resume()
{
    m_bPaused = 0;
}
