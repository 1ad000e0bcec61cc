// An OpenGL 3.2 core-profile context bound to a native view's surface; the renderer draws through it.
#pragma once

#include "VexaNativeSurface.h"

namespace vexagui {

/** All operations are for the user-interface thread only. */
class IVexaOpenGLContext
{
public:
    /** As detachFromSurface. */
    virtual ~IVexaOpenGLContext () = default;

    /** Keeps the existing context when `surface` equals the one already attached; otherwise releases
        the old context first. False (and detached) for an unsupported kind, a null handle, or when no
        context can be made. */
    virtual bool attachToSurface (const VexaNativeSurface& surface) = 0;
    virtual void detachFromSurface () = 0;
    virtual bool isAttached () const = 0;

    /** Makes the context current on its surface and lets the drawable follow the surface's size.
        Remembers the context that was current before, for releaseCurrent. False when detached. */
    virtual bool makeCurrent () = 0;
    /** Presents the back buffer. Nothing when detached. */
    virtual void swapBuffers () = 0;
    /** Ends a use begun by makeCurrent: the context that was current before it is current again. We
        share the process with the host and other editors, so every use is bracketed this way. */
    virtual void releaseCurrent () = 0;
};

} // namespace vexagui
