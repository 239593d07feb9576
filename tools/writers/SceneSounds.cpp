#include "writers/SceneSounds.h"

#include "writers/WavWriter.h"

#include <cmath>
#include <filesystem>

namespace tools {

namespace {

constexpr int kRate = 22050;

// A latch click, then the dull thud of the door closing.
std::vector<float> DoorSlam()
{
    std::vector<float> out(static_cast<std::size_t>(0.6f * kRate));
    unsigned noise = 12345u;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / kRate;
        noise = noise * 1103515245u + 12345u;
        const float white = static_cast<float>((noise >> 16) & 0x7fff) / 16384.0f - 1.0f;
        const float click = t < 0.02f ? white * (1.0f - t / 0.02f) * 0.5f : 0.0f;
        const float slamAt = t - 0.25f;
        const float thud = slamAt >= 0.0f ? std::exp(-slamAt * 18.0f) *
                                                (0.7f * std::sin(6.2831853f * 70.0f * slamAt) + 0.25f * white)
                                          : 0.0f;
        out[i] = click + thud;
    }
    return out;
}

} // namespace

bool WriteSceneSounds(const std::string& root)
{
    const std::string path = root + "/Data/Audio/GetInCar.wav";
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    return WriteWav(path, WavFormat{1, kRate, 16}, DoorSlam());
}

} // namespace tools
