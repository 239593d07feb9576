#include "writers/SampleSounds.h"

#include "writers/AmbientDataWriter.h"
#include "writers/FileBytes.h"
#include "writers/WavWriter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace tools {

namespace {

constexpr int kRate = 22050;
constexpr float kTwoPi = 6.2831853f;

float Noise()
{
    return static_cast<float>(std::rand()) / static_cast<float>(RAND_MAX) * 2.0f - 1.0f;
}

// Mono samples from a function of time in seconds.
std::vector<float> Render(float seconds, const std::function<float(float)>& wave)
{
    std::vector<float> out(static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = wave(static_cast<float>(i) / kRate);
    return out;
}

std::vector<float> Stereo(const std::vector<float>& left, const std::vector<float>& right)
{
    std::vector<float> out;
    out.reserve(left.size() * 2);
    for (std::size_t i = 0; i < left.size(); ++i) {
        out.push_back(left[i]);
        out.push_back(right[i]);
    }
    return out;
}

std::string Numbered(const std::string& root, const char* format, int n)
{
    char name[96];
    std::snprintf(name, sizeof name, format, n);
    return root + "/" + name;
}

bool Mono(const std::string& path, const std::vector<float>& samples)
{
    return WriteWav(path, WavFormat{1, kRate, 16}, samples);
}

std::vector<float> Engine(int k)
{
    const float f = static_cast<float>(EngineToneHz(k));
    return Render(1.0f, [f](float t) {
        float s = 0.0f;
        for (int h = 1; h <= 6; ++h)
            s += std::sin(kTwoPi * f * h * t) / h;
        return 0.45f * s;
    });
}

std::vector<float> Horn(int n)
{
    const float f = 380.0f + 15.0f * n;
    return Render(0.5f, [f](float t) {
        const float env = std::min(1.0f, t * 40.0f) * std::min(1.0f, (0.5f - t) * 40.0f);
        return env * 0.35f * (std::sin(kTwoPi * f * t) + std::sin(kTwoPi * f * 1.26f * t));
    });
}

std::vector<float> Siren()
{
    return Render(1.5f, [](float t) {
        const float phase = 900.0f * t - 300.0f / (kTwoPi * 0.75f) * std::cos(kTwoPi * 0.75f * t);
        return 0.6f * std::sin(kTwoPi * phase);
    });
}

std::vector<float> Impact(int n)
{
    const float decay = 8.0f + n;
    return Render(0.35f, [decay](float t) { return std::exp(-decay * t) * (0.7f * Noise() + 0.3f * std::sin(kTwoPi * 70.0f * t)); });
}

std::vector<float> Squeal(int n)
{
    const float f = 1400.0f + 40.0f * n;
    return Render(0.6f, [f](float t) {
        const float env = std::min(1.0f, t * 20.0f) * std::exp(-2.0f * t);
        return env * (0.5f * std::sin(kTwoPi * f * t + 3.0f * std::sin(kTwoPi * 9.0f * t)) + 0.1f * Noise());
    });
}

std::vector<float> Cry(float f)
{
    return Render(0.45f, [f](float t) {
        const float pitch = f * (1.2f - 0.5f * t);
        return std::exp(-3.0f * t) * 0.5f * std::sin(kTwoPi * pitch * t + 0.8f * std::sin(kTwoPi * 6.0f * t));
    });
}

std::vector<float> Crowd(float tone, float noise, float seconds)
{
    return Render(seconds, [=](float t) {
        const float env = std::min(1.0f, t * 4.0f) * std::min(1.0f, (seconds - t) * 4.0f);
        return env * (noise * Noise() + 0.3f * std::sin(kTwoPi * tone * t * (1.0f + 0.05f * std::sin(t * 5.0f))));
    });
}

std::vector<float> MusicTrack(int n)
{
    static const float kScale[5] = {261.6f, 293.7f, 329.6f, 392.0f, 440.0f};
    const float beat = 0.25f;
    auto voice = [n, beat](float t, float octave) {
        const int step = static_cast<int>(t / beat);
        const float f = kScale[(step * (n + 1) + n) % 5] * octave;
        const float local = t - step * beat;
        return 0.3f * std::exp(-6.0f * local) * std::sin(kTwoPi * f * t);
    };
    return Stereo(Render(2.0f, [&](float t) { return voice(t, 1.0f); }),
                  Render(2.0f, [&](float t) { return voice(t, 0.5f); }));
}

bool WriteSet(const std::string& root, const char* format, int count,
              const std::function<std::vector<float>(int)>& make)
{
    for (int n = 1; n <= count; ++n) {
        if (!Mono(Numbered(root, format, n), make(n)))
            return false;
    }
    return true;
}

AmbientLists SampleAmbientLists()
{
    AmbientLists lists;
    lists.tracks[0][0] = {"Data/Audio/AmbTrks/Traffic01.wav", "Data/Audio/AmbTrks/Traffic02.wav"};
    lists.tracks[0][1] = {"Data/Audio/AmbTrks/TrafficNight01.wav"};
    lists.tracks[1][0] = {"Data/Audio/AmbTrks/Birds01.wav", "Data/Audio/AmbTrks/Birds02.wav"};
    lists.tracks[1][1] = {"Data/Audio/AmbTrks/Crickets01.wav"};
    return lists;
}

bool WriteAmbience(const std::string& root)
{
    const std::string dir = root + "/Data/Audio/AmbTrks/";
    const bool ok = Mono(dir + "Traffic01.wav", Crowd(90.0f, 0.25f, 2.0f)) &&
                    Mono(dir + "Traffic02.wav", Crowd(110.0f, 0.3f, 2.0f)) &&
                    Mono(dir + "TrafficNight01.wav", Crowd(80.0f, 0.15f, 2.0f)) &&
                    Mono(dir + "Birds01.wav", Render(2.0f, [](float t) {
                        return 0.2f * std::sin(kTwoPi * (2500.0f + 400.0f * std::sin(kTwoPi * 8.0f * t)) * t) *
                               (std::fmod(t, 0.5f) < 0.15f ? 1.0f : 0.0f);
                    })) &&
                    Mono(dir + "Birds02.wav", Crowd(3000.0f, 0.02f, 2.0f)) &&
                    Mono(dir + "Crickets01.wav", Render(2.0f, [](float t) {
                        return 0.15f * std::sin(kTwoPi * 4200.0f * t) * (std::fmod(t, 0.2f) < 0.05f ? 1.0f : 0.0f);
                    }));
    if (!ok)
        return false;
    const std::string text = MakeAmbientData(SampleAmbientLists());
    return WriteFileBytes(dir + "AmbientData.obj", text);
}

} // namespace

int EngineToneHz(int k)
{
    return 40 + 8 * k;
}

bool WriteSampleSounds(const std::string& root)
{
    std::srand(20260101u);
    const bool ok =
        WriteSet(root, "Data/Audio/MS%02d.wav", 5, [](int n) { return Cry(180.0f + 12.0f * n); }) &&
        WriteSet(root, "Data/Audio/FS%02d.wav", 5, [](int n) { return Cry(330.0f + 15.0f * n); }) &&
        WriteSet(root, "Data/Audio/Imp%02d.wav", 20, Impact) &&
        WriteSet(root, "Data/Audio/WhS%02d.wav", 14, Squeal) &&
        WriteSet(root, "Data/Audio/Hrn%02d.wav", 11, [](int n) { return n <= 9 ? Horn(n) : Siren(); }) &&
        WriteSet(root, "Data/Audio/E%02d.wav", 8, [](int n) { return Engine(n - 1); }) &&
        WriteSet(root, "Data/Audio/App%02d.wav", 5, [](int) { return Crowd(400.0f, 0.5f, 1.2f); }) &&
        WriteSet(root, "Data/Audio/Foo%02d.wav", 5, [](int n) { return Crowd(140.0f + 5.0f * n, 0.15f, 1.2f); }) &&
        WriteSet(root, "Data/Audio/Yea%02d.wav", 5, [](int n) { return Crowd(500.0f + 20.0f * n, 0.3f, 1.2f); }) &&
        WriteSet(root, "Data/Audio/Plc%02d.wav", 12, [](int n) { return Cry(120.0f + 6.0f * n); });
    if (!ok)
        return false;
    for (int n = 1; n <= 8; ++n) {
        if (!WriteWav(Numbered(root, "Data/Audio/MusTrks/TrR%02d.wav", n), WavFormat{2, kRate, 16}, MusicTrack(n)))
            return false;
    }
    return WriteAmbience(root);
}

} // namespace tools
