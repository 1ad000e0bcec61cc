// The X11 native view against a real X server: child window, translation of X events sent into the
// child, delivery, redraw coalescing, sizes and detachment.
#include <gtest/gtest.h> // before the X headers: their None macro clashes with gtest's

#include "X11TestHost.h"

#include "vexagui/platform/x11/VexaViewX11.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

using namespace vexagui;
using vexagui::test::X11TestHost;
using vexagui::test::waitUntil;

namespace {

class X11ViewTest : public ::testing::Test
{
protected:
    void SetUp () override
    {
        ASSERT_TRUE (host.ok ()) << "no X display";
        view.setEventCallback ([this] (const VexaWindowEvent& e) { events.push_back (e); });
        ASSERT_TRUE (view.attachToSurface (VexaNativeSurface::x11Window (host.window), 565, 260));
        child = view.nativeSurface ().x11WindowId ();
    }

    void sendButton (int type, unsigned button, unsigned state, int x, int y)
    {
        XEvent ev {};
        ev.xbutton.type = type;
        ev.xbutton.window = child;
        ev.xbutton.root = DefaultRootWindow (host.display);
        ev.xbutton.button = button;
        ev.xbutton.state = state;
        ev.xbutton.x = x;
        ev.xbutton.y = y;
        ev.xbutton.same_screen = True;
        XSendEvent (host.display, child, False, 0, &ev);
    }
    void sendMotion (unsigned state, int x, int y)
    {
        XEvent ev {};
        ev.xmotion.type = MotionNotify;
        ev.xmotion.window = child;
        ev.xmotion.root = DefaultRootWindow (host.display);
        ev.xmotion.state = state;
        ev.xmotion.x = x;
        ev.xmotion.y = y;
        ev.xmotion.same_screen = True;
        XSendEvent (host.display, child, False, 0, &ev);
    }
    void sendKey (int type, KeySym sym, unsigned state, Time time = CurrentTime)
    {
        XEvent ev {};
        ev.xkey.type = type;
        ev.xkey.window = child;
        ev.xkey.root = DefaultRootWindow (host.display);
        ev.xkey.keycode = XKeysymToKeycode (host.display, sym);
        ev.xkey.state = state;
        ev.xkey.time = time;
        ev.xkey.same_screen = True;
        XSendEvent (host.display, child, False, 0, &ev);
    }
    /** Waits until `n` events have arrived through the view. */
    void receive (size_t n)
    {
        XSync (host.display, False);
        waitUntil ([&] { return events.size () >= n; }, [&] { view.processEvents (); });
        view.processEvents ();
        ASSERT_EQ (events.size (), n);
    }

    X11TestHost host;
    VexaViewX11 view;
    Window child = 0;
    std::vector<VexaWindowEvent> events;
};

} // namespace

TEST_F (X11ViewTest, ChildWindowOfExactSizeInsideTheParent)
{
    EXPECT_TRUE (view.isAttached ());
    EXPECT_EQ (view.nativeSurface ().kind, VexaNativeSurface::kX11Window);
    EXPECT_EQ (view.nativeView (), view.nativeSurface ().handle);
    EXPECT_EQ (host.childCount (host.window), 1);

    Window root = 0;
    int x = -1, y = -1;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    ASSERT_TRUE (XGetGeometry (host.display, child, &root, &x, &y, &w, &h, &border, &depth));
    EXPECT_EQ (x, 0);
    EXPECT_EQ (y, 0);
    EXPECT_EQ (w, 565u);
    EXPECT_EQ (h, 260u);
    XWindowAttributes wa;
    ASSERT_TRUE (XGetWindowAttributes (host.display, child, &wa));
    EXPECT_EQ (wa.map_state, IsViewable);
    const long wanted = ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask | KeyReleaseMask
                        | ExposureMask | StructureNotifyMask;
    EXPECT_EQ (wa.all_event_masks & wanted, wanted);

    int32_t lw = 0, lh = 0, dw = 0, dh = 0;
    view.getLogicalSize (lw, lh);
    view.getDrawableSize (dw, dh);
    EXPECT_EQ (lw, 565);
    EXPECT_EQ (lh, 260);
    EXPECT_EQ (dw, 565);
    EXPECT_EQ (dh, 260);

    view.setFrame (300, 200);
    XSync (host.display, False);
    ASSERT_TRUE (XGetGeometry (host.display, child, &root, &x, &y, &w, &h, &border, &depth));
    EXPECT_EQ (w, 300u);
    EXPECT_EQ (h, 200u);
    view.getLogicalSize (lw, lh);
    EXPECT_EQ (lw, 300);
    EXPECT_EQ (lh, 200);

    view.detach ();
    XSync (host.display, False);
    EXPECT_FALSE (view.isAttached ());
    EXPECT_EQ (view.nativeView (), nullptr);
    EXPECT_EQ (view.nativeSurface (), VexaNativeSurface {});
    EXPECT_EQ (view.connectionFileDescriptor (), -1);
    EXPECT_EQ (host.childCount (host.window), 0);
    view.getLogicalSize (lw, lh);
    EXPECT_EQ (lw + lh, 0);
    view.setFrame (10, 10); // harmless while detached
    view.requestRedraw ();
    EXPECT_FALSE (view.isRedrawRequested ());
}

TEST_F (X11ViewTest, UnsupportedSurfacesLeaveTheViewDetached)
{
    const VexaNativeSurface bad[] = {
        {VexaNativeSurface::kNone, nullptr},
        {1, reinterpret_cast<void*> (host.window)},
        {VexaNativeSurface::kWindow, reinterpret_cast<void*> (host.window)},
        {VexaNativeSurface::kView, reinterpret_cast<void*> (host.window)},
        {VexaNativeSurface::kX11Window, nullptr},
        VexaNativeSurface::x11Window (0x7ffffff0ul), // no such window: must not reach the host's error handler
    };
    for (const auto& s : bad)
    {
        ASSERT_TRUE (view.attachToSurface (VexaNativeSurface::x11Window (host.window), 10, 10));
        EXPECT_FALSE (view.attachToSurface (s, 10, 10)) << s.kind;
        EXPECT_FALSE (view.isAttached ());
        XSync (host.display, False);
        EXPECT_EQ (host.childCount (host.window), 0);
    }
}

TEST_F (X11ViewTest, PointerButtonsPositionsAndHeldButtons)
{
    struct Case { int type; unsigned xbutton; unsigned state; int32_t eventType; int32_t button; uint32_t buttons; };
    const Case cases[] = {
        {ButtonPress, 1, 0, VexaWindowEvent::kPointerDown, 1, 1},
        {ButtonRelease, 1, Button1Mask, VexaWindowEvent::kPointerUp, 1, 0},
        {ButtonPress, 3, 0, VexaWindowEvent::kPointerDown, 2, 2},
        {ButtonPress, 2, Button3Mask, VexaWindowEvent::kPointerDown, 3, 6},
        {ButtonRelease, 3, Button2Mask | Button3Mask, VexaWindowEvent::kPointerUp, 2, 4},
        {ButtonRelease, 2, Button2Mask, VexaWindowEvent::kPointerUp, 3, 0},
        {ButtonPress, 8, 0, VexaWindowEvent::kPointerDown, 4, 8},
        {ButtonPress, 9, Button1Mask, VexaWindowEvent::kPointerDown, 5, 1 | 8 | 16},
        {ButtonRelease, 8, Button1Mask, VexaWindowEvent::kPointerUp, 4, 1 | 16},
        {ButtonRelease, 9, 0, VexaWindowEvent::kPointerUp, 5, 0},
        {ButtonPress, 12, 0, VexaWindowEvent::kPointerDown, 0, 0},
    };
    int i = 0;
    for (const auto& c : cases)
        sendButton (c.type, c.xbutton, c.state | ShiftMask, 10 + i, 20 + 2 * i), ++i;
    sendMotion (Button1Mask | ControlMask, 564, 259);
    sendMotion (0, -5, 300); // a drag may leave the window
    receive (std::size (cases) + 2);

    for (size_t k = 0; k < std::size (cases); ++k)
    {
        SCOPED_TRACE (k);
        const auto& e = events[k];
        EXPECT_EQ (e.type, cases[k].eventType);
        EXPECT_EQ (e.button, cases[k].button);
        EXPECT_EQ (e.buttons, cases[k].buttons);
        EXPECT_EQ (e.modifiers, VexaWindowEvent::kModShift);
        EXPECT_EQ (e.x, 10.0f + k);
        EXPECT_EQ (e.y, 20.0f + 2.0f * k);
        EXPECT_EQ (e.key, 0);
        EXPECT_EQ (e.text[0], '\0');
    }
    const auto& move = events[std::size (cases)];
    EXPECT_EQ (move.type, VexaWindowEvent::kPointerMove);
    EXPECT_EQ (move.button, 0);
    EXPECT_EQ (move.buttons, 1u);
    EXPECT_EQ (move.modifiers, VexaWindowEvent::kModControl);
    EXPECT_EQ (move.x, 564.0f);
    EXPECT_EQ (move.y, 259.0f);
    EXPECT_EQ (events.back ().x, -5.0f);
    EXPECT_EQ (events.back ().y, 300.0f);
}

TEST_F (X11ViewTest, WheelStepsAreScrollEvents)
{
    const struct { unsigned xbutton; float sx, sy; } steps[] = {{4, 0, 1}, {5, 0, -1}, {6, 1, 0}, {7, -1, 0}};
    for (const auto& s : steps)
    {
        sendButton (ButtonPress, s.xbutton, Button1Mask | Mod1Mask, 7, 9);
        sendButton (ButtonRelease, s.xbutton, Button1Mask | Mod1Mask, 7, 9);
    }
    receive (std::size (steps));
    for (size_t k = 0; k < std::size (steps); ++k)
    {
        const auto& e = events[k];
        EXPECT_EQ (e.type, VexaWindowEvent::kScroll);
        EXPECT_EQ (e.scrollX, steps[k].sx);
        EXPECT_EQ (e.scrollY, steps[k].sy);
        EXPECT_EQ (e.button, 0);
        EXPECT_EQ (e.buttons, 1u);
        EXPECT_EQ (e.modifiers, VexaWindowEvent::kModAlt);
        EXPECT_EQ (e.x, 7.0f);
        EXPECT_EQ (e.y, 9.0f);
    }
}

TEST_F (X11ViewTest, KeysTextAndModifiers)
{
    struct Case { KeySym sym; unsigned state; int32_t key; uint32_t modifiers; const char* text; };
    const Case cases[] = {
        {XK_a, 0, 1004, 0, "a"},
        {XK_a, ControlMask, 1004, 2, nullptr},
        {XK_a, ShiftMask | Mod4Mask, 1004, 9, nullptr},
        {XK_b, ShiftMask, 'b', 1, "B"},
        {XK_q, LockMask, 'q', 0, "Q"},
        {XK_1, ShiftMask, '!', 1, "!"},
        {XK_x, Mod1Mask, 'x', 4, "x"},
        {XK_x, Mod4Mask, 'x', 8, nullptr},
        {XK_BackSpace, 0, 8, 0, "\b"},
        {XK_Delete, 0, 127, 0, "\x7f"},
        {XK_Left, 0, 1000, 0, nullptr},
        {XK_Right, ShiftMask, 1001, 1, nullptr},
        {XK_Home, 0, 1002, 0, nullptr},
        {XK_End, 0, 1003, 0, nullptr},
        {XK_Up, 0, 63232, 0, nullptr},
        {XK_space, 0, ' ', 0, " "},
        {XK_Return, 0, 13, 0, "\r"},
    };
    size_t expected = 0;
    Time t = 1000;
    for (const auto& c : cases)
    {
        sendKey (KeyPress, c.sym, c.state, ++t);
        sendKey (KeyRelease, c.sym, c.state, ++t);
        expected += c.text ? 3 : 2;
    }
    receive (expected);

    size_t k = 0;
    for (const auto& c : cases)
    {
        SCOPED_TRACE (XKeysymToString (c.sym));
        ASSERT_LT (k, events.size ());
        EXPECT_EQ (events[k].type, VexaWindowEvent::kKeyDown);
        EXPECT_EQ (events[k].key, c.key);
        EXPECT_EQ (events[k].modifiers, c.modifiers);
        EXPECT_FALSE (events[k].repeat);
        EXPECT_EQ (events[k].x + events[k].y, 0.0f);
        ++k;
        if (c.text)
        {
            EXPECT_EQ (events[k].type, VexaWindowEvent::kTextInput);
            EXPECT_EQ (std::string (events[k].text), c.text);
            EXPECT_EQ (events[k].key, 0);
            EXPECT_EQ (events[k].modifiers, 0u);
            ++k;
        }
        EXPECT_EQ (events[k].type, VexaWindowEvent::kKeyUp);
        EXPECT_EQ (events[k].key, c.key);
        EXPECT_EQ (events[k].modifiers, c.modifiers);
        EXPECT_FALSE (events[k].repeat);
        ++k;
    }
}

TEST_F (X11ViewTest, HeldKeyRepeatsAndModifierKeysAloneSayNothing)
{
    sendKey (KeyPress, XK_Shift_L, 0, 10);
    sendKey (KeyPress, XK_c, ShiftMask, 11);
    sendKey (KeyPress, XK_c, ShiftMask, 12); // auto-repeat with detectable repeat: presses only
    sendKey (KeyRelease, XK_c, ShiftMask, 13);
    sendKey (KeyRelease, XK_Shift_L, ShiftMask, 14);
    sendKey (KeyPress, XK_c, 0, 15);
    receive (7);
    const int32_t types[] = {7, 9, 7, 9, 8, 7, 9};
    const bool repeats[] = {false, false, true, false, false, false, false};
    for (size_t k = 0; k < 7; ++k)
    {
        EXPECT_EQ (events[k].type, types[k]) << k;
        EXPECT_EQ (events[k].repeat, repeats[k]) << k;
    }
    EXPECT_EQ (std::string (events[1].text), "C");
    EXPECT_EQ (std::string (events[6].text), "c");
}

TEST_F (X11ViewTest, KeyboardInputCanBeLeftToTheHost)
{
    view.setKeyboardInputEnabled (false);
    XSync (host.display, False);
    XWindowAttributes wa;
    ASSERT_TRUE (XGetWindowAttributes (host.display, child, &wa));
    EXPECT_EQ (wa.all_event_masks & (KeyPressMask | KeyReleaseMask), 0);
    sendKey (KeyPress, XK_a, 0);
    sendButton (ButtonPress, 1, 0, 1, 1);
    receive (1);
    EXPECT_EQ (events[0].type, VexaWindowEvent::kPointerDown);
}

TEST_F (X11ViewTest, QueueWithoutCallbackPollsOldestFirstAndDetachEmptiesIt)
{
    view.setEventCallback ({});
    for (int i = 0; i < 4; ++i)
        sendMotion (0, i, i);
    XSync (host.display, False);
    VexaWindowEvent e;
    std::vector<float> xs;
    waitUntil ([&] { return xs.size () == 4; }, [&] {
        view.processEvents ();
        while (view.pollEvent (e))
            xs.push_back (e.x);
    });
    EXPECT_EQ (xs, (std::vector<float> {0, 1, 2, 3}));

    VexaWindowEvent pushed;
    pushed.type = VexaWindowEvent::kKeyUp;
    view.pushEvent (pushed);
    view.pushEvent (pushed);
    view.detach ();
    EXPECT_FALSE (view.pollEvent (e));
}

TEST_F (X11ViewTest, RedrawRequestsCoalesceIntoOneFrame)
{
    std::vector<std::pair<int, int>> frames;
    view.setDrawCallback ([&] (int w, int h) { frames.emplace_back (w, h); });
    // Mapping exposes the window: that alone asks for the first frame.
    XSync (host.display, False);
    waitUntil ([&] { return ! frames.empty (); }, [&] { view.drawIfRequested (); });
    ASSERT_EQ (frames.size (), 1u);
    EXPECT_EQ (frames[0], std::make_pair (565, 260));

    EXPECT_FALSE (view.drawIfRequested ());
    for (int i = 0; i < 5; ++i)
        view.requestRedraw ();
    EXPECT_TRUE (view.isRedrawRequested ());
    EXPECT_TRUE (view.drawIfRequested ());
    EXPECT_FALSE (view.drawIfRequested ());
    EXPECT_EQ (frames.size (), 2u);

    // A resize by someone else (the host) is followed: new size, one more frame.
    XResizeWindow (host.display, child, 200, 100);
    XSync (host.display, False);
    waitUntil ([&] { return frames.size () == 3; }, [&] { view.drawIfRequested (); });
    ASSERT_EQ (frames.size (), 3u);
    EXPECT_EQ (frames[2], std::make_pair (200, 100));
}

TEST_F (X11ViewTest, HostDestroyingItsWindowFirstIsSurvived)
{
    XDestroyWindow (host.display, host.window);
    XSync (host.display, False);
    waitUntil ([&] { return ! view.isAttached (); }, [&] { view.processEvents (); });
    EXPECT_FALSE (view.isAttached ());
    view.setFrame (100, 100);
    view.requestRedraw ();
    EXPECT_FALSE (view.drawIfRequested ());
    view.detach ();
    host.window = 0;
}

TEST_F (X11ViewTest, ContentScaleSizesTheWindowAndDividesPointerPositions)
{
    const auto geometry = [&] {
        XSync (host.display, False);
        Window root = 0;
        int x = 0, y = 0;
        unsigned w = 0, h = 0, border = 0, depth = 0;
        XGetGeometry (host.display, child, &root, &x, &y, &w, &h, &border, &depth);
        return std::pair<unsigned, unsigned> (w, h);
    };
    struct Case { float scale; unsigned w, h; int32_t logicalW, logicalH; int pointerX, pointerY; float x, y; };
    const Case cases[] = {
        {2.0f, 1130, 520, 565, 260, 201, 100, 100.5f, 50.0f},
        {1.5f, 848, 390, 565, 260, 3, 847, 2.0f, 847.0f / 1.5f},
        {1.0f, 565, 260, 565, 260, 564, 259, 564.0f, 259.0f},
        {std::nanf (""), 565, 260, 565, 260, 7, 8, 7.0f, 8.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE (c.scale);
        events.clear ();
        view.setContentScale (c.scale); // attached: the window follows at once
        EXPECT_EQ (geometry (), (std::pair<unsigned, unsigned> (c.w, c.h)));
        int32_t lw = 0, lh = 0, dw = 0, dh = 0;
        view.getLogicalSize (lw, lh);
        view.getDrawableSize (dw, dh);
        EXPECT_EQ (lw, c.logicalW);
        EXPECT_EQ (lh, c.logicalH);
        EXPECT_EQ (dw, static_cast<int32_t> (c.w));
        EXPECT_EQ (dh, static_cast<int32_t> (c.h));
        sendButton (ButtonPress, 1, 0, c.pointerX, c.pointerY);
        sendMotion (Button1Mask, c.pointerX, c.pointerY);
        receive (2);
        for (const VexaWindowEvent& e : events)
        {
            EXPECT_FLOAT_EQ (e.x, c.x);
            EXPECT_FLOAT_EQ (e.y, c.y);
        }
        sendButton (ButtonRelease, 1, Button1Mask, 0, 0);
        receive (3);
    }

    // Sizes given while a scale is set are logical; a fresh attachment takes the scale too.
    view.setContentScale (2.0f);
    view.setFrame (100, 50);
    EXPECT_EQ (geometry (), (std::pair<unsigned, unsigned> (200u, 100u)));
    ASSERT_TRUE (view.attachToSurface (VexaNativeSurface::x11Window (host.window), 565, 260));
    child = view.nativeSurface ().x11WindowId ();
    EXPECT_EQ (geometry (), (std::pair<unsigned, unsigned> (1130u, 520u)));
    EXPECT_EQ (view.contentScale (), 2.0f);
}

TEST_F (X11ViewTest, XEmbedClientFromCreationOn)
{
    auto info = [&] {
        const Atom a = XInternAtom (host.display, "_XEMBED_INFO", False);
        Atom type = 0;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<unsigned long> out;
        if (XGetWindowProperty (host.display, child, a, 0, 2, False, a, &type, &format, &n, &after, &data) == Success
            && type == a && format == 32)
            out.assign (reinterpret_cast<unsigned long*> (data), reinterpret_cast<unsigned long*> (data) + n);
        if (data)
            XFree (data);
        return out;
    };
    auto baseSize = [&] {
        XSizeHints hints {};
        long supplied = 0;
        XGetWMNormalHints (host.display, child, &hints, &supplied);
        return (hints.flags & PBaseSize) ? std::pair {hints.base_width, hints.base_height} : std::pair {0, 0};
    };
    auto send = [&] (long message) {
        XEvent ev {};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = child;
        ev.xclient.message_type = XInternAtom (host.display, "_XEMBED", False);
        ev.xclient.format = 32;
        ev.xclient.data.l[1] = message;
        ev.xclient.data.l[3] = static_cast<long> (host.window);
        XSendEvent (host.display, child, False, 0, &ev);
    };

    // Version 0, not mapped yet (an embedder maps it); the socket's size hint is the window's.
    EXPECT_EQ (info (), (std::vector<unsigned long> {0, 0}));
    EXPECT_EQ (baseSize (), (std::pair {565, 260}));
    view.setFrame (300, 200);
    XSync (host.display, False);
    EXPECT_EQ (baseSize (), (std::pair {300, 200}));

    // Once an embedder announced itself the window asks to be shown.
    send (0); // XEMBED_EMBEDDED_NOTIFY
    XSync (host.display, False);
    EXPECT_TRUE (waitUntil ([&] { return info () == std::vector<unsigned long> {0, 1}; }, [&] { view.processEvents (); }));

    // Losing focus or activation forgets held keys: the next press of a key is no repeat.
    for (long lost : {5L /* FOCUS_OUT */, 2L /* WINDOW_DEACTIVATE */})
    {
        SCOPED_TRACE (lost);
        events.clear ();
        sendKey (KeyPress, XK_c, 0, 20);
        receive (2); // key and text
        send (lost);
        sendKey (KeyPress, XK_c, 0, 30);
        receive (4);
        EXPECT_FALSE (events[2].repeat);
    }
    // The rest of the traffic delivers nothing and leaves the view as it was (the key sent last
    // arrives after all of it).
    events.clear ();
    for (long m : {1L, 4L, 10L, 11L, 12L, 99L})
        send (m);
    sendButton (ButtonPress, 1, 0, 1, 1);
    receive (1);
    EXPECT_EQ (events[0].type, VexaWindowEvent::kPointerDown);
    EXPECT_TRUE (view.isAttached ());
}
