// The body's part groups, the damage look of a vertex and the repair.
#include "roadusers/Vehicle.h"

#include <algorithm>
#include <cstring>

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

// The buffer is locked without discard: it holds the current dented
// positions, and the vertices left alone must keep them.
void CVehicle::RepairBody(float fraction)
{
    const std::uint32_t count = DeformCount();
    void* locked = nullptr;
    if (count > 0 && m_pBodyVB && SUCCEEDED(m_pBodyVB->Lock(0, 0, &locked, 0))) {
        auto* vertices = static_cast<std::uint8_t*>(locked);
        std::memset(g_DamageMarks, 0, sizeof(g_DamageMarks));
        for (std::uint32_t k = 0; k < count; ++k) {
            DeformRecord& r = m_pDeform[k];
            if (g_DamageMarks[k] || !(r.fAmount > 0.0f))
                continue;
            r.fAmount -= fraction * r.fAmount;
            D3DXVECTOR3 p;
            std::memcpy(&p, vertices + std::size_t{k} * VEHICLE_BODY_VERTEX_SIZE, sizeof(p));
            p = p + (r.vBase - p) * fraction;
            SetDentedVertex(vertices, count, k, p, r.fAmount < 0.175f, true);
        }
        m_pBodyVB->Unlock();
    }
    for (float& wear : m_WheelWear)
        wear -= fraction * wear;
    m_fBodyDamage -= fraction * m_fBodyDamage;
}
