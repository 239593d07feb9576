// What the contact pass hands to the road users: collision damage for a car
// and the knock-down of a pedestrian hit by a car. The pass sits below the
// road users, so they point these hooks at their own handlers; a hook still
// null (before their start-up, after the pedestrians' release) is skipped.
#pragma once

#include "platform/D3DX9.h"

class CStaticObject;

// A car's contact this step: the manifold's mean point in the car body's own
// frame, the mean normal pointing towards the car, and the user pointer of
// what it touched (a static object, or &g_Landscape for the terrain); a
// strength of 0 asks the car to work it out from the impact.
using CarContactHook = void (*)(CStaticObject* car, const D3DXVECTOR3* localPoint, const D3DXVECTOR3* normal,
                                void* other, float strength);
// A pedestrian a car touched; called once per pedestrian and step, after the
// pass has finished with the manifolds, so the handler may swap bodies.
using KnockDownHook = void (*)(CStaticObject* human);

extern CarContactHook g_pfnCarContact;
extern KnockDownHook g_pfnKnockDown;
