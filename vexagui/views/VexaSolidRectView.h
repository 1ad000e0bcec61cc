// A non-interactive rectangle filled with one colour.
#pragma once

#include "vexagui/views/VexaView.h"

namespace vexagui {

class VexaSolidRectView : public VexaView {
public:
    VexaSolidRectView(const Rect& bounds, const Color& color);

    // Redraws only when a byte of the colour changes.
    void setColor(const Color& color);
    const Color& color() const { return color_; }
    VisualHandle visual() const { return visual_; }

    void onContextAttached(IVexaGuiRenderer& renderer) override;
    void onContextDetached(IVexaGuiRenderer& renderer) override;
    void syncContext() override;
    void collectSceneHandles(std::vector<VisualHandle>& out) const override;

private:
    Color color_;
    VisualHandle visual_;
};

} // namespace vexagui
