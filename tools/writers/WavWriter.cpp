#include "writers/WavWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace tools {

namespace {

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutTag(std::vector<std::uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

std::vector<std::uint8_t> MakeWav(const WavFormat& f, const std::vector<float>& samples)
{
    const std::uint32_t bytesPerSample = static_cast<std::uint32_t>(f.bitsPerSample / 8);
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size()) * bytesPerSample;
    const std::uint32_t blockAlign = static_cast<std::uint32_t>(f.channels) * bytesPerSample;
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes + 1);
    PutTag(out, "RIFF");
    Put32(out, 36 + dataBytes + (dataBytes & 1u));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, static_cast<std::uint16_t>(f.channels));
    Put32(out, static_cast<std::uint32_t>(f.sampleRate));
    Put32(out, static_cast<std::uint32_t>(f.sampleRate) * blockAlign);
    Put16(out, static_cast<std::uint16_t>(blockAlign));
    Put16(out, static_cast<std::uint16_t>(f.bitsPerSample));
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (float s : samples) {
        const float c = std::clamp(s, -1.0f, 1.0f);
        if (f.bitsPerSample == 8)
            out.push_back(static_cast<std::uint8_t>(std::lround(c * 127.0f) + 128));
        else
            Put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(c * 32767.0f))));
    }
    if (dataBytes & 1u)
        out.push_back(0);
    return out;
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::error_code ec;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent, ec);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool WriteWav(const std::string& path, const WavFormat& format, const std::vector<float>& samples)
{
    return WriteBytes(path, MakeWav(format, samples));
}

} // namespace tools
