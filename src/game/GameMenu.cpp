// Placeholder until the game menu is built: it opens and closes, shows no
// logos and no loading screen, and its key handler does nothing.
#include "game/GameMenu.h"

int CGameMenu::Init()
{
    return 1;
}

void CGameMenu::Release()
{
}

void CGameMenu::Update()
{
}

void CGameMenu::Render()
{
}

void CGameMenu::Show(int state)
{
    m_nState = state;
    m_bOpen = state != 0 ? 1 : 0;
}

void CGameMenu::PlayStartLogos()
{
}

void CGameMenu::ShowLoadingScreen(int)
{
}

void CGameMenu::OnKeyDown(int)
{
}
