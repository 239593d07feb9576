// The audio manager.
#pragma once

#include "platform/Win32Types.h"

class CAudioManager {
public:
    int Init(HWND hwnd);
    void Release();
    void PauseAll();
    void ResumeAll();
    void Compact();
    void Update();
    int m_nPauseCount = 0;
};

extern CAudioManager g_AudioManager;
