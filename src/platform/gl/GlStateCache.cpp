#include "platform/gl/GlStateCache.h"

namespace plat::gl {

namespace {

constexpr GLuint kUnknown = 0xFFFFFFFFu;

} // namespace

void GlStateCache::Forget()
{
    m_viewportKnown = m_depthRangeKnown = false;
    for (auto& e : m_enabled)
        e = -1;
    m_depthMask = -1;
    m_depthFunc = m_cullFace = m_polygonMode = m_blendSource = m_blendDest = m_blendEquation = kUnknown;
    m_colorMask = kUnknown;
    m_program = kUnknown;
    m_activeUnit = kUnknown;
    for (int i = 0; i < kUnits; ++i)
        m_texture2d[i] = m_textureCube[i] = m_sampler[i] = kUnknown;
    m_vertexArray = kUnknown;
    m_arrayBuffer = kUnknown;
}

void GlStateCache::Viewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    if (m_viewportKnown && m_viewport[0] == x && m_viewport[1] == y && m_viewport[2] == width &&
        m_viewport[3] == height)
        return;
    glViewport(x, y, width, height);
    m_viewport[0] = x;
    m_viewport[1] = y;
    m_viewport[2] = width;
    m_viewport[3] = height;
    m_viewportKnown = true;
}

void GlStateCache::DepthRange(float nearZ, float farZ)
{
    if (m_depthRangeKnown && m_depthRange[0] == nearZ && m_depthRange[1] == farZ)
        return;
    glDepthRange(nearZ, farZ);
    m_depthRange[0] = nearZ;
    m_depthRange[1] = farZ;
    m_depthRangeKnown = true;
}

void GlStateCache::Enable(GLenum capability, bool on)
{
    const int index = capability == GL_DEPTH_TEST  ? kDepthTest
                      : capability == GL_CULL_FACE ? kCullFace
                      : capability == GL_BLEND     ? kBlend
                                                   : kClip0;
    if (m_enabled[index] == (on ? 1 : 0))
        return;
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
    m_enabled[index] = on ? 1 : 0;
}

void GlStateCache::DepthMask(bool on)
{
    if (m_depthMask == (on ? 1 : 0))
        return;
    glDepthMask(on ? GL_TRUE : GL_FALSE);
    m_depthMask = on ? 1 : 0;
}

void GlStateCache::DepthFunc(GLenum func)
{
    if (m_depthFunc != func)
        glDepthFunc(m_depthFunc = func);
}

void GlStateCache::CullFace(GLenum face)
{
    if (m_cullFace != face)
        glCullFace(m_cullFace = face);
}

void GlStateCache::PolygonMode(GLenum mode)
{
    if (m_polygonMode != mode)
        glPolygonMode(GL_FRONT_AND_BACK, m_polygonMode = mode);
}

void GlStateCache::BlendFunc(GLenum source, GLenum dest)
{
    if (m_blendSource == source && m_blendDest == dest)
        return;
    glBlendFunc(source, dest);
    m_blendSource = source;
    m_blendDest = dest;
}

void GlStateCache::BlendEquation(GLenum equation)
{
    if (m_blendEquation != equation)
        glBlendEquation(m_blendEquation = equation);
}

void GlStateCache::ColorMask(unsigned mask)
{
    if (m_colorMask == mask)
        return;
    glColorMask(mask & 1 ? GL_TRUE : GL_FALSE, mask & 2 ? GL_TRUE : GL_FALSE, mask & 4 ? GL_TRUE : GL_FALSE,
                mask & 8 ? GL_TRUE : GL_FALSE);
    m_colorMask = mask;
}

void GlStateCache::UseProgram(GLuint program)
{
    if (m_program != program)
        glUseProgram(m_program = program);
}

void GlStateCache::ActiveUnit(GLuint unit)
{
    if (m_activeUnit != unit)
        glActiveTexture(GL_TEXTURE0 + (m_activeUnit = unit));
}

void GlStateCache::BindTexture(GLuint unit, GLenum target, GLuint name)
{
    GLuint& bound = target == GL_TEXTURE_CUBE_MAP ? m_textureCube[unit] : m_texture2d[unit];
    if (bound == name)
        return;
    ActiveUnit(unit);
    glBindTexture(target, name);
    bound = name;
}

void GlStateCache::BindSampler(GLuint unit, GLuint sampler)
{
    if (m_sampler[unit] != sampler)
        glBindSampler(unit, m_sampler[unit] = sampler);
}

void GlStateCache::BindVertexArray(GLuint array)
{
    if (m_vertexArray != array)
        glBindVertexArray(m_vertexArray = array);
}

void GlStateCache::BindArrayBuffer(GLuint buffer)
{
    if (m_arrayBuffer != buffer)
        glBindBuffer(GL_ARRAY_BUFFER, m_arrayBuffer = buffer);
}

} // namespace plat::gl
