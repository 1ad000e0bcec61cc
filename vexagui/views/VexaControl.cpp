// Value reporting of controls.
#include "vexagui/views/VexaControl.h"

#include "vexagui/views/VexaEditor.h"

namespace vexagui {

VexaControl::VexaControl(std::int32_t tag, const Rect& bounds, bool interactive)
    : VexaView(bounds, interactive), tag_(tag) {}

void VexaControl::emitControlChanged(float value) {
    if (VexaEditor* owner = editor()) owner->notifyControlChanged(tag_, value);
}

} // namespace vexagui
