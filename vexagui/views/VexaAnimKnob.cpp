// Filmstrip knob.
#include "vexagui/views/VexaAnimKnob.h"

#include "vexagui/views/NormalizedValue.h"

#include <cmath>

namespace vexagui {

VexaAnimKnob::VexaAnimKnob(std::int32_t tag, std::int32_t resourceId, const Rect& bounds, std::int32_t frameCount)
    : VexaControl(tag, bounds, true), resourceId_(resourceId), frameCount_(frameCount < 2 ? 1 : frameCount) {}

void VexaAnimKnob::setNormalizedValue(float value) {
    const float v = clampNormalized(value);
    if (v == value_) return;
    value_ = v;
    markDirty();
}

void VexaAnimKnob::onPointerDown(const MouseEvent& event) {
    dragStartY_ = event.y;
    dragStartValue_ = value_;
}

void VexaAnimKnob::onPointerMove(const MouseEvent& event) {
    float v = (dragStartY_ - event.y) * kDragSensitivity + dragStartValue_;
    if (std::isnan(v)) return;  // a broken pointer position moves nothing
    if (v > 1.0f) v = 1.0f;
    if (v < 0.0f) v = 0.0f;
    if (v == value_) return;
    value_ = v;
    markDirty();
    emitControlChanged(value_);
}

void VexaAnimKnob::onContextAttached(IVexaGuiRenderer& renderer) {
    bitmap_.attach(renderer, resourceId_, bounds(), filmstripFrame(bounds(), frameIndex()));
}

void VexaAnimKnob::onContextDetached(IVexaGuiRenderer& renderer) { bitmap_.detach(renderer); }

void VexaAnimKnob::syncContext() {
    IVexaGuiRenderer* renderer = context();
    if (renderer == nullptr) return;
    if (!bitmap_.complete()) onContextAttached(*renderer);
    bitmap_.update(*renderer, bounds(), filmstripFrame(bounds(), frameIndex()));
}

void VexaAnimKnob::collectSceneHandles(std::vector<VisualHandle>& out) const { appendHandle(out, bitmap_.quad); }

} // namespace vexagui
