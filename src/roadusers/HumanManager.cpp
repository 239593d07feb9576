// Placeholder until the pedestrian manager is built: nobody walks.
#include "roadusers/HumanManager.h"

int CHumanManager::Init()
{
    return 1;
}

void CHumanManager::Release()
{
}

void CHumanManager::Clear()
{
}

void CHumanManager::Update()
{
}

void CHumanManager::Render()
{
}

void CHumanManager::RenderShadows()
{
}

void CHumanManager::Refresh()
{
}
