// The body's part groups, the damage look of a vertex and the repair.
// Denting on contact and the lamps that dents put out come with the damage
// step; until then a contact leaves the car as it is.
#include "roadusers/Vehicle.h"

#include <algorithm>
#include <cstring>
#include <vector>

int CVehicle::GetPartGroup(std::uint32_t index) const
{
    for (int g = 0; g < VEHICLE_PART_GROUPS; ++g)
        if (m_PartFirstVertex[g] <= index && index - m_PartFirstVertex[g] < m_PartVertexCount[g])
            return g;
    return -1;
}

std::uint32_t VehicleDentColour(int group, float amount, std::uint32_t previous)
{
    float alpha = 0.0f;
    switch (group) {
    case 0:
        alpha = std::min(1.0f, amount);
        break;
    case 2:
        alpha = std::max(0.0f, 1.0f - amount * 0.5f);
        break;
    case 3:
        alpha = std::min(1.0f, amount * 20.0f);
        break;
    case 4:
        alpha = std::max(0.2f, 1.0f - amount * 0.5f);
        break;
    default:
        return previous;
    }
    alpha = std::clamp(alpha, 0.0f, 1.0f);
    const auto a = static_cast<std::uint32_t>(alpha * 255.0f + 0.5f);
    return a << 24 | 0x00FFFFFFu;
}

void CVehicle::RepairBody(float fraction)
{
    if (m_pDeform && m_pBodyVB && m_nBodyVertices > 0) {
        void* locked = nullptr;
        if (SUCCEEDED(m_pBodyVB->Lock(0, 0, &locked, 0))) {
            auto* vertices = static_cast<std::uint8_t*>(locked);
            std::vector<std::uint8_t> marks(m_nBodyVertices, 0);
            auto repairVertex = [&](std::uint32_t index, const DeformRecord& r) {
                std::uint8_t* at = vertices + std::size_t{index} * VEHICLE_BODY_VERTEX_SIZE;
                D3DXVECTOR3 p;
                std::memcpy(&p, at, sizeof(p));
                p = p + (r.vBase - p) * fraction;
                std::memcpy(at, &p, sizeof(p));
                std::uint32_t colour = 0;
                std::memcpy(&colour, at + VEHICLE_BODY_COLOUR_OFFSET, sizeof(colour));
                const int group = GetPartGroup(index);
                colour = VehicleDentColour(group, r.fAmount, colour);
                std::memcpy(at + VEHICLE_BODY_COLOUR_OFFSET, &colour, sizeof(colour));
                if (group == 4 && r.fAmount < 0.175f)
                    RestoreLightsNear(&r);
            };
            for (std::uint32_t k = 0; k < m_nBodyVertices; ++k) {
                DeformRecord& r = m_pDeform[k];
                if (marks[k] || !(r.fAmount > 0.0f))
                    continue;
                r.fAmount -= fraction * r.fAmount;
                repairVertex(k, r);
                for (int t = 0; t < r.nTwins && t < VEHICLE_MAX_TWINS; ++t) {
                    const std::uint32_t twin = r.Twins[t];
                    if (twin >= m_nBodyVertices)
                        continue;
                    m_pDeform[twin].fAmount = r.fAmount;
                    marks[twin] = 1;
                    repairVertex(twin, r);
                }
            }
            m_pBodyVB->Unlock();
        }
    }
    for (float& wear : m_WheelWear)
        wear -= fraction * wear;
    m_fBodyDamage -= fraction * m_fBodyDamage;
}

// Placeholders until the car's lamps follow its dents: no lamp goes out or
// comes back.
void CVehicle::BreakLightsNear(const DeformRecord*)
{
}

void CVehicle::RestoreLightsNear(const DeformRecord*)
{
}

void CVehicle::ApplyCollisionDamage(const D3DXVECTOR3*, const D3DXVECTOR3*, void*, float)
{
}
