// Root of the toolkit: owns a flat list of views (later ones on top), dispatches pointer, key and
// text input to them, attaches them to a renderer and hands the renderer the scene.
// User-interface thread only.
#pragma once

#include "vexagui/views/VexaView.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace vexagui {

class VexaEditor {
public:
    using ControlChangedCallback = std::function<void(int tag, float value)>;

    VexaEditor(float width, float height);
    ~VexaEditor();

    VexaEditor(const VexaEditor&) = delete;
    VexaEditor& operator=(const VexaEditor&) = delete;

    // Constructs a view owned by the editor. With a renderer attached the view gets its visuals
    // before it joins the list. The reference stays valid for the editor's life.
    template <class T, class... Args>
    T& addView(Args&&... args) {
        auto view = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *view;
        views_.reserve(views_.size() + 1);  // after this the insertion cannot fail
        ref.id_ = static_cast<std::int32_t>(views_.size());
        ref.editor_ = this;
        if (renderer_ != nullptr) ref.onContextAttached(*renderer_);
        views_.push_back(std::move(view));
        markDirty();
        return ref;
    }

    float width() const { return width_; }
    float height() const { return height_; }
    void setSize(float width, float height);

    // Detaches every view from the old renderer, then attaches every view to the new one (null
    // releases all visuals). The same renderer again does nothing.
    void setContext(IVexaGuiRenderer* renderer);
    IVexaGuiRenderer* renderer() const { return renderer_; }

    // Top-most view that hits the point, or null.
    VexaView* hitTest(const Point& p) const;

    void pointerDown(float x, float y, std::uint32_t buttons);
    void pointerMove(float x, float y, std::uint32_t buttons);
    void pointerUp(float x, float y, std::uint32_t buttons);
    void textInput(const char* utf8);
    void keyDown(std::int32_t key, std::uint32_t modifiers);

    // Syncs every view and sets the scene: normal layers in list order, then every overlay.
    void syncContext();
    void markDirty();
    void notifyControlChanged(std::int32_t tag, float value);

    const std::vector<std::unique_ptr<VexaView>>& views() const { return views_; }
    VexaView* captured() const { return captured_; }
    VexaView* focused() const { return focused_; }

    // Set by the owner; empty means that nobody listens.
    ControlChangedCallback onControlChanged;

private:
    float width_;
    float height_;
    std::vector<std::unique_ptr<VexaView>> views_;
    VexaView* captured_ = nullptr;
    VexaView* focused_ = nullptr;
    IVexaGuiRenderer* renderer_ = nullptr;
    std::vector<VisualHandle> scene_;  // keeps its capacity between frames
};

} // namespace vexagui
