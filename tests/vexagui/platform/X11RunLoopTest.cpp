// The view driven by a host run loop: what gets registered, and that the handlers read events and
// draw only requested frames, also when called late by a host that still holds them.
#include <gtest/gtest.h> // before the X headers: their None macro clashes with gtest's

#include "X11TestHost.h"

#include "vexagui/platform/x11/VexaViewX11.h"
#include "vexagui/platform/x11/VexaX11RunLoopClient.h"


#include <vector>

using namespace vexagui;
using namespace Steinberg;
using vexagui::test::X11TestHost;
using vexagui::test::waitUntil;

namespace {

// A host's run loop as far as the plug-in can see it; the test plays the host's dispatcher.
class FakeRunLoop final : public Linux::IRunLoop
{
public:
    tresult PLUGIN_API registerEventHandler (Linux::IEventHandler* h, Linux::FileDescriptor f) override
    {
        if (! h || eventHandler)
            return kInvalidArgument;
        eventHandler = h;
        eventHandler->addRef ();
        fd = f;
        return kResultOk;
    }
    tresult PLUGIN_API unregisterEventHandler (Linux::IEventHandler* h) override
    {
        if (! h || h != eventHandler)
            return kInvalidArgument;
        eventHandler->release ();
        eventHandler = nullptr;
        return kResultOk;
    }
    tresult PLUGIN_API registerTimer (Linux::ITimerHandler* h, Linux::TimerInterval ms) override
    {
        if (refuseTimers || ! h || timer)
            return kResultFalse;
        timer = h;
        timer->addRef ();
        interval = ms;
        return kResultOk;
    }
    tresult PLUGIN_API unregisterTimer (Linux::ITimerHandler* h) override
    {
        if (! h || h != timer)
            return kInvalidArgument;
        timer->release ();
        timer = nullptr;
        return kResultOk;
    }
    tresult PLUGIN_API queryInterface (const TUID, void** obj) override
    {
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef () override { return ++refs; }
    uint32 PLUGIN_API release () override { return --refs; }

    Linux::IEventHandler* eventHandler = nullptr;
    Linux::ITimerHandler* timer = nullptr;
    Linux::FileDescriptor fd = -1;
    Linux::TimerInterval interval = 0;
    bool refuseTimers = false;
    uint32 refs = 1;
};

} // namespace

TEST (X11RunLoop, HandlersReadEventsAndDrawRequestedFramesOnly)
{
    X11TestHost host;
    ASSERT_TRUE (host.ok ());
    VexaViewX11 view;
    int frames = 0;
    std::vector<VexaWindowEvent> events;
    view.setDrawCallback ([&] (int, int) { ++frames; });
    view.setEventCallback ([&] (const VexaWindowEvent& e) { events.push_back (e); });

    FakeRunLoop loop;
    {
        VexaX11RunLoopClient client (view);
        EXPECT_FALSE (client.connect (&loop)) << "no connection before the view attaches";
        EXPECT_FALSE (client.connect (nullptr));
        ASSERT_TRUE (view.attachToSurface (VexaNativeSurface::x11Window (host.window), 100, 80));
        ASSERT_TRUE (client.connect (&loop));
        EXPECT_TRUE (client.isConnected ());
        EXPECT_EQ (loop.fd, view.connectionFileDescriptor ());
        EXPECT_EQ (loop.interval, VexaX11RunLoopClient::kDefaultIntervalMs);
        EXPECT_EQ (loop.refs, 2u);

        // The first exposure asks for one frame; timer ticks without requests draw nothing.
        XSync (host.display, False);
        waitUntil ([&] { return frames == 1; }, [&] { loop.timer->onTimer (); });
        EXPECT_EQ (frames, 1);
        for (int i = 0; i < 3; ++i)
            loop.timer->onTimer ();
        EXPECT_EQ (frames, 1);
        view.requestRedraw ();
        view.requestRedraw ();
        loop.timer->onTimer ();
        loop.timer->onTimer ();
        EXPECT_EQ (frames, 2);

        XEvent ev {};
        ev.xbutton.type = ButtonPress;
        ev.xbutton.window = view.nativeSurface ().x11WindowId ();
        ev.xbutton.button = 1;
        XSendEvent (host.display, ev.xbutton.window, False, 0, &ev);
        XSync (host.display, False);
        waitUntil ([&] { return ! events.empty (); }, [&] { loop.eventHandler->onFDIsSet (loop.fd); });
        ASSERT_EQ (events.size (), 1u);
        EXPECT_EQ (events[0].type, VexaWindowEvent::kPointerDown);

        // A host that keeps its references may still call after the plug-in has gone.
        loop.eventHandler->addRef ();
        loop.timer->addRef ();
        Linux::IEventHandler* lateEvents = loop.eventHandler;
        Linux::ITimerHandler* lateTimer = loop.timer;
        client.disconnect ();
        EXPECT_EQ (loop.eventHandler, nullptr);
        EXPECT_EQ (loop.timer, nullptr);
        EXPECT_EQ (loop.refs, 1u);
        view.detach ();
        lateEvents->onFDIsSet (3);
        lateTimer->onTimer ();

        ASSERT_TRUE (view.attachToSurface (VexaNativeSurface::x11Window (host.window), 100, 80));
        loop.refuseTimers = true;
        EXPECT_FALSE (client.connect (&loop));
        EXPECT_EQ (loop.eventHandler, nullptr) << "a refused timer undoes the event handler";
        loop.refuseTimers = false;
        ASSERT_TRUE (client.connect (&loop));
        // ~client disconnects
        lateEvents->release ();
        lateTimer->release ();
    }
    EXPECT_EQ (loop.eventHandler, nullptr);
    EXPECT_EQ (loop.timer, nullptr);
    EXPECT_EQ (loop.refs, 1u);
}
