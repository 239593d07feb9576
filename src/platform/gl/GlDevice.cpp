// Life cycle, targets, clears, copies and presentation of the drawing device.
#include "platform/gl/GlDevice.h"

#include "platform/InputTape.h"

#include "platform/SdlWindow.h"
#include "platform/d3d9/Formats.h"
#include "platform/d3dx9/Effect.h"
#include "platform/gl/EffectSource.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <cstdlib>

namespace plat::gl {

RecordingDevice* CreateGlDevice(const D3DCAPS9& caps, const D3DPRESENT_PARAMETERS& params, HWND window)
{
    auto context = std::make_unique<GlContext>();
    if (!context->Create(window ? NativeWindowHandle(window) : nullptr))
        return nullptr;
    return new GlDevice(caps, params, std::move(context));
}

GlDevice::GlDevice(const D3DCAPS9& caps, const D3DPRESENT_PARAMETERS& params, std::unique_ptr<GlContext> context)
    : RecordingDevice(caps, params), m_context(std::move(context))
{
    glGenVertexArrays(1, &m_vao);
    glBindVertexArray(m_vao);
    glGenFramebuffers(1, &m_fbo);
    glGenFramebuffers(1, &m_readFbo);
    glGenFramebuffers(1, &m_copyFbo);
    glGenBuffers(1, &m_streamVertices);
    glGenBuffers(1, &m_streamIndices);
    glGenSamplers(GLsizei(kSamplers), m_samplers);
    glGenSamplers(8, m_namedSamplers);
    for (auto& applied : m_appliedSamplers)
        applied.fill(0xFFFFFFFFu);
    // Flat shading takes the colour of a triangle's first vertex.
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    ForgetGlState();
    m_context->SetSwapInterval(params.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1);
}

GlDevice::~GlDevice()
{
    // Resources still held elsewhere drop their GL copies with the context.
    m_programs.Clear();
    glDeleteSamplers(GLsizei(kSamplers), m_samplers);
    glDeleteSamplers(8, m_namedSamplers);
    glDeleteBuffers(1, &m_streamVertices);
    glDeleteBuffers(1, &m_streamIndices);
    glDeleteFramebuffers(1, &m_copyFbo);
    glDeleteFramebuffers(1, &m_readFbo);
    glDeleteFramebuffers(1, &m_fbo);
    glDeleteVertexArrays(1, &m_vao);
    UnbindAll();
    m_context.reset();
}

void GlDevice::ClearPrograms()
{
    m_programs.Clear();
    ++m_cacheEpoch;
    for (RecentProgram& recent : m_recent)
        recent.program = nullptr;
    // A new program may be given the name of a deleted one.
    ForgetGlState();
}

void GlDevice::ForgetGlState()
{
    m_gl.Forget();
    m_layout.known = false;
    m_elementBuffer = 0xFFFFFFFFu;
    m_targetKnown = false;
    ++m_uniformEpoch;
    for (auto& applied : m_appliedSamplers)
        applied.fill(0xFFFFFFFFu);
    for (int& setting : m_namedSamplerSetting)
        setting = -1;
}

Program* GlDevice::CompileTimed(const std::string& key, const std::string& vertex, const std::string& fragment,
                                const std::string& what, std::string* log)
{
    const auto start = std::chrono::steady_clock::now();
    std::string text;
    Program* program = m_programs.Add(key, vertex, fragment, &text);
    // Linking leaves the new program in use.
    m_gl.ForgetProgram();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    ReportShaderCompile(what.c_str(), ms);
    if (!program && log)
        *log += text;
    else if (!program)
        std::fprintf(stderr, "%s failed: %s\n", what.c_str(), text.c_str());
    return program;
}

HRESULT GlDevice::Reset(D3DPRESENT_PARAMETERS* params)
{
    const HRESULT hr = RecordingDevice::Reset(params);
    m_boundColor = Attachment{};
    m_boundDepth = Attachment{};
    ForgetGlState();
    if (SUCCEEDED(hr))
        m_context->SetSwapInterval(m_params.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1);
    return hr;
}

static bool SameAttachment(const Attachment& a, const Attachment& b)
{
    return a.texture == b.texture && a.renderbuffer == b.renderbuffer && a.target == b.target && a.level == b.level;
}

// The framebuffer of the current colour target and depth surface.
bool GlDevice::BindTarget()
{
    // No target was set since the framebuffer was last made: it still holds
    // the device's surfaces.
    if (m_targetKnown && m_boundTargetRevision == m_targetRevision)
        return m_targetComplete;
    m_targetKnown = true;
    m_targetComplete = false;
    m_boundTargetRevision = m_targetRevision;
    Attachment color, depth;
    if (!AttachmentOf(m_renderTarget, &color)) {
        std::fprintf(stderr, "Render target has no drawing copy: the draws and clears into it are skipped\n");
        return false;
    }
    const bool hasDepth = m_depthStencil && AttachmentOf(m_depthStencil, &depth);
    glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
    if (!SameAttachment(color, m_boundColor)) {
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, color.target, color.texture, color.level);
        m_boundColor = color;
    }
    if (hasDepth != m_hasDepth || (hasDepth && !SameAttachment(depth, m_boundDepth))) {
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
        if (hasDepth)
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, depth.stencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                                      GL_RENDERBUFFER, depth.renderbuffer);
        m_boundDepth = depth;
        m_hasDepth = hasDepth;
    }
    m_targetComplete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (!m_targetComplete)
        std::fprintf(stderr, "Render target cannot be drawn into: the draws and clears into it are skipped\n");
    return m_targetComplete;
}

// Clears the viewport, or the given rectangles inside it.
HRESULT GlDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil)
{
    const HRESULT hr = RecordingDevice::Clear(count, rects, flags, color, z, stencil);
    if (FAILED(hr) || !BindTarget())
        return hr;
    float c[4];
    ColorOf(color, c);
    glClearColor(c[0], c[1], c[2], c[3]);
    glClearDepth(std::clamp(z, 0.0f, 1.0f));
    glClearStencil(GLint(stencil));
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(0xFF);
    GLbitfield bits = 0;
    if (flags & D3DCLEAR_TARGET)
        bits |= GL_COLOR_BUFFER_BIT;
    if (m_hasDepth && (flags & D3DCLEAR_ZBUFFER))
        bits |= GL_DEPTH_BUFFER_BIT;
    if (m_hasDepth && m_boundDepth.stencil && (flags & D3DCLEAR_STENCIL))
        bits |= GL_STENCIL_BUFFER_BIT;
    glEnable(GL_SCISSOR_TEST);
    const LONG vx0 = LONG(m_viewport.X), vy0 = LONG(m_viewport.Y);
    const LONG vx1 = vx0 + LONG(m_viewport.Width), vy1 = vy0 + LONG(m_viewport.Height);
    const D3DRECT whole{vx0, vy0, vx1, vy1};
    for (DWORD i = 0; i < std::max<DWORD>(count, 1); ++i) {
        const D3DRECT& r = count ? rects[i] : whole;
        const LONG x0 = std::max(r.x1, vx0), y0 = std::max(r.y1, vy0);
        const LONG x1 = std::min(r.x2, vx1), y1 = std::min(r.y2, vy1);
        if (x1 <= x0 || y1 <= y0)
            continue;
        glScissor(x0, y0, x1 - x0, y1 - y0);
        glClear(bits);
    }
    glDisable(GL_SCISSOR_TEST);
    // The masks were opened for the clear.
    m_gl.Forget();
    return hr;
}

HRESULT GlDevice::StretchRect(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                              const RECT* destRect, D3DTEXTUREFILTERTYPE filter)
{
    const HRESULT hr = RecordingDevice::StretchRect(source, sourceRect, dest, destRect, filter);
    Attachment from, to;
    if (FAILED(hr) || !AttachmentOf(source, &from) || !AttachmentOf(dest, &to) || from.depth || to.depth)
        return hr;
    const RECT src = sourceRect ? *sourceRect : RECT{0, 0, LONG(from.width), LONG(from.height)};
    const RECT dst = destRect ? *destRect : RECT{0, 0, LONG(to.width), LONG(to.height)};
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_readFbo);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, from.target, from.texture, from.level);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_copyFbo);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, to.target, to.texture, to.level);
    glBlitFramebuffer(src.left, src.top, src.right, src.bottom, dst.left, dst.top, dst.right, dst.bottom,
                      GL_COLOR_BUFFER_BIT, filter == D3DTEXF_POINT || filter == D3DTEXF_NONE ? GL_NEAREST : GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
    return hr;
}

bool GlDevice::Read(IDirect3DSurface9* surface, Pixels* out)
{
    Attachment from;
    if (!AttachmentOf(surface ? surface : m_backBuffer, &from) || from.depth)
        return false;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_readFbo);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, from.target, from.texture, from.level);
    out->width = from.width;
    out->height = from.height;
    out->argb.assign(size_t(from.width) * from.height, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, GLsizei(from.width), GLsizei(from.height), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 out->argb.data());
    glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
    D3DSURFACE_DESC desc{};
    (surface ? surface : m_backBuffer)->GetDesc(&desc);
    if (desc.Format == D3DFMT_X8R8G8B8 || desc.Format == D3DFMT_R5G6B5 || desc.Format == D3DFMT_X1R5G5B5)
        for (std::uint32_t& p : out->argb)
            p |= 0xFF000000u;
    return true;
}

void GlDevice::TakeScreenshot()
{
    const char* path = std::getenv("MORVAINE_SCREENSHOT");
    if (!path || !*path)
        return;
    const char* frame = std::getenv("MORVAINE_SCREENSHOT_FRAME");
    const unsigned wanted = frame && *frame ? unsigned(std::strtoul(frame, nullptr, 10)) : 1u;
    // Under a replayed tape the frame is the tape's (a loading screen may
    // present several times in one pass), so a shot is made again exactly.
    const bool taped = ActiveTapeMode() == TapeMode::Replay;
    const unsigned now = taped ? TapeFrameNumber() : m_frames;
    if (now != wanted || (taped && m_tapeShotTaken))
        return;
    m_tapeShotTaken = taped;
    Pixels image;
    if (Read(nullptr, &image) && WritePng(path, image))
        std::fprintf(stderr, "Screenshot of frame %u written to %s\n", m_frames, path);
    else
        std::fprintf(stderr, "Screenshot of frame %u could not be written to %s\n", m_frames, path);
}

// The back buffer goes to the window turned the right way up and scaled to
// the window's size; headless, the frame stays in the back buffer.
HRESULT GlDevice::Present(const RECT* source, const RECT* dest, HWND window, const void* dirtyRegion)
{
    const HRESULT hr = RecordingDevice::Present(source, dest, window, dirtyRegion);
    if (FAILED(hr))
        return hr;
    ++m_frames;
    TakeScreenshot();
    Attachment back;
    if (m_context->HasWindow() && AttachmentOf(m_backBuffer, &back)) {
        int width = 0, height = 0;
        m_context->DrawableSize(&width, &height);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_readFbo);
        glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, back.target, back.texture, back.level);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glBlitFramebuffer(0, 0, GLint(back.width), GLint(back.height), 0, height, width, 0, GL_COLOR_BUFFER_BIT,
                          GL_LINEAR);
        glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
    }
    m_context->Swap();
    m_gl.Forget();
    return hr;
}

bool GlDevice::SamplesBlockFormats() const
{
    return m_context->HasExtension("GL_EXT_texture_compression_s3tc");
}

void GlDevice::OnEffectPass(const fx::Effect* effect, bool applied)
{
    if (applied)
        m_effect = effect;
    else if (m_effect == effect)
        m_effect = nullptr;
}

// Every pass of a new effect is compiled once against the current states,
// so a file whose shaders do not compile is refused with the compiler's text.
bool GlDevice::AcceptEffect(const fx::EffectFile& file, std::string* errors)
{
    const std::string declarations = ParameterDeclarations(file);
    bool ok = true;
    for (const fx::Technique& technique : file.techniques)
        for (const fx::Pass& pass : technique.passes) {
            if (pass.vertexShader < 0 && pass.pixelShader < 0)
                continue;
            const ProgramKey key = KeyForEffectPass(MakeKey(), pass.vertexShader >= 0, pass.pixelShader >= 0);
            std::string log;
            if (!CompileEffectPass(file, declarations, pass, key, &log)) {
                *errors += "technique " + technique.name + ", pass " + pass.name + ": " + log;
                ok = false;
            }
        }
    return ok;
}

} // namespace plat::gl

namespace plat {

static gl::GlDevice* AsGl(IDirect3DDevice9* device)
{
    return dynamic_cast<gl::GlDevice*>(device);
}

bool ReadRenderTarget(IDirect3DDevice9* device, IDirect3DSurface9* surface, Pixels* out)
{
    gl::GlDevice* gl = AsGl(device);
    return gl && out && gl->Read(surface, out);
}

void FinishGl(IDirect3DDevice9* device)
{
    if (AsGl(device))
        glFinish();
}

void ClearProgramCache(IDirect3DDevice9* device)
{
    if (gl::GlDevice* gl = AsGl(device))
        gl->ClearPrograms();
}

bool CompilesPrograms(IDirect3DDevice9* device)
{
    return AsGl(device) != nullptr;
}

size_t ProgramCacheSize(IDirect3DDevice9* device)
{
    gl::GlDevice* gl = AsGl(device);
    return gl ? gl->Programs().Size() : 0;
}

} // namespace plat
