// The current taxi job: all zeros while there is none.
#pragma once

#include "platform/D3DX9.h"

#include <cstdint>

class CHuman;

struct CTaxiJob {
    std::int32_t m_bOnBoard;      // the passenger rides in the player's car
    float m_fOfferedFare;
    float m_fFare;                // running fare, paid on delivery
    float m_fRideTime;            // seconds of game time
    float m_fRouteLength;
    D3DXVECTOR3 m_vLandingPoint;
    CHuman* m_pPassenger;
};

extern CTaxiJob g_TaxiJob;
