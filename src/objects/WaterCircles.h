// The water rings and skid trails.
#pragma once

class CWaterCircles {
public:
    int Init();
    void Release();
    void Reset();
    void Update();
    void RenderSkidTrails();
    void RenderRings();
};

extern CWaterCircles g_WaterCircles;
