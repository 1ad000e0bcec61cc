// Momentary button.
#include "vexagui/views/VexaKickButton.h"

namespace vexagui {

VexaKickButton::VexaKickButton(std::int32_t tag, std::int32_t resourceId, const Rect& bounds)
    : VexaControl(tag, bounds, true), resourceId_(resourceId) {}

void VexaKickButton::onPointerDown(const MouseEvent&) {
    pressed_ = true;
    markDirty();
}

void VexaKickButton::onPointerUp(const MouseEvent& event) {
    pressed_ = false;
    markDirty();
    if (boundsContain(event)) emitControlChanged(1.0f);
}

void VexaKickButton::onContextAttached(IVexaGuiRenderer& renderer) {
    bitmap_.attach(renderer, resourceId_, bounds(), source());
}

void VexaKickButton::onContextDetached(IVexaGuiRenderer& renderer) { bitmap_.detach(renderer); }

void VexaKickButton::syncContext() {
    IVexaGuiRenderer* renderer = context();
    if (renderer == nullptr) return;
    if (!bitmap_.complete()) onContextAttached(*renderer);
    bitmap_.update(*renderer, bounds(), source());
}

void VexaKickButton::collectSceneHandles(std::vector<VisualHandle>& out) const { appendHandle(out, bitmap_.quad); }

} // namespace vexagui
