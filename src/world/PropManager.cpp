// Placeholder until the city props are built; no prop is placed or drawn.
#include "world/PropManager.h"

int g_bDrawProps = 1;

int CPropManager::Init()
{
    return 1;
}

void CPropManager::Release()
{
}

void CPropManager::Clear()
{
}

void CPropManager::Update()
{
}

void CPropManager::Render(int)
{
}

void CPropManager::RenderReflectiveEffects(int)
{
}

void CPropManager::RenderLightEffects(int)
{
}

void CPropManager::RenderShadowCasters(int)
{
}

void CPropManager::RefreshVisibility()
{
}

void CPropManager::ApplyBuildingOcclusion()
{
}

CStaticObject* CPropManager::FindNearestProp(int, int, const D3DXVECTOR3*, float)
{
    return nullptr;
}

CProp* CPropManager::AddProp(const char*, const D3DXVECTOR3*, const D3DXVECTOR3*, const D3DXVECTOR3*, int)
{
    return nullptr;
}

void CPropManager::RemoveProp(CProp*)
{
}

void CPropManager::LinkProp(CProp*, int)
{
}

void CPropManager::UnlinkProp(CProp*, int)
{
}
