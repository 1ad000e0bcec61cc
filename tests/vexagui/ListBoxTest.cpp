// The drop-down list box: geometry, the open/track/pick/scroll state machine, its visuals.
#include "RecordingRenderer.h"
#include "TestFonts.h"
#include "vexagui/views/VexaEditor.h"
#include "vexagui/views/VexaListBox.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace vexagui {
namespace {

using test::RecordingRenderer;

std::vector<ListItem> numberedItems(int count, int firstValue = 0) {
    std::vector<ListItem> items;
    for (int i = 0; i < count; ++i) items.push_back(ListItem{firstValue + i, "Item " + std::to_string(i)});
    return items;
}

TEST(ListBox, LineHeightRoundsTheBoxHeightWithAMinimum) {
    const VexaBitmapFont font = test::regularFont();
    struct Case {
        float height;
        int line;
    } cases[] = {{12.4f, 13}, {20.5f, 21}, {20.49f, 20}, {13.0f, 13}, {0.0f, 13}, {-40.0f, 13},
                 {std::numeric_limits<float>::quiet_NaN(), 13}};
    for (const Case& c : cases) {
        VexaListBox box(40, 155, font, Rect{0, 0, 100, c.height});
        EXPECT_EQ(box.lineHeight(), c.line) << c.height;
    }
}

TEST(ListBox, VisibleLinesFollowTheSpaceBelowTheBox) {
    const VexaBitmapFont font = test::regularFont();
    struct Case {
        int items;
        float editorHeight;
        float boxY;
        int visible;
        int maxScroll;
    } cases[] = {
        {100, 800, 580, 9, 91},  // A = 800 - 600 - 4 = 196, 196 / 20
        {5, 800, 580, 5, 0},     // limited to the item count
        {0, 800, 580, 1, 0},     // empty: one line
        {10, 600, 580, 1, 9},    // no room: still one line
        {10, -1e30f, 580, 1, 9},
    };
    for (const Case& c : cases) {
        VexaEditor editor(565, c.editorHeight);
        auto& box = editor.addView<VexaListBox>(40, 155, font, Rect{0, c.boxY, 100, 20});
        box.setItems(numberedItems(c.items));
        EXPECT_EQ(box.visibleLineCount(), c.visible) << c.items << " items in " << c.editorHeight;
        EXPECT_EQ(box.maxScrollOffset(), c.maxScroll);
        EXPECT_EQ(box.popupBounds().height, static_cast<float>(c.visible * 20));
        EXPECT_EQ(box.popupBounds().y, c.boxY + 20);
    }
    // Without an editor every item fits.
    VexaListBox lone(40, 155, font, Rect{0, 0, 100, 20});
    lone.setItems(numberedItems(30));
    EXPECT_EQ(lone.visibleLineCount(), 30);
}

TEST(ListBox, PopupIsAsWideAsTheWidestLabelPlusMargin) {
    const VexaBitmapFont font = test::regularFont();
    VexaListBox box(40, 155, font, Rect{10, 0, 100, 13});
    EXPECT_EQ(box.popupBounds().width, 100.0f);  // empty list: the box's width
    // 'A' advances 7 (10.5 screen pixels), 'l' 3 (4.5): ten of each are 150 screen pixels.
    box.setItems({ListItem{1, "short"}, ListItem{2, "AAAAAAAAAAllllllllll"}});
    EXPECT_EQ(font.scaledTextWidth("AAAAAAAAAAllllllllll"), 150.0f);
    EXPECT_EQ(box.popupBounds().width, 162.0f);
    EXPECT_EQ(box.popupBounds().x, 10.0f);
}

TEST(ListBox, LineDeltaAndIndexTruncateTowardZero) {
    const VexaBitmapFont font = test::regularFont();
    VexaEditor editor(565, 800);
    auto& box = editor.addView<VexaListBox>(40, 155, font, Rect{0, 0, 100, 20});
    box.setItems(numberedItems(100));
    struct Case {
        float dy;
        int lines;
    } deltas[] = {{0, 0}, {19.9f, 0}, {20, 1}, {45, 2}, {-19.9f, 0}, {-20, -1}, {-45, -2},
                  {std::numeric_limits<float>::quiet_NaN(), 0}, {1e30f, 200000000}};
    for (const Case& c : deltas) {
        if (c.dy > 1e20f) {
            EXPECT_GT(box.signedLineDelta(c.dy), 0);  // saturates, no overflow
            continue;
        }
        EXPECT_EQ(box.signedLineDelta(c.dy), c.lines) << c.dy;
    }
    struct Index {
        float y;
        int index;
    } indices[] = {{20, 0}, {39.9f, 0}, {40, 1}, {790, 38}, {5, 0} /* 0.75 lines above truncates to 0 */,
                   {-1e30f, -1}, {1e30f, -1}};
    for (const Index& c : indices) EXPECT_EQ(box.indexForPoint(Point{10, c.y}), c.index) << c.y;
}

struct ListScreen {
    RecordingRenderer renderer;
    VexaEditor editor{565, 800};
    VexaBitmapFont font = test::regularFont();
    VexaListBox* box = nullptr;
    std::vector<std::pair<int, float>> emitted;

    explicit ListScreen(int items = 100) {
        editor.setContext(&renderer);
        editor.onControlChanged = [this](int tag, float v) { emitted.emplace_back(tag, v); };
        box = &editor.addView<VexaListBox>(40, 155, font, Rect{10, 580, 100, 20});  // popup from y 600, 9 lines
        box->setItems(numberedItems(items, 100));
    }
    void press(float y) { editor.pointerDown(20, y, 1); }
    void move(float y) { editor.pointerMove(20, y, 1); }
    void release(float y) { editor.pointerUp(20, y, 0); }
    void click(float y) {
        press(y);
        release(y);
    }
    // Centre of popup line k.
    static float line(int k) { return 600.0f + 20.0f * static_cast<float>(k) + 10.0f; }
};

TEST(ListBox, ClickOpensAndClickOnALinePicks) {
    ListScreen s;
    s.click(590);  // the box
    EXPECT_TRUE(s.box->isOpen());
    EXPECT_FALSE(s.box->openedByPress());
    EXPECT_TRUE(s.emitted.empty());

    s.click(ListScreen::line(3));
    EXPECT_FALSE(s.box->isOpen());
    EXPECT_EQ(s.box->selectedValue(), 103);
    EXPECT_EQ(s.emitted, (std::vector<std::pair<int, float>>{{40, 103.0f}}));

    s.click(590);
    s.click(ListScreen::line(3));  // picking the selected item emits again
    EXPECT_EQ(s.emitted.size(), 2u);

    s.click(590);
    s.click(590);  // a press on the box while open closes without picking
    EXPECT_FALSE(s.box->isOpen());
    EXPECT_EQ(s.emitted.size(), 2u);

    // Closed, the popup area is not part of the box.
    EXPECT_FALSE(s.box->hitTest(Point{20, ListScreen::line(3)}));
}

TEST(ListBox, PressOnBoxSlideOntoALineAndReleasePicks) {
    ListScreen s;
    s.press(598);
    s.move(600.5f);  // 2.5 pixels: under the drag threshold
    s.release(600.5f);
    EXPECT_FALSE(s.box->isOpen());
    EXPECT_EQ(s.box->selectedValue(), 100);
    EXPECT_EQ(s.emitted.size(), 1u);
}

TEST(ListBox, DraggingScrollsAndKeepsThePopupOpen) {
    ListScreen s;
    s.click(590);
    s.press(ListScreen::line(0));
    s.move(ListScreen::line(0) - 45);  // up 45 with L 20: two lines further down the list
    EXPECT_EQ(s.box->scrollOffset(), 2);
    s.release(ListScreen::line(0) - 45);
    EXPECT_TRUE(s.box->isOpen());
    EXPECT_TRUE(s.emitted.empty());

    s.press(ListScreen::line(0));
    s.move(ListScreen::line(0) + 45);  // down 45: back by two lines
    EXPECT_EQ(s.box->scrollOffset(), 0);
    s.move(ListScreen::line(0) + 200);  // not below 0
    EXPECT_EQ(s.box->scrollOffset(), 0);
    s.release(ListScreen::line(0) + 200);
    EXPECT_TRUE(s.box->isOpen());  // it moved: no pick

    s.press(ListScreen::line(1));
    s.move(ListScreen::line(1) - 1e6f);  // far up: clamped to the largest offset
    EXPECT_EQ(s.box->scrollOffset(), 91);
    s.release(ListScreen::line(1));
    s.press(ListScreen::line(1));
    s.move(ListScreen::line(1) + 2);  // 2 pixels: neither a drag nor a line
    s.release(ListScreen::line(1) + 2);
    EXPECT_EQ(s.box->selectedValue(), 192);  // line 1 at scroll 91
    EXPECT_FALSE(s.box->isOpen());
}

TEST(ListBox, ReleaseBelowTheLastItemPicksNothing) {
    ListScreen s(3);  // three lines, popup 600..660
    s.click(590);
    EXPECT_EQ(s.box->visibleLineCount(), 3);
    s.click(660);  // bottom edge: inside the popup, index 3 does not exist
    EXPECT_FALSE(s.box->isOpen());
    EXPECT_TRUE(s.emitted.empty());

    // Empty list: a one-line popup that picks nothing and closes.
    ListScreen e(0);
    e.click(590);
    EXPECT_EQ(e.box->popupBounds().height, 20.0f);
    e.click(ListScreen::line(0));
    EXPECT_FALSE(e.box->isOpen());
    EXPECT_TRUE(e.emitted.empty());

    // The opening click released outside the popup leaves it open without a redraw.
    ListScreen o;
    o.press(590);
    o.renderer.redrawRequests = 0;
    o.release(300);
    EXPECT_TRUE(o.box->isOpen());
    EXPECT_EQ(o.renderer.redrawRequests, 0);
    o.press(ListScreen::line(0));
    o.release(300);  // a later press in the popup released outside it closes it
    EXPECT_FALSE(o.box->isOpen());
    EXPECT_TRUE(o.emitted.empty());
}

TEST(ListBox, SetItemsClampsScrollAndSelectionNotifiesOnRequest) {
    ListScreen s;
    s.click(590);
    s.press(ListScreen::line(1));
    s.move(ListScreen::line(1) - 1e6f);
    s.release(ListScreen::line(1) - 1e6f);
    EXPECT_EQ(s.box->scrollOffset(), 91);
    s.box->setItems(numberedItems(20));
    EXPECT_EQ(s.box->scrollOffset(), 11);
    EXPECT_TRUE(s.box->isOpen());
    s.box->setItems(s.box->items());  // assigning to itself keeps the list
    EXPECT_EQ(s.box->items().size(), 20u);
    s.box->setItems({});
    EXPECT_EQ(s.box->scrollOffset(), 0);

    s.box->setItems(numberedItems(3));
    s.box->setSelectedValue(2, false);
    EXPECT_EQ(s.box->selectedLabel(), "Item 2");
    EXPECT_TRUE(s.emitted.empty());
    s.box->setSelectedValue(1, true);
    s.box->setSelectedValue(1, true);  // unchanged: nothing
    EXPECT_EQ(s.emitted, (std::vector<std::pair<int, float>>{{40, 1.0f}}));
    s.box->setSelectedValue(77, false);
    EXPECT_EQ(s.box->selectedLabel(), "");
}

TEST(ListBox, VisualsShowLabelAndOverlayLinesWithTheMark) {
    ListScreen s(4);
    s.box->setSelectedValue(101, false);
    s.editor.syncContext();
    const RecordingRenderer& r = s.renderer;

    // Closed: background, then the selected label's glyphs; no popup.
    ASSERT_EQ(s.box->labelHandles().size(), 6u);  // "Item 1"
    std::vector<VisualHandle> normal{s.box->backgroundQuad()};
    collectBitmapTextHandles(s.box->labelHandles(), normal);
    EXPECT_EQ(r.scene, normal);
    EXPECT_EQ(r.visual(s.box->backgroundQuad())->src, (Rect{0, 0, 100, 20}));
    EXPECT_EQ(r.resourceOf(s.box->backgroundTexture()), 155);
    EXPECT_EQ(r.resourceOf(s.box->fontTexture()), 20000);
    // One text line high, one pixel above the box: y = 579 + max(0, (12 - 12) / 2).
    EXPECT_EQ(r.visual(s.box->labelHandles()[0])->dst.x, 14.0f);
    EXPECT_EQ(r.visual(s.box->labelHandles()[0])->dst.y, 579.0f);

    s.click(590);
    s.editor.syncContext();
    ASSERT_EQ(s.box->lineHandles().size(), 4u);
    EXPECT_EQ(s.box->lineHandles()[1].size(), 8u);  // "> Item 1"
    EXPECT_EQ(s.box->lineHandles()[0].size(), 6u);
    std::vector<VisualHandle> expected = normal;
    expected.push_back(s.box->popupRect());
    for (const auto& line : s.box->lineHandles()) collectBitmapTextHandles(line, expected);
    EXPECT_EQ(r.scene, expected);
    const auto* popup = r.visual(s.box->popupRect());
    EXPECT_EQ(popup->color, (Color{0x12, 0x0A, 0x02, 0xFF}));
    EXPECT_EQ(popup->dst, s.box->popupBounds());
    // Line 2's first glyph: x = popup x + 4, centred in its 20-pixel line: 600 + 40 + 4.
    EXPECT_EQ(r.visual(s.box->lineHandles()[2][0])->dst, (Rect{14, 644, 4.5f, 12}));  // 'I'

    // Fewer items: surplus line lists and their quads go.
    s.box->setItems(numberedItems(2, 100));
    s.editor.syncContext();
    EXPECT_EQ(s.box->lineHandles().size(), 2u);

    s.editor.setContext(nullptr);
    EXPECT_TRUE(r.visuals.empty());
    EXPECT_TRUE(r.textures.empty());
    EXPECT_TRUE(s.box->lineHandles().empty());
    EXPECT_EQ(s.box->popupRect().id, 0u);
}

} // namespace
} // namespace vexagui
