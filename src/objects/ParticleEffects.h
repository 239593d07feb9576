// The flames, dust and sparks.
#pragma once

class CParticleEffects {
public:
    int Init();
    void Release();
    void Reset();
    void Update();
    void Render();
};

extern CParticleEffects g_ParticleEffects;
