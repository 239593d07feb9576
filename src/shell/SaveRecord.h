// Byte records of the save file. A save is built in memory field by field,
// little-endian, and read back from memory with every read bounds-checked:
// in-memory layouts (padding, pointer sizes, byte order) never reach a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CSaveWriter {
public:
    void U32(std::uint32_t value);
    void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
    void F32(float value);
    void Bytes(const void* data, std::size_t size);
    void Zeros(std::size_t size);

    const std::uint8_t* Data() const { return m_Bytes.data(); }
    std::size_t Size() const { return m_Bytes.size(); }

private:
    std::vector<std::uint8_t> m_Bytes;
};

// Reads from a span it does not own. A read past the end returns false,
// leaves the output alone and keeps failing: one check at the end of a
// record tells whether all of it was there.
class CSaveReader {
public:
    CSaveReader(const std::uint8_t* data, std::size_t size) : m_pData(data), m_nSize(size) {}

    bool U32(std::uint32_t* value);
    bool I32(std::int32_t* value);
    bool F32(float* value);
    bool Bytes(void* out, std::size_t size);
    bool Skip(std::size_t size);

    bool Ok() const { return m_bOk; }
    std::size_t Position() const { return m_nPos; }
    std::size_t Remaining() const { return m_nSize - m_nPos; }

private:
    bool Take(std::size_t size, const std::uint8_t** at);

    const std::uint8_t* m_pData;
    std::size_t m_nSize;
    std::size_t m_nPos = 0;
    bool m_bOk = true;
};
