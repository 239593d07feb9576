// Owns every pedestrian of the running game (at most 64): keeps the walkways
// around the traffic centre populated, places race spectators, runs the
// per-frame update and the visibility passes, and holds what all pedestrians
// share (the ragdoll part shapes and the pre-tinted clothing textures).
#pragma once

#include "graphics/KeptResources.h"

#include "platform/D3DX9.h"

#include <cstdint>

class CStaticObject;

class CHuman;
class IDirect3DTexture9;

enum {
    HUMAN_MANAGER_CAPACITY = 64,
    HUMAN_TINTS = 7,
    HUMAN_SPECTATORS_PER_SIDE = 6,
};

extern const char* const g_HumanModelPaths[2];
// The seven clothing tints: tint k is k + 1 read as the bits r, g, b.
extern const float g_HumanTints[HUMAN_TINTS][4];

// Pedestrians the spawner aims for at a traffic density (0..1) and traffic
// setting (0..2).
std::uint32_t HumanSpawnLimit(float density, int traffic);

class CHumanManager {
public:
    int Init();
    void Release();
    void Clear();
    void Update();
    void UpdateSpawning();
    void SpawnPedestrians();
    // One spawn attempt around the traffic centre; 1 when a pedestrian was made.
    int TrySpawnPedestrian();
    CHuman* CreateHuman(const char* path, const D3DXVECTOR3* position, const D3DXVECTOR3* direction, int gender);
    void RemoveHuman(CHuman* human);
    CHuman* FindHumanInSphere(const D3DXVECTOR3* position, float radius, const CHuman* exclude,
                              const CHuman* startAfter);
    void CreateSpectators(int restart);
    void DisperseSpectators();
    // Loads what the pedestrians of both genders share (see HumanFigures.cpp)
    // for the rest of the session, drawing no random number.
    void LoadFigures();
    // Puts the loaded figures into the list, in view and at that fade
    // (shown 1), or takes them out again: the program warm-up draws them.
    void ShowFigures(int shown, float alpha);
    void Render();
    void RenderShadows();
    void Refresh();
    void CullInvisible();

    CHuman* m_pHumans[HUMAN_MANAGER_CAPACITY] = {};
    std::uint32_t m_nHumans = 0;
    std::uint32_t m_nSpawnLimit = 0;
    std::int32_t m_nWaitingPassengers = 0;
    float m_fSpawnTimer = 0.0f;
    IDirect3DTexture9* m_Textures[3][2][2][HUMAN_TINTS] = {};
    // The figures' meshes and textures, kept from their first use to the
    // session's end.
    CKeptResources m_Kept;
    // One stand-in figure of each gender, made by LoadFigures.
    CHuman* m_pFigures[2] = {};

private:
    void MakeTintedClothing();
    void ReleaseTintedClothing();
    void KeepResourcesOf(const CHuman& human);
    CHuman* LoadFigure(int gender);
    void ReleaseFigures();
    void PlaceSpectator(const D3DXVECTOR3& at, const D3DXVECTOR3& facing);
};

extern CHumanManager g_HumanManager;

// Clears every plain pointer the game keeps to a pedestrian that is going.
void ForgetHuman(CHuman* human);
// The contact pass's knock-down: the pedestrian falls as a ragdoll.
void KnockDownHuman(CStaticObject* human);
