#include "shell/Input.h"

#include "game/GameMenu.h"
#include "graphics/D3DRender.h"
#include "platform/Win32Types.h"
#include "shell/GameTimer.h"
#include "shell/Settings.h"
#include "shell/WinMain.h"
#include "world/PropManager.h"

int g_bKeyTab, g_bKeyEnter, g_bKeyShift, g_bKeyControl, g_bKeyEscape, g_bKeySpace;
int g_bKeyPageUp, g_bKeyPageDown, g_bKeyEnd, g_bKeyHome;
int g_bKeyLeft, g_bKeyUp, g_bKeyRight, g_bKeyDown, g_bKeyInsert, g_bKeyDelete;
int g_bKeyA, g_bKeyZ, g_bKeyNumPlus, g_bKeyNumMinus, g_bKeyF1;

int g_ActionFlags[KEY_BINDING_COUNT];
int& g_bActAccelerate = g_ActionFlags[0];
int& g_bActBrake = g_ActionFlags[1];
int& g_bActTurnLeft = g_ActionFlags[2];
int& g_bActTurnRight = g_ActionFlags[3];
int& g_bActHandBrake = g_ActionFlags[4];
int& g_bActChangeView = g_ActionFlags[5];
int& g_bActBackView = g_ActionFlags[6];
int& g_bActRestore = g_ActionFlags[7];
int& g_bActInfoWindow = g_ActionFlags[8];
int& g_bActRacersTopList = g_ActionFlags[9];

KeyBinding g_KeyBindings[KEY_BINDING_COUNT] = {
    {&g_ActionFlags[0], VK_UP},    {&g_ActionFlags[1], VK_DOWN}, {&g_ActionFlags[2], VK_LEFT},
    {&g_ActionFlags[3], VK_RIGHT}, {&g_ActionFlags[4], VK_SPACE}, {&g_ActionFlags[5], 'C'},
    {&g_ActionFlags[6], 'B'},      {&g_ActionFlags[7], 'R'},     {&g_ActionFlags[8], 'I'},
    {&g_ActionFlags[9], VK_TAB},
};

int g_nMouseX, g_nMouseY;
int g_PrevMousePos[2];
int g_bMouseLeft, g_bMouseRight;


namespace {

int* RawKeyFlag(int key)
{
    switch (key) {
    case VK_TAB: return &g_bKeyTab;
    case VK_RETURN: return &g_bKeyEnter;
    case VK_SHIFT: return &g_bKeyShift;
    case VK_CONTROL: return &g_bKeyControl;
    case VK_ESCAPE: return &g_bKeyEscape;
    case VK_SPACE: return &g_bKeySpace;
    case VK_PRIOR: return &g_bKeyPageUp;
    case VK_NEXT: return &g_bKeyPageDown;
    case VK_END: return &g_bKeyEnd;
    case VK_HOME: return &g_bKeyHome;
    case VK_LEFT: return &g_bKeyLeft;
    case VK_UP: return &g_bKeyUp;
    case VK_RIGHT: return &g_bKeyRight;
    case VK_DOWN: return &g_bKeyDown;
    case VK_INSERT: return &g_bKeyInsert;
    case VK_DELETE: return &g_bKeyDelete;
    case 'A': return &g_bKeyA;
    case 'Z': return &g_bKeyZ;
    case VK_ADD: return &g_bKeyNumPlus;
    case VK_SUBTRACT: return &g_bKeyNumMinus;
    case VK_F1: return &g_bKeyF1;
    default: return nullptr;
    }
}

KeyBinding* FindBinding(int key)
{
    if (!g_bActive || g_GameMenu.m_bOpen)
        return nullptr;
    for (KeyBinding& b : g_KeyBindings)
        if (b.nKey == key)
            return &b; // only the first binding of a key is served
    return nullptr;
}

void OnDeveloperKey(int key)
{
    switch (key) {
    case VK_PAUSE:
        if (g_bActive) {
            g_bActive = 0;
            g_GameTimer.Pause();
        } else {
            g_bActive = 1;
            g_GameTimer.Resume();
        }
        break;
    case VK_ESCAPE:
        g_bQuit = 1;
        break;
    case 'F':
        g_D3DRender.ToggleWireframe();
        break;
    case 'G':
        g_D3DRender.ToggleFlatShading();
        break;
    case 'S':
        if (g_bKeyControl)
            g_bDrawProps = !g_bDrawProps;
        break;
    default:
        break;
    }
}

} // namespace

int OnBindingKeyDown(int key)
{
    KeyBinding* b = FindBinding(key);
    if (!b)
        return 0;
    *b->pAction = 1;
    return 1;
}

// A release always clears its action, even with the menu open or the game
// inactive: otherwise a key held while the menu opened would keep the car
// accelerating after the menu closes.
int OnBindingKeyUp(int key)
{
    for (KeyBinding& b : g_KeyBindings) {
        if (b.nKey == key) {
            *b.pAction = 0;
            return 1;
        }
    }
    return 0;
}

void ResetInputState()
{
    int* const keys[] = {&g_bKeyTab,     &g_bKeyEnter,  &g_bKeyShift,    &g_bKeyControl, &g_bKeyEscape,
                         &g_bKeySpace,   &g_bKeyPageUp, &g_bKeyPageDown, &g_bKeyEnd,     &g_bKeyHome,
                         &g_bKeyLeft,    &g_bKeyUp,     &g_bKeyRight,    &g_bKeyDown,    &g_bKeyInsert,
                         &g_bKeyDelete,  &g_bKeyA,      &g_bKeyZ,        &g_bKeyNumPlus, &g_bKeyNumMinus,
                         &g_bKeyF1,      &g_bMouseLeft, &g_bMouseRight};
    for (int* flag : keys)
        *flag = 0;
    for (int& action : g_ActionFlags)
        action = 0;
}

void OnKeyDownMessage(int key)
{
    if (g_GameMenu.m_bKeyHandler) {
        g_GameMenu.OnKeyDown(key);
        return;
    }
    OnBindingKeyDown(key);
    if (int* flag = RawKeyFlag(key))
        *flag = 1;
    if (g_bDebugOut)
        OnDeveloperKey(key);
}

void OnKeyUpMessage(int key)
{
    if (!g_GameMenu.m_bKeyHandler)
        OnBindingKeyUp(key);
    if (int* flag = RawKeyFlag(key))
        *flag = 0;
}
