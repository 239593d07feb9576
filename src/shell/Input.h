// Keyboard and mouse state: one flag per watched key, one per driving
// binding, and the mouse in the 800x600 interface space. Game code polls
// these every frame; the window procedure writes them.
#pragma once

// Raw key flags, 1 while the key is down.
extern int g_bKeyTab, g_bKeyEnter, g_bKeyShift, g_bKeyControl, g_bKeyEscape, g_bKeySpace;
extern int g_bKeyPageUp, g_bKeyPageDown, g_bKeyEnd, g_bKeyHome;
extern int g_bKeyLeft, g_bKeyUp, g_bKeyRight, g_bKeyDown, g_bKeyInsert, g_bKeyDelete;
extern int g_bKeyA, g_bKeyZ, g_bKeyNumPlus, g_bKeyNumMinus, g_bKeyF1;

// Driving actions, in binding order.
enum { KEY_BINDING_COUNT = 10 };
extern int g_ActionFlags[KEY_BINDING_COUNT];
extern int& g_bActAccelerate;
extern int& g_bActBrake;
extern int& g_bActTurnLeft;
extern int& g_bActTurnRight;
extern int& g_bActHandBrake;
extern int& g_bActChangeView;
extern int& g_bActBackView;
extern int& g_bActRestore;
extern int& g_bActInfoWindow;
extern int& g_bActRacersTopList;

struct KeyBinding {
    int* pAction;
    int nKey;
};
extern KeyBinding g_KeyBindings[KEY_BINDING_COUNT];

// Mouse state.
extern int g_nMouseX, g_nMouseY;
extern int g_PrevMousePos[2];
extern int g_bMouseLeft, g_bMouseRight;

// Key names from "Data/Misc/KeyScanCodes.obj".
enum { MAX_KEY_NAMES = 92, KEY_NAME_SIZE = 16 };
struct KeyNameRecord {
    int nCode;
    char szName[KEY_NAME_SIZE];
};
extern KeyNameRecord g_KeyNames[MAX_KEY_NAMES];
extern int g_nKeyNames;

int OnBindingKeyDown(int key);
int OnBindingKeyUp(int key);
void LoadKeyScanCodes();

// Every key, action and mouse button back to released, as at a fresh start:
// a key held when one session ended (the hand brake above all) must not
// hold the next session's car. The mouse keeps its position.
void ResetInputState();

// What the window procedure does with WM_KEYDOWN / WM_KEYUP.
void OnKeyDownMessage(int key);
void OnKeyUpMessage(int key);
