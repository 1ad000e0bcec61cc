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

} // namespace Vorlix::Host
