// Which render-to-texture pass is drawing: 1 while the water reflection, the
// environment cube face or the shadow map is drawn, else 0. Object renderers
// test them to choose what and how to draw.
#pragma once

#include "shell/Keywords.h"

extern int g_WaterPassActive;
extern int g_CubePassActive;
extern int g_ShadowPassActive;

// The prop groups each pass asks the prop renderers for.
enum : int {
    PROPS_BUILDINGS = GTYPE_BUILDING,
    PROPS_BRIDGES = GTYPE_BRIDGE,
    PROPS_BRIDGES_AND_BUILDINGS = GTYPE_BRIDGE | GTYPE_BUILDING,
    PROPS_DECORS_AND_LAMPPOSTS = GTYPE_DECORS | GTYPE_LAMPPOST,
    PROPS_ALL = GTYPE_BRIDGE | GTYPE_BUILDING | GTYPE_DECORS | GTYPE_LAMPPOST,
    PROPS_SEEN_IN_CUBE = GTYPE_BRIDGE | GTYPE_BUILDING | GTYPE_LAMPPOST,
};
static_assert(PROPS_ALL == 1920 && PROPS_SEEN_IN_CUBE == 1408, "the prop groups");
