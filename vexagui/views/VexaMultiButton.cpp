// Multi-state button.
#include "vexagui/views/VexaMultiButton.h"

#include "vexagui/views/NormalizedValue.h"

namespace vexagui {

VexaMultiButton::VexaMultiButton(std::int32_t tag, std::int32_t resourceId, const Rect& bounds, std::int32_t stateCount)
    : VexaControl(tag, bounds, true), resourceId_(resourceId), stateCount_(stateCount < 2 ? 1 : stateCount) {}

void VexaMultiButton::setNormalizedValue(float value) {
    const float v = clampNormalized(value);
    if (v == value_) return;
    value_ = v;
    markDirty();
}

void VexaMultiButton::onPointerDown(const MouseEvent&) {
    pressed_ = true;
    markDirty();
}

void VexaMultiButton::onPointerUp(const MouseEvent& event) {
    if (boundsContain(event)) {
        // Stepping from the frame shown (not from the raw value) snaps a host-set value such as
        // 0.3 of three states onto the state after the one the user sees.
        const std::int32_t n = stateCount_;
        value_ = n > 1 ? static_cast<float>((frameIndex() + 1) % n) / static_cast<float>(n - 1) : 0.0f;
        emitControlChanged(value_);
    }
    pressed_ = false;
    markDirty();
}

void VexaMultiButton::onContextAttached(IVexaGuiRenderer& renderer) {
    bitmap_.attach(renderer, resourceId_, bounds(), filmstripFrame(bounds(), frameIndex()));
}

void VexaMultiButton::onContextDetached(IVexaGuiRenderer& renderer) { bitmap_.detach(renderer); }

void VexaMultiButton::syncContext() {
    IVexaGuiRenderer* renderer = context();
    if (renderer == nullptr) return;
    if (!bitmap_.complete()) onContextAttached(*renderer);
    bitmap_.update(*renderer, bounds(), filmstripFrame(bounds(), frameIndex()));
}

void VexaMultiButton::collectSceneHandles(std::vector<VisualHandle>& out) const { appendHandle(out, bitmap_.quad); }

} // namespace vexagui
