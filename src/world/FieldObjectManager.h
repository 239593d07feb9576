// The trees, stones and grass.
#pragma once

class CFieldObjectManager {
public:
    int Init();
    void Release();
    void Clear();
    void Update();
    void RenderStones();
    void RenderTrees();
    void RenderGrass();
    void RenderTreeBranches();
    void RenderShadowCasters();
    void RefreshVisibility();
    void ReleaseDeviceObjects();
    void CreateDeviceObjects();

    int m_nGrassInner = 0;
    int m_nGrassVisible = 0;
    int m_nTreesInner = 0;
    int m_nTreesVisible = 0;
};

extern CFieldObjectManager g_FieldObjects;
