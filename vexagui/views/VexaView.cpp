// Base view behaviour: inclusive hit test, bounds changes, redraw requests.
#include "vexagui/views/VexaView.h"

#include "vexagui/views/VexaEditor.h"

namespace vexagui {

VexaView::VexaView(const Rect& bounds, bool interactive) : bounds_(bounds), interactive_(interactive) {}

VexaView::~VexaView() = default;

bool VexaView::boundsContain(const Point& p) const {
    return bounds_.x <= p.x && p.x <= bounds_.x + bounds_.width && bounds_.y <= p.y &&
           p.y <= bounds_.y + bounds_.height;
}

bool VexaView::hitTest(const Point& p) const { return interactive_ && boundsContain(p); }

void VexaView::setBounds(const Rect& bounds) {
    bounds_ = bounds;
    markDirty();
}

void VexaView::markDirty() {
    if (IVexaGuiRenderer* renderer = context()) renderer->requestRedraw();
}

IVexaGuiRenderer* VexaView::context() const { return editor_ != nullptr ? editor_->renderer() : nullptr; }

} // namespace vexagui
