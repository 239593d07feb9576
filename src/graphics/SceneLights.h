// The scene lights: the device's eight light indices given out as the sun,
// the moon, the player's headlight spot and up to five fading street lamps,
// with the ambient and fog colours that follow the sky.
#pragma once

#include "platform/D3D9.h"
#include "platform/D3DX9.h"

#include <cstdint>

enum { SCENE_LIGHT_SLOTS = 8, MAX_POINT_LIGHTS = 5, LIGHT_SET_ENTRIES = 6 };
enum { LIGHT_POINT = 1, LIGHT_DIRECTIONAL = 2, LIGHT_SPOT = 3 };

// One device light index.
class CSceneLight {
public:
    void Create(int slot, int kind, const D3DXVECTOR3* position, float range);
    void Enable();
    void Disable();
    void SetPosition(const D3DXVECTOR3* position);
    void SetDirection(const D3DXVECTOR3* direction);
    void SetColor(const float rgba[4]);
    void Apply();

    int m_nSlot = -1; // the device light 0..7 this record stands for; -1 free
    int m_nKind = 0;
    D3DLIGHT9 m_Light{};
    int m_bEnabled = 0;
};

struct CLightSetEntry {
    int nSlot;
    float Position[4]; // x, y, z, range
    float Diffuse[4];  // r, g, b, linear attenuation
    float Specular[4];
};

// The point lights that reach one object; every lit object keeps one.
struct CLightSet {
    std::uint32_t m_Reserved[26];
    CLightSetEntry m_Lights[LIGHT_SET_ENTRIES];
    int m_nDirLights;
    std::uint32_t m_nCount;
};

class CSceneLights {
public:
    int Init();
    void Release();
    void Update();
    void OnLostDevice();
    void OnResetDevice();

    int CreateLight(int kind, const D3DXVECTOR3* position, float range);
    int FindFreeLight() const;
    void FreeLight(int slot);

    int AddPointLight(const D3DXVECTOR3* position, const float colour[4], float range, int switchedOn);
    void SwitchOffPointLight(int n);
    void GatherNearLights(const D3DXVECTOR3* position, float radius, CLightSet* set) const;
    void ApplyLightSet(CLightSet* set);
    float* GetPointLightColor(float out[4], const D3DXVECTOR3* position) const;
    void DisablePointLights();

    void EnableHeadlightSpot();
    void DisableHeadlightSpot();

    void SaveDirLight1();
    void SaveDirLight2();
    void RestoreDirLight1();
    void RestoreDirLight2();
    void EnableDirLight1(int on);
    void EnableDirLight2(int on);
    void SetDirLight1Color(float r, float g, float b, float a);
    void SetDirLight2Color(float r, float g, float b, float a);
    void SetDirLight1Direction(const D3DXVECTOR3* direction);
    void SetDirLight2Direction(const D3DXVECTOR3* direction);
    void SetFogColor(float r, float g, float b, float a);
    void ApplyFogColor();

    CSceneLight m_Slots[SCENE_LIGHT_SLOTS];
    int m_nDirLight1Slot = -1;
    int m_nDirLight2Slot = -1;
    int m_nSpotSlot = 7;
    float m_SavedColour1[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float m_SavedColour2[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    D3DXVECTOR3 m_vSavedDir1{0.0f, -1.0f, 0.0f};
    D3DXVECTOR3 m_vSavedDir2{0.0f, -1.0f, 0.0f};
    int m_bSavedOn1 = 0;
    int m_bSavedOn2 = 0;
    float m_DirLight1Colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float m_DirLight2Colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    std::uint32_t m_nPointLights = 0;
    int m_PointLightSlots[MAX_POINT_LIGHTS] = {-1, -1, -1, -1, -1};
    float m_fPointLightAge[MAX_POINT_LIGHTS] = {};
    float m_PointLightColour[MAX_POINT_LIGHTS][4] = {
        {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f},
        {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}};
    int m_bPointLightOn[MAX_POINT_LIGHTS] = {};
    int m_nUpdateStamp = 0;

private:
    CSceneLight* Used(int slot);
    const CSceneLight* Used(int slot) const;
    void UpdateDirLights();
    void UpdatePointLightFades();
    void SendDirLightCount();
    void SetDirLightColor(int slot, const char* diffuse, const char* specular, const float rgba[4]);
    void SetDirLightDirection(int slot, const char* dir, const char* pos, const D3DXVECTOR3* d);
};

extern CSceneLights g_SceneLights;
