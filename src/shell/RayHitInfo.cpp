#include "shell/RayHitInfo.h"

#include "objects/StaticObject.h"

int CRayHitInfo::Init()
{
    m_pObject = nullptr;
    m_nClass = -1;
    m_nType = -1;
    return 1;
}


void CRayHitInfo::Set(CStaticObject* object)
{
    if (!object) {
        Init();
        return;
    }
    m_pObject = object;
    m_nClass = static_cast<int>(object->m_nClass);
    m_nType = static_cast<int>(object->m_nType);
}
