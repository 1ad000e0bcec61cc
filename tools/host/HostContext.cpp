#include "tools/host/HostContext.h"

#include "pluginterfaces/base/ustring.h"

namespace Vorlix::Host {

HostContext::HostContext (const char* name) : hostName (name) {}

Steinberg::tresult PLUGIN_API HostContext::getName (Steinberg::Vst::String128 name)
{
    if (name == nullptr)
        return Steinberg::kInvalidArgument;
    Steinberg::UString (name, 128).fromAscii (hostName);
    return Steinberg::kResultTrue;
}

Steinberg::uint32 PLUGIN_API HostContext::addRef ()
{
    return refCount.fetch_add (1, std::memory_order_relaxed) + 1;
}

Steinberg::uint32 PLUGIN_API HostContext::release ()
{
    const Steinberg::uint32 left = refCount.fetch_sub (1, std::memory_order_acq_rel) - 1;
    if (left == 0)
        delete this;
    return left;
}

} // namespace Vorlix::Host
