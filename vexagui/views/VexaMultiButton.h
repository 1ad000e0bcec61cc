// A button that steps through n states on each click, drawn from an n-frame filmstrip. Its value
// is always an exact state value 0, 1/(n-1), ..., 1.
#pragma once

#include "vexagui/views/BitmapQuad.h"
#include "vexagui/views/VexaControl.h"

namespace vexagui {

class VexaMultiButton : public VexaControl {
public:
    VexaMultiButton(std::int32_t tag, std::int32_t resourceId, const Rect& bounds, std::int32_t stateCount);

    float normalizedValue() const override { return value_; }
    void setNormalizedValue(float value) override;
    std::int32_t frameIndex() const { return filmstripFrameIndex(value_, stateCount_); }

    void onPointerDown(const MouseEvent& event) override;
    void onPointerUp(const MouseEvent& event) override;
    void onContextAttached(IVexaGuiRenderer& renderer) override;
    void onContextDetached(IVexaGuiRenderer& renderer) override;
    void syncContext() override;
    void collectSceneHandles(std::vector<VisualHandle>& out) const override;

    std::int32_t resourceId() const { return resourceId_; }
    std::int32_t stateCount() const { return stateCount_; }
    bool pressed() const { return pressed_; }
    TextureHandle texture() const { return bitmap_.texture; }
    VisualHandle quad() const { return bitmap_.quad; }

private:
    std::int32_t resourceId_;
    std::int32_t stateCount_;
    float value_ = 0.0f;
    bool pressed_ = false;
    BitmapQuad bitmap_;
};

} // namespace vexagui
