// Base of every view: a rectangle of the editor surface that may take pointer, key and text
// input and owns the renderer visuals that draw it.
#pragma once

#include "vexagui/render/IVexaGuiRenderer.h"
#include "vexagui/views/InputEvents.h"

#include <cstdint>
#include <vector>

namespace vexagui {

class VexaEditor;

class VexaView {
public:
    VexaView(const Rect& bounds, bool interactive);
    virtual ~VexaView();

    VexaView(const VexaView&) = delete;
    VexaView& operator=(const VexaView&) = delete;

    // Edges inclusive; never true for a non-interactive view.
    virtual bool hitTest(const Point& p) const;
    virtual void onPointerDown(const MouseEvent&) {}
    virtual void onPointerMove(const MouseEvent&) {}
    virtual void onPointerUp(const MouseEvent&) {}
    virtual void onTextInput(const char* /*utf8*/) {}
    virtual void onKeyDown(const KeyEvent&) {}
    // Create the textures and visuals the view needs on this renderer (only those still missing).
    virtual void onContextAttached(IVexaGuiRenderer&) {}
    // Destroy everything the view holds on this renderer and zero the handles.
    virtual void onContextDetached(IVexaGuiRenderer&) {}
    // Bring every visual up to date with the view's state: re-attach when something is missing,
    // then update every visual whether or not it changed.
    virtual void syncContext() = 0;
    // Append the normal-layer visuals, back to front; handles that are 0 are skipped.
    virtual void collectSceneHandles(std::vector<VisualHandle>& out) const = 0;
    virtual bool hasOverlay() const { return false; }
    virtual void collectOverlaySceneHandles(std::vector<VisualHandle>& /*out*/) const {}
    virtual bool acceptsTextInput() const { return false; }

    void setBounds(const Rect& bounds);
    // Asks the attached renderer for a new frame; touches no visual.
    void markDirty();
    // The editor's renderer, or null.
    IVexaGuiRenderer* context() const;

    // Position in the editor's list at the moment the view was added; -1 before.
    std::int32_t id() const { return id_; }
    const Rect& bounds() const { return bounds_; }
    bool interactive() const { return interactive_; }
    VexaEditor* editor() const { return editor_; }

protected:
    // Edges inclusive, independent of the interactive flag.
    bool boundsContain(const Point& p) const;

private:
    friend class VexaEditor;

    std::int32_t id_ = -1;
    Rect bounds_;
    bool interactive_;
    VexaEditor* editor_ = nullptr;
};

// Appends a handle unless it is 0.
inline void appendHandle(std::vector<VisualHandle>& out, VisualHandle handle) {
    if (handle.id != 0) out.push_back(handle);
}

} // namespace vexagui
