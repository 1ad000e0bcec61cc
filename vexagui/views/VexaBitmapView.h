// A static, non-interactive bitmap drawn at the view's bounds (backgrounds, decorations).
#pragma once

#include "vexagui/views/BitmapQuad.h"
#include "vexagui/views/VexaView.h"

namespace vexagui {

class VexaBitmapView : public VexaView {
public:
    VexaBitmapView(std::int32_t resourceId, const Rect& bounds);

    void onContextAttached(IVexaGuiRenderer& renderer) override;
    void onContextDetached(IVexaGuiRenderer& renderer) override;
    void syncContext() override;
    void collectSceneHandles(std::vector<VisualHandle>& out) const override;

    std::int32_t resourceId() const { return resourceId_; }
    TextureHandle texture() const { return bitmap_.texture; }
    VisualHandle quad() const { return bitmap_.quad; }

private:
    Rect source() const { return Rect{0.0f, 0.0f, bounds().width, bounds().height}; }

    std::int32_t resourceId_;
    BitmapQuad bitmap_;
};

} // namespace vexagui
