#include "shell/SaveRecord.h"

#include "platform/LittleEndian.h"

#include <cstring>

void CSaveWriter::U32(std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        m_Bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

void CSaveWriter::F32(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    U32(bits);
}

void CSaveWriter::Bytes(const void* data, std::size_t size)
{
    const std::uint8_t* bytes = static_cast<const std::uint8_t*>(data);
    m_Bytes.insert(m_Bytes.end(), bytes, bytes + size);
}

void CSaveWriter::Zeros(std::size_t size)
{
    m_Bytes.insert(m_Bytes.end(), size, 0);
}

bool CSaveReader::Take(std::size_t size, const std::uint8_t** at)
{
    if (!m_bOk || size > m_nSize - m_nPos) {
        m_bOk = false;
        return false;
    }
    *at = m_pData + m_nPos;
    m_nPos += size;
    return true;
}

bool CSaveReader::U32(std::uint32_t* value)
{
    const std::uint8_t* at = nullptr;
    if (!Take(4, &at))
        return false;
    *value = plat::ReadLE32(at);
    return true;
}

bool CSaveReader::I32(std::int32_t* value)
{
    std::uint32_t bits = 0;
    if (!U32(&bits))
        return false;
    *value = static_cast<std::int32_t>(bits);
    return true;
}

bool CSaveReader::F32(float* value)
{
    std::uint32_t bits = 0;
    if (!U32(&bits))
        return false;
    std::memcpy(value, &bits, sizeof bits);
    return true;
}

bool CSaveReader::Bytes(void* out, std::size_t size)
{
    const std::uint8_t* at = nullptr;
    if (!Take(size, &at))
        return false;
    if (size > 0)
        std::memcpy(out, at, size);
    return true;
}

bool CSaveReader::Skip(std::size_t size)
{
    const std::uint8_t* at = nullptr;
    return Take(size, &at);
}
