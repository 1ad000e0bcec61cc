// The GLX implementation of IVexaOpenGLContext: an OpenGL 3.2 core-profile context that draws into
// an X11 window (the X11 view's child), on a display connection of its own.
//
// A polite guest in the host's process: makeCurrent remembers whichever context was current and
// releaseCurrent puts it back; nothing is kept in globals, so any number of instances coexist.
// Threading: user-interface thread only.
#pragma once

#include "../IVexaOpenGLContext.h"

#include <memory>

namespace vexagui {

class VexaOpenGLContextGLX final : public IVexaOpenGLContext
{
public:
    VexaOpenGLContextGLX ();
    ~VexaOpenGLContextGLX () override;

    VexaOpenGLContextGLX (const VexaOpenGLContextGLX&) = delete;
    VexaOpenGLContextGLX& operator= (const VexaOpenGLContextGLX&) = delete;

    /** Accepts {VexaNativeSurface::kX11Window, window id}: picks a double-buffered configuration with
        8-bit red, green, blue and alpha for the window's own visual (no depth or stencil buffer,
        accelerated ones first), creates a 3.2 core-profile context and sets swap interval 1 where the
        server offers a swap-control extension. */
    bool attachToSurface (const VexaNativeSurface& surface) override;
    void detachFromSurface () override;
    bool isAttached () const override;
    bool makeCurrent () override;
    void swapBuffers () override;
    void releaseCurrent () override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};

} // namespace vexagui
