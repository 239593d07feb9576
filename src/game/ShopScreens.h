// Tables and the paint choices shared by the workshop and car-shop screens,
// and the figures both shops and the driver information show. The rest of
// each screen's state is its panel's (game/PanelStates.h).
#pragma once

#include "platform/D3DX9.h"
#include "shell/VectorHelpers.h"

class CGameFont;
class CVehicle;

enum {
    WORKSHOP_PAGES = 6,
    WORKSHOP_ROWS = 6,
    WORKSHOP_MAIN = 0,
    WORKSHOP_REPAIR = 1,
    WORKSHOP_PART = 2,
    WORKSHOP_LEVEL = 3,
    WORKSHOP_PAINT = 4,
    WORKSHOP_COLOUR = 5,
    WORKSHOP_LEVELS = 3,
    PAINT_SPECTRUM_COLOURS = 7,
    PAINT_SHADES = 20,
    PAINT_TYPES = 3,
    CARSHOP_PAGES = 2,
    CARSHOP_ROWS = 8,
    CARSHOP_ROW_SIZE = 64,
    CARSHOP_CHANGE_ROW = 6,
    CARSHOP_BACK_ROW = 7,
};

// The workshop's paint choices per colour slot: they stay until the
// program ends.
extern int g_nPaintHue[2];
extern int g_nPaintShade[2];
extern int g_nPaintType;
extern D3DXCOLOR4 g_WorkshopItemColours[WORKSHOP_PAGES][WORKSHOP_ROWS];
extern const D3DXCOLOR4 g_PaintSpectrum[PAINT_SPECTRUM_COLOURS];
// ENGINE, TRANSMISSION, CHASSIS, TIRES.
extern const float g_UpgradePriceFactors[4];

// One page of a keyboard screen: its rows, the first and last row the
// cursor may rest on, and its text scale.
struct ShopPage {
    const char* rows[CARSHOP_ROWS];
    int count;
    int first, last;
    float scale;
};
extern const ShopPage g_WorkshopPages[WORKSHOP_PAGES];

// The hue ring's colour at hue 0..100.
D3DXCOLOR4 PaintHueColour(float hue);
// Shade cell 0..19 of a hue: black up to the hue (0..9), then the hue
// brightened towards white (10..19), each channel capped at 1.
D3DXCOLOR4 PaintShadeColour(const D3DXCOLOR4& hue, int cell);
// DULL, METALLIC, CHROME from a car's paint gloss, and back.
int PaintTypeOfGloss(int gloss);
int PaintGlossOfType(int type);

// A part's level as the workshop counts it (0 none .. 3 all installed); a
// save may hold any number, and rivals are given more.
int WorkshopLevel(const CVehicle& car, int part);
// The price of a part's level 1..3 at the car's performance rating.
float UpgradePrice(int rating, int part, int level);

// The three figures the bars show, each as a share of its scale before
// clamping: SPEED from the engine power, POWER from the transmission and
// CONTROL from the front and rear grip together.
struct CarFigureShares {
    float speed, power, control;
};
CarFigureShares FigureShares(const CVehicle& car);
CarFigureShares ClampShares(CarFigureShares s, float lowest);

// The player's row (0 top .. 29 last) of the racers' rating list.
int PlayerRatingRow(int points);

// A time in seconds split into whole days, hours and minutes.
struct PlayTimeSplit {
    int days, hours, minutes;
};
PlayTimeSplit SplitPlayTime(float seconds);

// The rows of a shop page from y 450 in the 800 x 600 space: centred on
// x 400 or ending at 400 + shift, the selected row over a glow.
void DrawShopRows(CGameFont& font, const char* const* rows, const D3DXCOLOR4* colours, int count, int selected,
                  float scale, bool centred, float shift, float fade);
// The view behind a shop screen, darkened towards the bar at the bottom.
void DrawShopDarkening(float fade);
