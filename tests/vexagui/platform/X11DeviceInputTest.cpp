// Input made by the server's own (XTest) pointer and keyboard rather than sent events: the state
// bits and coordinates come from the server here. Runs alone: it moves the shared pointer.
#include <gtest/gtest.h> // before the X headers: their None macro clashes with gtest's

#include "X11TestHost.h"

#include "vexagui/platform/x11/VexaViewX11.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <string>
#include <vector>

using namespace vexagui;
using vexagui::test::X11TestHost;
using vexagui::test::waitUntil;

TEST (X11DeviceInput, ClickDragTypeAndScrollThroughTheServer)
{
    X11TestHost host;
    ASSERT_TRUE (host.ok ());
    int ev = 0, err = 0, major = 0, minor = 0;
    if (! XTestQueryExtension (host.display, &ev, &err, &major, &minor))
        GTEST_SKIP () << "no XTEST extension";

    VexaViewX11 view;
    std::vector<VexaWindowEvent> events;
    view.setEventCallback ([&] (const VexaWindowEvent& e) { events.push_back (e); });
    ASSERT_TRUE (view.attachToSurface (VexaNativeSurface::x11Window (host.window), 565, 260));
    XSync (host.display, False);
    XSetInputFocus (host.display, PointerRoot, RevertToPointerRoot, CurrentTime);

    const int screen = DefaultScreen (host.display);
    XTestFakeMotionEvent (host.display, screen, 100, 50, CurrentTime);
    XSync (host.display, False);
    waitUntil ([&] { return ! events.empty (); }, [&] { view.processEvents (); });
    events.clear ();

    XTestFakeButtonEvent (host.display, 1, True, CurrentTime);
    XTestFakeMotionEvent (host.display, screen, 110, 55, CurrentTime);
    XTestFakeButtonEvent (host.display, 1, False, CurrentTime);
    XTestFakeButtonEvent (host.display, 5, True, CurrentTime);
    XTestFakeButtonEvent (host.display, 5, False, CurrentTime);
    const KeyCode shift = XKeysymToKeycode (host.display, XK_Shift_L);
    const KeyCode b = XKeysymToKeycode (host.display, XK_b);
    XTestFakeKeyEvent (host.display, shift, True, CurrentTime);
    XTestFakeKeyEvent (host.display, b, True, CurrentTime);
    XTestFakeKeyEvent (host.display, b, False, CurrentTime);
    XTestFakeKeyEvent (host.display, shift, False, CurrentTime);
    XSync (host.display, False);
    waitUntil ([&] { return events.size () >= 7; }, [&] { view.processEvents (); });
    ASSERT_EQ (events.size (), 7u);

    EXPECT_EQ (events[0].type, VexaWindowEvent::kPointerDown);
    EXPECT_EQ (events[0].button, 1);
    EXPECT_EQ (events[0].buttons, 1u);
    EXPECT_EQ (events[0].x, 100.0f);
    EXPECT_EQ (events[0].y, 50.0f);
    EXPECT_EQ (events[1].type, VexaWindowEvent::kPointerMove);
    EXPECT_EQ (events[1].buttons, 1u);
    EXPECT_EQ (events[1].x, 110.0f);
    EXPECT_EQ (events[1].y, 55.0f);
    EXPECT_EQ (events[2].type, VexaWindowEvent::kPointerUp);
    EXPECT_EQ (events[2].buttons, 0u);
    EXPECT_EQ (events[3].type, VexaWindowEvent::kScroll);
    EXPECT_EQ (events[3].scrollY, -1.0f);
    EXPECT_EQ (events[4].type, VexaWindowEvent::kKeyDown);
    EXPECT_EQ (events[4].key, 'b');
    EXPECT_EQ (events[4].modifiers, VexaWindowEvent::kModShift);
    EXPECT_EQ (events[5].type, VexaWindowEvent::kTextInput);
    EXPECT_EQ (std::string (events[5].text), "B");
    EXPECT_EQ (events[6].type, VexaWindowEvent::kKeyUp);
}
