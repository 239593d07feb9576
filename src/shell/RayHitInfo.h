// The object last hit by a ray pick.
#pragma once

class CStaticObject;

class CRayHitInfo {
public:
    int Init();
    // Records a hit object with its class and type; null records no object.
    void Set(CStaticObject* object);

    CStaticObject* m_pObject;
    int m_nClass;
    int m_nType;
};

extern CRayHitInfo g_RayHit;
