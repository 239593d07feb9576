// The drawing device: the headless device's states, checks and log, with
// every clear, draw, copy and present carried out through OpenGL.
//
// Conventions kept from the device's world: rows of every target run top
// down in memory (so render targets are sampled upright with the device's
// texture coordinates), pixel centres sit on integer coordinates, clip depth
// runs 0..1, clockwise triangles on screen are the front ones.
#pragma once

#include "platform/D3D9Gl.h"
#include "platform/d3d9/RecordingDevice.h"
#include "platform/gl/FixedFunction.h"
#include "platform/gl/GlContext.h"
#include "platform/gl/GlPrograms.h"
#include "platform/gl/GlResources.h"
#include "platform/gl/GlStateCache.h"

#include <memory>

namespace plat::fx {
struct Pass;
struct Parameter;
} // namespace plat::fx

namespace plat::gl {

// Null when no OpenGL context could be made.
RecordingDevice* CreateGlDevice(const D3DCAPS9& caps, const D3DPRESENT_PARAMETERS& params, HWND window);

class GlDevice final : public RecordingDevice {
public:
    GlDevice(const D3DCAPS9& caps, const D3DPRESENT_PARAMETERS& params, std::unique_ptr<GlContext> context);
    ~GlDevice() override;

    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
    HRESULT Present(const RECT* source, const RECT* dest, HWND window, const void* dirtyRegion) override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT StretchRect(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                        const RECT* destRect, D3DTEXTUREFILTERTYPE filter) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                                 UINT startIndex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT primitiveCount,
                                   const void* indices, D3DFORMAT indexFormat, const void* vertices,
                                   UINT stride) override;

    void OnEffectPass(const fx::Effect* effect, bool applied) override;
    bool AcceptEffect(const fx::EffectFile& file, std::string* errors) override;
    bool SamplesBlockFormats() const override;

    bool Read(IDirect3DSurface9* surface, Pixels* out);
    ProgramCache& Programs() { return m_programs; }
    void ClearPrograms();
private:
    bool BindTarget();
    void ApplyRenderStates();
    ProgramKey MakeKey() const;
    void BindTextures(ProgramKey* key);
    static void PassThroughUntextured(StageKey* stage);
    void ApplySampler(DWORD stage);
    Program* ChooseProgram(const ProgramKey& key);
    Program* EffectProgram(const ProgramKey& key);
    // Links a program under key, timing the compile for the listener; null
    // with the compiler's text in log (or on stderr without one).
    Program* CompileTimed(const std::string& key, const std::string& vertex, const std::string& fragment,
                          const std::string& what, std::string* log = nullptr);
    // The cached or newly compiled program of an effect pass; null with the
    // compiler's text in log when it does not compile.
    Program* CompileEffectPass(const fx::EffectFile& file, const std::string& declarations, const fx::Pass& pass,
                               const ProgramKey& key, std::string* log);
    void SetUniforms(Program& program);
    void SetTransformUniforms(Program& program, bool known);
    void PackLights(D3DLIGHT9 lights[kLights]) const;
    void SetLightUniforms(const GLint* locations, const D3DLIGHT9 lights[kLights]);
    void SetColourUniforms(Program& program, bool known);
    void SetEffectUniforms(Program& program);
    void BindNamedTexture(const fx::Parameter& parameter, IDirect3DBaseTexture9* texture, GLint unit);
    void SetupVertexArray(GLuint buffer, GLintptr base, UINT stride);
    GLuint VertexBufferName(d3d::BufferStore& store);
    void BindIndexBuffer(d3d::BufferStore& store);
    // Everything GL was told is forgotten: the next draw sends it all again.
    void ForgetGlState();
    bool PrepareDraw();
    void DrawArrays(D3DPRIMITIVETYPE type, UINT first, UINT primitives);
    void DrawElements(D3DPRIMITIVETYPE type, UINT primitives, GLenum indexType, GLintptr offset, GLint baseVertex);
    void TakeScreenshot();

    std::unique_ptr<GlContext> m_context;
    GLuint m_vao = 0;
    GLuint m_fbo = 0;
    GLuint m_readFbo = 0;
    GLuint m_copyFbo = 0;
    GLuint m_streamVertices = 0;
    GLuint m_streamIndices = 0;
    GLuint m_samplers[kSamplers] = {};
    // Samplers of the texture units that effect textures bound by name use,
    // with the filter and address code each was last set to.
    GLuint m_namedSamplers[8] = {};
    int m_namedSamplerSetting[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    std::array<std::array<DWORD, kD3DSamplerStateCount>, kSamplers> m_appliedSamplers{};
    Attachment m_boundColor;
    Attachment m_boundDepth;
    bool m_hasDepth = false;
    ProgramCache m_programs;
    unsigned m_cacheEpoch = 1;
    unsigned m_uniformEpoch = 1;
    struct RecentProgram {
        ProgramKey key;
        Program* program = nullptr;
    };
    static constexpr int kRecentPrograms = 8;
    RecentProgram m_recent[kRecentPrograms] = {};
    int m_nextRecent = 0;
    GlStateCache m_gl;
    struct VertexLayout {
        bool known = false;
        DWORD fvf = 0;
        GLuint buffer = 0;
        GLintptr base = 0;
        UINT stride = 0;
    };
    VertexLayout m_layout;
    GLuint m_elementBuffer = 0;
    std::uint32_t m_seenDeletions = 0;
    // The target revision the framebuffer was last made for, and whether it
    // was complete.
    bool m_targetKnown = false;
    bool m_targetComplete = false;
    std::uint32_t m_boundTargetRevision = 0;
    const fx::Effect* m_effect = nullptr;
    unsigned m_frames = 0;
    bool m_tapeShotTaken = false;
};

} // namespace plat::gl
