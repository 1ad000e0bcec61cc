// Solid colour rectangle view.
#include "vexagui/views/VexaSolidRectView.h"

namespace vexagui {

VexaSolidRectView::VexaSolidRectView(const Rect& bounds, const Color& color)
    : VexaView(bounds, false), color_(color) {}

void VexaSolidRectView::setColor(const Color& color) {
    if (color == color_) return;
    color_ = color;
    markDirty();
}

void VexaSolidRectView::onContextAttached(IVexaGuiRenderer& renderer) {
    if (visual_.id == 0) visual_ = renderer.createSolidRect(bounds(), color_);
}

void VexaSolidRectView::onContextDetached(IVexaGuiRenderer& renderer) {
    if (visual_.id != 0) renderer.destroyVisual(visual_);
    visual_ = VisualHandle{};
}

void VexaSolidRectView::syncContext() {
    IVexaGuiRenderer* renderer = context();
    if (renderer == nullptr) return;
    if (visual_.id == 0) onContextAttached(*renderer);
    if (visual_.id != 0) renderer->updateSolidRect(visual_, bounds(), color_);
}

void VexaSolidRectView::collectSceneHandles(std::vector<VisualHandle>& out) const { appendHandle(out, visual_); }

} // namespace vexagui
