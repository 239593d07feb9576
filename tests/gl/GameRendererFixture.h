// The game's renderer on the drawing device, reading sample files from a
// temporary folder: the render textures written, the technique file
// compiled at the vertex shader 1.1 level, every cached render state unset
// so that its first setting reaches the fresh device, clockwise culling and
// no fog, and the test world's camera and daylight.
#pragma once

#include "GlFixture.h"

#include "objects/EffectWorld.h"
#include "support/TempDir.h"

#include <memory>
#include <string>

namespace gltest {

class GameRendererTest : public GlDeviceTest {
protected:
    // The device and the render textures; a derived fixture then writes its
    // own sample files and calls StartRenderer.
    void SetUp() override;
    // The effect, every loaded texture and the world go; the renderer is
    // back at its defaults and reads the archives again.
    void TearDown() override;

    // The path of a sample file in the temporary folder, its folders made.
    std::string SamplePath(const std::string& name) const;
    // The file manager reads the written files; the renderer is set up.
    void StartRenderer();

    test::ScopedTempDir m_dir;
    std::unique_ptr<test::EffectWorld> m_world;
};

} // namespace gltest
