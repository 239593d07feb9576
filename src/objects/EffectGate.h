// The visibility rule the effect sub-objects share, and the small helpers
// their draws have in common.
#pragma once

#include "graphics/LightVertex.h"
#include "shell/VectorHelpers.h"

#include <cstdint>

class CStaticObject;
class CVehicle;

// The cube-map pass draws effects only this close.
inline constexpr float EFFECT_CUBE_DISTANCE = 60.0f;

// The owner's render flag, the cube-pass rule, its visible flag (or the cube
// pass), a camera distance of at most far, and for a car: not the car seen
// from inside and no farther than 0.3 x carFar.
bool PassesEffectGate(CStaticObject* owner, float far, float carFar);
// The first three of those conditions.
bool PassesEffectGateVisibility(CStaticObject* owner);
// A car seen from inside (camera mode 1 following it).
bool IsOwnerFollowedInCar(const CStaticObject* owner);
// The owner as a car when it is one (class and type of a car), else null:
// only cars have the car fields the lamps read.
const CVehicle* OwnerAsCar(const CStaticObject* owner);

float ViewDistance();
// min(view distance, limit).
float ViewDistanceUpTo(float limit);

// 0xFF000000 | r, g, b, each channel x 255 truncated into 0..255.
std::uint32_t OpaqueLightColour(const D3DXCOLOR4& c);
D3DXCOLOR4 ScaledColour(const D3DXCOLOR4& c, float k);
// The point under the owner's world matrix.
D3DXVECTOR3 OwnerWorldPoint(const CStaticObject* owner, const D3DXVECTOR3& point);
// The mesh's point list (0 points when the owner, its mesh or the list is missing).
std::uint32_t OwnerPointCount(const CStaticObject* owner, std::uint32_t list);
const D3DXVECTOR3* OwnerPoints(const CStaticObject* owner, std::uint32_t list);
