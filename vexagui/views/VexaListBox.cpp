// Drop-down list box: geometry, the open/track/pick/scroll state machine and its visuals.
#include "vexagui/views/VexaListBox.h"

#include "vexagui/views/VexaEditor.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace vexagui {

namespace {

std::int32_t itemCount(const std::vector<ListItem>& items) {
    return static_cast<std::int32_t>(std::min<std::size_t>(items.size(), INT32_MAX));
}

// Truncation toward zero of a quotient that may be huge or NaN; NaN gives `nanResult`.
std::int64_t truncated(double q, std::int64_t nanResult) {
    if (std::isnan(q)) return nanResult;
    return static_cast<std::int64_t>(std::clamp(q, -4.0e9, 4.0e9));
}

} // namespace

VexaListBox::VexaListBox(std::int32_t tag, std::int32_t resourceId, const VexaBitmapFont& font, const Rect& bounds)
    : VexaControl(tag, bounds, true), resourceId_(resourceId), font_(font) {}

void VexaListBox::setItems(const std::vector<ListItem>& items) {
    if (&items != &items_) items_ = items;
    scrollOffset_ = std::clamp(scrollOffset_, 0, maxScrollOffset());
    markDirty();
}

void VexaListBox::setSelectedValue(std::int32_t value, bool notify) {
    if (value == selectedValue_) return;
    selectedValue_ = value;
    markDirty();
    if (notify) emitControlChanged(static_cast<float>(value));
}

std::string VexaListBox::selectedLabel() const {
    for (const ListItem& item : items_) {
        if (item.value == selectedValue_) return item.label;
    }
    return std::string();
}

std::int32_t VexaListBox::lineHeight() const {
    // Lines as tall as the closed box (rounded half away from zero), never below the minimum.
    const float h = bounds().height;
    if (!(h > static_cast<float>(kMinLineHeight))) return kMinLineHeight;
    return static_cast<std::int32_t>(std::round(std::min(h, 1.0e9f)));
}

std::int32_t VexaListBox::visibleLineCount() const {
    const std::int32_t n = itemCount(items_);
    if (n == 0) return 1;
    const double lh = lineHeight();
    const double space = editor() != nullptr
                             ? static_cast<double>(editor()->height()) - (static_cast<double>(bounds().y) + bounds().height) - 4.0
                             : lh * n;
    double v = std::floor(std::max(space, lh) / lh);
    if (!(v >= 1.0)) v = 1.0;  // also NaN
    if (v > n) v = n;
    return static_cast<std::int32_t>(v);
}

std::int32_t VexaListBox::maxScrollOffset() const { return std::max(0, itemCount(items_) - visibleLineCount()); }

Rect VexaListBox::popupBounds() const {
    float widest = 0.0f;
    for (const ListItem& item : items_) widest = std::max(widest, font_.scaledTextWidth(item.label));
    const Rect& b = bounds();
    return Rect{b.x, b.y + b.height, std::max(widest + 12.0f, b.width),
                static_cast<float>(visibleLineCount()) * static_cast<float>(lineHeight())};
}

std::int32_t VexaListBox::signedLineDelta(float dy) const {
    const double lh = lineHeight();
    const double q = dy >= 0.0f ? std::floor(dy / lh) : -std::floor(-static_cast<double>(dy) / lh);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(truncated(q, 0), INT32_MIN, INT32_MAX));
}

std::int32_t VexaListBox::indexForPoint(const Point& p) const {
    const Rect popup = popupBounds();
    const std::int64_t line = truncated((static_cast<double>(p.y) - popup.y) / lineHeight(), -1 - std::int64_t{INT32_MAX});
    const std::int64_t index = line + scrollOffset_;
    if (index < 0 || index >= itemCount(items_)) return -1;
    return static_cast<std::int32_t>(index);
}

bool VexaListBox::popupContains(const Point& p) const {
    const Rect r = popupBounds();
    return r.x <= p.x && p.x <= r.x + r.width && r.y <= p.y && p.y <= r.y + r.height;
}

bool VexaListBox::hitTest(const Point& p) const { return boundsContain(p) || (open_ && popupContains(p)); }

void VexaListBox::onPointerDown(const MouseEvent& event) {
    if (open_ && popupContains(event)) {
        tracking_ = true;
        moved_ = false;
        dragStartY_ = event.y;
        dragStartScroll_ = scrollOffset_;
        markDirty();
        return;
    }
    if (open_) {
        // A press on the box while the popup is open closes it without picking.
        open_ = false;
        openedByPress_ = false;
        tracking_ = false;
        moved_ = false;
    } else {
        open_ = true;
        openedByPress_ = true;
        tracking_ = true;
        moved_ = false;
        dragStartY_ = event.y;
        dragStartScroll_ = scrollOffset_;
    }
    markDirty();
}

void VexaListBox::onPointerMove(const MouseEvent& event) {
    if (!open_ || !tracking_) return;
    const float dy = event.y - dragStartY_;
    if (std::fabs(dy) >= kDragThreshold) moved_ = true;
    // The list follows the pointer: dragging down one line brings the previous item to the top.
    const std::int64_t wanted = std::int64_t{dragStartScroll_} - signedLineDelta(dy);
    const auto offset = static_cast<std::int32_t>(std::clamp<std::int64_t>(wanted, 0, maxScrollOffset()));
    if (offset == scrollOffset_) return;
    scrollOffset_ = offset;
    moved_ = true;
    markDirty();
}

void VexaListBox::onPointerUp(const MouseEvent& event) {
    tracking_ = false;
    if (moved_) {
        // A drag scrolls; it never picks, and the popup stays open.
        moved_ = false;
        openedByPress_ = false;
        markDirty();
        return;
    }
    if (openedByPress_) {
        openedByPress_ = false;
        // The click that opened the popup leaves it open unless it was released on a line.
        if (!popupContains(event)) return;
    }
    if (open_ && popupContains(event)) {
        const std::int32_t i = indexForPoint(event);
        if (i >= 0) {
            selectedValue_ = items_[static_cast<std::size_t>(i)].value;
            emitControlChanged(static_cast<float>(selectedValue_));
        }
    }
    open_ = false;
    openedByPress_ = false;
    markDirty();
}

void VexaListBox::onContextAttached(IVexaGuiRenderer& renderer) {
    if (backgroundTexture_.id == 0) backgroundTexture_ = renderer.createTexture(resourceId_);
    if (fontTexture_.id == 0) fontTexture_ = renderer.createTexture(font_.resourceId);
    if (backgroundQuad_.id == 0) backgroundQuad_ = renderer.createQuad(backgroundTexture_, bounds(), backgroundSource());
    if (popupRect_.id == 0) popupRect_ = renderer.createSolidRect(popupBounds(), kPopupColor);
}

void VexaListBox::onContextDetached(IVexaGuiRenderer& renderer) {
    for (auto& line : lineHandles_) destroyBitmapText(&renderer, line);
    lineHandles_.clear();
    if (popupRect_.id != 0) renderer.destroyVisual(popupRect_);
    destroyBitmapText(&renderer, labelHandles_);
    if (backgroundQuad_.id != 0) renderer.destroyVisual(backgroundQuad_);
    if (fontTexture_.id != 0) renderer.destroyTexture(fontTexture_);
    if (backgroundTexture_.id != 0) renderer.destroyTexture(backgroundTexture_);
    popupRect_ = VisualHandle{};
    backgroundQuad_ = VisualHandle{};
    fontTexture_ = TextureHandle{};
    backgroundTexture_ = TextureHandle{};
}

void VexaListBox::syncContext() {
    IVexaGuiRenderer* renderer = context();
    if (renderer == nullptr) return;
    if (backgroundQuad_.id == 0) onContextAttached(*renderer);
    const Rect& b = bounds();
    if (backgroundQuad_.id != 0) renderer->updateQuad(backgroundQuad_, b, backgroundSource());

    // Exactly one text line high, so the label's glyphs start one pixel above the box's top.
    const Rect labelRect{b.x + 4.0f, b.y - 1.0f, b.width - 8.0f, font_.lineHeight * font_.scale};
    syncBitmapText(*renderer, fontTexture_, labelHandles_, font_, labelRect, selectedLabel(), TextAlign::Left);

    const Rect popup = popupBounds();
    if (popupRect_.id != 0) renderer->updateSolidRect(popupRect_, popup, kPopupColor);

    const auto lines = static_cast<std::size_t>(visibleLineCount());
    while (lineHandles_.size() > lines) {
        destroyBitmapText(renderer, lineHandles_.back());
        lineHandles_.pop_back();
    }
    lineHandles_.resize(lines);

    const float lh = static_cast<float>(lineHeight());
    std::string lineText;
    for (std::size_t k = 0; k < lines; ++k) {
        const std::size_t index = static_cast<std::size_t>(scrollOffset_) + k;
        lineText.clear();
        if (index < items_.size()) {
            if (items_[index].value == selectedValue_) lineText = "> ";
            lineText += items_[index].label;
        }
        const Rect lineRect{popup.x + 4.0f, popup.y + static_cast<float>(k) * lh, popup.width - 8.0f, lh};
        syncBitmapText(*renderer, fontTexture_, lineHandles_[k], font_, lineRect, lineText, TextAlign::Left);
    }
}

void VexaListBox::collectSceneHandles(std::vector<VisualHandle>& out) const {
    appendHandle(out, backgroundQuad_);
    collectBitmapTextHandles(labelHandles_, out);
}

void VexaListBox::collectOverlaySceneHandles(std::vector<VisualHandle>& out) const {
    if (!open_) return;
    appendHandle(out, popupRect_);
    const std::size_t lines = std::min(static_cast<std::size_t>(visibleLineCount()), lineHandles_.size());
    for (std::size_t k = 0; k < lines; ++k) collectBitmapTextHandles(lineHandles_[k], out);
}

} // namespace vexagui
