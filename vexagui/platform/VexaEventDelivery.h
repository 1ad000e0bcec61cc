// Where a native view's events go: straight to the installed callback, or into a FIFO for polling.
#pragma once

#include "IVexaView.h"

#include <cstddef>
#include <deque>

namespace vexagui {

/** User-interface thread only. */
class VexaEventDelivery
{
public:
    void setCallback (IVexaView::EventCallback callback) { eventCallback = std::move (callback); }

    /** Calls the callback at once when one is installed (the queue is bypassed), else queues. */
    void deliver (const VexaWindowEvent& event);
    /** Moves the oldest queued event into `out`; false when none is queued. */
    bool poll (VexaWindowEvent& out);
    void clear () { queue.clear (); }
    size_t size () const { return queue.size (); }

private:
    IVexaView::EventCallback eventCallback;
    std::deque<VexaWindowEvent> queue;
};

} // namespace vexagui
