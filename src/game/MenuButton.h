// Text buttons of the game menu, drawn with the menu font in the 800 x 600
// design space. Every action happens when a pressed button is released,
// 0.1 s of real time after the press, so the press shows first.
#pragma once

#include "graphics/GameFont.h"

struct CMenuColor {
    float v[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

enum { MENU_ALIGN_RIGHT = 0, MENU_ALIGN_CENTRE = 1, MENU_ALIGN_LEFT = 2 };

struct CMenuButton {
    void Set(const char* text, CGameFont* font, float r, float g, float b, float a, int align, float size,
             int enabled);
    void Draw();
    int IsMouseOver();
    int CheckClick();
    int Press();
    int IsReleased();
    float TextWidth() const;
    float LineHeight() const;
    // Left edge of the text for its anchor and alignment at a width.
    float TextLeft(float width) const;

    CGameFont* m_pFont = nullptr;
    char m_szText[64] = {};
    float m_fX = 0.0f, m_fY = 0.0f;
    float m_fSize = 1.0f;
    int m_nAlign = MENU_ALIGN_CENTRE;
    int m_bEnabled = 0;
    int m_bPressed = 0;
    int m_bHover = 0;
    int m_nPressStamp = 0;
    CMenuColor m_Color;
};

struct CMenuValueButton : CMenuButton {
    void SetValue(const char* text, float r, float g, float b, float a, int align);
    void Draw();

    char m_szValue[64] = {};
    int m_nValueAlign = MENU_ALIGN_LEFT;
    CMenuColor m_ValueColor;
};

// The soft dark halo behind menu text, so it reads over a bright picture.
inline constexpr unsigned kTextHalo = 0x90000000u;

// 0xAARRGGBB of a colour scaled on all four channels.
unsigned MenuColorArgb(const CMenuColor& colour, float scale);
