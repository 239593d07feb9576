#include "platform/SdlWindow.h"

#include "platform/Win32Window.h"

#include <SDL2/SDL.h>

namespace plat::sdl {

namespace {

bool s_videoReady = false;
bool s_openGLWindows = true;

bool EnsureVideo()
{
    if (s_videoReady)
        return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        SDL_Log("SDL video could not start: %s", SDL_GetError());
        return false;
    }
    s_videoReady = true;
    SDL_StartTextInput();
    return true;
}

LPARAM PointParam(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(x < 0 ? 0 : x), static_cast<WORD>(y < 0 ? 0 : y));
}

void PostKey(HWND hwnd, const SDL_KeyboardEvent& key, bool down)
{
    const int vk = VirtualKeyFromSdl(key.keysym.sym);
    if (vk == 0)
        return;
    // Bits 16-23 carry the scan code and bit 30/31 the previous and transition
    // states, as the game's messages did; the game only reads wParam.
    DWORD bits = 1u | (static_cast<DWORD>(key.keysym.scancode & 0xFF) << 16);
    if (key.repeat)
        bits |= 1u << 30;
    if (!down)
        bits |= (1u << 30) | (1u << 31);
    const bool alt = (key.keysym.mod & KMOD_ALT) != 0;
    const UINT msg = alt ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    PostMessageA(hwnd, msg, static_cast<WPARAM>(vk), static_cast<LPARAM>(bits));
}

// Text typed in the window arrives as UTF-8; the game's text is one byte per
// character, so characters of the first 256 code points are passed on.
void PostText(HWND hwnd, const char* utf8)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p) {
        unsigned code = *p++;
        if (code >= 0xC0 && code < 0xE0 && (*p & 0xC0) == 0x80) {
            code = ((code & 0x1F) << 6) | (*p++ & 0x3F);
        } else if (code >= 0x80) {
            while ((*p & 0xC0) == 0x80)
                ++p;
            continue;
        }
        if (code < 256)
            PostMessageA(hwnd, WM_CHAR, code, 1);
    }
}

void PostWindowEvent(HWND hwnd, const SDL_WindowEvent& w)
{
    switch (w.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        PostMessageA(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
        PostMessageA(hwnd, WM_SETFOCUS, 0, 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        PostMessageA(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
        PostMessageA(hwnd, WM_KILLFOCUS, 0, 0);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

void PostMouseButton(HWND hwnd, const SDL_MouseButtonEvent& b, bool down)
{
    UINT msg = 0;
    if (b.button == SDL_BUTTON_LEFT)
        msg = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    else if (b.button == SDL_BUTTON_RIGHT)
        msg = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    if (msg)
        PostMessageA(hwnd, msg, 0, PointParam(b.x, b.y));
}

} // namespace

void SetOpenGLWindows(bool openGL)
{
    s_openGLWindows = openGL;
}

void ShutdownVideo()
{
    if (!s_videoReady)
        return;
    SDL_StopTextInput();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    s_videoReady = false;
}

void* CreateNativeWindow(const char* title, int width, int height, bool visible)
{
    if (!EnsureVideo())
        return nullptr;
    Uint32 flags = SDL_WINDOW_BORDERLESS;
    if (s_openGLWindows)
        flags |= SDL_WINDOW_OPENGL;
    flags |= visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    SDL_Window* w = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
    if (!w)
        SDL_Log("SDL window could not be created: %s", SDL_GetError());
    return w;
}

void DestroyNativeWindow(void* native)
{
    if (native)
        SDL_DestroyWindow(static_cast<SDL_Window*>(native));
}

void ShowNativeWindow(void* native, bool show)
{
    if (!native)
        return;
    if (show)
        SDL_ShowWindow(static_cast<SDL_Window*>(native));
    else
        SDL_HideWindow(static_cast<SDL_Window*>(native));
}

void ResizeNativeWindow(void* native, int width, int height)
{
    if (native)
        SDL_SetWindowSize(static_cast<SDL_Window*>(native), width, height);
}

void WaitForEvent(int timeoutMs)
{
    if (s_videoReady)
        SDL_WaitEventTimeout(nullptr, timeoutMs);
}

void PumpEvents(HWND hwnd)
{
    if (!s_videoReady)
        return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_QUIT:
            PostMessageA(hwnd, WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT:
            PostWindowEvent(hwnd, e.window);
            break;
        case SDL_KEYDOWN:
            PostKey(hwnd, e.key, true);
            break;
        case SDL_KEYUP:
            PostKey(hwnd, e.key, false);
            break;
        case SDL_TEXTINPUT:
            PostText(hwnd, e.text.text);
            break;
        case SDL_MOUSEMOTION:
            PostMessageA(hwnd, WM_MOUSEMOVE, 0, PointParam(e.motion.x, e.motion.y));
            break;
        case SDL_MOUSEBUTTONDOWN:
            PostMouseButton(hwnd, e.button, true);
            break;
        case SDL_MOUSEBUTTONUP:
            PostMouseButton(hwnd, e.button, false);
            break;
        default:
            break;
        }
    }
}

void SetSystemCursorVisible(bool visible)
{
    if (s_videoReady)
        SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void WarpMouse(void* native, int x, int y)
{
    if (native)
        SDL_WarpMouseInWindow(static_cast<SDL_Window*>(native), x, y);
}

bool ShowMessageBox(void* native, const char* text, const char* caption, UINT type)
{
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    const UINT icon = type & 0xF0;
    if (icon == MB_ICONHAND)
        flags = SDL_MESSAGEBOX_ERROR;
    else if (icon == MB_ICONEXCLAMATION)
        flags = SDL_MESSAGEBOX_WARNING;
    return SDL_ShowSimpleMessageBox(flags, caption, text, static_cast<SDL_Window*>(native)) == 0;
}

} // namespace plat::sdl
