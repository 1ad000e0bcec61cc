// The built-in pack of the synthesizer's artwork. Declared here, defined by the generated asset
// tables (target vexagui_assets): link that target to use these.
#pragma once

#include "vexagui/resources/ResourcePack.h"

namespace vexagui {

extern const PackedResource kPackedResources[];  // kResourcePack.entryCount entries
extern const ResourcePack kResourcePack;         // primary list kPackedResources, no extra lists

} // namespace vexagui
