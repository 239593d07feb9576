#include "support/ContactRecord.h"

ContactRecord g_ContactRecord;

void RecordCarContact(CStaticObject* car, const D3DXVECTOR3* localPoint, const D3DXVECTOR3* normal,
                      void* other, float strength)
{
    const int n = g_ContactRecord.nCarContacts++;
    if (n < CONTACT_RECORD_SIZE)
        g_ContactRecord.carContacts[n] = {car, *localPoint, *normal, other, strength};
}

void RecordKnockDown(CStaticObject* human)
{
    const int n = g_ContactRecord.nKnockDowns++;
    if (n < CONTACT_RECORD_SIZE)
        g_ContactRecord.knockDowns[n] = human;
}

void ClearContactRecord()
{
    g_ContactRecord = ContactRecord{};
}
