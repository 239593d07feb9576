// What the GL context holds of the states the drawing device sets, so that a
// draw sends only what differs from the draw before. Anything that changes
// GL state behind the cache's back (clears, copies, presentation) calls
// Forget, and the next draw sends everything again.
#pragma once

#include "platform/gl/GlApi.h"

#include <cstdint>

namespace plat::gl {

class GlStateCache {
public:
    static constexpr int kUnits = 16;

    void Forget();
    void Viewport(GLint x, GLint y, GLsizei width, GLsizei height);
    void DepthRange(float nearZ, float farZ);
    // GL_DEPTH_TEST, GL_CULL_FACE, GL_BLEND, GL_CLIP_DISTANCE0.
    void Enable(GLenum capability, bool on);
    void DepthMask(bool on);
    void DepthFunc(GLenum func);
    void CullFace(GLenum face);
    void PolygonMode(GLenum mode);
    void BlendFunc(GLenum source, GLenum dest);
    void BlendEquation(GLenum equation);
    void ColorMask(unsigned mask); // bits: red, green, blue, alpha
    void UseProgram(GLuint program);
    void ForgetProgram() { m_program = 0xFFFFFFFFu; }
    void BindTexture(GLuint unit, GLenum target, GLuint name);
    void BindSampler(GLuint unit, GLuint sampler);
    void BindVertexArray(GLuint array);
    void BindArrayBuffer(GLuint buffer);
    // The array buffer binding changed elsewhere (a buffer was created or
    // filled): the next BindArrayBuffer sends its name.
    void ArrayBufferChanged(GLuint buffer) { m_arrayBuffer = buffer; }

private:
    enum Capability { kDepthTest, kCullFace, kBlend, kClip0, kCapabilities };
    void ActiveUnit(GLuint unit);

    bool m_viewportKnown = false;
    bool m_depthRangeKnown = false;
    GLint m_viewport[4] = {};
    float m_depthRange[2] = {};
    std::int8_t m_enabled[kCapabilities] = {-1, -1, -1, -1};
    std::int8_t m_depthMask = -1;
    GLenum m_depthFunc = 0, m_cullFace = 0, m_polygonMode = 0, m_blendSource = 0, m_blendDest = 0, m_blendEquation = 0;
    unsigned m_colorMask = 0;
    GLuint m_program = 0;
    GLuint m_activeUnit = 0;
    GLuint m_texture2d[kUnits] = {};
    GLuint m_textureCube[kUnits] = {};
    GLuint m_sampler[kUnits] = {};
    GLuint m_vertexArray = 0;
    GLuint m_arrayBuffer = 0;
};

} // namespace plat::gl
