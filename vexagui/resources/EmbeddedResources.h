// The built-in pack of the synthesizer's artwork. Declared here, defined by the generated asset
// tables (target vexagui_assets): link that target to use these.
#pragma once

#include "vexagui/resources/ResourcePack.h"

namespace vexagui {

extern const PackedResource kPackedResources[];  // kResourcePack.entryCount entries
// The artwork at twice the resolution (paths under vorlix/resources/2x/), the pack's one extra
// list: the primary list stays the editor's 1x set.
extern const PackedResource kDoubleResolutionResources[];
extern const ResourcePack kResourcePack;  // primary list kPackedResources, extra list kDoubleResolutionResources

} // namespace vexagui
