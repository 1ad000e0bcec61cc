// Invisible click area.
#include "vexagui/views/VexaHotspotButton.h"

namespace vexagui {

VexaHotspotButton::VexaHotspotButton(std::int32_t tag, const Rect& bounds) : VexaControl(tag, bounds, true) {}

void VexaHotspotButton::onPointerDown(const MouseEvent&) { pressed_ = true; }

void VexaHotspotButton::onPointerUp(const MouseEvent& event) {
    pressed_ = false;
    // Dragging off before releasing cancels the click.
    if (boundsContain(event)) emitControlChanged(1.0f);
}

} // namespace vexagui
