#include "writers/ProfileWriter.h"

#include "writers/FileBytes.h"

#include <cstring>

namespace tools {

namespace {

void PutU32(std::string* out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out->push_back(static_cast<char>((value >> shift) & 0xFF));
}

std::string NameBytes(const std::string& name)
{
    std::string bytes = name.substr(0, 15);
    bytes.resize(16, '\0');
    return bytes;
}

} // namespace

std::string EncodeCarHead(const std::string& name, const float paint[4], const float paint2[4], std::uint32_t gloss)
{
    std::string out = name.substr(0, 63);
    out.resize(64, '\0');
    PutU32(&out, FloatBits(0.0f)); // remaining race distance
    PutU32(&out, 0);               // race place
    PutU32(&out, FloatBits(0.0f)); // race value
    PutU32(&out, FloatBits(0.0f)); // damage at the race start
    for (int c = 0; c < 4; ++c)
        PutU32(&out, FloatBits(paint[c]));
    for (int c = 0; c < 4; ++c)
        PutU32(&out, FloatBits(paint2[c]));
    PutU32(&out, gloss);
    for (int level = 0; level < 4; ++level)
        PutU32(&out, 0);           // no upgrades
    PutU32(&out, FloatBits(0.0f)); // body damage
    for (int wheel = 0; wheel < 4; ++wheel)
        PutU32(&out, FloatBits(0.0f));
    return out;
}

std::uint32_t FloatBits(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::string EncodeProfile(const ProfileSave& save)
{
    std::string out = NameBytes(save.name);
    PutU32(&out, save.newProfileFlag);
    for (std::uint32_t field : save.stats)
        PutU32(&out, field);
    PutU32(&out, static_cast<std::uint32_t>(save.modelPath.size()));
    out += save.modelPath;
    out.push_back('\0');
    std::string blocks = save.carBlocks;
    blocks.resize(152, '\0');
    out += blocks;
    PutU32(&out, save.dentCount);
    for (std::uint32_t i = 0; i < save.dentCount; ++i)
        for (std::uint32_t b = 0; b < 40; ++b)
            out.push_back(static_cast<char>((i + b) & 0xFF));
    PutU32(&out, save.lastView);
    for (std::uint32_t field : save.timer)
        PutU32(&out, field);
    for (std::uint32_t value : save.history)
        PutU32(&out, value);
    return out;
}

std::string EncodeNewProfile(const std::string& name)
{
    std::string out = NameBytes(name);
    PutU32(&out, 1);
    return out;
}

ProfileSave SampleProfile()
{
    ProfileSave save;
    save.name = "Sample";
    save.stats[0] = 4250;                 // money
    save.stats[1] = FloatBits(1800.0f);   // play time, s
    save.stats[2] = 1;                    // races placed
    save.stats[3] = 3;                    // road incidents
    save.stats[7] = 3250;                 // earnings
    save.stats[8] = FloatBits(0.4f);      // damage figure
    save.stats[9] = 6;                    // rating points
    save.timer[4] = FloatBits(1860000.0f); // game clock, ms
    save.timer[5] = FloatBits(1900000.0f); // real clock, ms
    save.timer[6] = FloatBits(1860000.0f);
    save.timer[7] = FloatBits(1.0f);      // time scale
    const float blue[4] = {0.12f, 0.35f, 0.85f, 1.0f}, silver[4] = {0.85f, 0.85f, 0.9f, 1.0f};
    save.carBlocks = EncodeCarHead("Sample car", blue, silver, 96);
    return save;
}

bool WriteSampleProfile(const std::string& root)
{
    return WriteFileBytes(root + "/Save/Profile01.sav", EncodeProfile(SampleProfile()));
}

} // namespace tools
