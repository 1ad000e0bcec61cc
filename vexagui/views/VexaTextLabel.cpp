// Centred text label.
#include "vexagui/views/VexaTextLabel.h"

namespace vexagui {

VexaTextLabel::VexaTextLabel(const VexaBitmapFont& font, const Rect& bounds, std::string_view text)
    : VexaView(bounds, false), font_(font), text_(text) {}

void VexaTextLabel::setText(std::string_view text) {
    if (text == text_) return;
    text_.assign(text);
    markDirty();
}

void VexaTextLabel::onContextAttached(IVexaGuiRenderer& renderer) {
    if (texture_.id == 0) texture_ = renderer.createTexture(font_.resourceId);
}

void VexaTextLabel::onContextDetached(IVexaGuiRenderer& renderer) {
    destroyBitmapText(&renderer, handles_);
    if (texture_.id != 0) renderer.destroyTexture(texture_);
    texture_ = TextureHandle{};
}

void VexaTextLabel::syncContext() {
    IVexaGuiRenderer* renderer = context();
    if (renderer == nullptr) return;
    if (texture_.id == 0) onContextAttached(*renderer);
    syncBitmapText(*renderer, texture_, handles_, font_, bounds(), text_, TextAlign::Center);
}

void VexaTextLabel::collectSceneHandles(std::vector<VisualHandle>& out) const {
    collectBitmapTextHandles(handles_, out);
}

} // namespace vexagui
