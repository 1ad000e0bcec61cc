// The GLX framebuffer configuration the editor draws with, and the window visual that offers it.
// One place for both: the X11 view creates its window with a visual the GLX context can use.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

namespace vexagui::x11 {

/** The cheapest window-renderable, double-buffered configuration with 8-bit red, green, blue and
    alpha whose visual is `visual`: accelerated ones first, then the fewest unneeded depth and
    stencil bits. Null when that visual has none. */
GLXFBConfig chooseGlxConfig (Display* display, int screen, VisualID visual);

/** The visual for a child window that the context will draw into: the parent's own when it offers
    such a configuration, else the screen's default visual when that does, else the parent's (the
    context then fails to attach and nothing is drawn, as with no OpenGL at all). Hosts may hand us
    a parent with a visual picked for their own drawing, e.g. GTK's without alpha. */
VisualID glxWindowVisual (Display* display, int screen, VisualID parentVisual);

/** Prepares XCreateWindow's arguments for a child of `parent` (depth and visual start as
    CopyFromParent): when the child needs a visual other than the parent's, sets them, a colormap
    of its own (freed with the connection) and a border pixel, and adds those to `mask`. */
void chooseChildWindowVisual (Display* display, const XWindowAttributes& parent, XSetWindowAttributes& attributes,
                              unsigned long& mask, int& depth, Visual*& visual);

} // namespace vexagui::x11
