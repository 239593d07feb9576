// Placeholder until the trees, stones and grass are built; no field is planted and every counter stays 0.
#include "world/FieldObjectManager.h"

int CFieldObjectManager::Init()
{
    return 1;
}

void CFieldObjectManager::Release()
{
}

void CFieldObjectManager::Clear()
{
}

void CFieldObjectManager::Update()
{
}

void CFieldObjectManager::RenderStones()
{
}

void CFieldObjectManager::RenderTrees()
{
}

void CFieldObjectManager::RenderGrass()
{
}

void CFieldObjectManager::RenderTreeBranches()
{
}

void CFieldObjectManager::RenderShadowCasters()
{
}

void CFieldObjectManager::RefreshVisibility()
{
}

void CFieldObjectManager::ReleaseDeviceObjects()
{
}

void CFieldObjectManager::CreateDeviceObjects()
{
}
