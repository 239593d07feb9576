// The effect world as a test fixture.
#pragma once

#include "objects/EffectWorld.h"

#include <gtest/gtest.h>

namespace test {

class EffectWorldTest : public ::testing::Test {
protected:
    void LookFrom(const D3DXVECTOR3& eye) { m_world.LookFrom(eye); }

    // Runs update n times at the frame time.
    template <class Update>
    static void Frames(int n, Update update)
    {
        for (int i = 0; i < n; ++i)
            update();
    }

    static constexpr float kFrame = EffectWorld::kFrame;
    EffectWorld m_world;
    CWorldCamera& m_camera = m_world.camera;
};

} // namespace test
