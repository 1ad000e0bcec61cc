// Keeps X protocol errors caused by our own requests from reaching the host's error handler, whose
// default reaction is to end the process (a stale window id must not take the host down).
#pragma once

#include <X11/Xlib.h>

namespace vexagui::x11 {

/** While it lives, every X error is ignored; the handler that was installed before is restored on
    destruction. Both ends synchronise `display`, so the errors of the requests made in between are
    handled inside the trap. Failures are detected by the callers from return values and queries. */
class VexaX11ErrorTrap
{
public:
    explicit VexaX11ErrorTrap (Display* display);
    ~VexaX11ErrorTrap ();

    VexaX11ErrorTrap (const VexaX11ErrorTrap&) = delete;
    VexaX11ErrorTrap& operator= (const VexaX11ErrorTrap&) = delete;

private:
    Display* display;
    XErrorHandler previous;
};

} // namespace vexagui::x11
