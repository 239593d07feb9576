// Reader of RIFF wave files holding PCM sound.
#pragma once

#include "platform/Win32Types.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat {

// Decoded PCM: 8-bit unsigned or 16-bit signed little-endian samples,
// interleaved when there are two channels.
struct WaveData {
    WORD channels = 0;
    DWORD sampleRate = 0;
    WORD bitsPerSample = 0;
    std::vector<std::uint8_t> samples;

    DWORD BlockAlign() const { return channels * (bitsPerSample / 8u); }
    DWORD Frames() const { return BlockAlign() ? static_cast<DWORD>(samples.size() / BlockAlign()) : 0; }
    // Length in milliseconds at the file's own rate.
    std::int64_t DurationMs() const;
};

enum class WaveError {
    None,
    NotRiffWave,   // no "RIFF" ... "WAVE" header
    BadChunk,      // a chunk reaches past the end of the data
    NoFormat,      // no "fmt " chunk before "data"
    Unsupported,   // not PCM, not 1 or 2 channels, not 8 or 16 bits, or rate 0
    NoData,        // no "data" chunk, or one shorter than a sample frame
};

// Parses a whole file image. Every chunk is checked against the bytes given:
// a chunk that claims more than is there is an error, never a read past the
// end. Trailing bytes that do not fill a whole sample frame are dropped.
WaveError ReadWave(const std::uint8_t* bytes, std::size_t size, WaveData* out);

// The same sound with both channels averaged into one (a copy when mono).
WaveData DownmixToMono(const WaveData& wave);

} // namespace plat
