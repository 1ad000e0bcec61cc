// Drives an X11 view from the host's run loop (Steinberg::Linux::IRunLoop, which a Linux host offers
// through its IPlugFrame): an event handler on the view's display connection reads input as it
// arrives, and a timer draws a frame only when one was requested since the last.
//
// Threading: user-interface thread only (the host calls its handlers on that thread too).
#pragma once

#include "pluginterfaces/gui/iplugview.h"

namespace vexagui {

class VexaViewX11;

class VexaX11RunLoopClient
{
public:
    /** The default frame timer: about 60 frames per second at most, and only when a redraw is due. */
    static constexpr Steinberg::Linux::TimerInterval kDefaultIntervalMs = 16;

    explicit VexaX11RunLoopClient (VexaViewX11& view);
    /** Disconnects. */
    ~VexaX11RunLoopClient ();

    VexaX11RunLoopClient (const VexaX11RunLoopClient&) = delete;
    VexaX11RunLoopClient& operator= (const VexaX11RunLoopClient&) = delete;

    /** Registers the event handler for the attached view's connection and the frame timer. Call after
        the view has attached (its connection is made then); disconnects first. False, and nothing
        registered, without a run loop, without an attached view, or when the host refuses. */
    bool connect (Steinberg::Linux::IRunLoop* runLoop, Steinberg::Linux::TimerInterval intervalMs = kDefaultIntervalMs);
    /** Unregisters both; call before the view detaches (its connection closes then). Handlers the host
        still holds afterwards do nothing when called. */
    void disconnect ();
    bool isConnected () const { return runLoop != nullptr; }

    /** The objects the host sees, e.g. for a test's own run loop to call. */
    Steinberg::Linux::IEventHandler* eventHandler () const;
    Steinberg::Linux::ITimerHandler* timerHandler () const;

private:
    class Handler;
    VexaViewX11& view;
    Handler* handler = nullptr; // one reference owned
    Steinberg::Linux::IRunLoop* runLoop = nullptr;
};

} // namespace vexagui
