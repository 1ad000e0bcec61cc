// Reference counting for host objects that live as members of their owner: the plug-in's
// addRef/release pairs must never delete them, and counting costs nothing on the audio thread.
#pragma once

#include "pluginterfaces/base/funknown.h"

#define VORLIX_HOST_OWNED_REFCOUNT                                        \
    Steinberg::uint32 PLUGIN_API addRef () override { return 1; }         \
    Steinberg::uint32 PLUGIN_API release () override { return 1; }
