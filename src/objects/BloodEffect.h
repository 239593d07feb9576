// The blood drops.
#pragma once

class CBloodEffect {
public:
    int Init();
    void Release();
    void Reset();
    void Update();
    void Render();
};

extern CBloodEffect g_BloodEffect;
