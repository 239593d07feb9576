// Placeholder until the game object lands: start-up succeeds and each tick
// is only counted.
#include "shell/Game.h"

#include "shell/WinMain.h"

int CGame::Init()
{
    return 1;
}

void CGame::Release()
{
}

void CGame::Tick()
{
    if (!g_bActive)
        return;
    ++m_nTicks;
}

void CGame::NewGame()
{
}
