// Placeholder of the vehicle manager until the road users are built.
#pragma once

#include "platform/D3DX9.h"

#include <cstdint>

class CStaticObject;

class CVehicleManager {
public:
    int Init();
    void Release();
    void Clear();
    void CreatePlayerCar(const D3DXVECTOR3* position, const D3DXVECTOR3* target, const char* modelPath);
    void Update();
    void Refresh();
    void RenderVehicles();
    void RenderVehiclesSecondPass();
    void RenderLights();
    void RenderShadows();
    void ResetRace();
    // Traffic density (0..1) at a world position; no traffic yet.
    float GetTrafficDensity(const D3DXVECTOR3& position) const;

    std::uint32_t m_nCars = 0;
    std::uint32_t m_nSpawnLimit = 0;
    int m_Textures[3] = {-1, -1, -1};
    CStaticObject* m_pRaceInfoScreen = nullptr;
};

extern CVehicleManager g_VehicleManager;
