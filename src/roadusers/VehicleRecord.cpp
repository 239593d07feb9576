// The car record of a profile save: the car's look, levels and wear, and one
// dent record per body vertex, written and read field by field.
#include "roadusers/Vehicle.h"

#include "roadusers/VehicleManager.h"
#include "shell/NumberRanges.h"
#include "shell/SaveRecord.h"

#include <algorithm>
#include <cfloat>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

void WriteRecord(CSaveWriter& out, const DeformRecord& r)
{
    for (const D3DXVECTOR3* v : {&r.vBase, &r.vDented}) {
        out.F32(v->x);
        out.F32(v->y);
        out.F32(v->z);
    }
    out.F32(r.fAmount);
    std::uint8_t tail[12] = {};
    for (int t = 0; t < 4; ++t) {
        tail[2 * t] = static_cast<std::uint8_t>(r.Twins[t] & 0xFF);
        tail[2 * t + 1] = static_cast<std::uint8_t>(r.Twins[t] >> 8);
    }
    tail[8] = r.nTwins;
    out.Bytes(tail, sizeof(tail));
}

bool ReadRecord(CSaveReader& in, DeformRecord* r)
{
    bool ok = true;
    for (D3DXVECTOR3* v : {&r->vBase, &r->vDented})
        ok = in.F32(&v->x) && in.F32(&v->y) && in.F32(&v->z) && ok;
    ok = in.F32(&r->fAmount) && ok;
    std::uint8_t tail[12] = {};
    ok = in.Bytes(tail, sizeof(tail)) && ok;
    for (int t = 0; t < 4; ++t)
        r->Twins[t] = static_cast<std::uint16_t>(tail[2 * t] | tail[2 * t + 1] << 8);
    r->nTwins = tail[8];
    return ok;
}

// The fixed part of the record, read before any of it is applied.
struct RecordHead {
    char name[64];
    float remaining, raceValue, raceStartDamage;
    std::int32_t racePlace;
    float paint[4], paint2[4];
    std::int32_t gloss;
    std::int32_t levels[4];
    float damage;
    float wear[4];
    std::uint32_t count;
};

bool ReadRecordHead(CSaveReader& in, RecordHead* h)
{
    in.Bytes(h->name, sizeof(h->name));
    in.F32(&h->remaining);
    in.I32(&h->racePlace);
    in.F32(&h->raceValue);
    in.F32(&h->raceStartDamage);
    for (float& c : h->paint)
        in.F32(&c);
    for (float& c : h->paint2)
        in.F32(&c);
    in.I32(&h->gloss);
    for (std::int32_t& l : h->levels)
        in.I32(&l);
    in.F32(&h->damage);
    for (float& w : h->wear)
        in.F32(&w);
    in.U32(&h->count);
    return in.Ok();
}

void WriteVertexPosition(std::uint8_t* vertices, std::uint32_t index, const D3DXVECTOR3& p)
{
    std::memcpy(vertices + std::size_t{index} * VEHICLE_BODY_VERTEX_SIZE, &p, sizeof(p));
}

void RecolourVertex(std::uint8_t* vertices, std::uint32_t index, int group, float amount)
{
    std::uint8_t* at = vertices + std::size_t{index} * VEHICLE_BODY_VERTEX_SIZE + VEHICLE_BODY_COLOUR_OFFSET;
    std::uint32_t colour = 0;
    std::memcpy(&colour, at, sizeof(colour));
    colour = VehicleDentColour(group, amount, colour);
    std::memcpy(at, &colour, sizeof(colour));
}

} // namespace

void CVehicle::Save(CSaveWriter& out)
{
    char name[64] = {};
    std::memcpy(name, m_szName, sizeof(name) - 1);
    out.Bytes(name, sizeof(name));
    out.F32(m_fRemainingDistance);
    out.I32(m_nRacePlace);
    out.F32(m_fRaceValue);
    out.F32(m_fRaceStartDamage);
    for (float c : m_PaintColor)
        out.F32(c);
    for (float c : m_PaintColor2)
        out.F32(c);
    out.I32(m_nPaintGloss);
    for (std::int32_t l : m_UpgradeLevels)
        out.I32(l);
    out.F32(m_fBodyDamage);
    for (float w : m_WheelWear)
        out.F32(w);
    const std::uint32_t count = m_pDeform ? m_PartFirstVertex[4] + m_PartVertexCount[4] : 0;
    out.U32(count);
    for (std::uint32_t i = 0; i < count; ++i)
        WriteRecord(out, m_pDeform[i]);
}

int CVehicle::Load(CSaveReader& in)
{
    RecordHead head{};
    if (!ReadRecordHead(in, &head) || head.count > in.Remaining() / VEHICLE_RECORD_ITEM_SIZE)
        return 0;
    std::memcpy(m_szName, head.name, sizeof(m_szName));
    m_szName[sizeof(m_szName) - 1] = '\0';
    m_fRemainingDistance = head.remaining;
    m_nRacePlace = head.racePlace;
    m_fRaceValue = head.raceValue;
    m_fRaceStartDamage = head.raceStartDamage;
    std::memcpy(m_PaintColor, head.paint, sizeof(m_PaintColor));
    std::memcpy(m_PaintColor2, head.paint2, sizeof(m_PaintColor2));
    m_nPaintGloss = head.gloss;
    std::memcpy(m_UpgradeLevels, head.levels, sizeof(m_UpgradeLevels));
    m_fBodyDamage = head.damage;
    std::memcpy(m_WheelWear, head.wear, sizeof(m_WheelWear));

    // Records for another body, or naming vertices this body lacks, are
    // stepped over: the mesh stays as loaded.
    std::unique_ptr<DeformRecord[]> records(new DeformRecord[head.count ? head.count : 1]);
    bool fits = head.count == m_nBodyVertices && m_pDeform;
    for (std::uint32_t i = 0; i < head.count; ++i) {
        if (!ReadRecord(in, &records[i]))
            return 0;
        const DeformRecord& r = records[i];
        if (r.nTwins > VEHICLE_MAX_TWINS)
            fits = false;
        for (int t = 0; fits && t < r.nTwins; ++t)
            fits = r.Twins[t] < m_nBodyVertices;
    }
    if (fits && head.count > 0) {
        delete[] m_pDeform;
        m_pDeform = records.release();
    }
    // A crafted save (engine level 1e8, damage +inf, chassis level 2^31-1)
    // would overflow the rating and the levels a rival is given against
    // this car: nothing leaves the record outside what the game produces.
    ClampRecordState();
    if (fits && head.count > 0)
        ApplyRecordDents(m_pDeform, m_nBodyVertices);
    UpdatePerformance(1, 1);
    UpdatePhysicsProperties();
    return 1;
}

void CVehicle::ClampRecordState()
{
    for (std::int32_t& level : m_UpgradeLevels)
        level = std::clamp<std::int32_t>(level, 0, VEHICLE_UPGRADE_LEVEL_MAX);
    m_fBodyDamage = ClampFloat(m_fBodyDamage, 0.0f, 1.0f);
    for (float& wear : m_WheelWear)
        wear = ClampFloat(wear, 0.0f, 1.0f);
    for (float* paint : {m_PaintColor, m_PaintColor2})
        for (int c = 0; c < 4; ++c)
            paint[c] = ClampFloat(paint[c], 0.0f, 1.0f);
    m_nPaintGloss = std::clamp<std::int32_t>(m_nPaintGloss, 0, 255);
    m_fRemainingDistance = ClampFloat(m_fRemainingDistance, 0.0f, FLT_MAX);
    m_nRacePlace = std::clamp<std::int32_t>(m_nRacePlace, -1, RACE_GRID_CARS);
    m_fRaceValue = ClampFloat(m_fRaceValue, -FLT_MAX, FLT_MAX);
    m_fRaceStartDamage = ClampFloat(m_fRaceStartDamage, 0.0f, 100.0f);
    for (std::uint32_t i = 0; m_pDeform && i < DeformCount(); ++i)
        m_pDeform[i].fAmount = ClampFloat(m_pDeform[i].fAmount, 0.0f, 1.0f);
}

// Only the dented vertices are rewritten, so the buffer is locked without
// discard: the others keep what they hold.
void CVehicle::ApplyRecordDents(const DeformRecord* records, std::uint32_t count)
{
    if (!m_pBodyVB || count == 0 || count > VEHICLE_MAX_BODY_VERTICES)
        return;
    void* locked = nullptr;
    if (FAILED(m_pBodyVB->Lock(0, 0, &locked, 0)))
        return;
    auto* vertices = static_cast<std::uint8_t*>(locked);
    std::vector<std::uint8_t> done(count, 0);
    for (std::uint32_t i = 0; i < count; ++i) {
        const DeformRecord& r = records[i];
        const float a = r.fAmount;
        if (done[i] || !(a > 0.0f))
            continue;
        D3DXVECTOR3 p = r.vBase + (r.vDented - r.vBase) * a;
        p.x += (static_cast<float>(std::rand() % 100) / 500.0f - 0.1f) * 0.25f;
        p.y += (static_cast<float>(std::rand() % 100) / 500.0f - 0.1f) * 0.25f;
        p.z += (static_cast<float>(std::rand() % 100) / 500.0f - 0.1f) * 0.25f;
        WriteVertexPosition(vertices, i, p);
        const int group = GetPartGroup(i);
        RecolourVertex(vertices, i, group, a);
        if (group == 4 && a > 0.175f)
            BreakLightsNear(&r);
        for (int t = 0; t < r.nTwins && t < VEHICLE_MAX_TWINS; ++t) {
            const std::uint32_t twin = r.Twins[t];
            if (twin >= count)
                continue;
            WriteVertexPosition(vertices, twin, p);
            done[twin] = 1;
            RecolourVertex(vertices, twin, GetPartGroup(twin), a);
        }
    }
    m_pBodyVB->Unlock();
}
