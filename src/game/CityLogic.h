// The city logic.
#pragma once

class CCityLogic {
public:
    int Init();
    void Release();
    void Reset();
    void Update();
};

extern CCityLogic g_CityLogic;
