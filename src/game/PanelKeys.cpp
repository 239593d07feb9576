#include "game/PanelKeys.h"

#include "shell/Input.h"

PanelKeys PanelKeys::Read()
{
    PanelKeys k;
    k.enter = g_bKeyEnter;
    k.escape = g_bKeyEscape;
    k.left = g_bKeyLeft;
    k.right = g_bKeyRight;
    k.up = g_bKeyUp;
    k.down = g_bKeyDown;
    return k;
}

void PanelKeys::WriteBack() const
{
    g_bKeyEnter = enter;
    g_bKeyEscape = escape;
    g_bKeyLeft = left;
    g_bKeyRight = right;
    g_bKeyUp = up;
    g_bKeyDown = down;
}
