// Writes RIFF wave files of PCM sound.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

struct WavFormat {
    int channels = 1;        // 1 or 2
    int sampleRate = 22050;
    int bitsPerSample = 16;  // 8 or 16
};

// A whole file image from samples in -1..1 (interleaved when stereo);
// values outside are clipped.
std::vector<std::uint8_t> MakeWav(const WavFormat& format, const std::vector<float>& samples);

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
bool WriteWav(const std::string& path, const WavFormat& format, const std::vector<float>& samples);

} // namespace tools
