// The host context handed to the plug-in's initialize: the SDK's host application (which also
// creates IMessage and IAttributeList objects on request) under this tool's own name.
#pragma once

#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <atomic>

namespace Vorlix::Host {

class HostContext : public Steinberg::Vst::HostApplication
{
public:
    explicit HostContext (const char* name = "vorlix-render");
    Steinberg::tresult PLUGIN_API getName (Steinberg::Vst::String128 name) override;
    // The SDK's HostApplication never deletes itself (its release () always answers 1), so a
    // context made with new would leak; this one counts and goes when the last holder lets go.
    Steinberg::uint32 PLUGIN_API addRef () override;
    Steinberg::uint32 PLUGIN_API release () override;

private:
    const char* hostName;
    std::atomic<Steinberg::uint32> refCount {1};
};

} // namespace Vorlix::Host
