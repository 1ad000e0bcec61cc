// X11 native view: child window, event translation, redraw coalescing.
#include "VexaViewX11.h"

#include "../VexaEventDelivery.h"
#include "../VexaKeyTranslation.h"
#include "VexaGlxConfig.h"
#include "VexaX11Display.h"
#include "VexaX11ErrorTrap.h"
#include "VexaX11Input.h"
#include "VexaX11XEmbed.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <bitset>
#include <cmath>

namespace vexagui {

using namespace x11;

namespace {

// X window sizes are 16-bit and must be at least 1.
constexpr int kMaxWindowSize = 32767;

int storedSize (int v) { return std::clamp (v, 0, kMaxWindowSize); }
unsigned int serverSize (int stored) { return static_cast<unsigned int> (std::max (stored, 1)); }

constexpr long kPointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
constexpr long kKeyEvents = KeyPressMask | KeyReleaseMask;
constexpr long kWindowEvents = ExposureMask | StructureNotifyMask;

// "Characters ignoring modifiers": the shift level, Caps Lock, Num Lock and the keyboard group
// still choose the symbol; Control, Alt, Super and AltGr (Mod5) do not.
constexpr unsigned int kPlainKeyState = ShiftMask | LockMask | Mod2Mask | 0x6000u;

} // namespace

struct VexaViewX11::Impl
{
    Display* display = nullptr;
    Window window = 0;
    bool windowAlive = false;
    int width = 0, height = 0;              // the window's size in pixels
    unsigned int serverW = 0, serverH = 0;  // the size last requested from the server
    float scale = 1.0f;                     // window pixels per logical unit
    bool redrawRequested = false;
    bool keyboardEnabled = true;
    bool detectableRepeat = false;
    bool nextPressIsRepeat = false;
    uint32_t extraButtons = 0;              // held buttons 4 and 5: X state has no bits for them
    std::bitset<256> keysDown;
    VexaEventDelivery delivery;
    DrawCallback drawCallback;
    VexaX11XEmbed xembed;

    long eventMask () const { return kPointerEvents | kWindowEvents | (keyboardEnabled ? kKeyEvents : 0); }
    int toPixels (int logical) const
    {
        return storedSize (static_cast<int> (std::lround (static_cast<float> (storedSize (logical)) * scale)));
    }
    int toLogical (int pixels) const { return static_cast<int> (std::lround (static_cast<float> (pixels) / scale)); }

    void closeConnection ()
    {
        if (! display)
            return;
        {
            VexaX11ErrorTrap trap (display);
            if (window != 0 && windowAlive)
                XDestroyWindow (display, window);
        }
        XCloseDisplay (display);
        xembed.reset ();
        display = nullptr;
        window = 0;
        windowAlive = false;
    }

    void handle (XEvent& ev);
    void handleButton (const XButtonEvent& b, bool press);
    void handleKey (XKeyEvent& k, bool press);
    KeySym lookup (const XKeyEvent& k, unsigned int state) const
    {
        KeySym sym = NoSymbol;
        unsigned int consumed = 0;
        if (! XkbLookupKeySym (display, static_cast<KeyCode> (k.keycode), state, &consumed, &sym))
            return NoSymbol;
        return sym;
    }
};

VexaViewX11::VexaViewX11 () : impl (std::make_unique<Impl> ()) {}

VexaViewX11::~VexaViewX11 ()
{
    detach ();
}

bool VexaViewX11::attachToSurface (const VexaNativeSurface& parent, int width, int height)
{
    detach ();
    const unsigned long parentId = parent.x11WindowId ();
    if (parent.kind != VexaNativeSurface::kX11Window || parentId == 0)
        return false;

    Display* d = x11::openDisplay ();
    if (! d)
        return false;

    const int w = impl->toPixels (width), h = impl->toPixels (height);
    Window win = 0;
    bool ok = false;
    {
        VexaX11ErrorTrap trap (d);
        XWindowAttributes parentAttributes;
        if (XGetWindowAttributes (d, parentId, &parentAttributes) != 0)
        {
            XSetWindowAttributes a {};
            a.event_mask = impl->eventMask ();
            a.background_pixmap = None; // no server-side clearing: the frame covers everything
            unsigned long mask = CWEventMask | CWBackPixmap;
            int depth = CopyFromParent;
            Visual* visual = CopyFromParent;
            chooseChildWindowVisual (d, parentAttributes, a, mask, depth, visual);
            // An embedder reads _XEMBED_INFO when it learns of the window: held by the grab, no
            // other client sees the window before it carries the property.
            XGrabServer (d);
            win = XCreateWindow (d, parentId, 0, 0, serverSize (w), serverSize (h), 0, depth, InputOutput, visual,
                                 mask, &a);
            impl->xembed.announce (d, win, serverSize (w), serverSize (h));
            XUngrabServer (d);
            XMapWindow (d, win);
        }
    }
    if (win != 0)
    {
        VexaX11ErrorTrap trap (d);
        XWindowAttributes wa;
        ok = XGetWindowAttributes (d, win, &wa) != 0;
    }
    if (! ok)
    {
        impl->xembed.reset ();
        XCloseDisplay (d);
        return false;
    }

    Bool supported = False;
    impl->detectableRepeat = XkbSetDetectableAutoRepeat (d, True, &supported) && supported;
    XFlush (d);

    impl->display = d;
    impl->window = win;
    impl->windowAlive = true;
    impl->width = w;
    impl->height = h;
    impl->serverW = serverSize (w);
    impl->serverH = serverSize (h);
    impl->redrawRequested = false;
    surface = VexaNativeSurface::x11Window (win);
    return true;
}

void VexaViewX11::detach ()
{
    impl->closeConnection ();
    impl->delivery.clear ();
    impl->redrawRequested = false;
    impl->nextPressIsRepeat = false;
    impl->extraButtons = 0;
    impl->keysDown.reset ();
    impl->width = impl->height = 0;
    surface = {};
}

bool VexaViewX11::isAttached () const
{
    return impl->display != nullptr && impl->windowAlive;
}

bool VexaViewX11::pollEvent (VexaWindowEvent& out)
{
    return impl->delivery.poll (out);
}

void VexaViewX11::pushEvent (const VexaWindowEvent& event)
{
    impl->delivery.deliver (event);
}

void VexaViewX11::setEventCallback (EventCallback callback)
{
    impl->delivery.setCallback (std::move (callback));
}

void VexaViewX11::setDrawCallback (DrawCallback callback)
{
    impl->drawCallback = std::move (callback);
}

void VexaViewX11::requestRedraw ()
{
    if (isAttached ())
        impl->redrawRequested = true;
}

void VexaViewX11::setFrame (int width, int height)
{
    if (! isAttached ())
        return;
    impl->width = impl->toPixels (width);
    impl->height = impl->toPixels (height);
    impl->serverW = serverSize (impl->width);
    impl->serverH = serverSize (impl->height);
    VexaX11ErrorTrap trap (impl->display);
    impl->xembed.setSize (impl->serverW, impl->serverH);
    XMoveResizeWindow (impl->display, impl->window, 0, 0, impl->serverW, impl->serverH);
    // A GL context reads the window's size on a connection of its own: the server must have the new
    // size before a context is made for it (the plug view makes one after a resize).
    XSync (impl->display, False);
}

void VexaViewX11::getLogicalSize (int32_t& width, int32_t& height) const
{
    const bool a = isAttached ();
    width = a ? impl->toLogical (impl->width) : 0;
    height = a ? impl->toLogical (impl->height) : 0;
}

void VexaViewX11::getDrawableSize (int32_t& width, int32_t& height) const
{
    const bool a = isAttached ();
    width = a ? impl->width : 0;
    height = a ? impl->height : 0;
}

void VexaViewX11::setContentScale (float scale)
{
    int32_t logicalW = 0, logicalH = 0;
    getLogicalSize (logicalW, logicalH);
    impl->scale = std::isfinite (scale) && scale > 0.0f ? scale : 1.0f;
    if (! isAttached ())
        return;
    setFrame (logicalW, logicalH);
    requestRedraw ();
}

float VexaViewX11::contentScale () const
{
    return impl->scale;
}

void* VexaViewX11::nativeView () const
{
    return isAttached () ? surface.handle : nullptr;
}

const VexaNativeSurface& VexaViewX11::nativeSurface () const
{
    return surface;
}

void VexaViewX11::setKeyboardInputEnabled (bool enabled)
{
    impl->keyboardEnabled = enabled;
    if (isAttached ())
    {
        XSelectInput (impl->display, impl->window, impl->eventMask ());
        XFlush (impl->display);
    }
}

int VexaViewX11::connectionFileDescriptor () const
{
    return impl->display ? ConnectionNumber (impl->display) : -1;
}

void VexaViewX11::processEvents ()
{
    // A callback may detach the view while we deliver: check the connection before every read.
    while (impl->display != nullptr && XPending (impl->display) > 0)
    {
        XEvent ev;
        XNextEvent (impl->display, &ev);
        impl->handle (ev);
    }
}

bool VexaViewX11::drawIfRequested ()
{
    processEvents ();
    if (! isAttached () || ! impl->redrawRequested)
        return false;
    impl->redrawRequested = false;
    if (impl->drawCallback)
        impl->drawCallback (impl->width, impl->height);
    return true;
}

bool VexaViewX11::isRedrawRequested () const
{
    return impl->redrawRequested;
}

void VexaViewX11::Impl::handle (XEvent& ev)
{
    if (ev.xany.window != window)
        return;
    switch (ev.type)
    {
        case ButtonPress: handleButton (ev.xbutton, true); break;
        case ButtonRelease: handleButton (ev.xbutton, false); break;
        case MotionNotify:
        {
            VexaWindowEvent e;
            e.type = VexaWindowEvent::kPointerMove;
            e.x = static_cast<float> (ev.xmotion.x) / scale;
            e.y = static_cast<float> (ev.xmotion.y) / scale;
            e.buttons = (heldButtonsFromState (ev.xmotion.state) | extraButtons) & VexaWindowEvent::kButtonsMask;
            e.modifiers = modifiersFromState (ev.xmotion.state);
            delivery.deliver (e);
            break;
        }
        case KeyPress: handleKey (ev.xkey, true); break;
        case KeyRelease: handleKey (ev.xkey, false); break;
        case Expose:
            if (ev.xexpose.count == 0 && windowAlive)
                redrawRequested = true;
            break;
        case ConfigureNotify:
        {
            const auto w = static_cast<unsigned int> (ev.xconfigure.width);
            const auto h = static_cast<unsigned int> (ev.xconfigure.height);
            // Our own setFrame echoes back; only a resize by someone else changes the stored size.
            if (w != serverW || h != serverH)
            {
                serverW = w;
                serverH = h;
                width = storedSize (ev.xconfigure.width);
                height = storedSize (ev.xconfigure.height);
                redrawRequested = true;
            }
            break;
        }
        case ClientMessage:
            if (xembed.handle (ev) == VexaX11XEmbed::Effect::kInputLost)
            {
                // Releases now go to whoever has the keyboard; a key pressed again is no repeat.
                keysDown.reset ();
                nextPressIsRepeat = false;
            }
            break;
        case DestroyNotify:
            // The host destroyed its window (and ours with it) before detaching us.
            windowAlive = false;
            redrawRequested = false;
            break;
        default: break;
    }
}

void VexaViewX11::Impl::handleButton (const XButtonEvent& b, bool press)
{
    VexaWindowEvent e;
    e.x = static_cast<float> (b.x) / scale;
    e.y = static_cast<float> (b.y) / scale;
    e.modifiers = modifiersFromState (b.state);
    if (isWheelButton (b.button))
    {
        if (! press)
            return; // one wheel step is a press and a release: one scroll event
        e.type = VexaWindowEvent::kScroll;
        wheelDelta (b.button, e.scrollX, e.scrollY);
        e.buttons = (heldButtonsFromState (b.state) | extraButtons) & VexaWindowEvent::kButtonsMask;
        delivery.deliver (e);
        return;
    }
    // X reports the state before the event; `buttons` holds what is held after it, including the
    // button just pressed and without the one just released.
    const uint32_t bit = buttonBitFromX (b.button);
    if (b.button == 8 || b.button == 9)
        extraButtons = press ? (extraButtons | bit) : (extraButtons & ~bit);
    uint32_t held = heldButtonsFromState (b.state) | extraButtons;
    held = press ? (held | bit) : (held & ~bit);
    e.type = press ? VexaWindowEvent::kPointerDown : VexaWindowEvent::kPointerUp;
    e.button = buttonFromX (b.button);
    e.buttons = held & VexaWindowEvent::kButtonsMask;
    delivery.deliver (e);
}

void VexaViewX11::Impl::handleKey (XKeyEvent& k, bool press)
{
    if (! keyboardEnabled)
        return;
    const unsigned int code = k.keycode & 0xFFu;

    if (! press)
    {
        // Without detectable auto-repeat a held key sends release/press pairs with one time stamp.
        if (! detectableRepeat && XEventsQueued (display, QueuedAfterReading) > 0)
        {
            XEvent next;
            XPeekEvent (display, &next);
            if (next.type == KeyPress && next.xkey.keycode == k.keycode && next.xkey.time == k.time)
            {
                nextPressIsRepeat = true;
                return;
            }
        }
        keysDown.reset (code);
    }

    const KeySym plain = lookup (k, k.state & kPlainKeyState);
    if (isModifierKeysym (plain))
        return;

    VexaWindowEvent e;
    e.type = press ? VexaWindowEvent::kKeyDown : VexaWindowEvent::kKeyUp;
    e.key = keyCodeFromCharacter (keyCharacterFromKeysym (plain));
    e.modifiers = modifiersFromState (k.state);
    if (press)
    {
        e.repeat = keysDown.test (code) || nextPressIsRepeat;
        nextPressIsRepeat = false;
        keysDown.set (code);
    }
    delivery.deliver (e);
    if (! press || modifiersSuppressText (e.modifiers) || display == nullptr)
        return;

    const uint32_t cp = unicodeFromKeysym (lookup (k, k.state));
    char utf8[4];
    const size_t n = cp != 0 ? encodeUtf8 (cp, utf8) : 0;
    if (n == 0)
        return;
    VexaWindowEvent t;
    t.type = VexaWindowEvent::kTextInput;
    setEventText (t, std::string_view (utf8, n));
    delivery.deliver (t);
}

} // namespace vexagui
