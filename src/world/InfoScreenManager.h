// The info screens.
#pragma once

class CInfoScreenManager {
public:
    int Init();
    void Release();
    void OnLostDevice();
    void OnResetDevice();
};

extern CInfoScreenManager g_InfoScreens;
