// The --info report: where the module is, what its factory and class say about themselves, and
// every parameter with its default as the host would show it.
#pragma once

#include "tools/host/PluginInstance.h"
#include "tools/host/PluginModule.h"

#include <ostream>
#include <string>

namespace Vorlix::Render {

/** UTF-16 as the SDK's String128 holds it, to UTF-8. */
std::string toUtf8 (const Steinberg::char16* text, size_t maxChars);

void printModuleInfo (std::ostream& out, const Vorlix::Host::PluginModule& module, int classIndex,
                      const Vorlix::Host::PluginInstance& instance);

} // namespace Vorlix::Render
