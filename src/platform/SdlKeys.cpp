// SDL key codes to the virtual-key codes the game's key flags and bindings use.
#include "platform/SdlWindow.h"

#include <SDL2/SDL.h>

namespace plat::sdl {

namespace {

struct KeyPair {
    SDL_Keycode sdl;
    int vk;
};

const KeyPair kKeys[] = {
    {SDLK_BACKSPACE, VK_BACK},     {SDLK_TAB, VK_TAB},           {SDLK_RETURN, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN},    {SDLK_LSHIFT, VK_SHIFT},      {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},      {SDLK_RCTRL, VK_CONTROL},     {SDLK_LALT, VK_MENU},
    {SDLK_RALT, VK_MENU},          {SDLK_PAUSE, VK_PAUSE},       {SDLK_CAPSLOCK, VK_CAPITAL},
    {SDLK_ESCAPE, VK_ESCAPE},      {SDLK_SPACE, VK_SPACE},       {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},      {SDLK_END, VK_END},           {SDLK_HOME, VK_HOME},
    {SDLK_LEFT, VK_LEFT},          {SDLK_UP, VK_UP},             {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},          {SDLK_PRINTSCREEN, VK_SNAPSHOT}, {SDLK_INSERT, VK_INSERT},
    {SDLK_DELETE, VK_DELETE},      {SDLK_KP_MULTIPLY, VK_MULTIPLY}, {SDLK_KP_PLUS, VK_ADD},
    {SDLK_KP_MINUS, VK_SUBTRACT},  {SDLK_KP_PERIOD, VK_DECIMAL}, {SDLK_KP_DIVIDE, VK_DIVIDE},
    {SDLK_NUMLOCKCLEAR, VK_NUMLOCK}, {SDLK_SCROLLLOCK, VK_SCROLL}, {SDLK_SEMICOLON, VK_OEM_1},
    {SDLK_EQUALS, VK_OEM_PLUS},    {SDLK_COMMA, VK_OEM_COMMA},   {SDLK_MINUS, VK_OEM_MINUS},
    {SDLK_PERIOD, VK_OEM_PERIOD},  {SDLK_SLASH, VK_OEM_2},       {SDLK_BACKQUOTE, VK_OEM_3},
    {SDLK_LEFTBRACKET, VK_OEM_4},  {SDLK_BACKSLASH, VK_OEM_5},   {SDLK_RIGHTBRACKET, VK_OEM_6},
    {SDLK_QUOTE, VK_OEM_7},
};

} // namespace

int VirtualKeyFromSdl(int sdlKeycode)
{
    if (sdlKeycode >= SDLK_a && sdlKeycode <= SDLK_z)
        return 'A' + (sdlKeycode - SDLK_a);
    if (sdlKeycode >= SDLK_0 && sdlKeycode <= SDLK_9)
        return '0' + (sdlKeycode - SDLK_0);
    if (sdlKeycode >= SDLK_F1 && sdlKeycode <= SDLK_F12)
        return VK_F1 + (sdlKeycode - SDLK_F1);
    if (sdlKeycode >= SDLK_KP_1 && sdlKeycode <= SDLK_KP_9)
        return VK_NUMPAD0 + 1 + (sdlKeycode - SDLK_KP_1);
    if (sdlKeycode == SDLK_KP_0)
        return VK_NUMPAD0;
    for (const KeyPair& k : kKeys)
        if (k.sdl == sdlKeycode)
            return k.vk;
    return 0;
}

} // namespace plat::sdl
