#include "game/InterfacePanels.h"

#include "game/GameInterface.h"
#include "world/InfoScreenManager.h"

void (*g_pInterfacePanelProbe)(const char* panel) = nullptr;

void ReportPanelTurn(const char* panel)
{
    if (g_pInterfacePanelProbe)
        g_pInterfacePanelProbe(panel);
}

namespace {

void Placeholder(const char* panel)
{
    ReportPanelTurn(panel);
}

} // namespace

void RenderInfoScreens()
{
    Placeholder("info screens");
    // The boards' invitations are written in the interface's own font.
    g_InfoScreens.m_pFont = &g_GameInterface.m_Font;
    g_InfoScreens.Render();
}
