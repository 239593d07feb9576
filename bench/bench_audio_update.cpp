// The per-frame audio step with every pool busy: 80 engines following their
// cars, every horn, squeal, impact and cry owned and playing, music and both
// ambience channels on; on the silent output, and on OpenAL's null device
// (the real output's work without a sound card).
#include "platform/Win32.h"
#include "platform/sound/SoundBackend.h"
#include "roadusers/Human.h"
#include "roadusers/Vehicle.h"
#include "shell/AudioManager.h"
#include "shell/FileManager.h"
#include "shell/GameTimer.h"
#include "shell/Settings.h"
#include "writers/AmbientDataWriter.h"
#include "writers/WavWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

void WriteTone(const std::string& name)
{
    tools::WriteWav(name, tools::WavFormat{1, 22050, 16}, std::vector<float>(2205, 0.25f));
}

void WriteSet(const char* format, int count)
{
    for (int n = 1; n <= count; ++n) {
        char name[64];
        std::snprintf(name, sizeof name, format, n);
        WriteTone(name);
    }
}

void WriteData()
{
    WriteSet("Data/Audio/MS%02d.wav", 5);
    WriteSet("Data/Audio/FS%02d.wav", 5);
    WriteSet("Data/Audio/Imp%02d.wav", 20);
    WriteSet("Data/Audio/WhS%02d.wav", 14);
    WriteSet("Data/Audio/Hrn%02d.wav", 11);
    WriteSet("Data/Audio/E%02d.wav", 8);
    WriteSet("Data/Audio/MusTrks/TrR%02d.wav", 8);
    WriteTone("Data/Audio/AmbTrks/A.wav");
    tools::AmbientLists lists;
    for (auto& channel : lists.tracks)
        for (auto& list : channel)
            list = {"Data/Audio/AmbTrks/A.wav"};
    const std::string text = tools::MakeAmbientData(lists);
    tools::WriteBytes("Data/Audio/AmbTrks/AmbientData.obj", std::vector<std::uint8_t>(text.begin(), text.end()));
}

void AudioUpdate(benchmark::State& state, plat::SoundBackendKind backend)
{
    const auto previous = std::filesystem::current_path();
    const auto dir = std::filesystem::temp_directory_path() / "morvaine-bench-audio";
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    WriteData();
    plat::SetHeadless(true);
    plat::SetSoundBackend(backend);
    plat::SetFakeClock(1000000);
    g_bAudio = 1;
    g_bFileManager = 0;
    g_FileManager.Init();
    g_GameTimer.Reset();
    g_GameTimer.m_fDelta = 0.02f;
    if (g_AudioManager.Init(nullptr) < 0) {
        std::filesystem::current_path(previous);
        state.SkipWithError("no sound device");
        return;
    }

    std::vector<CVehicle> cars(80 + 11 + 14 + 20);
    std::vector<CHuman> people(10);
    for (std::size_t i = 0; i < cars.size(); ++i) {
        cars[i].m_fCameraDistance = 10.0f;
        cars[i].m_fEngineVolume = 80.0f;
        cars[i].m_fEnginePitch = 22050.0f;
    }
    for (CHuman& h : people)
        h.m_fCameraDistance = 10.0f;
    std::size_t next = 0;
    for (DWORD k = 0; k < 8; ++k)
        for (int i = 0; i < 10; ++i, ++next)
            cars[next].m_pEngineSound = g_AudioManager.AcquireEngineSound(k, &cars[next]);
    for (int i = 0; i < 8; ++i)
        g_AudioManager.PlayHornSound(&cars[next++]);
    cars[next].m_nKind = 2;
    g_AudioManager.PlayHornSound(&cars[next]);
    g_AudioManager.PlayHornSound(&cars[next++]);
    for (int i = 0; i < 14; ++i)
        g_AudioManager.PlayWheelSound(&cars[next++]);
    for (int i = 0; i < 20; ++i)
        g_AudioManager.PlayImpactSound(90.0f, &cars[next++]);
    for (int i = 0; i < 5; ++i) {
        g_AudioManager.PlayHumanVoice(0, &people[i]);
        g_AudioManager.PlayHumanVoice(1, &people[5 + i]);
    }
    g_AudioManager.PlayMusic(1, nullptr, 0, 0.0f);
    // Past the start grace: every IsPlaying asks the output.
    g_GameTimer.m_fRealTime += 1000.0f;
    g_AudioManager.Update();

    float t = 0.0f;
    for (auto _ : state) {
        t += 0.02f;
        for (CVehicle& c : cars)
            c.m_vPosition = {t, 0.0f, -t};
        g_AudioManager.Update();
    }
    state.counters["sounds"] = static_cast<double>(g_AudioManager.m_nSounds);

    g_AudioManager.Release();
    plat::UseRealClock();
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
}
void BM_AudioUpdateAllPoolsBusy(benchmark::State& state) { AudioUpdate(state, plat::SoundBackendKind::Silent); }
void BM_AudioUpdateAllPoolsBusyOpenALNull(benchmark::State& state)
{
    setenv("ALSOFT_DRIVERS", "null", 1);
    AudioUpdate(state, plat::SoundBackendKind::OpenAL);
}
BENCHMARK(BM_AudioUpdateAllPoolsBusy);
BENCHMARK(BM_AudioUpdateAllPoolsBusyOpenALNull);

} // namespace

BENCHMARK_MAIN();
