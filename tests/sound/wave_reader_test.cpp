#include "platform/sound/WaveFile.h"

#include "sound_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using plat::ReadWave;
using plat::WaveData;
using plat::WaveError;

std::vector<std::uint8_t> Bytes(const std::string& s)
{
    return std::vector<std::uint8_t>(s.begin(), s.end());
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The canonical writer puts "fmt " at 12 and "data" at 36.
constexpr std::size_t kFmtSize = 16, kFmtTag = 20, kChannels = 22, kBits = 34, kDataSize = 40;

TEST(WaveReader, ReadsEveryPcmLayout)
{
    struct Case {
        int channels, bits, rate;
    };
    for (const Case c : {Case{1, 8, 11025}, Case{1, 16, 22050}, Case{2, 8, 22050}, Case{2, 16, 44100}}) {
        SCOPED_TRACE(testing::Message() << c.channels << " channels, " << c.bits << " bits");
        const auto file = Bytes(soundtest::ToneWav(200, c.channels, c.bits, c.rate));
        WaveData w;
        ASSERT_EQ(ReadWave(file.data(), file.size(), &w), WaveError::None);
        EXPECT_EQ(w.channels, c.channels);
        EXPECT_EQ(w.bitsPerSample, c.bits);
        EXPECT_EQ(w.sampleRate, static_cast<DWORD>(c.rate));
        EXPECT_EQ(w.Frames(), static_cast<DWORD>(c.rate / 5));
        EXPECT_EQ(w.DurationMs(), 200);
    }
}

TEST(WaveReader, SkipsUnknownChunksWithTheirPadding)
{
    const auto plain = Bytes(soundtest::ToneWav(20));
    // An odd-sized "LIST" chunk (padded to even) between the header and "fmt ".
    std::vector<std::uint8_t> file(plain.begin(), plain.begin() + 12);
    const char list[] = "LIST\x03\x00\x00\x00" "abc" "\x00";
    file.insert(file.end(), list, list + 12);
    file.insert(file.end(), plain.begin() + 12, plain.end());
    WaveData w;
    ASSERT_EQ(ReadWave(file.data(), file.size(), &w), WaveError::None);
    EXPECT_EQ(w.samples.size(), plain.size() - 44);
}

TEST(WaveReader, RejectsDamagedFilesWithoutReadingPastThem)
{
    const auto good = Bytes(soundtest::ToneWav(20, 2, 16));
    struct Case {
        const char* what;
        void (*damage)(std::vector<std::uint8_t>&);
        WaveError expected;
    };
    const Case cases[] = {
        {"not a RIFF file", [](std::vector<std::uint8_t>& b) { b[0] = 'X'; }, WaveError::NotRiffWave},
        {"only a header", [](std::vector<std::uint8_t>& b) { b.resize(8); }, WaveError::NotRiffWave},
        {"data chunk longer than the file",
         [](std::vector<std::uint8_t>& b) { Put32(b, kDataSize, static_cast<std::uint32_t>(b.size())); },
         WaveError::BadChunk},
        {"data chunk size near 4 GiB", [](std::vector<std::uint8_t>& b) { Put32(b, kDataSize, 0xFFFFFFF0u); },
         WaveError::BadChunk},
        {"format chunk too short", [](std::vector<std::uint8_t>& b) { Put32(b, kFmtSize, 8); }, WaveError::BadChunk},
        {"compressed format", [](std::vector<std::uint8_t>& b) { b[kFmtTag] = 2; }, WaveError::Unsupported},
        {"three channels", [](std::vector<std::uint8_t>& b) { b[kChannels] = 3; }, WaveError::Unsupported},
        {"24-bit samples", [](std::vector<std::uint8_t>& b) { b[kBits] = 24; }, WaveError::Unsupported},
        {"rate 0", [](std::vector<std::uint8_t>& b) { Put32(b, 24, 0); }, WaveError::Unsupported},
        {"data before the format", [](std::vector<std::uint8_t>& b) { std::memcpy(&b[12], "junk", 4); },
         WaveError::NoFormat},
        {"data shorter than one frame", [](std::vector<std::uint8_t>& b) { Put32(b, kDataSize, 3); b.resize(47); },
         WaveError::NoData},
        {"no data chunk", [](std::vector<std::uint8_t>& b) { b.resize(36); }, WaveError::NoData},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint8_t> file = good;
        c.damage(file);
        // An exact-size heap copy lets the address checker catch any over-read.
        std::vector<std::uint8_t> exact(file);
        WaveData w;
        EXPECT_EQ(ReadWave(exact.data(), exact.size(), &w), c.expected);
    }
}

TEST(WaveReader, DropsATrailingPartialFrame)
{
    auto file = Bytes(soundtest::ToneWav(10, 2, 16));
    file.push_back(1);
    file.push_back(2);
    Put32(file, kDataSize, static_cast<std::uint32_t>(file.size() - 44));
    WaveData w;
    ASSERT_EQ(ReadWave(file.data(), file.size(), &w), WaveError::None);
    EXPECT_EQ(w.samples.size() % 4, 0u);
}

TEST(WaveReader, DownmixAveragesBothChannels)
{
    WaveData stereo;
    stereo.channels = 2;
    stereo.sampleRate = 22050;
    stereo.bitsPerSample = 16;
    // Frames (1000, -3000) and (-32768, -32768).
    stereo.samples = {0xE8, 0x03, 0x48, 0xF4, 0x00, 0x80, 0x00, 0x80};
    const WaveData mono = plat::DownmixToMono(stereo);
    ASSERT_EQ(mono.channels, 1);
    ASSERT_EQ(mono.samples.size(), 4u);
    EXPECT_EQ(static_cast<std::int16_t>(mono.samples[0] | (mono.samples[1] << 8)), -1000);
    EXPECT_EQ(static_cast<std::int16_t>(mono.samples[2] | (mono.samples[3] << 8)), -32768);

    WaveData stereo8 = stereo;
    stereo8.bitsPerSample = 8;
    stereo8.samples = {0, 255, 100, 200};
    const WaveData mono8 = plat::DownmixToMono(stereo8);
    EXPECT_EQ(mono8.samples, (std::vector<std::uint8_t>{127, 150}));
}

} // namespace
