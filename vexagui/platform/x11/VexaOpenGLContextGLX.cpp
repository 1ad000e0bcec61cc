// GLX context on its own display connection, bound to an X11 window.
#include "VexaOpenGLContextGLX.h"

#include "VexaGlxConfig.h"
#include "VexaX11Display.h"
#include "VexaX11ErrorTrap.h"

#include <GL/glx.h>
#include <GL/glxext.h>
#include <X11/Xlib.h>

#include <cstring>
#include <optional>

namespace vexagui {

using x11::VexaX11ErrorTrap;

namespace {

bool hasExtension (const char* list, const char* name)
{
    if (! list)
        return false;
    const size_t n = std::strlen (name);
    for (const char* p = list; (p = std::strstr (p, name)) != nullptr; p += n)
        if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0'))
            return true;
    return false;
}

template <typename Fn>
Fn loadGlx (const char* name)
{
    return reinterpret_cast<Fn> (glXGetProcAddressARB (reinterpret_cast<const GLubyte*> (name)));
}

} // namespace

struct VexaOpenGLContextGLX::Impl
{
    Display* display = nullptr;
    GLXContext context = nullptr;
    GLXWindow drawable = 0;
    VexaNativeSurface surface;

    // What was current before our makeCurrent, put back by releaseCurrent.
    bool saved = false;
    Display* previousDisplay = nullptr;
    GLXDrawable previousDraw = 0;
    GLXDrawable previousRead = 0;
    GLXContext previousContext = nullptr;
    // Installed by makeCurrent, removed by releaseCurrent.
    std::optional<x11::VexaX11ErrorTrap> useTrap;

    void setSwapInterval ();
};

VexaOpenGLContextGLX::VexaOpenGLContextGLX () : impl (std::make_unique<Impl> ()) {}

VexaOpenGLContextGLX::~VexaOpenGLContextGLX ()
{
    detachFromSurface ();
}

bool VexaOpenGLContextGLX::isAttached () const
{
    return impl->context != nullptr;
}

bool VexaOpenGLContextGLX::attachToSurface (const VexaNativeSurface& surface)
{
    if (impl->context && surface == impl->surface)
        return true;
    detachFromSurface ();
    const unsigned long window = surface.x11WindowId ();
    if (surface.kind != VexaNativeSurface::kX11Window || window == 0)
        return false;

    Display* d = x11::openDisplay ();
    if (! d)
        return false;

    const int screen = DefaultScreen (d);
    int major = 0, minor = 0;
    const char* extensions = glXQueryExtensionsString (d, screen);
    auto createContext = loadGlx<PFNGLXCREATECONTEXTATTRIBSARBPROC> ("glXCreateContextAttribsARB");
    GLXContext context = nullptr;
    GLXWindow drawable = 0;
    {
        VexaX11ErrorTrap trap (d);
        XWindowAttributes wa;
        const bool usable = glXQueryVersion (d, &major, &minor) && (major > 1 || minor >= 3)
                            && hasExtension (extensions, "GLX_ARB_create_context_profile") && createContext
                            && XGetWindowAttributes (d, window, &wa) != 0;
        GLXFBConfig config = usable ? x11::chooseGlxConfig (d, XScreenNumberOfScreen (wa.screen), XVisualIDFromVisual (wa.visual))
                                    : nullptr;
        if (config)
        {
            const int contextAttributes[] = {GLX_CONTEXT_MAJOR_VERSION_ARB, 3, GLX_CONTEXT_MINOR_VERSION_ARB, 2,
                                             GLX_CONTEXT_PROFILE_MASK_ARB, GLX_CONTEXT_CORE_PROFILE_BIT_ARB, None};
            context = createContext (d, config, nullptr, True, contextAttributes);
            if (context)
                drawable = glXCreateWindow (d, config, window, nullptr);
        }
    }
    if (! context)
    {
        XCloseDisplay (d);
        return false;
    }

    impl->display = d;
    impl->context = context;
    impl->drawable = drawable;
    impl->surface = surface;

    if (! makeCurrent ()) // traps its own errors
    {
        detachFromSurface ();
        return false;
    }
    impl->setSwapInterval ();
    releaseCurrent ();
    return true;
}

void VexaOpenGLContextGLX::Impl::setSwapInterval ()
{
    // Presentation synchronised with the display refresh, where the server lets us ask for it.
    VexaX11ErrorTrap trap (display);
    const char* extensions = glXQueryExtensionsString (display, DefaultScreen (display));
    if (hasExtension (extensions, "GLX_EXT_swap_control"))
    {
        if (auto f = loadGlx<PFNGLXSWAPINTERVALEXTPROC> ("glXSwapIntervalEXT"))
        {
            f (display, drawable, 1);
            return;
        }
    }
    if (hasExtension (extensions, "GLX_MESA_swap_control"))
    {
        if (auto f = loadGlx<PFNGLXSWAPINTERVALMESAPROC> ("glXSwapIntervalMESA"))
        {
            f (1);
            return;
        }
    }
    if (hasExtension (extensions, "GLX_SGI_swap_control"))
        if (auto f = loadGlx<PFNGLXSWAPINTERVALSGIPROC> ("glXSwapIntervalSGI"))
            f (1);
}

void VexaOpenGLContextGLX::detachFromSurface ()
{
    if (impl->display)
    {
        if (glXGetCurrentContext () == impl->context && impl->saved)
            releaseCurrent ();
        impl->useTrap.reset (); // a use left open ends here, before the connection closes
        {
            // The host may have destroyed its window (and our child with it) before telling us.
            VexaX11ErrorTrap trap (impl->display);
            if (glXGetCurrentContext () == impl->context)
                glXMakeContextCurrent (impl->display, None, None, nullptr);
            if (impl->drawable)
                glXDestroyWindow (impl->display, impl->drawable);
            if (impl->context)
                glXDestroyContext (impl->display, impl->context);
        }
        XCloseDisplay (impl->display);
    }
    impl->display = nullptr;
    impl->context = nullptr;
    impl->drawable = 0;
    impl->saved = false;
    impl->surface = {};
}

bool VexaOpenGLContextGLX::makeCurrent ()
{
    if (! impl->context || impl->surface.kind != VexaNativeSurface::kX11Window || impl->surface.handle == nullptr)
        return false;
    // From here to releaseCurrent every X error of ours is kept from the host's handler (whose
    // default ends the process): the host may have destroyed its window, and our child with it,
    // before removing us, and then making current, every draw (the driver validates the drawable)
    // and the swap fail with errors.
    if (! impl->useTrap)
        impl->useTrap.emplace (impl->display);
    GLXContext previous = glXGetCurrentContext ();
    if (previous != impl->context && ! impl->saved)
    {
        impl->saved = true;
        impl->previousContext = previous;
        impl->previousDisplay = previous ? glXGetCurrentDisplay () : nullptr;
        impl->previousDraw = previous ? glXGetCurrentDrawable () : 0;
        impl->previousRead = previous ? glXGetCurrentReadDrawable () : 0;
    }
    // The GLX drawable follows the window's size by itself; making current picks the new size up.
    if (glXMakeContextCurrent (impl->display, impl->drawable, impl->drawable, impl->context))
        return true;
    releaseCurrent ();
    return false;
}

void VexaOpenGLContextGLX::releaseCurrent ()
{
    if (impl->saved)
    {
        impl->saved = false;
        if (impl->previousContext && impl->previousDisplay)
            glXMakeContextCurrent (impl->previousDisplay, impl->previousDraw, impl->previousRead, impl->previousContext);
        else if (impl->display && glXGetCurrentContext () == impl->context)
            glXMakeContextCurrent (impl->display, None, None, nullptr);
        impl->previousContext = nullptr;
        impl->previousDisplay = nullptr;
    }
    impl->useTrap.reset (); // synchronises: the errors of this use are handled inside the trap
}

void VexaOpenGLContextGLX::swapBuffers ()
{
    if (! impl->context || ! impl->drawable)
        return;
    // Normally inside a use (makeCurrent .. releaseCurrent), which traps already.
    VexaX11ErrorTrap trap (impl->display);
    glXSwapBuffers (impl->display, impl->drawable);
}

} // namespace vexagui
