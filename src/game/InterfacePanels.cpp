#include "game/InterfacePanels.h"

#include "game/GameInterface.h"
#include "world/InfoScreenManager.h"

void RenderInfoScreens()
{
    // The boards' invitations are written in the interface's own font.
    g_InfoScreens.m_pFont = &g_GameInterface.m_Font;
    g_InfoScreens.Render();
}
