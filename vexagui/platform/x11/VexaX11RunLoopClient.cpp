// The run-loop handler object and its registration with the host.
#include "VexaX11RunLoopClient.h"

#include "VexaViewX11.h"

namespace vexagui {

using namespace Steinberg;

namespace {
// The interface ids, spelled out here so that this library does not define the SDK's iid symbols,
// which the plug-in module defines once for the whole of iplugview.h.
const TUID kEventHandlerIid = INLINE_UID (0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983);
const TUID kTimerHandlerIid = INLINE_UID (0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);
} // namespace

class VexaX11RunLoopClient::Handler final : public Linux::IEventHandler, public Linux::ITimerHandler
{
public:
    explicit Handler (VexaViewX11* v) : view (v) {}

    void forget () { view = nullptr; }

    void PLUGIN_API onFDIsSet (Linux::FileDescriptor) override
    {
        if (view)
            view->processEvents ();
    }
    void PLUGIN_API onTimer () override
    {
        if (view)
            view->drawIfRequested ();
    }

    tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
    {
        if (FUnknownPrivate::iidEqual (iid, kEventHandlerIid) || FUnknownPrivate::iidEqual (iid, FUnknown::iid))
        {
            addRef ();
            *obj = static_cast<Linux::IEventHandler*> (this);
            return kResultOk;
        }
        if (FUnknownPrivate::iidEqual (iid, kTimerHandlerIid))
        {
            addRef ();
            *obj = static_cast<Linux::ITimerHandler*> (this);
            return kResultOk;
        }
        *obj = nullptr;
        return kNoInterface;
    }
    // The host calls these on the user-interface thread, like everything else here.
    uint32 PLUGIN_API addRef () override { return ++refCount; }
    uint32 PLUGIN_API release () override
    {
        const uint32 n = --refCount;
        if (n == 0)
            delete this;
        return n;
    }

private:
    VexaViewX11* view;
    uint32 refCount = 1;
};

VexaX11RunLoopClient::VexaX11RunLoopClient (VexaViewX11& v) : view (v), handler (new Handler (&v)) {}

VexaX11RunLoopClient::~VexaX11RunLoopClient ()
{
    disconnect ();
    handler->forget ();
    handler->release ();
}

bool VexaX11RunLoopClient::connect (Linux::IRunLoop* loop, Linux::TimerInterval intervalMs)
{
    disconnect ();
    const int fd = view.connectionFileDescriptor ();
    if (! loop || fd < 0)
        return false;
    if (loop->registerEventHandler (handler, fd) != kResultOk)
        return false;
    if (loop->registerTimer (handler, intervalMs) != kResultOk)
    {
        loop->unregisterEventHandler (handler);
        return false;
    }
    // Held until disconnect: the host may drop its frame before it closes the view.
    loop->addRef ();
    runLoop = loop;
    return true;
}

void VexaX11RunLoopClient::disconnect ()
{
    if (! runLoop)
        return;
    runLoop->unregisterTimer (handler);
    runLoop->unregisterEventHandler (handler);
    runLoop->release ();
    runLoop = nullptr;
}

Linux::IEventHandler* VexaX11RunLoopClient::eventHandler () const
{
    return handler;
}

Linux::ITimerHandler* VexaX11RunLoopClient::timerHandler () const
{
    return handler;
}

} // namespace vexagui
