#include "platform/gl/GlResources.h"

#include "platform/d3d9/Formats.h"
#include "platform/d3dx9/Image.h"
#include "platform/gl/GlContext.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

namespace plat::gl {

bool PixelFormatOf(D3DFORMAT format, PixelFormat* out)
{
    PixelFormat f;
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
        f = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE};
        break;
    case D3DFMT_R8G8B8:
        f = {GL_RGB8, GL_BGR, GL_UNSIGNED_BYTE};
        break;
    // Kept at eight bits a channel: a software rasteriser draws into and
    // samples that layout on its fast paths, and the 5:6:5 values widen into
    // it exactly.
    case D3DFMT_R5G6B5:
        f = {GL_RGBA8, GL_RGB, GL_UNSIGNED_SHORT_5_6_5};
        break;
    case D3DFMT_A1R5G5B5:
    case D3DFMT_X1R5G5B5:
        f = {GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV};
        break;
    case D3DFMT_A4R4G4B4:
        f = {GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV};
        break;
    case D3DFMT_A8:
        f = {GL_R8, GL_RED, GL_UNSIGNED_BYTE};
        f.swizzle[0] = f.swizzle[1] = f.swizzle[2] = GL_ZERO;
        f.swizzle[3] = GL_RED;
        break;
    case D3DFMT_L8:
        f = {GL_R8, GL_RED, GL_UNSIGNED_BYTE};
        f.swizzle[0] = f.swizzle[1] = f.swizzle[2] = GL_RED;
        f.swizzle[3] = GL_ONE;
        break;
    case D3DFMT_DXT1:
        f = {GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0, true};
        break;
    case D3DFMT_DXT3:
        f = {GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, true};
        break;
    case D3DFMT_DXT5:
        f = {GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, true};
        break;
    default:
        return false;
    }
    // The X formats store a byte or bit that is not alpha: they read opaque.
    if (format == D3DFMT_X8R8G8B8 || format == D3DFMT_X1R5G5B5)
        f.swizzle[3] = GL_ONE;
    *out = f;
    return true;
}

void ColorOf(D3DCOLOR c, float out[4])
{
    out[0] = float((c >> 16) & 0xFF) / 255.0f;
    out[1] = float((c >> 8) & 0xFF) / 255.0f;
    out[2] = float(c & 0xFF) / 255.0f;
    out[3] = float(c >> 24) / 255.0f;
}

bool GlObject::Alive() const
{
    return ContextAlive(m_generation);
}

namespace {
std::uint32_t s_deletions = 0;
} // namespace

std::uint32_t GlDeletions()
{
    return s_deletions;
}

GlTexture::~GlTexture()
{
    if (Alive() && name) {
        glDeleteTextures(1, &name);
        ++s_deletions;
    }
}

GlSurface::~GlSurface()
{
    if (!Alive())
        return;
    if (texture)
        glDeleteTextures(1, &texture);
    if (renderbuffer)
        glDeleteRenderbuffers(1, &renderbuffer);
    ++s_deletions;
}

GlBuffer::~GlBuffer()
{
    if (Alive() && name) {
        glDeleteBuffers(1, &name);
        ++s_deletions;
    }
}

namespace {

bool s_s3tcChecked = false;
bool s_s3tc = false;

bool HasS3tc()
{
    if (!s_s3tcChecked && CurrentContext()) {
        s_s3tc = CurrentContext()->HasExtension("GL_EXT_texture_compression_s3tc");
        s_s3tcChecked = true;
    }
    return s_s3tc;
}

// Block data turned into B, G, R, A bytes for a driver without the block formats.
std::vector<std::uint8_t> DecodeBlocks(const d3d::Level& level)
{
    const UINT w = level.desc.Width, h = level.desc.Height;
    std::vector<std::uint8_t> out(size_t(w) * h * 4);
    const UINT unit = d3d::FormatUnitBytes(level.desc.Format);
    const UINT pitch = d3d::RowPitch(level.desc.Format, w);
    std::uint32_t pixels[16];
    for (UINT by = 0; by < (h + 3) / 4; ++by)
        for (UINT bx = 0; bx < (w + 3) / 4; ++bx) {
            img::DecodeDxtBlock(level.desc.Format, level.bytes.data() + size_t(by) * pitch + size_t(bx) * unit, pixels);
            for (UINT i = 0; i < 16; ++i) {
                const UINT x = bx * 4 + i % 4, y = by * 4 + i / 4;
                if (x < w && y < h)
                    std::memcpy(out.data() + (size_t(y) * w + x) * 4, &pixels[i], 4);
            }
        }
    return out;
}

void UploadLevel(GLenum target, GLint index, const d3d::Level& level, const PixelFormat& f, bool allocateOnly)
{
    const GLsizei w = GLsizei(level.desc.Width), h = GLsizei(level.desc.Height);
    const void* data = allocateOnly ? nullptr : level.bytes.data();
    if (f.compressed && HasS3tc() && !allocateOnly) {
        glCompressedTexImage2D(target, index, f.internal, w, h, 0, GLsizei(level.bytes.size()), data);
        return;
    }
    if (f.compressed) {
        const std::vector<std::uint8_t> decoded = allocateOnly ? std::vector<std::uint8_t>() : DecodeBlocks(level);
        glTexImage2D(target, index, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                     allocateOnly ? nullptr : decoded.data());
        return;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(target, index, f.internal, w, h, 0, f.format, f.type, data);
}

GLenum FaceTarget(GLenum target, UINT face)
{
    return target == GL_TEXTURE_CUBE_MAP ? GLenum(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face) : target;
}

void AllocateTarget(d3d::TextureStore& store, GLenum target, const PixelFormat& f)
{
    for (UINT face = 0; face < store.FaceCount(); ++face)
        for (UINT level = 0; level < store.LevelCount(); ++level)
            UploadLevel(FaceTarget(target, face), GLint(level), *store.At(face, level), f, true);
}

// Whether the driver draws into level 0 of the texture (its first face).
bool Renderable(GLenum target, GLuint texture)
{
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    GLuint probe = 0;
    glGenFramebuffers(1, &probe);
    glBindFramebuffer(GL_FRAMEBUFFER, probe);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, FaceTarget(target, 0), texture, 0);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, GLuint(previous));
    glDeleteFramebuffers(1, &probe);
    return complete;
}

GlTexture* MakeTexture(d3d::TextureStore& store, GLenum target, const PixelFormat& f)
{
    auto* made = new GlTexture;
    store.backend.reset(made);
    made->target = target;
    made->uploaded.assign(size_t(store.FaceCount()) * store.LevelCount(), 0);
    glGenTextures(1, &made->name);
    glBindTexture(target, made->name);
    const bool autoMips = (store.Usage() & D3DUSAGE_AUTOGENMIPMAP) != 0;
    const UINT level0w = store.At(0, 0)->desc.Width, level0h = store.At(0, 0)->desc.Height;
    glTexParameteri(target, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(target, GL_TEXTURE_MAX_LEVEL,
                    GLint(autoMips ? d3d::FullMipCount(level0w, level0h) - 1 : store.LevelCount() - 1));
    glTexParameteriv(target, GL_TEXTURE_SWIZZLE_RGBA, f.swizzle);
    // Render targets get their storage now; their pixels come from drawing.
    if (store.Usage() & D3DUSAGE_RENDERTARGET) {
        AllocateTarget(store, target, f);
        if (!Renderable(target, made->name)) {
            // The shadow maps ask for 5:6:5, which a driver need not draw into.
            std::fprintf(stderr, "Render target format %u cannot be drawn into here: using 8-bit RGB instead\n",
                         unsigned(store.At(0, 0)->desc.Format));
            PixelFormat wide{GL_RGB8, GL_BGR, GL_UNSIGNED_BYTE};
            wide.swizzle[3] = GL_ONE;
            glTexParameteriv(target, GL_TEXTURE_SWIZZLE_RGBA, wide.swizzle);
            AllocateTarget(store, target, wide);
        }
    }
    return made;
}

} // namespace

namespace {

// Creating and uploading happen on a unit the drawing never samples, so the
// bindings the device keeps on units 0-15 stay what it thinks they are.
class ScratchUnit {
public:
    ScratchUnit()
    {
        glGetIntegerv(GL_ACTIVE_TEXTURE, &m_previous);
        glActiveTexture(GL_TEXTURE0 + kScratchTextureUnit);
    }
    ~ScratchUnit() { glActiveTexture(GLenum(m_previous)); }

private:
    GLint m_previous = GL_TEXTURE0;
};

bool UpToDate(d3d::TextureStore& store, const GlTexture& gl)
{
    for (UINT face = 0; face < store.FaceCount(); ++face)
        for (UINT level = 0; level < store.LevelCount(); ++level)
            if (gl.uploaded[size_t(face) * store.LevelCount() + level] != store.At(face, level)->revision + 1)
                return false;
    return true;
}

} // namespace

GLuint SyncTexture(IDirect3DBaseTexture9* texture, GLenum* target)
{
    d3d::TextureStore* store = d3d::StoreOf(texture);
    PixelFormat f;
    if (!store || !PixelFormatOf(store->At(0, 0)->desc.Format, &f))
        return 0;
    const GLenum kind = store->FaceCount() == 6 ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D;
    *target = kind;
    auto* gl = dynamic_cast<GlTexture*>(store->backend.get());
    const bool renderTarget = (store->Usage() & D3DUSAGE_RENDERTARGET) != 0;
    if (gl && gl->Alive() && (renderTarget || UpToDate(*store, *gl)))
        return gl->name;
    ScratchUnit scratch;
    if (!gl || !gl->Alive())
        gl = MakeTexture(*store, kind, f);
    glBindTexture(kind, gl->name);
    if (renderTarget)
        return gl->name;
    bool changed = false;
    for (UINT face = 0; face < store->FaceCount(); ++face)
        for (UINT level = 0; level < store->LevelCount(); ++level) {
            const d3d::Level& image = *store->At(face, level);
            unsigned& seen = gl->uploaded[size_t(face) * store->LevelCount() + level];
            if (seen == image.revision + 1)
                continue;
            UploadLevel(FaceTarget(kind, face), GLint(level), image, f, false);
            seen = image.revision + 1;
            changed = true;
        }
    if (changed && (store->Usage() & D3DUSAGE_AUTOGENMIPMAP))
        glGenerateMipmap(kind);
    return gl->name;
}

// A surface is a level of a texture (found in its container's store) or a
// standalone image with its own GL object.
bool AttachmentOf(IDirect3DSurface9* surface, Attachment* out)
{
    auto* s = dynamic_cast<d3d::Surface*>(surface);
    if (!s)
        return false;
    const D3DSURFACE_DESC& desc = s->Image().desc;
    *out = Attachment{};
    out->width = desc.Width;
    out->height = desc.Height;
    out->depth = d3d::IsDepthFormat(desc.Format);
    out->stencil = out->depth && desc.Format != D3DFMT_D16 && desc.Format != D3DFMT_D32;
    if (IUnknown* container = s->Container()) {
        auto* base = dynamic_cast<IDirect3DBaseTexture9*>(container);
        d3d::TextureStore* store = d3d::StoreOf(base);
        GLenum target = 0;
        if (!store || !SyncTexture(base, &target))
            return false;
        for (UINT face = 0; face < store->FaceCount(); ++face)
            for (UINT level = 0; level < store->LevelCount(); ++level)
                if (store->At(face, level) == &s->Image()) {
                    out->texture = static_cast<GlTexture*>(store->backend.get())->name;
                    out->target = FaceTarget(target, face);
                    out->level = GLint(level);
                    return true;
                }
        return false;
    }
    auto* gl = dynamic_cast<GlSurface*>(s->Image().backend.get());
    if (!gl || !gl->Alive()) {
        gl = new GlSurface;
        s->Image().backend.reset(gl);
        if (out->depth) {
            glGenRenderbuffers(1, &gl->renderbuffer);
            glBindRenderbuffer(GL_RENDERBUFFER, gl->renderbuffer);
            glRenderbufferStorage(GL_RENDERBUFFER, out->stencil ? GL_DEPTH24_STENCIL8 : GL_DEPTH_COMPONENT24,
                                  GLsizei(desc.Width), GLsizei(desc.Height));
        } else {
            PixelFormat f;
            if (!PixelFormatOf(desc.Format, &f))
                f = PixelFormat{GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE};
            ScratchUnit scratch;
            glGenTextures(1, &gl->texture);
            glBindTexture(GL_TEXTURE_2D, gl->texture);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
            glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, f.swizzle);
            UploadLevel(GL_TEXTURE_2D, 0, s->Image(), f, true);
        }
    }
    out->texture = gl->texture;
    out->renderbuffer = gl->renderbuffer;
    return true;
}

GLuint CurrentBuffer(const d3d::BufferStore& store)
{
    auto* gl = dynamic_cast<GlBuffer*>(store.backend.get());
    return gl && gl->Alive() && gl->revision == store.Revision() ? gl->name : 0;
}

GLuint SyncBuffer(d3d::BufferStore& store, GLenum target)
{
    const std::vector<std::uint8_t>& bytes = std::as_const(store).Bytes();
    auto* gl = dynamic_cast<GlBuffer*>(store.backend.get());
    if (!gl || !gl->Alive()) {
        gl = new GlBuffer;
        store.backend.reset(gl);
        glGenBuffers(1, &gl->name);
        glBindBuffer(target, gl->name);
        glBufferData(target, GLsizeiptr(bytes.size()), bytes.data(), GL_DYNAMIC_DRAW);
        gl->revision = store.Revision();
        store.ResetDirty();
        return gl->name;
    }
    glBindBuffer(target, gl->name);
    if (gl->revision != store.Revision() && store.DirtyBegin() < store.DirtyEnd()) {
        const size_t begin = store.DirtyBegin();
        const size_t end = std::min(store.DirtyEnd(), bytes.size());
        glBufferSubData(target, GLintptr(begin), GLsizeiptr(end - begin), bytes.data() + begin);
    }
    gl->revision = store.Revision();
    store.ResetDirty();
    return gl->name;
}

} // namespace plat::gl
