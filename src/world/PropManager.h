// City props (lampposts, cafes, garbage, shop entrances).
#pragma once

#include "platform/D3DX9.h"

class CStaticObject;
class CProp;

class CPropManager {
public:
    int Init();
    void Release();
    void Clear();
    void Update();
    // Each draw pass takes a sum of type codes and draws the props whose type
    // shares a bit with it.
    void Render(int typeMask);
    void RenderReflectiveEffects(int typeMask);
    void RenderLightEffects(int typeMask);
    void RenderShadowCasters(int typeMask);
    void RefreshVisibility();
    void ApplyBuildingOcclusion();
    // The prop of both masks nearest the position (distance minus radius),
    // below the maximum distance, or null.
    CStaticObject* FindNearestProp(int classMask, int typeMask, const D3DXVECTOR3* position, float maxDistance);
    // Creates, loads, places and links a prop; null when none was made.
    CProp* AddProp(const char* path, const D3DXVECTOR3* position, const D3DXVECTOR3* target, const D3DXVECTOR3* up,
                   int variant);
    void RemoveProp(CProp* prop);
    void LinkProp(CProp* prop, int skipBridges);
    void UnlinkProp(CProp* prop, int skipBridges);
};

extern CPropManager g_PropManager;

// Props are drawn only while this is set (a developer key toggles it).
extern int g_bDrawProps;
