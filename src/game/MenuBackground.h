// The picture behind the game menu: each of the twelve backgrounds stays 4 s
// alone, then cross-fades over 4 s into a random next one, on real time so a
// paused game clock does not stop it.
#pragma once

#include "graphics/TextureManager.h"

class CMenuBackground {
public:
    CMenuBackground();
    int OnGameInit();
    void Reset();
    void Release();
    void Start(int on, int mode);
    // Slot 0 is the current picture, 1 the one fading in.
    void Load(int number, int slot);
    void Update();

    int m_bOn;
    int m_nMode;
    float m_fHold;
    float m_fFade;
    int m_nCurrent;
    int m_nNext;
    TextureId m_CurrentTexture;
    TextureId m_NextTexture;
    // Set when the next picture failed to load: it is asked for again at the
    // next hold, not every frame (each failure shows a box).
    int m_bNextFailed;

private:
    void Draw(TextureId texture, float grey);
};

extern CMenuBackground g_MenuBackground;
