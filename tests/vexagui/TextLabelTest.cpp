// Text labels and parameter read-outs.
#include "RecordingRenderer.h"
#include "TestFonts.h"
#include "vexagui/views/VexaEditor.h"
#include "vexagui/views/VexaHotspotButton.h"
#include "vexagui/views/VexaParamDisplay.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace vexagui {
namespace {

using test::RecordingRenderer;

TEST(TextLabel, SetTextRedrawsOnlyOnChangeAndQuadsFollowAtSync) {
    RecordingRenderer r;
    VexaEditor editor(565, 260);
    editor.setContext(&r);
    const VexaBitmapFont font = test::regularFont();
    auto& label = editor.addView<VexaTextLabel>(font, Rect{0, 0, 100, 20}, "AV");
    EXPECT_NE(label.texture().id, 0u);
    EXPECT_TRUE(label.handles().empty());  // glyphs are made by the first sync, not by attach

    editor.syncContext();
    ASSERT_EQ(label.handles().size(), 2u);
    EXPECT_EQ(r.visual(label.handles()[0])->dst.x, 39.5f);  // centred
    EXPECT_EQ(r.scene, label.handles());

    r.redrawRequests = 0;
    label.setText("AV");
    EXPECT_EQ(r.redrawRequests, 0);
    label.setText("A V!");
    EXPECT_EQ(r.redrawRequests, 1);
    EXPECT_EQ(label.handles().size(), 2u);  // unchanged until the next sync
    editor.syncContext();
    EXPECT_EQ(label.handles().size(), 4u);
    EXPECT_EQ(r.scene.size(), 3u);  // the space has no quad

    label.setText("");
    editor.syncContext();
    EXPECT_TRUE(label.handles().empty());
    EXPECT_TRUE(r.scene.empty());
    EXPECT_NE(r.resourceOf(label.texture()), -1);  // the texture stays

    editor.setContext(nullptr);
    EXPECT_EQ(label.texture().id, 0u);
    EXPECT_TRUE(r.textures.empty());
    EXPECT_TRUE(r.visuals.empty());
}

TEST(TextLabel, LabelsAndReadOutsNeverTakeThePointer) {
    VexaEditor editor(565, 260);
    std::vector<std::pair<int, float>> emitted;
    editor.onControlChanged = [&](int tag, float v) { emitted.emplace_back(tag, v); };
    const VexaBitmapFont font = test::regularFont();
    editor.addView<VexaHotspotButton>(907, Rect{0, 0, 100, 20});
    editor.addView<VexaTextLabel>(font, Rect{0, 0, 100, 20}, "caption");
    auto& readout = editor.addView<VexaParamDisplay>(font, Rect{0, 0, 100, 20}, "");
    EXPECT_EQ(readout.text(), "");
    editor.pointerDown(50, 10, 1);
    EXPECT_NE(editor.captured(), static_cast<VexaView*>(&readout));
    editor.pointerUp(50, 10, 0);
    EXPECT_EQ(emitted.size(), 1u);  // the click went through to the hotspot below
    editor.pointerDown(300, 100, 1);
    EXPECT_EQ(editor.captured(), nullptr);
}

} // namespace
} // namespace vexagui
