// The city logic.
#pragma once

class CVehicle;
class CProp;

class CCityLogic {
public:
    int Init();
    void Release();
    void Reset();
    void Update();
    // Starts a scripted moment (10 new game, 11 continue, 90 exit to the
    // menu ...); 0 means no scene runs.
    void SetScene(int scene, CVehicle* car, CProp* prop);

    int m_nScene = 0;
};

extern CCityLogic g_CityLogic;
