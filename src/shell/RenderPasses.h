// Which render-to-texture pass is drawing: 1 while the water reflection, the
// environment cube face or the shadow map is drawn, else 0. Object renderers
// test them to choose what and how to draw.
#pragma once

extern int g_WaterPassActive;
extern int g_CubePassActive;
extern int g_ShadowPassActive;
