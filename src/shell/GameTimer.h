// The game timer.
#pragma once

class CGameTimer {
public:
    void Pause();
    void Resume();
    int m_bPaused = 0;
};

extern CGameTimer g_GameTimer;
