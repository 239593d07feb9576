#include "platform/Win32Window.h"

#include "platform/Backend.h"
#include "platform/InputTape.h"
#include "platform/SdlWindow.h"
#include "platform/Win32Time.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <list>
#include <string>

struct PlatformWindow {
    plat::WindowInfo info;
    void* native;
};

namespace {

struct WindowClass {
    std::string name;
    WNDPROC proc;
};

std::list<WindowClass> s_classes;
std::list<PlatformWindow> s_windows;
std::deque<MSG> s_queue;
HWND s_mainWindow = nullptr;
unsigned s_drainsEnded = 0;
bool s_budgetPosted = false;
std::string s_lastBoxText;
std::string s_lastBoxCaption;
unsigned s_boxCount = 0;
UINT s_lastBoxStyle = 0;
POINT s_cursorPos = {0, 0};
bool s_systemCursorHidden = false;

bool IsWindowHandle(HWND hwnd)
{
    for (auto& w : s_windows)
        if (&w == hwnd)
            return true;
    return false;
}

bool InFilter(UINT message, UINT lo, UINT hi)
{
    if (lo == 0 && hi == 0)
        return true;
    return message >= lo && message <= hi;
}

// A run with a frame budget ends itself: after the given number of passes of
// the main loop (each pass ends its drain on an empty queue) the main window
// is asked to close.
unsigned s_messageWaits = 0;

void CountDrain()
{
    const unsigned budget = plat::FrameBudget();
    if (budget == 0 || s_budgetPosted || !s_mainWindow)
        return;
    if (++s_drainsEnded >= budget) {
        s_budgetPosted = true;
        PostMessageA(s_mainWindow, WM_CLOSE, 0, 0);
    }
}

} // namespace

UINT RegisterClassA(const WNDCLASSA* wc)
{
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc)
        return 0;
    for (auto& c : s_classes)
        if (c.name == wc->lpszClassName)
            return 0; // already registered
    s_classes.push_back({wc->lpszClassName, wc->lpfnWndProc});
    return static_cast<UINT>(s_classes.size());
}

HWND CreateWindowExA(DWORD, const char* className, const char* title, DWORD style,
                     int, int, int width, int height, HWND, HMENU, HINSTANCE, void*)
{
    if (!className)
        return nullptr;
    WNDPROC proc = nullptr;
    for (auto& c : s_classes)
        if (c.name == className)
            proc = c.proc;
    if (!proc)
        return nullptr;
    const bool visible = (style & WS_VISIBLE) != 0;
    void* native = nullptr;
    if (!plat::IsHeadless()) {
        native = plat::sdl::CreateNativeWindow(title ? title : "", width, height, visible);
        if (!native)
            return nullptr;
    }
    s_windows.push_back({{proc, width, height, visible, false}, native});
    HWND hwnd = &s_windows.back();
    if (!s_mainWindow)
        s_mainWindow = hwnd;
    return hwnd;
}

BOOL DestroyWindow(HWND hwnd)
{
    for (auto it = s_windows.begin(); it != s_windows.end(); ++it) {
        if (&*it != hwnd)
            continue;
        if (it->native)
            plat::sdl::DestroyNativeWindow(it->native);
        if (s_mainWindow == hwnd)
            s_mainWindow = nullptr;
        s_windows.erase(it);
        return TRUE;
    }
    return FALSE;
}

BOOL ShowWindow(HWND hwnd, int cmdShow)
{
    if (!IsWindowHandle(hwnd))
        return FALSE;
    const bool wasVisible = hwnd->info.visible;
    hwnd->info.visible = cmdShow != SW_HIDE;
    if (hwnd->native)
        plat::sdl::ShowNativeWindow(hwnd->native, hwnd->info.visible);
    return wasVisible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hwnd)
{
    return IsWindowHandle(hwnd) ? TRUE : FALSE;
}

BOOL SetWindowSize(HWND hwnd, int width, int height)
{
    if (!IsWindowHandle(hwnd) || width <= 0 || height <= 0)
        return FALSE;
    hwnd->info.width = width;
    hwnd->info.height = height;
    if (hwnd->native)
        plat::sdl::ResizeNativeWindow(hwnd->native, width, height);
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect)
{
    if (!IsWindowHandle(hwnd) || !rect)
        return FALSE;
    *rect = {0, 0, hwnd->info.width, hwnd->info.height};
    return TRUE;
}

namespace {

bool TakeQueued(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg)
{
    for (auto it = s_queue.begin(); it != s_queue.end(); ++it) {
        if (hwnd && it->hwnd != hwnd && it->hwnd != nullptr)
            continue;
        if (!InFilter(it->message, filterMin, filterMax))
            continue;
        *msg = *it;
        if (removeMsg & PM_REMOVE)
            s_queue.erase(it);
        return true;
    }
    return false;
}

} // namespace

// The window system's events are read only when nothing queued answers, so a
// drain polls them once per message it runs out of, not once per message.
BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg)
{
    if (!msg)
        return FALSE;
    if (TakeQueued(msg, hwnd, filterMin, filterMax, removeMsg))
        return TRUE;
    if (!plat::IsHeadless() && s_mainWindow) {
        plat::sdl::PumpEvents(s_mainWindow);
        if (TakeQueued(msg, hwnd, filterMin, filterMax, removeMsg))
            return TRUE;
    }
    if (removeMsg & PM_REMOVE)
        CountDrain();
    return FALSE;
}

BOOL WaitMessageTimeout(DWORD timeoutMs)
{
    ++s_messageWaits;
    if (plat::PendingMessages() > 0)
        return TRUE;
    if (!plat::IsHeadless() && s_mainWindow)
        plat::sdl::WaitForEvent(static_cast<int>(timeoutMs));
    return TRUE;
}

// Key presses that carry a character of their own get a WM_CHAR behind them,
// as the game expects; printable characters arrive from the text input of the
// real back end as WM_CHAR already.
BOOL TranslateMessage(const MSG* msg)
{
    if (!msg || msg->message != WM_KEYDOWN)
        return FALSE;
    switch (msg->wParam) {
    case VK_BACK:
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
        PostMessageA(msg->hwnd, WM_CHAR, msg->wParam, msg->lParam);
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (!msg || !IsWindowHandle(msg->hwnd))
        return 0;
    plat::TapeNoteMessage(*msg);
    return msg->hwnd->info.proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hwnd && !IsWindowHandle(hwnd))
        return FALSE;
    MSG m{};
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = timeGetTime();
    s_queue.push_back(m);
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    PostMessageA(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    // Alt+F4 asks the window to close, as the desktop's default handling does.
    if (message == WM_SYSKEYDOWN && wParam == 0x73)
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    return 0;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    // The game draws its own cursor; a null cursor hides the system one.
    const bool hide = cursor == nullptr;
    if (hide != s_systemCursorHidden && !plat::IsHeadless())
        plat::sdl::SetSystemCursorVisible(!hide);
    s_systemCursorHidden = hide;
    if (s_mainWindow)
        s_mainWindow->info.cursorHidden = hide;
    return nullptr;
}

BOOL SetCursorPos(int x, int y)
{
    s_cursorPos = {x, y};
    if (!plat::IsHeadless() && s_mainWindow && s_mainWindow->native)
        plat::sdl::WarpMouse(s_mainWindow->native, x, y);
    return TRUE;
}

HICON LoadIconA(HINSTANCE, const char*)
{
    return nullptr; // the window has no icon of its own on this system
}

HGDIOBJ GetStockObject(int object)
{
    static PlatformBrush* const stock = reinterpret_cast<PlatformBrush*>(static_cast<std::uintptr_t>(0x1000));
    return object == BLACK_BRUSH ? stock : nullptr;
}

int MessageBoxA(HWND hwnd, const char* text, const char* caption, UINT type)
{
    s_lastBoxText = text ? text : "";
    s_lastBoxCaption = caption ? caption : "";
    s_lastBoxStyle = type;
    ++s_boxCount;
    if (!plat::IsHeadless()) {
        void* native = IsWindowHandle(hwnd) ? hwnd->native : nullptr;
        if (plat::sdl::ShowMessageBox(native, s_lastBoxText.c_str(), s_lastBoxCaption.c_str(), type))
            return IDOK;
    }
    std::fprintf(stderr, "[%s] %s\n", s_lastBoxCaption.c_str(), s_lastBoxText.c_str());
    return IDOK;
}

namespace plat {

const WindowInfo* GetWindowInfo(HWND hwnd)
{
    return IsWindowHandle(hwnd) ? &hwnd->info : nullptr;
}

void* NativeWindowHandle(HWND hwnd)
{
    return IsWindowHandle(hwnd) ? hwnd->native : nullptr;
}

std::size_t PendingMessages()
{
    return s_queue.size();
}

void ResetWindowing()
{
    s_queue.clear();
    while (!s_windows.empty())
        DestroyWindow(&s_windows.front());
    s_classes.clear();
    s_mainWindow = nullptr;
    plat::sdl::ShutdownVideo();
    s_drainsEnded = 0;
    s_budgetPosted = false;
    s_boxCount = 0;
    s_lastBoxText.clear();
    s_lastBoxCaption.clear();
    s_lastBoxStyle = 0;
}

const char* LastMessageBoxText()
{
    return s_lastBoxText.c_str();
}

const char* LastMessageBoxCaption()
{
    return s_lastBoxCaption.c_str();
}

UINT LastMessageBoxStyle()
{
    return s_lastBoxStyle;
}

unsigned MessageBoxCount()
{
    return s_boxCount;
}

unsigned MessageWaitCount()
{
    return s_messageWaits;
}

POINT LastCursorPos()
{
    return s_cursorPos;
}

} // namespace plat
