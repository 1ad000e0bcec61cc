// A drop-down chooser: a bitmap box showing the selected item's label that opens a popup list
// below itself, drawn above every other view. A click on a line picks it (the item's integer
// value is emitted); dragging inside the popup scrolls it.
#pragma once

#include "vexagui/views/TextLayout.h"
#include "vexagui/views/VexaControl.h"

#include <string>
#include <vector>

namespace vexagui {

struct ListItem {
    std::int32_t value = 0;  // what the list box selects by and emits; need not be the position
    std::string label;
};

class VexaListBox : public VexaControl {
public:
    // Minimum popup line height, logical pixels.
    static constexpr std::int32_t kMinLineHeight = 13;
    // Vertical travel after which a press counts as a drag rather than a click.
    static constexpr float kDragThreshold = 3.0f;
    // Fill of the popup: r 0x12, g 0x0A, b 0x02.
    static constexpr Color kPopupColor{0x12, 0x0A, 0x02, 0xFF};

    VexaListBox(std::int32_t tag, std::int32_t resourceId, const VexaBitmapFont& font, const Rect& bounds);

    void setItems(const std::vector<ListItem>& items);
    // Emits the value when notify is set and it differs from the current one.
    void setSelectedValue(std::int32_t value, bool notify);
    // Label of the first item with the selected value, or empty.
    std::string selectedLabel() const;

    std::int32_t lineHeight() const;
    std::int32_t visibleLineCount() const;
    std::int32_t maxScrollOffset() const;
    Rect popupBounds() const;
    // dy in whole lines, truncated toward zero.
    std::int32_t signedLineDelta(float dy) const;
    // Item under a point of the popup, or -1.
    std::int32_t indexForPoint(const Point& p) const;

    bool hitTest(const Point& p) const override;
    void onPointerDown(const MouseEvent& event) override;
    void onPointerMove(const MouseEvent& event) override;
    void onPointerUp(const MouseEvent& event) override;
    void onContextAttached(IVexaGuiRenderer& renderer) override;
    void onContextDetached(IVexaGuiRenderer& renderer) override;
    void syncContext() override;
    void collectSceneHandles(std::vector<VisualHandle>& out) const override;
    bool hasOverlay() const override { return open_; }
    void collectOverlaySceneHandles(std::vector<VisualHandle>& out) const override;

    std::int32_t resourceId() const { return resourceId_; }
    const std::vector<ListItem>& items() const { return items_; }
    std::int32_t selectedValue() const { return selectedValue_; }
    bool isOpen() const { return open_; }
    bool openedByPress() const { return openedByPress_; }
    bool tracking() const { return tracking_; }
    bool moved() const { return moved_; }
    std::int32_t scrollOffset() const { return scrollOffset_; }
    const VexaBitmapFont& font() const { return font_; }
    TextureHandle backgroundTexture() const { return backgroundTexture_; }
    TextureHandle fontTexture() const { return fontTexture_; }
    VisualHandle backgroundQuad() const { return backgroundQuad_; }
    VisualHandle popupRect() const { return popupRect_; }
    const std::vector<VisualHandle>& labelHandles() const { return labelHandles_; }
    const std::vector<std::vector<VisualHandle>>& lineHandles() const { return lineHandles_; }

private:
    bool popupContains(const Point& p) const;
    Rect backgroundSource() const { return Rect{0.0f, 0.0f, bounds().width, bounds().height}; }

    std::int32_t resourceId_;
    std::vector<ListItem> items_;
    std::int32_t selectedValue_ = 0;
    bool open_ = false;
    bool openedByPress_ = false;
    bool tracking_ = false;
    bool moved_ = false;
    float dragStartY_ = 0.0f;
    std::int32_t dragStartScroll_ = 0;
    std::int32_t scrollOffset_ = 0;
    VexaBitmapFont font_;
    TextureHandle backgroundTexture_;
    TextureHandle fontTexture_;
    VisualHandle backgroundQuad_;
    std::vector<VisualHandle> labelHandles_;
    VisualHandle popupRect_;
    std::vector<std::vector<VisualHandle>> lineHandles_;
};

} // namespace vexagui
