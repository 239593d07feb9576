// The panels of the interface that belong to their own screens (HUD, race
// panels, rating list, driver information, shops, pop-up menu, info
// screens). Until they are built each draws nothing and only reports that
// its turn came, so the frame's order and key handling can be watched.
#pragma once

// Called with the panel's name when a placeholder panel would draw; null by default.
extern void (*g_pInterfacePanelProbe)(const char* panel);
// Tells the probe that a panel's turn came (built panels report it too).
void ReportPanelTurn(const char* panel);

// The info screens' pass into their own textures.
void RenderInfoScreens();
