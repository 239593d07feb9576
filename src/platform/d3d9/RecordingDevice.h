// The headless device: keeps every state and resource a real device would,
// checks each call the way a strict driver does, draws nothing, and records
// every call in its log. A drawing back end derives from it and adds the
// drawing to the draw, clear, copy and present calls.
#pragma once

#include "platform/D3D9Recording.h"
#include "platform/d3d9/Resources.h"

#include <array>
#include <string>

namespace plat::fx {
class Effect;
struct EffectFile;
} // namespace plat::fx

namespace plat {

class RecordingDevice : public d3d::RefObject<IDirect3DDevice9> {
public:
    static constexpr DWORD kStages = 8;
    static constexpr DWORD kSamplers = 16;
    static constexpr DWORD kLights = 8;
    static constexpr DWORD kClipPlanes = 6;
    static constexpr DWORD kTransforms = 512;
    static constexpr UINT kVertexConstants = 256;
    static constexpr UINT kPixelConstants = 224;
    static constexpr UINT kIntConstants = 16;

    RecordingDevice(const D3DCAPS9& caps, const D3DPRESENT_PARAMETERS& params);
    ~RecordingDevice() override;

    HRESULT TestCooperativeLevel() override;
    HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
    HRESULT Present(const RECT* source, const RECT* dest, HWND window, const void* dirtyRegion) override;
    HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) override;

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, HANDLE* shared) override;
    HRESULT CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DCubeTexture9** texture, HANDLE* shared) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                               HANDLE* shared) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** buffer, HANDLE* shared) override;
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                      DWORD quality, BOOL discard, IDirect3DSurface9** surface,
                                      HANDLE* shared) override;
    HRESULT StretchRect(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                        const RECT* destRect, D3DTEXTUREFILTERTYPE filter) override;

    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override;

    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT GetMaterial(D3DMATERIAL9* material) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
    HRESULT GetLight(DWORD index, D3DLIGHT9* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
    HRESULT SetClipPlane(DWORD index, const float* plane) override;
    HRESULT GetClipPlane(DWORD index, float* plane) override;

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;

    HRESULT SetFVF(DWORD fvf) override;
    HRESULT GetFVF(DWORD* fvf) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* buffer) override;

    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                                 UINT startIndex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT primitiveCount,
                                   const void* indices, D3DFORMAT indexFormat, const void* vertices,
                                   UINT stride) override;

    HRESULT SetVertexShaderConstantF(UINT start, const float* data, UINT count) override;
    HRESULT GetVertexShaderConstantF(UINT start, float* data, UINT count) override;
    HRESULT SetVertexShaderConstantI(UINT start, const int* data, UINT count) override;
    HRESULT GetVertexShaderConstantI(UINT start, int* data, UINT count) override;
    HRESULT SetPixelShaderConstantF(UINT start, const float* data, UINT count) override;
    HRESULT GetPixelShaderConstantF(UINT start, float* data, UINT count) override;
    HRESULT SetPixelShaderConstantI(UINT start, const int* data, UINT count) override;
    HRESULT GetPixelShaderConstantI(UINT start, int* data, UINT count) override;

    // Test and back-end side.
    DeviceLog& Log() { return m_log; }
    void Record(D3DCall call)
    {
        if (DeviceCallsKept())
            m_log.Add(std::move(call));
    }
    void Lose();
    void AllowReset();
    void ForceResetResult(HRESULT result) { m_forcedResetResult = result; }
    DeviceCondition Condition() const { return m_condition; }
    int LiveDefaultPool() const { return m_shared->liveDefaultPool; }
    const d3d::SharedState& Shared() const { return m_shared; }
    IDirect3DVertexBuffer9* StreamBuffer() const { return m_stream.buffer; }
    IDirect3DIndexBuffer9* IndexBufferBound() const { return m_indices; }

    // Effects say when one of their passes starts or stops being applied,
    // and offer their shaders to the device when they are made (a drawing
    // back end compiles them and may refuse them with its compiler's text).
    virtual void OnEffectPass(const fx::Effect* effect, bool applied) {}
    virtual bool AcceptEffect(const fx::EffectFile& file, std::string* errors) { return true; }
    // Whether textures loaded from DXT files keep their blocks (the headless
    // device widens them, so tests read plain pixels).
    virtual bool SamplesBlockFormats() const { return false; }

protected:
    struct Stream {
        IDirect3DVertexBuffer9* buffer = nullptr;
        UINT offset = 0;
        UINT stride = 0;
    };

    void DefaultStates();
    void UnbindAll();
    void UnbindStream();
    void MakeImplicitSurfaces();
    void RestoreImplicitTargets();
    void ViewportToTarget();
    HRESULT CheckIndexedDraw(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                             UINT startIndex, UINT primitiveCount);
    HRESULT CheckStreamDraw(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) const;

    D3DCAPS9 m_caps;
    D3DPRESENT_PARAMETERS m_params;
    d3d::SharedState m_shared;
    DeviceLog m_log;
    DeviceCondition m_condition = DeviceCondition::Working;
    HRESULT m_forcedResetResult = D3D_OK;
    bool m_inScene = false;

    std::array<DWORD, kD3DRenderStateCount> m_renderStates{};
    std::array<std::array<DWORD, kD3DStageStateCount>, kStages> m_stageStates{};
    std::array<std::array<DWORD, kD3DSamplerStateCount>, kSamplers> m_samplerStates{};
    std::array<IDirect3DBaseTexture9*, kSamplers> m_textures{};
    std::array<D3DMATRIX, kTransforms> m_transforms{};
    std::array<D3DLIGHT9, kLights> m_lights{};
    std::array<BOOL, kLights> m_lightEnabled{};
    std::array<std::array<float, 4>, kClipPlanes> m_clipPlanes{};
    std::array<float, kVertexConstants * 4> m_vsConstF{};
    std::array<int, kIntConstants * 4> m_vsConstI{};
    std::array<float, kPixelConstants * 4> m_psConstF{};
    std::array<int, kIntConstants * 4> m_psConstI{};
    // Raised by every write of the vertex float, vertex integer, pixel float
    // and pixel integer banks, so a back end sends a bank only after a change.
    std::uint32_t m_constantRevision[4] = {1, 1, 1, 1};
    D3DMATERIAL9 m_material{};
    D3DVIEWPORT9 m_viewport{};
    DWORD m_fvf = 0;
    Stream m_stream;
    IDirect3DIndexBuffer9* m_indices = nullptr;

    d3d::Surface* m_backBuffer = nullptr;
    d3d::Surface* m_autoDepth = nullptr;
    IDirect3DSurface9* m_renderTarget = nullptr;
    IDirect3DSurface9* m_depthStencil = nullptr;
    // Raised whenever either target may have changed: a freed surface's
    // address can come back as another surface.
    std::uint32_t m_targetRevision = 1;
};

} // namespace plat
