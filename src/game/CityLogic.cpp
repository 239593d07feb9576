// Placeholder until the city logic is built; the idle scene never changes.
#include "game/CityLogic.h"

CCityLogic g_CityLogic;
CHuman* g_pMechanic = nullptr;
CHuman* g_pPlayerFigure = nullptr;

int CCityLogic::Init()
{
    return 1;
}

void CCityLogic::Release()
{
}

void CCityLogic::Reset()
{
}

void CCityLogic::Update()
{
}

void CCityLogic::SetScene(int scene, CVehicle* car, CStaticObject* prop)
{
    m_nScene = scene;
    m_pSceneCar = car;
    m_pSceneProp = prop;
}
