// The single-line text field: caret placement, selection, typing and every editing key.
#include "RecordingRenderer.h"
#include "TestFonts.h"
#include "vexagui/views/VexaEditor.h"
#include "vexagui/views/VexaKickButton.h"
#include "vexagui/views/VexaTextEdit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace vexagui {
namespace {

using test::RecordingRenderer;

struct FieldScreen {
    RecordingRenderer renderer;
    VexaEditor editor{565, 260};
    VexaTextEdit* field = nullptr;

    explicit FieldScreen(const std::string& text, const VexaBitmapFont& font = test::regularFont()) {
        editor.setContext(&renderer);
        field = &editor.addView<VexaTextEdit>(font, Rect{10, 20, 200, 20}, text);
    }
    void select(std::size_t anchor, std::size_t cursor) {
        field->setCursor(anchor, false);
        field->setCursor(cursor, true);
        renderer.redrawRequests = 0;
    }
};

TEST(TextEdit, EveryEditingKey) {
    struct Case {
        const char* name;
        std::size_t anchor, cursor;
        int key;
        std::uint32_t mods;
        const char* text;
        std::size_t expectCursor, expectAnchor;
        bool redraw;
    } cases[] = {
        {"select all with Control", 3, 3, kKeySelectAll, kModControl, "abcdefgh", 8, 0, true},
        {"select all with Command", 5, 1, kKeySelectAll, kModCommand, "abcdefgh", 8, 0, true},
        {"select all without a modifier", 3, 3, kKeySelectAll, 0, "abcdefgh", 3, 3, false},
        {"select all with Shift only", 3, 3, kKeySelectAll, kModShift, "abcdefgh", 3, 3, false},
        {"backspace erases the selection", 2, 6, kKeyBackspace, 0, "abgh", 2, 2, true},
        {"backspace on a reversed selection", 6, 2, kKeyBackspace, 0, "abgh", 2, 2, true},
        {"backspace at the start", 0, 0, kKeyBackspace, 0, "abcdefgh", 0, 0, false},
        {"backspace", 3, 3, kKeyBackspace, 0, "abdefgh", 2, 2, true},
        {"delete erases the selection", 6, 2, kKeyDelete, 0, "abgh", 2, 2, true},
        {"delete at the end", 8, 8, kKeyDelete, 0, "abcdefgh", 8, 8, false},
        {"delete", 3, 3, kKeyDelete, 0, "abcefgh", 3, 3, true},
        {"left collapses to the selection start", 2, 6, kKeyLeft, 0, "abcdefgh", 2, 2, true},
        {"left at the start", 0, 0, kKeyLeft, 0, "abcdefgh", 0, 0, false},
        {"left", 5, 5, kKeyLeft, 0, "abcdefgh", 4, 4, true},
        {"shift left selects", 5, 5, kKeyLeft, kModShift, "abcdefgh", 4, 5, true},
        {"shift left at the start", 0, 0, kKeyLeft, kModShift, "abcdefgh", 0, 0, false},
        {"shift left moves the cursor of a selection", 2, 6, kKeyLeft, kModShift, "abcdefgh", 5, 2, true},
        {"right collapses to the selection end", 6, 2, kKeyRight, 0, "abcdefgh", 6, 6, true},
        {"right at the end", 8, 8, kKeyRight, 0, "abcdefgh", 8, 8, false},
        {"right", 3, 3, kKeyRight, 0, "abcdefgh", 4, 4, true},
        {"shift right selects", 3, 3, kKeyRight, kModShift, "abcdefgh", 4, 3, true},
        {"shift right at the end", 8, 8, kKeyRight, kModShift, "abcdefgh", 8, 8, false},
        {"shift right shrinks a selection", 6, 2, kKeyRight, kModShift, "abcdefgh", 3, 6, true},
        {"home", 5, 5, kKeyHome, 0, "abcdefgh", 0, 0, true},
        {"home at the start still counts", 0, 0, kKeyHome, 0, "abcdefgh", 0, 0, true},
        {"shift home", 5, 5, kKeyHome, kModShift, "abcdefgh", 0, 5, true},
        {"end", 2, 2, kKeyEnd, 0, "abcdefgh", 8, 8, true},
        {"shift end", 2, 2, kKeyEnd, kModShift, "abcdefgh", 8, 2, true},
        {"other keys", 3, 3, 65, kModControl, "abcdefgh", 3, 3, false},
    };
    for (const Case& c : cases) {
        FieldScreen s("abcdefgh");
        s.select(c.anchor, c.cursor);
        s.field->onKeyDown(KeyEvent{c.key, c.mods});
        EXPECT_EQ(s.field->text(), c.text) << c.name;
        EXPECT_EQ(s.field->cursor(), c.expectCursor) << c.name;
        EXPECT_EQ(s.field->anchor(), c.expectAnchor) << c.name;
        EXPECT_EQ(s.renderer.redrawRequests > 0, c.redraw) << c.name;
    }
}

TEST(TextEdit, CaretGoesToTheNearestCharacterBoundary) {
    FieldScreen s("AV");  // origin x 12; 'A' spans 12..22.5, 'V' 22.5..33
    struct Case {
        float x;
        std::size_t position;
    } cases[] = {{5, 0}, {12, 0}, {17.2f, 0}, {17.25f, 1}, {27.7f, 1}, {27.75f, 2}, {1000, 2},
                 {std::numeric_limits<float>::quiet_NaN(), 2}};
    for (const Case& c : cases) EXPECT_EQ(s.field->cursorForPoint(Point{c.x, -500}), c.position) << c.x;

    s.field->setCursor(99, false);  // limited to the length
    EXPECT_EQ(s.field->cursor(), 2u);
    EXPECT_EQ(s.field->anchor(), 2u);
}

TEST(TextEdit, PressFocusesAndPlacesCaretDragSelects) {
    FieldScreen s("AVAV");
    auto& button = s.editor.addView<VexaKickButton>(1, 141, Rect{300, 0, 30, 26});
    s.editor.syncContext();
    EXPECT_FALSE(s.field->editing());
    const std::size_t before = s.renderer.scene.size();  // no caret before the first press
    EXPECT_EQ(before, 4u + 1u);  // four glyphs, the button

    s.editor.pointerDown(20, 30, 1);  // 8 pixels in: right of the first glyph's middle (5.25)
    EXPECT_EQ(s.editor.focused(), s.field);
    EXPECT_TRUE(s.field->editing());
    EXPECT_EQ(s.field->cursor(), 1u);
    s.editor.pointerMove(500, 30, 1);  // drag right past the end
    s.editor.pointerUp(500, 30, 0);
    EXPECT_EQ(s.field->cursor(), 4u);
    EXPECT_EQ(s.field->anchor(), 1u);

    s.editor.syncContext();
    const auto& rects = s.field->selectionRects();
    ASSERT_EQ(rects.size(), 3u);
    const auto* first = s.renderer.visual(rects[0]);
    EXPECT_EQ(first->dst, (Rect{22.5f, 24.0f, 10.5f, 12.0f}));  // line centred in the 20-pixel field
    EXPECT_EQ(first->color, (Color{0x44, 0x26, 0x0A, 0xFF}));
    const auto* caret = s.renderer.visual(s.field->caret());
    EXPECT_EQ(caret->dst, (Rect{12 + 42.0f, 24.0f, 1.0f, 12.0f}));
    EXPECT_EQ(caret->color, (Color{0xD7, 0x87, 0x2C, 0xFF}));
    // Selection behind the glyphs, caret on top, button after the field.
    std::vector<VisualHandle> expected(rects.begin(), rects.end());
    collectBitmapTextHandles(s.field->handles(), expected);
    expected.push_back(s.field->caret());
    expected.push_back(button.quad());
    EXPECT_EQ(s.renderer.scene, expected);

    // Focus moves away; the caret stays shown but keys no longer reach the field.
    s.editor.pointerDown(310, 10, 1);
    s.editor.pointerUp(310, 10, 0);
    EXPECT_EQ(s.editor.focused(), nullptr);
    s.editor.keyDown(kKeyBackspace, 0);
    s.editor.textInput("zz");
    EXPECT_EQ(s.field->text(), "AVAV");
    s.editor.syncContext();
    EXPECT_NE(std::find(s.renderer.scene.begin(), s.renderer.scene.end(), s.field->caret()), s.renderer.scene.end());
}

TEST(TextEdit, TypingReplacesTheSelectionAndCountsBytes) {
    FieldScreen s("hello");
    s.select(1, 4);
    s.field->onTextInput("EY");
    EXPECT_EQ(s.field->text(), "hEYo");
    EXPECT_EQ(s.field->cursor(), 3u);
    EXPECT_EQ(s.field->anchor(), 3u);
    EXPECT_GT(s.renderer.redrawRequests, 0);

    s.field->onTextInput("\xC3\xA9");  // a two-byte character
    EXPECT_EQ(s.field->cursor(), 5u);
    s.editor.syncContext();
    ASSERT_EQ(s.field->handles().size(), 6u);
    const auto& q = s.field->font().glyph('?');
    for (std::size_t i : {3u, 4u}) EXPECT_EQ(s.renderer.visual(s.field->handles()[i])->src, (Rect{q.x, q.y, q.w, q.h}));

    s.field->onTextInput("");
    s.field->onTextInput(nullptr);
    EXPECT_EQ(s.field->text(), "hEY\xC3\xA9o");
}

TEST(TextEdit, SelectedZeroWidthByteIsStillHighlighted) {
    VexaBitmapFont font = test::regularFont();
    VexaBitmapFont::Glyph space = font.glyph(' ');
    space.advance = 0.0f;
    font.setGlyph(' ', space);
    FieldScreen s("A B", font);
    s.select(1, 2);
    s.editor.syncContext();
    ASSERT_EQ(s.field->selectionRects().size(), 1u);
    EXPECT_EQ(s.renderer.visual(s.field->selectionRects()[0])->dst.width, 1.0f);

    s.select(2, 2);  // collapsing removes the rectangle
    s.editor.syncContext();
    EXPECT_TRUE(s.field->selectionRects().empty());
    EXPECT_EQ(s.renderer.count(RecordingRenderer::Op::kDestroyVisual), 1u);
}

TEST(TextEdit, TextReplacedUnderTheCaretIsEditedSafely) {
    FieldScreen s("abcdef");
    s.select(2, 6);
    s.field->setText("ab");  // the caret and anchor now lie past the end
    s.editor.syncContext();
    EXPECT_TRUE(s.field->selectionRects().empty());
    s.field->onKeyDown(KeyEvent{kKeyBackspace, 0});
    EXPECT_EQ(s.field->text(), "a");
    EXPECT_EQ(s.field->cursor(), 1u);
    s.field->setText("");
    s.field->onTextInput("x");
    EXPECT_EQ(s.field->text(), "x");
    EXPECT_EQ(s.field->cursor(), 1u);
}

TEST(TextEdit, DetachReleasesEverything) {
    FieldScreen s("abc");
    s.editor.pointerDown(15, 25, 1);
    s.editor.pointerMove(100, 25, 1);
    s.editor.syncContext();
    EXPECT_FALSE(s.field->selectionRects().empty());
    s.editor.setContext(nullptr);
    EXPECT_TRUE(s.renderer.visuals.empty());
    EXPECT_TRUE(s.renderer.textures.empty());
    EXPECT_EQ(s.field->caret().id, 0u);
    EXPECT_EQ(s.field->texture().id, 0u);
    EXPECT_TRUE(s.field->selectionRects().empty());
}

} // namespace
} // namespace vexagui
