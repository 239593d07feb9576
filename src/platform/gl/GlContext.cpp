#include "platform/gl/GlContext.h"

#include "platform/gl/GlApi.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>

namespace plat::gl {

namespace {
GlContext* s_current = nullptr;
unsigned s_generation = 0;
} // namespace

GlContext* CurrentContext()
{
    return s_current;
}

unsigned ContextGeneration()
{
    return s_generation;
}

bool ContextAlive(unsigned generation)
{
    return s_current && generation == s_generation;
}

bool GlContext::Create(void* sdlWindow)
{
    const bool made = sdlWindow ? CreateForWindow(sdlWindow) || CreateOffscreen() : CreateOffscreen();
    if (made) {
        s_current = this;
        ++s_generation;
    }
    return made;
}

bool GlContext::CreateForWindow(void* window)
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GLContext context = SDL_GL_CreateContext(static_cast<SDL_Window*>(window));
    if (!context) {
        std::fprintf(stderr, "OpenGL context for the window failed: %s\n", SDL_GetError());
        return false;
    }
    m_window = window;
    m_sdlContext = context;
    return true;
}

bool GlContext::CreateOffscreen()
{
    auto getDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLDisplay display = getDisplay ? getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr)
                                    : EGL_NO_DISPLAY;
    EGLint major = 0, minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
        std::fprintf(stderr, "Offscreen OpenGL display is not available\n");
        return false;
    }
    eglBindAPI(EGL_OPENGL_API);
    const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    eglChooseConfig(display, configAttributes, &config, 1, &configs);
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                        EGL_NONE};
    EGLContext context =
        eglCreateContext(display, configs > 0 ? config : EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT || !eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        std::fprintf(stderr, "Offscreen OpenGL 3.3 context failed (EGL error 0x%x)\n", eglGetError());
        if (context != EGL_NO_CONTEXT)
            eglDestroyContext(display, context);
        eglTerminate(display);
        return false;
    }
    m_eglDisplay = display;
    m_eglContext = context;
    return true;
}

GlContext::~GlContext()
{
    if (s_current == this)
        s_current = nullptr;
    if (m_sdlContext)
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(m_sdlContext));
    if (m_eglContext) {
        eglMakeCurrent(m_eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(m_eglDisplay, m_eglContext);
        eglTerminate(m_eglDisplay);
    }
}

void GlContext::DrawableSize(int* width, int* height) const
{
    *width = *height = 0;
    if (m_window)
        SDL_GL_GetDrawableSize(static_cast<SDL_Window*>(m_window), width, height);
}

void GlContext::SetSwapInterval(int interval)
{
    if (m_sdlContext)
        SDL_GL_SetSwapInterval(interval);
}

void GlContext::Swap()
{
    if (m_sdlContext)
        SDL_GL_SwapWindow(static_cast<SDL_Window*>(m_window));
    else
        glFlush();
}

bool GlContext::HasExtension(const char* name) const
{
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const char* extension = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, GLuint(i)));
        if (extension && std::strcmp(extension, name) == 0)
            return true;
    }
    return false;
}

} // namespace plat::gl
