// A single-line editable text field in the bitmap font: click places the caret, dragging
// selects, typed text is inserted, and a few editing keys move the caret and delete. Positions
// are byte offsets; a multi-byte UTF-8 character shows as one '?' per byte.
#pragma once

#include "vexagui/views/VexaTextLabel.h"

#include <algorithm>
#include <cstddef>

namespace vexagui {

class VexaTextEdit : public VexaTextLabel {
public:
    static constexpr Color kCaretColor{0xD7, 0x87, 0x2C, 0xFF};
    static constexpr Color kSelectionColor{0x44, 0x26, 0x0A, 0xFF};
    // The text starts this far inside the field.
    static constexpr float kTextInset = 2.0f;

    VexaTextEdit(const VexaBitmapFont& font, const Rect& bounds, std::string_view text);

    void setCursor(std::size_t position, bool extendSelection);
    // Byte position whose character middle is the first one right of the point's x.
    std::size_t cursorForPoint(const Point& p) const;
    bool hasSelection() const { return cursor_ != anchor_; }
    std::size_t selectionStart() const { return std::min(cursor_, anchor_); }
    std::size_t selectionEnd() const { return std::max(cursor_, anchor_); }
    void deleteSelection();
    void clearSelection() { anchor_ = cursor_; }

    bool hitTest(const Point& p) const override;
    void onPointerDown(const MouseEvent& event) override;
    void onPointerMove(const MouseEvent& event) override;
    void onTextInput(const char* utf8) override;
    void onKeyDown(const KeyEvent& event) override;
    void onContextAttached(IVexaGuiRenderer& renderer) override;
    void onContextDetached(IVexaGuiRenderer& renderer) override;
    void syncContext() override;
    void collectSceneHandles(std::vector<VisualHandle>& out) const override;
    bool acceptsTextInput() const override { return true; }

    bool editing() const { return editing_; }
    std::size_t cursor() const { return cursor_; }
    std::size_t anchor() const { return anchor_; }
    VisualHandle caret() const { return caret_; }
    const std::vector<VisualHandle>& selectionRects() const { return selectionRects_; }

private:
    Rect textRect() const;
    // The text may have been replaced through setText since the caret was placed.
    void limitToText();

    bool editing_ = false;
    std::size_t cursor_;
    std::size_t anchor_;
    VisualHandle caret_;
    std::vector<VisualHandle> selectionRects_;
};

} // namespace vexagui
