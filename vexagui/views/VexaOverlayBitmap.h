// A picture shown on demand above every other view (the about box) and dismissed by a click.
#pragma once

#include "vexagui/views/BitmapQuad.h"
#include "vexagui/views/VexaView.h"

namespace vexagui {

class VexaOverlayBitmap : public VexaView {
public:
    VexaOverlayBitmap(std::int32_t resourceId, const Rect& bounds);

    void show(bool shown);
    bool shown() const { return shown_; }

    // Hits only while shown: a hidden overlay lets clicks through to the views below.
    bool hitTest(const Point& p) const override;
    void onPointerUp(const MouseEvent& event) override;
    void onContextAttached(IVexaGuiRenderer& renderer) override;
    void onContextDetached(IVexaGuiRenderer& renderer) override;
    void syncContext() override;
    void collectSceneHandles(std::vector<VisualHandle>&) const override {}
    bool hasOverlay() const override;
    void collectOverlaySceneHandles(std::vector<VisualHandle>& out) const override;

    std::int32_t resourceId() const { return resourceId_; }
    TextureHandle texture() const { return bitmap_.texture; }
    VisualHandle quad() const { return bitmap_.quad; }

private:
    Rect source() const { return Rect{0.0f, 0.0f, bounds().width, bounds().height}; }

    std::int32_t resourceId_;
    bool shown_ = false;
    BitmapQuad bitmap_;
};

} // namespace vexagui
