// The headless 3-D back end as tests see it.
//
// The headless adapter's capabilities, display modes and formats come from a
// script that tests fill before Direct3DCreate9; the headless device records
// every state change, draw and effect call in order, and can be told to lose
// itself the way a real device does when the window loses full screen.
#pragma once

#include "platform/D3D9.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace plat {

// What the headless adapter offers. Defaults: a shader 2.0 card with
// per-stage constants, X8R8G8B8 and R5G6B5 back buffers, every depth format,
// and the four display modes 800x600 to 1600x1200 in both back-buffer formats.
struct HeadlessAdapter {
    bool available = true;                 // false: Direct3DCreate9 returns null
    D3DCAPS9 caps{};
    std::vector<D3DDISPLAYMODE> modes;
    std::vector<D3DFORMAT> backBufferFormats;
    std::vector<D3DFORMAT> depthFormats;
    UINT maxBackBufferCount = 3;           // more makes CreateDevice lower the count and fail
    HRESULT createDeviceResult = D3D_OK;   // forced CreateDevice failure
    HRESULT deviceCapsResult = D3D_OK;     // forced GetDeviceCaps failure
};

// The script each Direct3DCreate9 copies; change it before that call.
HeadlessAdapter& HeadlessAdapterScript();
// Back to the defaults described above.
void ResetHeadlessAdapterScript();

// One recorded call. The meaning of the arguments per operation:
//   SetRenderState        a = state, b = value
//   SetTextureStageState  a = stage, b = type, c = value
//   SetSamplerState       a = sampler, b = type, c = value
//   SetTexture            a = stage, object = texture (null: none)
//   SetTransform          a = transform state
//   SetMaterial / SetViewport / SetFVF (a = fvf) / SetIndices (object)
//   SetLight, LightEnable a = index, b = enable flag
//   SetClipPlane          a = index
//   SetStreamSource       a = stream, object = buffer, b = offset, c = stride
//   SetRenderTarget       a = index, object = surface; SetDepthStencilSurface object
//   Set*ShaderConstant*   a = start register, b = count
//   Clear                 a = flags, b = colour
//   DrawPrimitive         a = type, b = start vertex, c = primitives
//   DrawIndexedPrimitive  a = type, b = base vertex, c = min index, d = vertices, e = start index, f = primitives
//   DrawPrimitiveUP       a = type, c = primitives, d = stride
//   DrawIndexedPrimitiveUP a = type, c = min index, d = vertices, f = primitives, e = stride
//   (both user-memory draws keep a copy of the vertices they were given in data)
//   StretchRect           object = destination surface, a = filter
//   Effect*               name = technique (SetTechnique, Begin), parameter (Set*), a = pass
enum class D3DOp {
    SetRenderState,
    SetTextureStageState,
    SetSamplerState,
    SetTexture,
    SetTransform,
    SetMaterial,
    SetLight,
    LightEnable,
    SetViewport,
    SetClipPlane,
    SetFVF,
    SetStreamSource,
    SetIndices,
    SetRenderTarget,
    SetDepthStencilSurface,
    SetVertexShaderConstantF,
    SetVertexShaderConstantI,
    SetPixelShaderConstantF,
    SetPixelShaderConstantI,
    Clear,
    BeginScene,
    EndScene,
    Present,
    Reset,
    StretchRect,
    DrawPrimitive,
    DrawIndexedPrimitive,
    DrawPrimitiveUP,
    DrawIndexedPrimitiveUP,
    EffectSetTechnique,
    EffectSetParameter,
    EffectBegin,
    EffectBeginPass,
    EffectEndPass,
    EffectEnd,
};

struct D3DCall {
    explicit D3DCall(D3DOp operation, DWORD a0 = 0, DWORD b0 = 0, DWORD c0 = 0, DWORD d0 = 0, DWORD e0 = 0,
                     DWORD f0 = 0)
        : op(operation), a(a0), b(b0), c(c0), d(d0), e(e0), f(f0)
    {
    }
    D3DOp op;
    DWORD a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;
    const void* object = nullptr;
    std::string name;
    std::vector<std::uint8_t> data;
};

// Whether devices keep their call log. Off by default: a running game would
// only pay for it. Test programs turn it on before they make a device; a test
// may turn it off to see that nothing is kept.
void KeepDeviceCalls(bool keep);
bool DeviceCallsKept();

// The headless device. Every IDirect3DDevice9 the headless Direct3D object
// creates is one; tests reach it with AsRecordingDevice.
class RecordingDevice;
RecordingDevice* AsRecordingDevice(IDirect3DDevice9* device);

class DeviceLog {
public:
    void Add(D3DCall call);
    void Clear() { m_calls.clear(); }
    const std::deque<D3DCall>& Calls() const { return m_calls; }
    // The calls of one kind, in order.
    std::vector<D3DCall> Of(D3DOp op) const;
    size_t Count(D3DOp op) const;
    // The last value set for a render state since the log was cleared, or
    // false when it was not set.
    bool LastRenderState(DWORD state, DWORD* value) const;

private:
    // Oldest calls are dropped beyond this many, so a long headless run
    // keeps a bounded log.
    static constexpr size_t kMaxCalls = 1u << 17;
    std::deque<D3DCall> m_calls;
};

// Lost-device simulation: Lose() makes Present and TestCooperativeLevel report
// D3DERR_DEVICELOST; AllowReset() moves on to D3DERR_DEVICENOTRESET, after
// which Reset brings the device back (or returns the forced result).
enum class DeviceCondition { Working, Lost, NotReset };

DeviceLog& RecordedCalls(IDirect3DDevice9* device);
void LoseDevice(IDirect3DDevice9* device);
void AllowDeviceReset(IDirect3DDevice9* device);
void ForceResetResult(IDirect3DDevice9* device, HRESULT result); // D3D_OK: normal
DeviceCondition GetDeviceCondition(IDirect3DDevice9* device);
// Default-pool resources of the device that are still alive (a reset needs 0).
int LiveDefaultPoolResources(IDirect3DDevice9* device);

} // namespace plat
