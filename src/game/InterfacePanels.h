// The panels of the interface that belong to their own screens (HUD, race
// panels, rating list, driver information, shops, pop-up menu, info
// screens). Each reports when its turn in the frame comes, so tests can
// watch the frame's order and which panel took the keys.
#pragma once

// Called with a panel's name when its turn comes; null by default.
extern void (*g_pInterfacePanelProbe)(const char* panel);
// Tells the probe that a panel's turn came.
void ReportPanelTurn(const char* panel);

// The info screens' pass into their own textures.
void RenderInfoScreens();
