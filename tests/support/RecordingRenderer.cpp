// Bookkeeping and call log of the recording renderer.
#include "RecordingRenderer.h"

namespace vexagui::test {

RecordingRenderer::Call& RecordingRenderer::record(Op op, std::uint32_t handle) {
    Call& c = calls.emplace_back();
    c.op = op;
    c.handle = handle;
    return c;
}

TextureHandle RecordingRenderer::createTexture(int resourceId) {
    TextureHandle handle{nextTextureId_++};
    textures[handle.id] = resourceId;
    Call& c = record(Op::kCreateTexture, handle.id);
    c.resourceId = resourceId;
    return handle;
}

void RecordingRenderer::destroyTexture(TextureHandle texture) {
    record(Op::kDestroyTexture, texture.id);
    textures.erase(texture.id);
}

VisualHandle RecordingRenderer::createQuad(TextureHandle texture, const Rect& dst, const Rect& src) {
    VisualHandle handle{failVisualCreation ? 0u : nextVisualId_++};
    if (handle.id != 0) visuals[handle.id] = Visual{Kind::kQuad, texture, dst, src, Color{255, 255, 255, 255}};
    Call& c = record(Op::kCreateQuad, handle.id);
    c.texture = texture.id;
    c.dst = dst;
    c.src = src;
    return handle;
}

void RecordingRenderer::updateQuad(VisualHandle visual, const Rect& dst, const Rect& src) {
    Call& c = record(Op::kUpdateQuad, visual.id);
    c.dst = dst;
    c.src = src;
    auto it = visuals.find(visual.id);
    if (it == visuals.end()) return;
    it->second.dst = dst;
    it->second.src = src;
}

VisualHandle RecordingRenderer::createSolidRect(const Rect& dst, const Color& color) {
    VisualHandle handle{failVisualCreation ? 0u : nextVisualId_++};
    if (handle.id != 0) visuals[handle.id] = Visual{Kind::kSolidRect, TextureHandle{}, dst, Rect{}, color};
    Call& c = record(Op::kCreateSolidRect, handle.id);
    c.dst = dst;
    c.color = color;
    return handle;
}

void RecordingRenderer::updateSolidRect(VisualHandle visual, const Rect& dst, const Color& color) {
    Call& c = record(Op::kUpdateSolidRect, visual.id);
    c.dst = dst;
    c.color = color;
    auto it = visuals.find(visual.id);
    if (it == visuals.end()) return;
    it->second.dst = dst;
    it->second.color = color;
}

void RecordingRenderer::destroyVisual(VisualHandle visual) {
    record(Op::kDestroyVisual, visual.id);
    visuals.erase(visual.id);
}

void RecordingRenderer::setScene(const VisualHandle* handles, std::size_t count) {
    record(Op::kSetScene).count = count;
    scene.assign(handles, handles + count);
    ++sceneUpdates;
}

void RecordingRenderer::requestRedraw() {
    record(Op::kRequestRedraw);
    ++redrawRequests;
}

void RecordingRenderer::requestOpenFileDialog() {
    record(Op::kRequestOpenFileDialog);
    pendingRequest.postOpenFileDialog();
}

void RecordingRenderer::requestSaveFileDialog(const char* suggestedName) {
    record(Op::kRequestSaveFileDialog).text = suggestedName ? suggestedName : "";
    pendingRequest.postSaveFileDialog(suggestedName);
}

void RecordingRenderer::beginTextEntry(const Rect& area, const char* initialText) {
    Call& c = record(Op::kBeginTextEntry);
    c.dst = area;
    c.text = initialText ? initialText : "";
    pendingRequest.postTextEntry(area, initialText);
}

void RecordingRenderer::render(float logicalWidth, float logicalHeight, int drawableWidth, int drawableHeight) {
    Call& c = record(Op::kRender);
    c.dst = Rect{0.0f, 0.0f, logicalWidth, logicalHeight};
    c.src = Rect{0.0f, 0.0f, static_cast<float>(drawableWidth), static_cast<float>(drawableHeight)};
}

const RecordingRenderer::Visual* RecordingRenderer::visual(VisualHandle handle) const {
    auto it = visuals.find(handle.id);
    return it == visuals.end() ? nullptr : &it->second;
}

int RecordingRenderer::resourceOf(TextureHandle handle) const {
    auto it = textures.find(handle.id);
    return it == textures.end() ? -1 : it->second;
}

std::vector<RecordingRenderer::Visual> RecordingRenderer::sceneVisuals() const {
    std::vector<Visual> out;
    for (VisualHandle h : scene) {
        if (const Visual* v = visual(h)) out.push_back(*v);
    }
    return out;
}

std::size_t RecordingRenderer::count(Op op) const {
    std::size_t n = 0;
    for (const Call& c : calls) n += c.op == op ? 1 : 0;
    return n;
}

} // namespace vexagui::test
