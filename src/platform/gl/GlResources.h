// The driver-side copies of the layer's resources: a GL texture per texture
// (all faces and levels), a GL texture or renderbuffer per standalone
// surface, a GL buffer per vertex or index buffer. Each is made on first use
// and kept in the resource's backend slot; contents are copied again when
// the resource's memory changed since (its revision), except for render
// targets, whose pixels live only in GL.
#pragma once

#include "platform/d3d9/Resources.h"
#include "platform/gl/GlApi.h"
#include "platform/gl/GlContext.h"

#include <vector>

namespace plat::gl {

// GL upload parameters of a layer format; false for a format GL cannot take.
struct PixelFormat {
    GLenum internal = 0;
    GLenum format = 0;
    GLenum type = 0;
    bool compressed = false;
    GLint swizzle[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
};
bool PixelFormatOf(D3DFORMAT format, PixelFormat* out);

// A D3DCOLOR as red, green, blue, alpha from 0 to 1.
void ColorOf(D3DCOLOR c, float out[4]);

// A GL object's owner: deletes it only in the context it was made in.
class GlObject : public d3d::BackendObject {
public:
    bool Alive() const;

protected:
    unsigned m_generation = ContextGeneration();
};

class GlTexture final : public GlObject {
public:
    ~GlTexture() override;
    GLuint name = 0;
    GLenum target = GL_TEXTURE_2D;
    std::vector<std::uint32_t> uploaded; // revision per face and level, +1 (0: never)
};

class GlSurface final : public GlObject {
public:
    ~GlSurface() override;
    GLuint texture = 0;      // colour surfaces
    GLuint renderbuffer = 0; // depth surfaces
};

class GlBuffer final : public GlObject {
public:
    ~GlBuffer() override;
    GLuint name = 0;
    std::uint32_t revision = 0;
};

// Counts the GL textures and buffers deleted: GL unbinds a deleted object
// and may give its name to the next one made, so whoever remembers bindings
// by name forgets them when this moves.
std::uint32_t GlDeletions();

// The texture unit on which copies are made and uploaded; nothing draws
// from it.
inline constexpr GLuint kScratchTextureUnit = 31;

// Brings a texture's GL copy up to date; returns its name and target
// (GL_TEXTURE_2D or GL_TEXTURE_CUBE_MAP), or 0 for an unusable texture. The
// bindings of the texture units a draw uses are left alone.
GLuint SyncTexture(IDirect3DBaseTexture9* texture, GLenum* target);

// Where drawing into a surface goes.
struct Attachment {
    GLuint texture = 0;
    GLuint renderbuffer = 0;
    GLenum target = GL_TEXTURE_2D; // a 2-D target or a cube face
    GLint level = 0;
    UINT width = 0;
    UINT height = 0;
    bool depth = false;
    bool stencil = false;
};
bool AttachmentOf(IDirect3DSurface9* surface, Attachment* out);

// Binds a buffer's GL copy to target after copying what changed.
GLuint SyncBuffer(d3d::BufferStore& store, GLenum target);
// The name of a buffer's GL copy when it exists and holds the current
// bytes, else 0 (SyncBuffer is then needed).
GLuint CurrentBuffer(const d3d::BufferStore& store);

} // namespace plat::gl
