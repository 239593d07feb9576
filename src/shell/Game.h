// The game object: start-up, frame tick and shut-down of every manager.
#pragma once

class CGame {
public:
    int Init();
    void Release();
    void Tick();
    void NewGame();
    unsigned m_nTicks = 0;
};

extern CGame g_Game;
