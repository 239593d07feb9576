// The water rings and skid trails.
#pragma once

class CWaterCircles {
public:
    int Init();
    void Release();
    void Reset();
    void Update();
};

extern CWaterCircles g_WaterCircles;
