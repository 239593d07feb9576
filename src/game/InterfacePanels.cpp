#include "game/InterfacePanels.h"

#include "game/GameInterface.h"
#include "world/InfoScreenManager.h"

void (*g_pInterfacePanelProbe)(const char* panel) = nullptr;

namespace {

void Placeholder(const char* panel)
{
    if (g_pInterfacePanelProbe)
        g_pInterfacePanelProbe(panel);
}

} // namespace

void CGameInterface::DrawHud() { Placeholder("hud"); }
void CGameInterface::DrawRaceInfo() { Placeholder("race info"); }
void CGameInterface::DrawRaceResult() { Placeholder("race result"); }
void CGameInterface::DrawPopupMenu() { Placeholder("popup"); }
void RenderInfoScreens()
{
    Placeholder("info screens");
    // The boards' invitations are written in the interface's own font.
    g_InfoScreens.m_pFont = &g_GameInterface.m_Font;
    g_InfoScreens.Render();
}
