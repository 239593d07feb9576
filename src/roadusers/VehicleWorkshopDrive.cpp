// The workshop's work on a car: smoke while the body is mended or painted.
#include "roadusers/Vehicle.h"

#include "objects/ParticleEffects.h"
#include "shell/GameTimer.h"
#include "shell/VectorHelpers.h"

#include <cstdlib>

namespace {

constexpr int kPuffs = 20;
constexpr float kPuffInterval = 0.1f;

float Draw(int range, float divisor)
{
    return static_cast<float>(std::rand() % range) / divisor;
}

} // namespace

// Twenty puffs around the car, at most every 0.1 s of game time; true when
// they were puffed.
bool CVehicle::PuffWorkshopSmoke(const D3DXCOLOR4& colour)
{
    if (g_GameTimer.GetGameTimeSince(static_cast<std::uint32_t>(m_nSmokeStamp)) < kPuffInterval)
        return false;
    m_nSmokeStamp = static_cast<std::int32_t>(g_GameTimer.m_fGameTime);
    for (int i = 0; i < kPuffs; ++i) {
        const float x = Draw(201, 100.0f) - 1.0f;
        const float y = Draw(101, 200.0f);
        const float z = Draw(201, 100.0f) - 1.0f;
        const D3DXVECTOR3 offset = D3DXVECTOR3(x, y, z) * (m_fSphereRadius * 0.5f);
        D3DXVECTOR3 velocity;
        Vec3Normalize(&velocity, &offset);
        velocity *= Draw(101, 200.0f) + 1.0f;
        const D3DXVECTOR3 at = m_vPosition + offset;
        g_ParticleEffects.AddFlame(&at, &velocity, 0.5f, 1.5f, 0.25f, &colour, 0, nullptr);
    }
    return true;
}

// The work is counted in puffs, not frames, so a repair takes about 1.2 s
// (and a paint job 2.2 s) whatever the frame rate.
void CVehicle::DriveWorkshopRepair()
{
    if (!PuffWorkshopSmoke(D3DXCOLOR4{0.0f, 0.0f, 0.0f, 0.5f}))
        return;
    ++m_nBehaviourTicks;
    if (m_nBehaviourTicks >= (m_fRepairFraction == 0.0f ? 6 : 12)) {
        RepairBody(m_fRepairFraction);
        SetAIState(AI_STATE_HOLD);
    }
}

// The selector (kept in the stuck timer) picks the first or second paint.
void CVehicle::DriveWorkshopPaint()
{
    const float* paint = m_fStuckTimer == 0.0f ? m_PaintColor : m_PaintColor2;
    if (!PuffWorkshopSmoke(D3DXCOLOR4{paint[0], paint[1], paint[2], 0.25f}))
        return;
    if (m_nBehaviourTicks++ == 21)
        SetAIState(AI_STATE_HOLD);
}
