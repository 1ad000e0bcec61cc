// Editable text field.
#include "vexagui/views/VexaTextEdit.h"

#include <algorithm>
#include <cstring>

namespace vexagui {

VexaTextEdit::VexaTextEdit(const VexaBitmapFont& font, const Rect& bounds, std::string_view text)
    : VexaTextLabel(font, bounds, text), cursor_(text_.size()), anchor_(text_.size()) {}

Rect VexaTextEdit::textRect() const {
    const Rect& b = bounds();
    return Rect{b.x + kTextInset, b.y, std::max(0.0f, b.width - 2.0f * kTextInset), b.height};
}

void VexaTextEdit::limitToText() {
    cursor_ = std::min(cursor_, text_.size());
    anchor_ = std::min(anchor_, text_.size());
}

void VexaTextEdit::setCursor(std::size_t position, bool extendSelection) {
    cursor_ = std::min(position, text_.size());
    if (!extendSelection) anchor_ = cursor_;
    markDirty();
}

std::size_t VexaTextEdit::cursorForPoint(const Point& p) const {
    const float px = p.x - (bounds().x + kTextInset);
    if (px <= 0.0f) return 0;
    // Running prefix widths, accumulated exactly as prefixWidth sums them.
    float before = 0.0f;
    for (std::size_t i = 0; i < text_.size(); ++i) {
        float after = before;
        if (i > 0) after += font_.kerning(text_[i - 1], text_[i]);
        const VexaBitmapFont::Glyph& g = font_.glyph(text_[i]);
        after += g.valid ? g.advance : font_.defaultAdvance;
        if (px < (before * font_.scale + after * font_.scale) * 0.5f) return i;
        before = after;
    }
    return text_.size();
}

void VexaTextEdit::deleteSelection() {
    limitToText();
    if (!hasSelection()) return;
    const std::size_t start = selectionStart();
    text_.erase(start, selectionEnd() - start);
    cursor_ = anchor_ = start;
}

bool VexaTextEdit::hitTest(const Point& p) const { return boundsContain(p); }

void VexaTextEdit::onPointerDown(const MouseEvent& event) {
    editing_ = true;
    cursor_ = anchor_ = cursorForPoint(event);
    markDirty();
}

void VexaTextEdit::onPointerMove(const MouseEvent& event) {
    if (!editing_) return;
    cursor_ = cursorForPoint(event);
    markDirty();
}

void VexaTextEdit::onTextInput(const char* utf8) {
    if (utf8 == nullptr || utf8[0] == '\0') return;
    limitToText();
    deleteSelection();
    const std::size_t bytes = std::strlen(utf8);
    text_.insert(cursor_, utf8, bytes);
    cursor_ = anchor_ = cursor_ + bytes;
    markDirty();
}

void VexaTextEdit::onKeyDown(const KeyEvent& event) {
    limitToText();
    const bool shift = (event.modifiers & kModShift) != 0;
    const std::size_t length = text_.size();
    switch (event.key) {
    case kKeySelectAll:
        if ((event.modifiers & (kModControl | kModCommand)) == 0) return;
        anchor_ = 0;
        cursor_ = length;
        break;
    case kKeyBackspace:
        if (hasSelection()) {
            deleteSelection();
        } else {
            if (cursor_ == 0) return;
            text_.erase(cursor_ - 1, 1);
            anchor_ = --cursor_;
        }
        break;
    case kKeyDelete:
        if (hasSelection()) {
            deleteSelection();
        } else {
            if (cursor_ >= length) return;
            text_.erase(cursor_, 1);
            anchor_ = cursor_;
        }
        break;
    case kKeyLeft:
        if (shift) {
            if (cursor_ == 0) return;
            --cursor_;
        } else if (hasSelection()) {
            cursor_ = anchor_ = std::min(selectionStart(), length);
        } else {
            if (cursor_ == 0) return;
            anchor_ = --cursor_;
        }
        break;
    case kKeyRight:
        if (shift) {
            if (cursor_ >= length) return;
            ++cursor_;
        } else if (hasSelection()) {
            cursor_ = anchor_ = std::min(selectionEnd(), length);
        } else {
            if (cursor_ >= length) return;
            anchor_ = ++cursor_;
        }
        break;
    case kKeyHome:
        cursor_ = 0;
        if (!shift) anchor_ = 0;
        break;
    case kKeyEnd:
        cursor_ = length;
        if (!shift) anchor_ = length;
        break;
    default:
        return;
    }
    markDirty();
}

void VexaTextEdit::onContextAttached(IVexaGuiRenderer& renderer) {
    if (texture_.id == 0) texture_ = renderer.createTexture(font_.resourceId);
    if (caret_.id == 0) caret_ = renderer.createSolidRect(Rect{}, kCaretColor);
}

void VexaTextEdit::onContextDetached(IVexaGuiRenderer& renderer) {
    for (VisualHandle h : selectionRects_) {
        if (h.id != 0) renderer.destroyVisual(h);
    }
    selectionRects_.clear();
    if (caret_.id != 0) renderer.destroyVisual(caret_);
    caret_ = VisualHandle{};
    destroyBitmapText(&renderer, handles_);
    if (texture_.id != 0) renderer.destroyTexture(texture_);
    texture_ = TextureHandle{};
}

void VexaTextEdit::syncContext() {
    IVexaGuiRenderer* renderer = context();
    if (renderer == nullptr) return;
    if (texture_.id == 0 || caret_.id == 0) onContextAttached(*renderer);

    const Rect origin = textRect();
    syncBitmapText(*renderer, texture_, handles_, font_, origin, text_, TextAlign::Left);

    // Only bytes that exist can be selected, even if setText shortened the text under the caret.
    const std::size_t start = std::min(selectionStart(), text_.size());
    const std::size_t end = std::min(selectionEnd(), text_.size());
    const std::size_t selected = end - start;
    while (selectionRects_.size() > selected) {
        if (selectionRects_.back().id != 0) renderer->destroyVisual(selectionRects_.back());
        selectionRects_.pop_back();
    }
    while (selectionRects_.size() < selected) selectionRects_.push_back(renderer->createSolidRect(Rect{}, kSelectionColor));

    const float lh = font_.lineHeight * font_.scale;
    const float top = bounds().y + std::max(0.0f, (bounds().height - lh) * 0.5f);
    for (std::size_t k = 0; k < selected; ++k) {
        const std::size_t i = start + k;
        const float x = origin.x + font_.scaledPrefixWidth(text_, i);
        const float w = std::max(1.0f, origin.x + font_.scaledPrefixWidth(text_, i + 1) - x);
        if (selectionRects_[k].id != 0) renderer->updateSolidRect(selectionRects_[k], Rect{x, top, w, lh}, kSelectionColor);
    }
    if (caret_.id != 0) {
        const float x = origin.x + font_.scaledPrefixWidth(text_, cursor_);
        renderer->updateSolidRect(caret_, Rect{x, top, 1.0f, lh}, kCaretColor);
    }
}

void VexaTextEdit::collectSceneHandles(std::vector<VisualHandle>& out) const {
    for (VisualHandle h : selectionRects_) appendHandle(out, h);
    collectBitmapTextHandles(handles_, out);
    if (editing_) appendHandle(out, caret_);
}

} // namespace vexagui
