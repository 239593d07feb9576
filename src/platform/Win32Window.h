// Windows, the message queue, the cursor and message boxes of the stand-in
// layer. One thread only: the queue is read and written by the main loop.
#pragma once

#include "platform/Win32Types.h"

#include <cstddef>

UINT RegisterClassA(const WNDCLASSA* wc);
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style,
                     int x, int y, int width, int height, HWND parent, HMENU menu,
                     HINSTANCE instance, void* param);
BOOL DestroyWindow(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int cmdShow);
BOOL UpdateWindow(HWND hwnd);
BOOL SetWindowSize(HWND hwnd, int width, int height);
BOOL GetClientRect(HWND hwnd, RECT* rect);

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Blocks until a message or window-system event is waiting, or timeoutMs
// has passed (the stand-in for a message wait with a timeout). Returns at
// once when a message is queued, and at once headless (nothing can arrive).
BOOL WaitMessageTimeout(DWORD timeoutMs);

HCURSOR SetCursor(HCURSOR cursor);
BOOL SetCursorPos(int x, int y);
HICON LoadIconA(HINSTANCE instance, const char* name);
HGDIOBJ GetStockObject(int object);

int MessageBoxA(HWND hwnd, const char* text, const char* caption, UINT type);

inline const char* MAKEINTRESOURCEA(int id)
{
    return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(id));
}

namespace plat {

// The layer's record of a window; HWND points at one.
struct WindowInfo {
    WNDPROC proc;
    int width;
    int height;
    bool visible;
    bool cursorHidden;
};
const WindowInfo* GetWindowInfo(HWND hwnd);

// Messages waiting in the queue (tests look without removing).
std::size_t PendingMessages();
// Empties the queue and forgets every window and class (tests start clean).
void ResetWindowing();
// Last text and style shown by MessageBoxA, for tests.
const char* LastMessageBoxText();
const char* LastMessageBoxCaption();
UINT LastMessageBoxStyle();
unsigned MessageBoxCount();

// How often WaitMessageTimeout was called, for tests.
unsigned MessageWaitCount();

// The last cursor position set with SetCursorPos, in client pixels.
POINT LastCursorPos();

} // namespace plat
