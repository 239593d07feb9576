// The scene lights.
#pragma once

class CSceneLights {
public:
    int Init();
    void Release();
    void Update();
    void OnLostDevice();
    void OnResetDevice();
};

extern CSceneLights g_SceneLights;
