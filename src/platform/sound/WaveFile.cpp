#include "platform/sound/WaveFile.h"

#include "platform/LittleEndian.h"

#include <cstring>

namespace plat {

namespace {

WaveError ReadFormat(const std::uint8_t* p, std::uint32_t size, WaveData* out)
{
    if (size < 16)
        return WaveError::BadChunk;
    const WORD tag = ReadLE16(p);
    out->channels = ReadLE16(p + 2);
    out->sampleRate = ReadLE32(p + 4);
    out->bitsPerSample = ReadLE16(p + 14);
    if (tag != 1 || (out->channels != 1 && out->channels != 2) ||
        (out->bitsPerSample != 8 && out->bitsPerSample != 16) || out->sampleRate == 0 ||
        out->sampleRate > 384000)
        return WaveError::Unsupported;
    return WaveError::None;
}

} // namespace

std::int64_t WaveData::DurationMs() const
{
    return sampleRate ? static_cast<std::int64_t>(Frames()) * 1000 / sampleRate : 0;
}

WaveError ReadWave(const std::uint8_t* bytes, std::size_t size, WaveData* out)
{
    *out = WaveData{};
    if (!bytes || size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return WaveError::NotRiffWave;
    bool haveFormat = false;
    std::size_t pos = 12;
    // The pad byte of an odd last chunk may take pos one past the end.
    while (pos <= size && size - pos >= 8) {
        const std::uint8_t* chunk = bytes + pos;
        const std::uint32_t chunkSize = ReadLE32(chunk + 4);
        if (chunkSize > size - pos - 8)
            return WaveError::BadChunk;
        const std::uint8_t* body = chunk + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            const WaveError e = ReadFormat(body, chunkSize, out);
            if (e != WaveError::None)
                return e;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat)
                return WaveError::NoFormat;
            const std::uint32_t usable = chunkSize - chunkSize % out->BlockAlign();
            if (usable == 0)
                return WaveError::NoData;
            out->samples.assign(body, body + usable);
            return WaveError::None;
        }
        // Chunks are padded to an even size.
        pos += 8 + static_cast<std::size_t>(chunkSize) + (chunkSize & 1u);
    }
    return haveFormat ? WaveError::NoData : WaveError::NoFormat;
}

WaveData DownmixToMono(const WaveData& wave)
{
    if (wave.channels != 2)
        return wave;
    WaveData mono = wave;
    mono.channels = 1;
    const DWORD frames = wave.Frames();
    const std::size_t bytesPerSample = wave.bitsPerSample / 8u;
    mono.samples.assign(static_cast<std::size_t>(frames) * bytesPerSample, 0);
    for (DWORD i = 0; i < frames; ++i) {
        const std::uint8_t* src = &wave.samples[static_cast<std::size_t>(i) * 2 * bytesPerSample];
        if (bytesPerSample == 1) {
            mono.samples[i] = static_cast<std::uint8_t>((src[0] + src[1]) / 2);
        } else {
            const int l = static_cast<std::int16_t>(ReadLE16(src));
            const int r = static_cast<std::int16_t>(ReadLE16(src + 2));
            const auto m = static_cast<std::uint16_t>(static_cast<std::int16_t>((l + r) / 2));
            mono.samples[i * 2] = static_cast<std::uint8_t>(m & 0xFF);
            mono.samples[i * 2 + 1] = static_cast<std::uint8_t>(m >> 8);
        }
    }
    return mono;
}

} // namespace plat
