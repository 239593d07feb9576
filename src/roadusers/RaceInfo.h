// The race on offer or running: one global record, all zero while no race is
// offered. The races fill it; the interface's race panels and HUD read it.
#pragma once

#include "graphics/ScreenVertex.h"
#include "platform/D3DX9.h"

#include <cstdint>

enum { RACE_MAP_VERTICES = 1364 };

struct RaceInfo {
    std::int32_t m_bTimeRace;     // 1 time race, 0 race against rivals
    std::int32_t m_nDamageLimit;  // percent of the car's damage ratio
    std::int32_t m_nPrize[3];     // first, second, third place
    float m_fTimeLimit[3];        // time race: ascending thresholds, s
    float m_fClock;               // s of game time since the start
    std::int32_t m_nLevel;        // 0..2
    float m_fLength;              // route length
    std::int32_t m_nCars;         // cars still in the race, the player included
    std::int32_t m_nGridSize;
    std::int32_t m_nPrizeLevel;
    std::int32_t m_bGridReady;
    const D3DXVECTOR3* m_pRoute;  // the manager's race route points
    D3DXVECTOR3 m_vCentre;        // mean of the route points
    float m_fRadius;              // largest x or z distance from the centre
    CScreenVertex m_MapVertices[RACE_MAP_VERTICES];
};

extern RaceInfo g_RaceInfo;
