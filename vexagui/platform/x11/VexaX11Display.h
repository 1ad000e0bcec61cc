// Opening a display connection of our own.
#pragma once

#include <X11/Xlib.h>

namespace vexagui::x11 {

/** XOpenDisplay on $DISPLAY, retried a few times: a busy server's listen queue refuses connections
    for a moment (EAGAIN) when many are made in a row. Null when the server stays unreachable. */
Display* openDisplay ();

} // namespace vexagui::x11
