// The menu background.
#pragma once

class CMenuBackground {
public:
    int OnGameInit();
    void Release();
};

extern CMenuBackground g_MenuBackground;
