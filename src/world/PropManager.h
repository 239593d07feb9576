// City props (lampposts, cafes, garbage, shop entrances).
#pragma once

// Props are drawn only while this is set (a developer key toggles it).
extern int g_bDrawProps;
