#include "shell/RayHitInfo.h"

int CRayHitInfo::Init()
{
    m_pObject = nullptr;
    m_nClass = -1;
    m_nType = -1;
    return 1;
}

