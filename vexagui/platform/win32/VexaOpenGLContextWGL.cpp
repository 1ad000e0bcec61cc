#include "VexaOpenGLContextWGL.h"

#include <windows.h>

namespace vexagui {

namespace {
// From WGL_ARB_create_context and WGL_ARB_create_context_profile.
constexpr int kContextMajorVersion = 0x2091;
constexpr int kContextMinorVersion = 0x2092;
constexpr int kContextProfileMask = 0x9126;
constexpr int kContextCoreProfileBit = 0x0001;
using CreateContextAttribs = HGLRC (WINAPI*) (HDC, HGLRC, const int*);
using SwapInterval = BOOL (WINAPI*) (int);

template <typename Fn>
Fn extension (const char* name)
{
    return reinterpret_cast<Fn> (reinterpret_cast<void*> (wglGetProcAddress (name)));
}

bool choosePixelFormat (HDC dc)
{
    if (GetPixelFormat (dc) != 0)
        return true; // a window's pixel format is set once; whatever it has, we draw with
    PIXELFORMATDESCRIPTOR wanted {};
    wanted.nSize = sizeof wanted;
    wanted.nVersion = 1;
    wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    wanted.iPixelType = PFD_TYPE_RGBA;
    wanted.cColorBits = 32;
    wanted.cAlphaBits = 8;
    wanted.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat (dc, &wanted);
    return format != 0 && SetPixelFormat (dc, format, &wanted);
}

// The context that was current before one of ours.
struct CurrentContext
{
    HDC dc = wglGetCurrentDC ();
    HGLRC context = wglGetCurrentContext ();
    void restore () const
    {
        if (context != nullptr)
            wglMakeCurrent (dc, context);
        else
            wglMakeCurrent (nullptr, nullptr);
    }
};
} // namespace

struct VexaOpenGLContextWGL::Impl
{
    HWND window = nullptr;
    HDC dc = nullptr;
    HGLRC context = nullptr;
    CurrentContext before;
    bool current = false;

    // The core-profile entry point is only reachable with some context current: a legacy one
    // on the same device context serves for the look-up and goes again.
    HGLRC createCoreContext ()
    {
        HGLRC legacy = wglCreateContext (dc);
        if (legacy == nullptr)
            return nullptr;
        const CurrentContext saved;
        HGLRC core = nullptr;
        if (wglMakeCurrent (dc, legacy))
        {
            const auto create = extension<CreateContextAttribs> ("wglCreateContextAttribsARB");
            const int attributes[] = {kContextMajorVersion, 3, kContextMinorVersion, 2, kContextProfileMask,
                                      kContextCoreProfileBit, 0};
            if (create != nullptr)
                core = create (dc, nullptr, attributes);
            if (core != nullptr && wglMakeCurrent (dc, core))
                if (const auto interval = extension<SwapInterval> ("wglSwapIntervalEXT"))
                    interval (1);
        }
        saved.restore ();
        wglDeleteContext (legacy);
        return core;
    }
};

VexaOpenGLContextWGL::VexaOpenGLContextWGL () : impl (std::make_unique<Impl> ()) {}

VexaOpenGLContextWGL::~VexaOpenGLContextWGL ()
{
    detachFromSurface ();
}

bool VexaOpenGLContextWGL::attachToSurface (const VexaNativeSurface& surface)
{
    const auto window = static_cast<HWND> (surface.handle);
    if (isAttached () && surface.kind == VexaNativeSurface::kWin32Window && window == impl->window)
        return true;
    detachFromSurface ();
    if (surface.kind != VexaNativeSurface::kWin32Window || window == nullptr || !IsWindow (window))
        return false;
    impl->window = window;
    impl->dc = GetDC (window);
    if (impl->dc == nullptr || !choosePixelFormat (impl->dc) || (impl->context = impl->createCoreContext ()) == nullptr)
    {
        detachFromSurface ();
        return false;
    }
    return true;
}

void VexaOpenGLContextWGL::detachFromSurface ()
{
    if (impl->context != nullptr)
    {
        if (wglGetCurrentContext () == impl->context)
            impl->current ? impl->before.restore () : static_cast<void> (wglMakeCurrent (nullptr, nullptr));
        wglDeleteContext (impl->context);
    }
    if (impl->dc != nullptr && IsWindow (impl->window))
        ReleaseDC (impl->window, impl->dc);
    impl->context = nullptr;
    impl->dc = nullptr;
    impl->window = nullptr;
    impl->current = false;
}

bool VexaOpenGLContextWGL::isAttached () const
{
    return impl->context != nullptr;
}

bool VexaOpenGLContextWGL::makeCurrent ()
{
    if (!isAttached () || !IsWindow (impl->window))
        return false;
    impl->before = CurrentContext {};
    if (!wglMakeCurrent (impl->dc, impl->context))
        return false;
    impl->current = true;
    return true;
}

void VexaOpenGLContextWGL::swapBuffers ()
{
    if (isAttached () && IsWindow (impl->window))
        SwapBuffers (impl->dc);
}

void VexaOpenGLContextWGL::releaseCurrent ()
{
    if (!impl->current)
        return;
    impl->current = false;
    impl->before.restore ();
}

} // namespace vexagui
