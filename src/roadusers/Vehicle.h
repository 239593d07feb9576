// A car of the road users (placeholder: only the values other subsystems read).
#pragma once

class CVehicle {
public:
    float m_fSpeed = 0.0f; // km/h, signed
    int m_nWheelsInContact = 0;
    float m_fEngineForce = 0.0f;
    float m_fBrakingForce = 0.0f;
};

// The player's car, or null.
extern CVehicle* g_pPlayerVehicle;
