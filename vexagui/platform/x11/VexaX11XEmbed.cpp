// XEmbed client: the window's _XEMBED_INFO and size hint, and the embedder's messages.
#include "VexaX11XEmbed.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace vexagui::x11 {

void VexaX11XEmbed::announce (Display* d, Window w, unsigned int width, unsigned int height)
{
    reset ();
    display = d;
    window = w;
    // Interned, not looked up: an embedder may ask for the atoms only if they exist already.
    xembedAtom = XInternAtom (d, "_XEMBED", False);
    infoAtom = XInternAtom (d, "_XEMBED_INFO", False);
    writeInfo (0);
    setSize (width, height);
}

void VexaX11XEmbed::setSize (unsigned int width, unsigned int height)
{
    if (! display || window == 0)
        return;
    // A socket without a size of its own asks the plug's base size (else it shrinks to 1 x 1).
    XSizeHints hints {};
    hints.flags = PBaseSize;
    hints.base_width = static_cast<int> (width);
    hints.base_height = static_cast<int> (height);
    XSetWMNormalHints (display, window, &hints);
}

void VexaX11XEmbed::writeInfo (unsigned long flags)
{
    // Format-32 property data travels as longs in Xlib, whatever their width.
    const long info[2] = {0, static_cast<long> (flags)};
    XChangeProperty (display, window, infoAtom, infoAtom, 32, PropModeReplace,
                     reinterpret_cast<const unsigned char*> (info), 2);
}

VexaX11XEmbed::Effect VexaX11XEmbed::handle (const XEvent& ev)
{
    if (! display || ev.type != ClientMessage || ev.xclient.window != window || ev.xclient.message_type != xembedAtom
        || ev.xclient.format != 32)
        return Effect::kNone;
    switch (ev.xclient.data.l[1])
    {
        case kEmbeddedNotify:
            embedder = static_cast<Window> (ev.xclient.data.l[3]);
            // From now on the flag says what we want: shown. An embedder that maps by the flag alone
            // does so now; one that mapped us already sees no change.
            writeInfo (kFlagMapped);
            XFlush (display);
            return Effect::kHandled;
        case kWindowActivate: active = true; return Effect::kHandled;
        case kWindowDeactivate: active = false; return Effect::kInputLost;
        case kFocusIn: focused = true; return Effect::kHandled;
        case kFocusOut: focused = false; return Effect::kInputLost;
        default:
            // Modality, accelerators and anything newer: nothing this window offers depends on them.
            return Effect::kHandled;
    }
}

void VexaX11XEmbed::reset ()
{
    display = nullptr;
    window = 0;
    xembedAtom = infoAtom = None;
    embedder = 0;
    active = focused = false;
}

} // namespace vexagui::x11
