// Steps the AI drivers share: the target in the car's axes, the speed law,
// the over-steer limit, the route frame and the stuck timer.
#pragma once

#include "platform/D3DX9.h"

#include <cstdint>

class CVehicle;

// The steering target in the car's axes, flat and of unit length (x to the
// right, z ahead); also kept as the car's local target.
D3DXVECTOR3 LocalTarget(CVehicle& car, const D3DXVECTOR3& target);

// Throttle and brake targets that bring the speed v towards s, scaled by
// the driver's throttle and brake ranges.
void ApplySpeedLaw(CVehicle& car, float s, float v, float throttle = 2000.0f, float brake = 100.0f);

// Holds the wheels at 0.8 x the target's sideways part while the target lies
// ahead and the wheels turned beyond it.
void LimitOverSteer(CVehicle& car, const D3DXVECTOR3& local);

// The point in the flat frame looking from `from` to `to`.
D3DXVECTOR3 InRouteFrame(const D3DXVECTOR3& point, const D3DXVECTOR3& from, const D3DXVECTOR3& to);
// The right axis of that frame.
D3DXVECTOR3 RouteFrameRight(const D3DXVECTOR3& from, const D3DXVECTOR3& to);

// The car's route count as far as the route can hold, and a point index
// clamped to its last point.
std::uint32_t RouteCount(const CVehicle& car);
std::uint32_t ClampIndex(const CVehicle& car, std::uint64_t index);

// Advances the route index by one when the car has come level with the
// point at the index, seen along the route towards `ahead`.
bool PassRoutePoint(CVehicle& car, std::uint32_t ahead);

// Grows while the car stands with engine force applied (and `more` holds).
void UpdateStuckTimer(CVehicle& car, bool more = true);

// Sounds the car's horn (a police car its siren) unless it still sounds.
void SoundHorn(CVehicle& car);
bool HornSounding(const CVehicle& car);
