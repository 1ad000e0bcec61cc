// Click-to-dismiss overlay picture.
#include "vexagui/views/VexaOverlayBitmap.h"

namespace vexagui {

VexaOverlayBitmap::VexaOverlayBitmap(std::int32_t resourceId, const Rect& bounds)
    : VexaView(bounds, true), resourceId_(resourceId) {}

void VexaOverlayBitmap::show(bool shown) {
    if (shown == shown_) return;
    shown_ = shown;
    markDirty();
}

bool VexaOverlayBitmap::hitTest(const Point& p) const { return shown_ && boundsContain(p); }

void VexaOverlayBitmap::onPointerUp(const MouseEvent&) {
    // Any release after a press on the shown picture dismisses it, wherever the pointer went.
    if (!shown_) return;
    shown_ = false;
    markDirty();
}

void VexaOverlayBitmap::onContextAttached(IVexaGuiRenderer& renderer) {
    bitmap_.attach(renderer, resourceId_, bounds(), source());
}

void VexaOverlayBitmap::onContextDetached(IVexaGuiRenderer& renderer) { bitmap_.detach(renderer); }

void VexaOverlayBitmap::syncContext() {
    IVexaGuiRenderer* renderer = context();
    if (renderer == nullptr) return;
    if (!bitmap_.complete()) onContextAttached(*renderer);
    bitmap_.update(*renderer, bounds(), source());
}

bool VexaOverlayBitmap::hasOverlay() const { return shown_ && bitmap_.quad.id != 0; }

void VexaOverlayBitmap::collectOverlaySceneHandles(std::vector<VisualHandle>& out) const {
    if (shown_) appendHandle(out, bitmap_.quad);
}

} // namespace vexagui
