// The city logic.
#pragma once

class CStaticObject;
class CVehicle;

class CCityLogic {
public:
    // Starts a scene (0: none). Until the scenes are built it only records
    // the request.
    void SetScene(int scene, CVehicle* car, CStaticObject* prop);
    int m_nScene = 0;
    int m_nPhase = 0;
    CVehicle* m_pSceneCar = nullptr;
    CStaticObject* m_pSceneProp = nullptr;

    int Init();
    void Release();
    void Reset();
    void Update();
};

extern CCityLogic g_CityLogic;
