// Contact hooks that only record what the contact pass hands them, so a test
// can watch the pass working without the road users' handlers.
#pragma once

#include "objects/ContactHooks.h"

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
