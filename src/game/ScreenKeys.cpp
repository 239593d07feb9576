#include "game/ScreenKeys.h"

#include "shell/Input.h"

ScreenKeys ReadScreenKeys()
{
    ScreenKeys k;
    k.up = g_bKeyUp;
    k.down = g_bKeyDown;
    k.left = g_bKeyLeft;
    k.right = g_bKeyRight;
    k.enter = g_bKeyEnter;
    k.escape = g_bKeyEscape;
    k.ratingList = g_bActRacersTopList;
    k.driverInfo = g_bActInfoWindow;
    k.space = g_bKeySpace;
    k.mouseLeft = g_bMouseLeft;
    return k;
}

namespace {

void Take(int read, int left, int& flag)
{
    if (read && !left)
        flag = 0;
}

} // namespace

void ConsumeScreenKeys(const ScreenKeys& read, const ScreenKeys& left)
{
    Take(read.up, left.up, g_bKeyUp);
    Take(read.down, left.down, g_bKeyDown);
    Take(read.left, left.left, g_bKeyLeft);
    Take(read.right, left.right, g_bKeyRight);
    Take(read.enter, left.enter, g_bKeyEnter);
    Take(read.escape, left.escape, g_bKeyEscape);
    Take(read.ratingList, left.ratingList, g_bActRacersTopList);
    Take(read.driverInfo, left.driverInfo, g_bActInfoWindow);
    Take(read.space, left.space, g_bKeySpace);
    Take(read.mouseLeft, left.mouseLeft, g_bMouseLeft);
}
