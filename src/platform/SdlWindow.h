// The SDL2 side of the window layer (the real back end). Only the platform
// layer includes this header.
#pragma once

#include "platform/Win32Types.h"

namespace plat::sdl {

// Creates the SDL window; returns the native handle (SDL_Window*) or null.
void* CreateNativeWindow(const char* title, int width, int height, bool visible);
void DestroyNativeWindow(void* native);
void ShowNativeWindow(void* native, bool show);
void ResizeNativeWindow(void* native, int width, int height);
// Reads every pending SDL event and posts the matching messages to hwnd.
void PumpEvents(HWND hwnd);
// Waits up to timeoutMs for an SDL event without taking it.
void WaitForEvent(int timeoutMs);
void SetSystemCursorVisible(bool visible);
void WarpMouse(void* native, int x, int y);
// Returns false when no box could be shown (no video).
bool ShowMessageBox(void* native, const char* text, const char* caption, UINT type);

// Windows are made for OpenGL drawing unless a caller that never draws
// (an input test) says otherwise: loading the GL driver is not free.
void SetOpenGLWindows(bool openGL);

// Stops SDL's video once no window is left.
void ShutdownVideo();

// Virtual-key code of an SDL key code, or 0 for a key the game does not know.
int VirtualKeyFromSdl(int sdlKeycode);

} // namespace plat::sdl

namespace plat {
// The SDL_Window* behind a window of the real back end, or null.
void* NativeWindowHandle(HWND hwnd);
} // namespace plat
