// The host context handed to the plug-in's initialize: the SDK's host application (which also
// creates IMessage and IAttributeList objects on request) under this tool's own name.
#pragma once

#include "public.sdk/source/vst/hosting/hostclasses.h"

namespace Vorlix::Host {

class HostContext : public Steinberg::Vst::HostApplication
{
public:
    explicit HostContext (const char* name = "vorlix-render");
    Steinberg::tresult PLUGIN_API getName (Steinberg::Vst::String128 name) override;

private:
    const char* hostName;
};

} // namespace Vorlix::Host
