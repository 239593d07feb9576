// Placeholder until the info screens are built; no screen is registered.
#include "world/InfoScreenManager.h"

int CInfoScreenManager::Init()
{
    return 1;
}

void CInfoScreenManager::Release()
{
}

void CInfoScreenManager::OnLostDevice()
{
}

void CInfoScreenManager::OnResetDevice()
{
}
