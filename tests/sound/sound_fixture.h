// A fresh audio manager on the silent output in its own working folder, a
// fake clock both for the sound layer and for the game timer's real clock,
// and small wave files written loose or packed into the archives.
#pragma once

#include "platform/Win32.h"
#include "platform/sound/SoundBackend.h"
#include "shell/AudioManager.h"
#include "shell/FileManager.h"
#include "shell/GameTimer.h"
#include "shell/Log.h"
#include "shell/Settings.h"
#include "support/TempDir.h"
#include "writers/ArchiveWriter.h"
#include "writers/WavWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace soundtest {

// A tone of the given length in milliseconds.
inline std::string ToneWav(int ms, int channels = 1, int bits = 16, int rate = 22050)
{
    const std::size_t frames = static_cast<std::size_t>(rate) * ms / 1000;
    std::vector<float> samples(frames * channels);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.5f * std::sin(static_cast<float>(i / channels) * 0.1f);
    const auto bytes = tools::MakeWav(tools::WavFormat{channels, rate, bits}, samples);
    return std::string(bytes.begin(), bytes.end());
}

class AudioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::SetSoundBackend(plat::SoundBackendKind::Silent);
        plat::SetSoundFault(plat::SoundFault::None);
        plat::ResetWindowing();
        plat::SetFakeClock(1000000);
        g_GameTimer.Reset();
        g_GameTimer.m_fDelta = 0.02f;
        g_bAudio = 1;
        g_bDebugOut = 0;
        g_bDebugLog = 0;
        g_nMasterVolume = g_nMusicVolume = g_nEffectsVolume = 100;
        g_AudioManager = CAudioManager();
        g_bFileManager = 0;
        g_FileManager.Init();
    }

    void TearDown() override
    {
        g_AudioManager.Release();
        g_bFileManager = 0;
        g_FileManager.Init();
        plat::SetSoundFault(plat::SoundFault::None);
        plat::UseRealClock();
    }

    void Start()
    {
        ASSERT_EQ(g_AudioManager.Init(nullptr), S_OK);
    }

    // Packs SD entries (and Objects entries) and starts the archive layer on them.
    void Pack(const std::vector<tools::PackEntry>& sd, const std::vector<tools::PackEntry>& objects = {})
    {
        ASSERT_TRUE(tools::WriteArchive("Data", "SD", sd, false));
        ASSERT_TRUE(tools::WriteArchive("Data", "Objects", objects, true));
        g_bFileManager = 1;
        g_FileManager.Init();
    }

    // Moves both clocks: the layer's and the game timer's real clock.
    void Advance(int ms)
    {
        plat::AdvanceFakeClock(static_cast<DWORD>(ms));
        g_GameTimer.m_fRealTime += static_cast<float>(ms);
    }

    test::ScopedTempDir m_dir;
};

} // namespace soundtest
