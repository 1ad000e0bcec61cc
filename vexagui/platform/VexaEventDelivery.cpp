// Callback-or-queue delivery of native window events.
#include "VexaEventDelivery.h"

namespace vexagui {

void VexaEventDelivery::deliver (const VexaWindowEvent& event)
{
    if (eventCallback)
        eventCallback (event);
    else
        queue.push_back (event);
}

bool VexaEventDelivery::poll (VexaWindowEvent& out)
{
    if (queue.empty ())
        return false;
    out = queue.front ();
    queue.pop_front ();
    return true;
}

} // namespace vexagui
