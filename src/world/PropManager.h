// City props (lampposts, cafes, garbage, shop entrances).
#pragma once

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
};

extern CPropManager g_PropManager;

// Props are drawn only while this is set (a developer key toggles it).
extern int g_bDrawProps;
