#include "writers/WavWriter.h"

#include "writers/FileBytes.h"

#include <algorithm>
#include <cmath>

namespace tools {

namespace {

// Writes little-endian fields into a buffer sized up front.
class Cursor {
public:
    explicit Cursor(std::vector<std::uint8_t>& out) : m_out(out) {}
    void Tag(const char* tag)
    {
        for (int i = 0; i < 4; ++i)
            m_out[m_at++] = static_cast<std::uint8_t>(tag[i]);
    }
    void U32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_out[m_at++] = static_cast<std::uint8_t>(v >> (8 * i));
    }
    void U16(std::uint16_t v)
    {
        m_out[m_at++] = static_cast<std::uint8_t>(v & 0xFF);
        m_out[m_at++] = static_cast<std::uint8_t>(v >> 8);
    }
    void U8(std::uint8_t v) { m_out[m_at++] = v; }

private:
    std::vector<std::uint8_t>& m_out;
    std::size_t m_at = 0;
};

} // namespace

std::vector<std::uint8_t> MakeWav(const WavFormat& f, const std::vector<float>& samples)
{
    const std::uint32_t bytesPerSample = static_cast<std::uint32_t>(f.bitsPerSample / 8);
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size()) * bytesPerSample;
    const std::uint32_t blockAlign = static_cast<std::uint32_t>(f.channels) * bytesPerSample;
    const std::uint32_t pad = dataBytes & 1u;
    std::vector<std::uint8_t> out(44 + dataBytes + pad, 0);
    Cursor c(out);
    c.Tag("RIFF");
    c.U32(36 + dataBytes + pad);
    c.Tag("WAVE");
    c.Tag("fmt ");
    c.U32(16);
    c.U16(1);
    c.U16(static_cast<std::uint16_t>(f.channels));
    c.U32(static_cast<std::uint32_t>(f.sampleRate));
    c.U32(static_cast<std::uint32_t>(f.sampleRate) * blockAlign);
    c.U16(static_cast<std::uint16_t>(blockAlign));
    c.U16(static_cast<std::uint16_t>(f.bitsPerSample));
    c.Tag("data");
    c.U32(dataBytes);
    for (float s : samples) {
        const float v = std::clamp(s, -1.0f, 1.0f);
        if (f.bitsPerSample == 8)
            c.U8(static_cast<std::uint8_t>(std::lround(v * 127.0f) + 128));
        else
            c.U16(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * 32767.0f))));
    }
    return out;
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    return WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
}

bool WriteWav(const std::string& path, const WavFormat& format, const std::vector<float>& samples)
{
    return WriteBytes(path, MakeWav(format, samples));
}

} // namespace tools
