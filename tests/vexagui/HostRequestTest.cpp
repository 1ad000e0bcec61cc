// The single pending host-request slot and the recording renderer's id rules, which the view
// tests rely on.
#include "RecordingRenderer.h"

#include <gtest/gtest.h>

namespace vexagui {
namespace {

TEST(HostRequest, NewerPostingReplacesOlderAndClearResets) {
    test::RecordingRenderer r;
    EXPECT_EQ(r.pendingRequest.kind, HostRequest::kNone);

    r.beginTextEntry(Rect{1, 2, 3, 4}, "abc");
    EXPECT_EQ(r.pendingRequest.kind, HostRequest::kTextEntry);
    EXPECT_EQ(r.pendingRequest.rect, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(r.pendingRequest.text, "abc");

    r.requestSaveFileDialog("Init");
    EXPECT_EQ(r.pendingRequest.kind, HostRequest::kSaveFileDialog);
    EXPECT_EQ(r.pendingRequest.rect, Rect{});  // the text entry's area is gone
    EXPECT_EQ(r.pendingRequest.text, "Init");

    r.requestOpenFileDialog();
    EXPECT_EQ(r.pendingRequest.kind, HostRequest::kOpenFileDialog);
    EXPECT_EQ(r.pendingRequest.text, "");

    r.requestSaveFileDialog(nullptr);
    EXPECT_EQ(r.pendingRequest.kind, HostRequest::kSaveFileDialog);
    EXPECT_EQ(r.pendingRequest.text, "");
    r.beginTextEntry(Rect{5, 5, 5, 5}, nullptr);
    EXPECT_EQ(r.pendingRequest.text, "");

    r.pendingRequest.clear();
    EXPECT_FALSE(r.pendingRequest.pending());
    EXPECT_EQ(r.pendingRequest.rect, Rect{});
    EXPECT_EQ(r.redrawRequests, 0);  // posting never asks for a frame
}

TEST(RecordingRenderer, SeparateCountersFromOneAndNoReuse) {
    test::RecordingRenderer r;
    const TextureHandle t1 = r.createTexture(128);
    const VisualHandle q1 = r.createQuad(t1, Rect{0, 0, 1, 1}, Rect{0, 0, 1, 1});
    const VisualHandle s2 = r.createSolidRect(Rect{}, Color{1, 2, 3, 4});
    EXPECT_EQ(t1.id, 1u);
    EXPECT_EQ(q1.id, 1u);
    EXPECT_EQ(s2.id, 2u);
    r.destroyVisual(q1);
    r.destroyTexture(t1);
    EXPECT_EQ(r.createTexture(128).id, 2u);
    EXPECT_EQ(r.createSolidRect(Rect{}, Color{}).id, 3u);

    // Stale and zero handles change nothing.
    r.updateQuad(q1, Rect{9, 9, 9, 9}, Rect{});
    r.updateSolidRect(VisualHandle{}, Rect{9, 9, 9, 9}, Color{});
    r.destroyVisual(VisualHandle{77});
    EXPECT_EQ(r.visuals.size(), 2u);
    EXPECT_EQ(r.visual(s2)->dst, Rect{});

    const VisualHandle scene[] = {s2, q1, s2, VisualHandle{}};
    r.setScene(scene, 4);
    EXPECT_EQ(r.scene.size(), 4u);
    EXPECT_EQ(r.sceneVisuals().size(), 2u);  // s2 twice; destroyed and zero entries are skipped
    r.setScene(nullptr, 0);
    EXPECT_TRUE(r.scene.empty());
}

TEST(ColorWord, LittleEndianLayoutIsAbgr) {
    const Color c = Color::fromWord(0xff0e1218u);
    EXPECT_EQ(c, (Color{0x18, 0x12, 0x0e, 0xff}));
    EXPECT_EQ(c.toWord(), 0xff0e1218u);
}

} // namespace
} // namespace vexagui
