// The city logic.
#pragma once

class CHuman;
class CStaticObject;
class CVehicle;

enum { SCENE_NONE = 0, SCENE_NEW_GAME = 10 };

class CCityLogic {
public:
    // Starts a scene (0: none). Until the scenes are built it only records
    // the request.
    void SetScene(int scene, CVehicle* car, CStaticObject* prop);
    int m_nScene = 0;
    CVehicle* m_pSceneCar = nullptr;
    CStaticObject* m_pSceneProp = nullptr;

    int Init();
    void Release();
    void Reset();
    void Update();
};

// The two figures of the new-game introduction; null while none stands.
extern CHuman* g_pMechanic;
extern CHuman* g_pPlayerFigure;

extern CCityLogic g_CityLogic;
