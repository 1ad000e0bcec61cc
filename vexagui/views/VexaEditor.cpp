// Event dispatch, renderer attachment and scene assembly of the toolkit root.
#include "vexagui/views/VexaEditor.h"

namespace vexagui {

VexaEditor::VexaEditor(float width, float height) : width_(width), height_(height) {}

VexaEditor::~VexaEditor() {
    // The callback goes first so that no view can reach the owner while the views are torn down.
    // Visuals still held are not released here: the renderer may already be gone.
    onControlChanged = nullptr;
    captured_ = nullptr;
    focused_ = nullptr;
    while (!views_.empty()) views_.pop_back();
}

void VexaEditor::setSize(float width, float height) {
    width_ = width;
    height_ = height;
    markDirty();
}

void VexaEditor::setContext(IVexaGuiRenderer* renderer) {
    if (renderer == renderer_) return;
    if (renderer_ != nullptr) {
        for (auto& view : views_) view->onContextDetached(*renderer_);
    }
    renderer_ = renderer;
    if (renderer_ != nullptr) {
        for (auto& view : views_) view->onContextAttached(*renderer_);
        renderer_->requestRedraw();
    }
}

VexaView* VexaEditor::hitTest(const Point& p) const {
    for (auto it = views_.rbegin(); it != views_.rend(); ++it) {
        if ((*it)->hitTest(p)) return it->get();
    }
    return nullptr;
}

void VexaEditor::pointerDown(float x, float y, std::uint32_t buttons) {
    const MouseEvent event{x, y, buttons};
    VexaView* hit = hitTest(event);
    if (hit == nullptr) {
        captured_ = nullptr;
        focused_ = nullptr;
        return;
    }
    captured_ = hit;
    focused_ = hit->acceptsTextInput() ? hit : nullptr;
    hit->onPointerDown(event);
}

void VexaEditor::pointerMove(float x, float y, std::uint32_t buttons) {
    if (captured_ != nullptr) captured_->onPointerMove(MouseEvent{x, y, buttons});
}

void VexaEditor::pointerUp(float x, float y, std::uint32_t buttons) {
    if (captured_ == nullptr) return;
    VexaView* released = captured_;
    captured_ = nullptr;
    released->onPointerUp(MouseEvent{x, y, buttons});
}

void VexaEditor::textInput(const char* utf8) {
    if (utf8 == nullptr || utf8[0] == '\0' || focused_ == nullptr) return;
    focused_->onTextInput(utf8);
}

void VexaEditor::keyDown(std::int32_t key, std::uint32_t modifiers) {
    if (focused_ != nullptr) focused_->onKeyDown(KeyEvent{key, modifiers});
}

void VexaEditor::syncContext() {
    if (renderer_ == nullptr) return;
    scene_.clear();
    scene_.reserve(views_.size() * 4);
    for (auto& view : views_) {
        view->syncContext();
        view->collectSceneHandles(scene_);
    }
    for (auto& view : views_) {
        if (view->hasOverlay()) view->collectOverlaySceneHandles(scene_);
    }
    renderer_->setScene(scene_.data(), scene_.size());
}

void VexaEditor::markDirty() {
    if (renderer_ != nullptr) renderer_->requestRedraw();
}

void VexaEditor::notifyControlChanged(std::int32_t tag, float value) {
    if (onControlChanged) onControlChanged(tag, value);
}

} // namespace vexagui
