// A filmstrip knob turned by dragging vertically: 0.0045 per logical pixel, upward raises.
#pragma once

#include "vexagui/views/BitmapQuad.h"
#include "vexagui/views/VexaControl.h"

namespace vexagui {

class VexaAnimKnob : public VexaControl {
public:
    // Value change per logical pixel of vertical drag: about 222 pixels for the full range.
    static constexpr float kDragSensitivity = 0.0045f;

    VexaAnimKnob(std::int32_t tag, std::int32_t resourceId, const Rect& bounds, std::int32_t frameCount);

    float normalizedValue() const override { return value_; }
    void setNormalizedValue(float value) override;
    std::int32_t frameIndex() const { return filmstripFrameIndex(value_, frameCount_); }

    void onPointerDown(const MouseEvent& event) override;
    void onPointerMove(const MouseEvent& event) override;
    void onContextAttached(IVexaGuiRenderer& renderer) override;
    void onContextDetached(IVexaGuiRenderer& renderer) override;
    void syncContext() override;
    void collectSceneHandles(std::vector<VisualHandle>& out) const override;

    std::int32_t resourceId() const { return resourceId_; }
    std::int32_t frameCount() const { return frameCount_; }
    TextureHandle texture() const { return bitmap_.texture; }
    VisualHandle quad() const { return bitmap_.quad; }

private:
    std::int32_t resourceId_;
    std::int32_t frameCount_;
    float value_ = 0.0f;
    float dragStartY_ = 0.0f;
    float dragStartValue_ = 0.0f;
    BitmapQuad bitmap_;
};

} // namespace vexagui
