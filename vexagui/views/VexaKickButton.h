// A momentary button: a two-frame strip (frame 0 released, frame 1 held) that emits 1.0 when a
// press on it is released inside it.
#pragma once

#include "vexagui/views/BitmapQuad.h"
#include "vexagui/views/VexaControl.h"

namespace vexagui {

class VexaKickButton : public VexaControl {
public:
    VexaKickButton(std::int32_t tag, std::int32_t resourceId, const Rect& bounds);

    void onPointerDown(const MouseEvent& event) override;
    void onPointerUp(const MouseEvent& event) override;
    void onContextAttached(IVexaGuiRenderer& renderer) override;
    void onContextDetached(IVexaGuiRenderer& renderer) override;
    void syncContext() override;
    void collectSceneHandles(std::vector<VisualHandle>& out) const override;

    std::int32_t resourceId() const { return resourceId_; }
    bool pressed() const { return pressed_; }
    TextureHandle texture() const { return bitmap_.texture; }
    VisualHandle quad() const { return bitmap_.quad; }

private:
    Rect source() const { return filmstripFrame(bounds(), pressed_ ? 1 : 0); }

    std::int32_t resourceId_;
    bool pressed_ = false;
    BitmapQuad bitmap_;
};

} // namespace vexagui
