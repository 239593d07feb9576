// The sky.
#pragma once

class CSky {
public:
    int Init();
    void Release();
    void Update();
    void Render();
    void RenderSunFlare();

    // Daylight of the time of day; 0 is night.
    float m_fDaylight = 1.0f;
};

extern CSky g_Sky;
