// Placeholder until the city logic is built: a scene is only remembered.
#include "game/CityLogic.h"

CCityLogic g_CityLogic;

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

void CCityLogic::SetScene(int scene, CVehicle*, CProp*)
{
    m_nScene = scene;
}
