// The sky.
#pragma once

class CSky {
public:
    int Init();
    void Release();
    void Update();
    void Render();
    void RenderSunFlare();
};

extern CSky g_Sky;
