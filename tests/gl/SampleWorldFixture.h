// The drawing device with the game's renderer on it: the technique file of
// the sample data, loose files in a fresh working directory, and a world
// camera the drawing code follows.
#pragma once

#include "GlFixture.h"

#include "objects/EffectWorld.h"
#include "support/TempDir.h"
#include "writers/ObjectDescriptions.h"

#include <memory>
#include <vector>

namespace gltest {

class SampleWorldTest : public GlDeviceTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the files below the test's directory; a failure fails the test.
    void WriteFiles(const std::vector<tools::SampleFile>& files);

    test::ScopedTempDir m_dir;
    std::unique_ptr<test::EffectWorld> m_world;
};

} // namespace gltest
