// The scene lights.
#pragma once

class CSceneLights {
public:
    int Init();
    void Release();
    void Update();
};

extern CSceneLights g_SceneLights;
