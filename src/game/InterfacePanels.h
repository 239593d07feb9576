// The panels of the interface that belong to their own screens (HUD, race
// panels, rating list, driver information, shops, pop-up menu, info
// screens). The interface draws them as named steps in a fixed order.
#pragma once

// The info screens' pass into their own textures.
void RenderInfoScreens();
