// What the contact pass hands to the road users: collision damage for a car
// and the knock-down of a pedestrian hit by a car. The road users point the
// hooks at their own handlers; until they do, the hooks only record what
// they are given, so the pass can be watched working.
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

enum { CONTACT_RECORD_SIZE = 64 };

struct RecordedCarContact {
    CStaticObject* car;
    D3DXVECTOR3 localPoint;
    D3DXVECTOR3 normal;
    void* other;
    float strength;
};

// What the recording hooks saw; calls past the arrays are only counted.
struct ContactRecord {
    int nCarContacts;
    RecordedCarContact carContacts[CONTACT_RECORD_SIZE];
    int nKnockDowns;
    CStaticObject* knockDowns[CONTACT_RECORD_SIZE];
};

extern ContactRecord g_ContactRecord;

void RecordCarContact(CStaticObject* car, const D3DXVECTOR3* localPoint, const D3DXVECTOR3* normal,
                      void* other, float strength);
void RecordKnockDown(CStaticObject* human);
void ClearContactRecord();
