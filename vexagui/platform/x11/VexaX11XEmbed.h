// The client side of the XEmbed protocol for the view's child window, so that the hosts that embed
// through it (a GtkSocket, the SDK's reference host) accept the window and show it.
//
// The window announces itself with _XEMBED_INFO version 0 and the mapped flag clear: an embedder of
// the reference host's kind refuses a window that already claims to be mapped, and maps it itself.
// The view maps its own window as well, which serves a parent that never maps children and, through
// a redirecting socket, asks the socket to map it. Once an embedder has announced itself the flag is
// set, so that an embedder that follows the flag alone shows the window too.
//
// Threading: user-interface thread only, on the view's own display connection.
#pragma once

#include <X11/Xlib.h>

namespace vexagui::x11 {

class VexaX11XEmbed
{
public:
    // _XEMBED_INFO flags and messages, as the protocol numbers them.
    static constexpr unsigned long kFlagMapped = 1;
    enum Message : long
    {
        kEmbeddedNotify = 0,
        kWindowActivate = 1,
        kWindowDeactivate = 2,
        kRequestFocus = 3,
        kFocusIn = 4,
        kFocusOut = 5,
        kModalityOn = 10,
        kModalityOff = 11,
    };

    /** What a handled event means for the view. */
    enum class Effect
    {
        kNone,       // not an XEmbed message for this window
        kHandled,    // taken; nothing for the view to do
        kInputLost,  // the embedder took focus or activation away: keys held now are released elsewhere
    };

    /** Puts _XEMBED_INFO (version 0, not mapped) and the size hint on a window that nobody has seen
        mapped yet. Call right after creating it, before mapping it, in the same request batch. */
    void announce (Display* display, Window window, unsigned int width, unsigned int height);
    /** Keeps the size hint that a socket sizes itself by equal to the window's size. */
    void setSize (unsigned int width, unsigned int height);
    /** Reads an XEmbed client message addressed to the announced window. */
    Effect handle (const XEvent& event);
    /** Forgets the window (it is destroyed by the caller). */
    void reset ();

    bool isEmbedded () const { return embedder != 0; }
    Window embedderWindow () const { return embedder; }
    bool isActive () const { return active; }
    bool hasFocus () const { return focused; }

private:
    void writeInfo (unsigned long flags);

    Display* display = nullptr;
    Window window = 0;
    Atom xembedAtom = None;
    Atom infoAtom = None;
    Window embedder = 0;
    bool active = false;
    bool focused = false;
};

} // namespace vexagui::x11
