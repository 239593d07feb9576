// The OpenGL context of the drawing back end: the SDL window's own, or an
// offscreen one (EGL without any surface) when there is no window to draw in.
// Everything is drawn into framebuffer objects; the window only receives the
// finished back buffer at Present.
#pragma once

namespace plat::gl {

class GlContext {
public:
    GlContext() = default;
    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    // sdlWindow null: offscreen. False (with a log line) when no context of
    // OpenGL 3.3 core can be made.
    bool Create(void* sdlWindow);
    bool HasWindow() const { return m_window != nullptr; }
    void* Window() const { return m_window; }
    // Size of the window's drawable area in pixels.
    void DrawableSize(int* width, int* height) const;
    void SetSwapInterval(int interval);
    void Swap();
    bool HasExtension(const char* name) const;

private:
    bool CreateOffscreen();
    bool CreateForWindow(void* window);

    void* m_window = nullptr;
    void* m_sdlContext = nullptr;
    void* m_eglDisplay = nullptr;
    void* m_eglContext = nullptr;
};

// The live context, or null once it is gone (resources made by a device may
// outlive it and must then not touch GL).
GlContext* CurrentContext();
// Number of the live context, new for each one made: a GL object belongs to
// the context whose number it was made under.
unsigned ContextGeneration();
// True while the context a GL object was made under is still the live one.
bool ContextAlive(unsigned generation);

} // namespace plat::gl
