// Scoped X error suppression around requests that may name windows destroyed behind our back.
#include "VexaX11ErrorTrap.h"

namespace vexagui::x11 {

namespace {
int ignoreError (Display*, XErrorEvent*) { return 0; }
} // namespace

VexaX11ErrorTrap::VexaX11ErrorTrap (Display* d) : display (d)
{
    if (display)
        XSync (display, False);
    previous = XSetErrorHandler (ignoreError);
}

VexaX11ErrorTrap::~VexaX11ErrorTrap ()
{
    if (display)
        XSync (display, False);
    XSetErrorHandler (previous);
}

} // namespace vexagui::x11
