// Program entry, the main window and the main loop.
#pragma once

#include "platform/Win32Types.h"

extern HWND g_hWnd;
extern int g_bActive;
extern int g_bQuit;
extern int g_bInGame;
extern const char* g_pszGameName;
// Text entry: the menu switches it on and off; while it is on the window
// procedure reports the keys that end or edit the typed text.
enum { TEXT_INPUT_OFF = 0, TEXT_INPUT_ON = 1, TEXT_INPUT_ACCEPT = 2, TEXT_INPUT_BACKSPACE = 3, TEXT_INPUT_ESCAPE = 4 };
extern int g_nTextInput;
extern int g_nTypedChar;

// What the last focus loss paused and the next focus gain resumes.
enum { FOCUS_PAUSED_AUDIO = 1, FOCUS_PAUSED_CLOCK = 2 };
extern int g_nFocusPaused;

// The page opened in the desktop's browser when the game ends.
extern const char* const g_pszWebPage;

// WinMain's result when start-up fails (the renderer, the audio or the game
// object); a finished run gives the last message's wParam.
enum { START_UP_FAILED = 1 };

int WinMain(HINSTANCE instance, HINSTANCE prevInstance, char* cmdLine, int showCmd);
// One pass of the main loop: drain the messages, tick, and while the game
// is in the background wait for the next message.
void MainLoopPass(MSG* msg);

LRESULT WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Window size of a "Mode" setting (0..3); other values give 800x600.
void VideoModeSize(int mode, int* width, int* height);
