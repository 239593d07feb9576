#include "platform/D3DX9.h"
#include "platform/d3d9/Resources.h"

#include <vector>

namespace {

class Buffer final : public plat::d3d::RefObject<ID3DXBuffer> {
public:
    explicit Buffer(DWORD size) : m_bytes(size, 0) {}
    void* GetBufferPointer() override { return m_bytes.data(); }
    DWORD GetBufferSize() override { return DWORD(m_bytes.size()); }

private:
    std::vector<std::uint8_t> m_bytes;
};

} // namespace

HRESULT D3DXCreateBuffer(DWORD size, ID3DXBuffer** buffer)
{
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = new Buffer(size);
    return D3D_OK;
}
