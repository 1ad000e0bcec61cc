// Static bitmap view.
#include "vexagui/views/VexaBitmapView.h"

namespace vexagui {

VexaBitmapView::VexaBitmapView(std::int32_t resourceId, const Rect& bounds)
    : VexaView(bounds, false), resourceId_(resourceId) {}

void VexaBitmapView::onContextAttached(IVexaGuiRenderer& renderer) {
    bitmap_.attach(renderer, resourceId_, bounds(), source());
}

void VexaBitmapView::onContextDetached(IVexaGuiRenderer& renderer) { bitmap_.detach(renderer); }

void VexaBitmapView::syncContext() {
    IVexaGuiRenderer* renderer = context();
    if (renderer == nullptr) return;
    if (!bitmap_.complete()) onContextAttached(*renderer);
    bitmap_.update(*renderer, bounds(), source());
}

void VexaBitmapView::collectSceneHandles(std::vector<VisualHandle>& out) const { appendHandle(out, bitmap_.quad); }

} // namespace vexagui
