// The byte stream hosts hand to getState/setState: the SDK's growable memory stream. Size it with
// setSize before use when the stream is written on a thread that must not allocate.
#pragma once

#include "public.sdk/source/common/memorystream.h"

namespace Vorlix::Host {

using HostMemoryStream = Steinberg::MemoryStream;

} // namespace Vorlix::Host
