// The city logic.
#pragma once

class CHuman;

enum { SCENE_NONE = 0, SCENE_NEW_GAME = 10 };

class CCityLogic {
public:
    int Init();
    void Release();
    void Reset();
    void Update();

    int m_nScene = SCENE_NONE; // no scene runs until the scenes are built
};

// The two figures of the new-game introduction; null while none stands.
extern CHuman* g_pMechanic;
extern CHuman* g_pPlayerFigure;

extern CCityLogic g_CityLogic;
