// An invisible click area: emits 1.0 when a press on it is released inside it.
#pragma once

#include "vexagui/views/VexaControl.h"

namespace vexagui {

class VexaHotspotButton : public VexaControl {
public:
    VexaHotspotButton(std::int32_t tag, const Rect& bounds);

    void onPointerDown(const MouseEvent& event) override;
    void onPointerUp(const MouseEvent& event) override;
    void syncContext() override {}
    void collectSceneHandles(std::vector<VisualHandle>&) const override {}

    bool pressed() const { return pressed_; }

private:
    bool pressed_ = false;
};

} // namespace vexagui
