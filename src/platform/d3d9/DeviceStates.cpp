// State setters and getters of the headless device.
#include "platform/d3d9/RecordingDevice.h"

#include <algorithm>
#include <cstring>

namespace plat {

template <class T>
static void Rebind(T*& slot, T* object)
{
    if (object)
        object->AddRef();
    if (slot)
        slot->Release();
    slot = object;
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    Record(D3DCall(D3DOp::SetRenderState, DWORD(state), value));
    if (state >= kD3DRenderStateCount)
        return D3DERR_INVALIDCALL;
    m_renderStates[state] = value;
    return D3D_OK;
}

HRESULT RecordingDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value)
{
    if (state >= kD3DRenderStateCount || !value)
        return D3DERR_INVALIDCALL;
    *value = m_renderStates[state];
    return D3D_OK;
}

HRESULT RecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    Record(D3DCall(D3DOp::SetTextureStageState, stage, DWORD(type), value));
    if (stage >= kStages || type >= kD3DStageStateCount)
        return D3DERR_INVALIDCALL;
    m_stageStates[stage][type] = value;
    return D3D_OK;
}

HRESULT RecordingDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value)
{
    if (stage >= kStages || type >= kD3DStageStateCount || !value)
        return D3DERR_INVALIDCALL;
    *value = m_stageStates[stage][type];
    return D3D_OK;
}

HRESULT RecordingDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    Record(D3DCall(D3DOp::SetSamplerState, sampler, DWORD(type), value));
    if (sampler >= kSamplers || type >= kD3DSamplerStateCount)
        return D3DERR_INVALIDCALL;
    m_samplerStates[sampler][type] = value;
    return D3D_OK;
}

HRESULT RecordingDevice::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value)
{
    if (sampler >= kSamplers || type >= kD3DSamplerStateCount || !value)
        return D3DERR_INVALIDCALL;
    *value = m_samplerStates[sampler][type];
    return D3D_OK;
}

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    D3DCall call{D3DOp::SetTexture, stage};
    call.object = texture;
    Record(std::move(call));
    if (stage >= kSamplers)
        return D3DERR_INVALIDCALL;
    Rebind(m_textures[stage], texture);
    return D3D_OK;
}

HRESULT RecordingDevice::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture)
{
    if (stage >= kSamplers || !texture)
        return D3DERR_INVALIDCALL;
    *texture = m_textures[stage];
    if (*texture)
        (*texture)->AddRef();
    return D3D_OK;
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    Record(D3DCall(D3DOp::SetTransform, DWORD(state)));
    if (state >= kTransforms || !matrix)
        return D3DERR_INVALIDCALL;
    m_transforms[state] = *matrix;
    return D3D_OK;
}

HRESULT RecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix)
{
    if (state >= kTransforms || !matrix)
        return D3DERR_INVALIDCALL;
    *matrix = m_transforms[state];
    return D3D_OK;
}

// The viewport is kept inside the current render target.
HRESULT RecordingDevice::SetViewport(const D3DVIEWPORT9* viewport)
{
    Record(D3DCall(D3DOp::SetViewport));
    if (!viewport)
        return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC target{};
    m_renderTarget->GetDesc(&target);
    D3DVIEWPORT9 v = *viewport;
    v.X = std::min(v.X, target.Width);
    v.Y = std::min(v.Y, target.Height);
    v.Width = std::min(v.Width, target.Width - v.X);
    v.Height = std::min(v.Height, target.Height - v.Y);
    v.MinZ = std::clamp(v.MinZ, 0.0f, 1.0f);
    v.MaxZ = std::clamp(v.MaxZ, v.MinZ, 1.0f);
    m_viewport = v;
    return D3D_OK;
}

HRESULT RecordingDevice::GetViewport(D3DVIEWPORT9* viewport)
{
    if (!viewport)
        return D3DERR_INVALIDCALL;
    *viewport = m_viewport;
    return D3D_OK;
}

HRESULT RecordingDevice::SetMaterial(const D3DMATERIAL9* material)
{
    Record(D3DCall(D3DOp::SetMaterial));
    if (!material)
        return D3DERR_INVALIDCALL;
    m_material = *material;
    return D3D_OK;
}

HRESULT RecordingDevice::GetMaterial(D3DMATERIAL9* material)
{
    if (!material)
        return D3DERR_INVALIDCALL;
    *material = m_material;
    return D3D_OK;
}

HRESULT RecordingDevice::SetLight(DWORD index, const D3DLIGHT9* light)
{
    Record(D3DCall(D3DOp::SetLight, index));
    if (index >= kLights || !light)
        return D3DERR_INVALIDCALL;
    m_lights[index] = *light;
    return D3D_OK;
}

HRESULT RecordingDevice::GetLight(DWORD index, D3DLIGHT9* light)
{
    if (index >= kLights || !light)
        return D3DERR_INVALIDCALL;
    *light = m_lights[index];
    return D3D_OK;
}

HRESULT RecordingDevice::LightEnable(DWORD index, BOOL enable)
{
    Record(D3DCall(D3DOp::LightEnable, index, DWORD(enable)));
    if (index >= kLights)
        return D3DERR_INVALIDCALL;
    m_lightEnabled[index] = enable ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT RecordingDevice::GetLightEnable(DWORD index, BOOL* enable)
{
    if (index >= kLights || !enable)
        return D3DERR_INVALIDCALL;
    *enable = m_lightEnabled[index];
    return D3D_OK;
}

HRESULT RecordingDevice::SetClipPlane(DWORD index, const float* plane)
{
    Record(D3DCall(D3DOp::SetClipPlane, index));
    if (index >= kClipPlanes || !plane)
        return D3DERR_INVALIDCALL;
    std::copy(plane, plane + 4, m_clipPlanes[index].begin());
    return D3D_OK;
}

HRESULT RecordingDevice::GetClipPlane(DWORD index, float* plane)
{
    if (index >= kClipPlanes || !plane)
        return D3DERR_INVALIDCALL;
    std::copy(m_clipPlanes[index].begin(), m_clipPlanes[index].end(), plane);
    return D3D_OK;
}

HRESULT RecordingDevice::SetFVF(DWORD fvf)
{
    Record(D3DCall(D3DOp::SetFVF, fvf));
    m_fvf = fvf;
    return D3D_OK;
}

HRESULT RecordingDevice::GetFVF(DWORD* fvf)
{
    if (!fvf)
        return D3DERR_INVALIDCALL;
    *fvf = m_fvf;
    return D3D_OK;
}

HRESULT RecordingDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride)
{
    D3DCall call{D3DOp::SetStreamSource, stream, offset, stride};
    call.object = buffer;
    Record(std::move(call));
    if (stream != 0)
        return D3DERR_INVALIDCALL;
    Rebind(m_stream.buffer, buffer);
    m_stream.offset = offset;
    m_stream.stride = stride;
    return D3D_OK;
}

HRESULT RecordingDevice::SetIndices(IDirect3DIndexBuffer9* buffer)
{
    D3DCall call{D3DOp::SetIndices};
    call.object = buffer;
    Record(std::move(call));
    Rebind(m_indices, buffer);
    return D3D_OK;
}

template <class T>
static HRESULT CopyConstants(T* bank, UINT limit, UINT start, const T* data, UINT count)
{
    if (!data || start > limit || count > limit - start)
        return D3DERR_INVALIDCALL;
    std::memcpy(bank + size_t(start) * 4, data, size_t(count) * 4 * sizeof(T));
    return D3D_OK;
}

template <class T>
static HRESULT ReadConstants(const T* bank, UINT limit, UINT start, T* data, UINT count)
{
    if (!data || start > limit || count > limit - start)
        return D3DERR_INVALIDCALL;
    std::memcpy(data, bank + size_t(start) * 4, size_t(count) * 4 * sizeof(T));
    return D3D_OK;
}

HRESULT RecordingDevice::SetVertexShaderConstantF(UINT start, const float* data, UINT count)
{
    Record(D3DCall(D3DOp::SetVertexShaderConstantF, start, count));
    ++m_constantRevision[0];
    const UINT limit = std::min<UINT>(kVertexConstants, m_caps.MaxVertexShaderConst);
    return CopyConstants(m_vsConstF.data(), limit, start, data, count);
}

HRESULT RecordingDevice::GetVertexShaderConstantF(UINT start, float* data, UINT count)
{
    return ReadConstants(m_vsConstF.data(), kVertexConstants, start, data, count);
}

HRESULT RecordingDevice::SetVertexShaderConstantI(UINT start, const int* data, UINT count)
{
    Record(D3DCall(D3DOp::SetVertexShaderConstantI, start, count));
    ++m_constantRevision[1];
    return CopyConstants(m_vsConstI.data(), kIntConstants, start, data, count);
}

HRESULT RecordingDevice::GetVertexShaderConstantI(UINT start, int* data, UINT count)
{
    return ReadConstants(m_vsConstI.data(), kIntConstants, start, data, count);
}

HRESULT RecordingDevice::SetPixelShaderConstantF(UINT start, const float* data, UINT count)
{
    Record(D3DCall(D3DOp::SetPixelShaderConstantF, start, count));
    ++m_constantRevision[2];
    return CopyConstants(m_psConstF.data(), kPixelConstants, start, data, count);
}

HRESULT RecordingDevice::GetPixelShaderConstantF(UINT start, float* data, UINT count)
{
    return ReadConstants(m_psConstF.data(), kPixelConstants, start, data, count);
}

HRESULT RecordingDevice::SetPixelShaderConstantI(UINT start, const int* data, UINT count)
{
    Record(D3DCall(D3DOp::SetPixelShaderConstantI, start, count));
    ++m_constantRevision[3];
    return CopyConstants(m_psConstI.data(), kIntConstants, start, data, count);
}

HRESULT RecordingDevice::GetPixelShaderConstantI(UINT start, int* data, UINT count)
{
    return ReadConstants(m_psConstI.data(), kIntConstants, start, data, count);
}

} // namespace plat
