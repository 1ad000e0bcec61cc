// The WGL implementation of IVexaOpenGLContext: an OpenGL 3.2 core-profile context, made with
// wglCreateContextAttribsARB, that draws into a Win32 window (the Win32 view's child). Under Wine
// it draws into a hidden stage window instead and copies each frame into the view's window with
// GDI at swapBuffers, since Wine does not show an OpenGL child window's frames on screen.
//
// A polite guest in the host's process: makeCurrent remembers whichever context was current and
// releaseCurrent puts it back; nothing is kept in globals, so any number of instances coexist.
// Threading: user-interface thread only.
#pragma once

#include "../IVexaOpenGLContext.h"

#include <memory>

namespace vexagui {

class VexaOpenGLContextWGL final : public IVexaOpenGLContext
{
public:
    VexaOpenGLContextWGL ();
    ~VexaOpenGLContextWGL () override;

    VexaOpenGLContextWGL (const VexaOpenGLContextWGL&) = delete;
    VexaOpenGLContextWGL& operator= (const VexaOpenGLContextWGL&) = delete;

    /** Accepts {VexaNativeSurface::kWin32Window, HWND}: gives a window that has none a
        double-buffered pixel format with 8-bit red, green, blue and alpha (no depth or stencil
        buffer), creates a 3.2 core-profile context and sets swap interval 1 where the driver offers
        WGL_EXT_swap_control. */
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
