// What clicks and drags do to the bitmap controls, and which quads they draw.
#include "RecordingRenderer.h"
#include "vexagui/views/VexaAnimKnob.h"
#include "vexagui/views/VexaBitmapView.h"
#include "vexagui/views/VexaEditor.h"
#include "vexagui/views/VexaHotspotButton.h"
#include "vexagui/views/VexaKickButton.h"
#include "vexagui/views/VexaMultiButton.h"
#include "vexagui/views/VexaOverlayBitmap.h"
#include "vexagui/views/VexaSolidRectView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace vexagui {
namespace {

using test::RecordingRenderer;
using Emitted = std::vector<std::pair<int, float>>;

struct Screen {
    RecordingRenderer renderer;
    VexaEditor editor{565, 260};
    Emitted emitted;

    Screen() {
        editor.setContext(&renderer);
        editor.onControlChanged = [this](int tag, float v) { emitted.emplace_back(tag, v); };
    }
    void click(float x, float y) { clickFrom(x, y, x, y); }
    void clickFrom(float x0, float y0, float x1, float y1) {
        editor.pointerDown(x0, y0, kButtonPrimary);
        editor.pointerMove(x1, y1, kButtonPrimary);
        editor.pointerUp(x1, y1, 0);
    }
    Rect sourceOf(VisualHandle h) const { return renderer.visual(h)->src; }
};

TEST(BitmapControls, FilmstripFrameRoundsHalvesAwayFromZero) {
    struct Case {
        int frames;
        float value;
        int frame;
    } cases[] = {
        {0, 0.7f, 0}, {1, 0.7f, 0}, {-5, 1.0f, 0},
        {64, 0.5f, 32},           // 31.5 rounds up
        {64, 0.49f / 63.0f, 0},   // 0.49 frames
        {63, 0.25f, 16},          // 15.5
        {63, 0.75f, 47},          // 46.5
        {63, 0.2499f, 15},
        {63, 1.0f, 62},
        {63, 0.0f, 0},
        {2, 0.5f, 1},
    };
    for (const Case& c : cases) {
        VexaAnimKnob knob(1, 131, Rect{0, 0, 41, 41}, c.frames);
        knob.setNormalizedValue(c.value);
        EXPECT_EQ(knob.frameIndex(), c.frame) << c.frames << " frames, value " << c.value;
        EXPECT_EQ(filmstripFrameIndex(c.value, c.frames), c.frame);
    }
}

TEST(BitmapControls, KnobDragsByVerticalTravelAndEmitsEveryChange) {
    Screen s;
    auto& knob = s.editor.addView<VexaAnimKnob>(5, 131, Rect{10, 20, 41, 41}, 63);
    knob.setNormalizedValue(0.2f);
    EXPECT_TRUE(s.emitted.empty());  // host-side updates do not echo

    s.editor.pointerDown(30, 40, 1);
    s.editor.pointerMove(400, -60, 1);  // 100 up; x plays no part, nor leaving the knob
    ASSERT_EQ(s.emitted.size(), 1u);
    EXPECT_EQ(s.emitted[0].first, 5);
    EXPECT_FLOAT_EQ(s.emitted[0].second, 0.65f);
    EXPECT_FLOAT_EQ(knob.normalizedValue(), 0.65f);

    s.editor.pointerMove(30, -200, 1);  // beyond the range: clamped to 1
    s.editor.pointerMove(30, -300, 1);  // still 1: nothing more
    s.editor.pointerMove(30, -60, 1);   // unchanged position again changes the value back
    s.editor.pointerUp(30, -60, 0);
    ASSERT_EQ(s.emitted.size(), 3u);
    EXPECT_EQ(s.emitted[1].second, 1.0f);
    EXPECT_FLOAT_EQ(s.emitted[2].second, 0.65f);

    // A new gesture starts from the value reached: dragging down 1000 pixels bottoms out at 0.
    s.editor.pointerDown(30, 40, 1);
    s.editor.pointerMove(30, 1040, 1);
    s.editor.pointerUp(30, 1040, 0);
    EXPECT_EQ(s.emitted.back().second, 0.0f);

    // The quad shows the frame of the value: 0.5 of 63 frames is frame 31 of a 41-pixel strip.
    knob.setNormalizedValue(0.5f);
    s.editor.syncContext();
    EXPECT_EQ(s.sourceOf(knob.quad()), (Rect{0, 31 * 41.0f, 41, 41}));
    EXPECT_EQ(s.renderer.visual(knob.quad())->dst, (Rect{10, 20, 41, 41}));
    EXPECT_EQ(s.renderer.resourceOf(knob.texture()), 131);
}

TEST(BitmapControls, SetNormalizedValueClampsAndRedrawsOnlyOnChange) {
    struct Case {
        float in;
        float stored;
    } cases[] = {
        {0.4f, 0.4f}, {1.5f, 1.0f}, {-2.0f, 0.0f},
        {std::numeric_limits<float>::infinity(), 1.0f},
        {std::numeric_limits<float>::quiet_NaN(), 0.0f},  // a NaN never reaches the control
    };
    for (const Case& c : cases) {
        Screen s;
        auto& knob = s.editor.addView<VexaAnimKnob>(1, 131, Rect{0, 0, 41, 41}, 63);
        auto& multi = s.editor.addView<VexaMultiButton>(2, 141, Rect{50, 0, 30, 26}, 3);
        knob.setNormalizedValue(0.7f);
        multi.setNormalizedValue(0.7f);
        s.renderer.redrawRequests = 0;
        knob.setNormalizedValue(c.in);
        multi.setNormalizedValue(c.in);
        EXPECT_EQ(knob.normalizedValue(), c.stored) << c.in;
        EXPECT_EQ(multi.normalizedValue(), c.stored) << c.in;
        EXPECT_EQ(s.renderer.redrawRequests, 2);
        knob.setNormalizedValue(c.in);  // same again: no redraw
        multi.setNormalizedValue(c.in);
        EXPECT_EQ(s.renderer.redrawRequests, 2);
        EXPECT_TRUE(s.emitted.empty());
    }
}

TEST(BitmapControls, NanPointerPositionDoesNotMoveKnob) {
    Screen s;
    auto& knob = s.editor.addView<VexaAnimKnob>(1, 131, Rect{0, 0, 41, 41}, 63);
    knob.setNormalizedValue(0.3f);
    s.editor.pointerDown(10, 10, 1);
    s.editor.pointerMove(10, std::numeric_limits<float>::quiet_NaN(), 1);
    EXPECT_FLOAT_EQ(knob.normalizedValue(), 0.3f);
    EXPECT_TRUE(s.emitted.empty());
}

TEST(BitmapControls, MultiButtonCyclesThroughExactStates) {
    struct Case {
        int states;
        float hostValue;
        std::vector<float> clicks;
    } cases[] = {
        {3, 0.0f, {0.5f, 1.0f, 0.0f, 0.5f}},
        {2, 0.0f, {1.0f, 0.0f, 1.0f}},
        {1, 0.0f, {0.0f, 0.0f}},
        {0, 0.0f, {0.0f}},
        {3, 0.3f, {1.0f, 0.0f}},  // host-set 0.3 shows frame 1 (0.6 rounds to 1)
        {5, 0.6f, {0.75f, 1.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        Screen s;
        auto& b = s.editor.addView<VexaMultiButton>(9, 148, Rect{10, 10, 30, 39}, c.states);
        b.setNormalizedValue(c.hostValue);
        for (std::size_t i = 0; i < c.clicks.size(); ++i) s.click(20, 20);
        ASSERT_EQ(s.emitted.size(), c.clicks.size()) << c.states;
        for (std::size_t i = 0; i < c.clicks.size(); ++i) {
            EXPECT_EQ(s.emitted[i], std::make_pair(9, c.clicks[i])) << c.states << " states, click " << i;
        }
    }
}

TEST(BitmapControls, MultiButtonReleaseOutsideKeepsValueAndDrawsFrame) {
    Screen s;
    auto& b = s.editor.addView<VexaMultiButton>(9, 148, Rect{10, 10, 30, 39}, 3);
    s.editor.pointerDown(20, 20, 1);
    EXPECT_TRUE(b.pressed());
    s.editor.pointerUp(41, 20, 0);  // just outside
    EXPECT_FALSE(b.pressed());
    EXPECT_TRUE(s.emitted.empty());
    EXPECT_EQ(b.normalizedValue(), 0.0f);
    s.click(40, 49);  // the far corner is inside
    s.click(40, 49);
    s.editor.syncContext();
    EXPECT_EQ(b.frameIndex(), 2);
    EXPECT_EQ(s.sourceOf(b.quad()), (Rect{0, 78, 30, 39}));
}

TEST(BitmapControls, KickAndHotspotEmitOnlyForReleasesInside) {
    struct Case {
        float releaseX, releaseY;
        bool emits;
    } cases[] = {
        {15, 15, true}, {10, 10, true}, {40, 36, true},  // edges count
        {41, 15, false}, {15, 9.5f, false}, {300, 200, false},
    };
    for (const Case& c : cases) {
        Screen s;
        auto& kick = s.editor.addView<VexaKickButton>(909, 141, Rect{10, 10, 30, 26});
        auto& hot = s.editor.addView<VexaHotspotButton>(907, Rect{100, 10, 30, 26});
        s.editor.syncContext();
        EXPECT_EQ(s.sourceOf(kick.quad()), (Rect{0, 0, 30, 26}));

        s.editor.pointerDown(20, 20, 1);
        EXPECT_TRUE(kick.pressed());
        s.editor.syncContext();
        EXPECT_EQ(s.sourceOf(kick.quad()), (Rect{0, 26, 30, 26}));  // held frame
        s.editor.pointerUp(c.releaseX, c.releaseY, 0);
        EXPECT_FALSE(kick.pressed());
        s.editor.syncContext();
        EXPECT_EQ(s.sourceOf(kick.quad()), (Rect{0, 0, 30, 26}));  // back to released, either way

        s.editor.pointerDown(110, 20, 1);
        EXPECT_TRUE(hot.pressed());
        s.editor.pointerUp(c.releaseX + 90, c.releaseY, 0);
        EXPECT_FALSE(hot.pressed());

        const Emitted expected = c.emits ? Emitted{{909, 1.0f}, {907, 1.0f}} : Emitted{};
        EXPECT_EQ(s.emitted, expected) << c.releaseX << "," << c.releaseY;
        // The hotspot draws nothing: only the kick button's quad is in the scene.
        EXPECT_EQ(s.renderer.scene, (std::vector<VisualHandle>{kick.quad()}));
    }
}

TEST(BitmapControls, OverlayDismissesOnClickAndDrawsAboveEverything) {
    Screen t;
    auto& panel = t.editor.addView<VexaBitmapView>(128, Rect{0, 0, 565, 260});
    auto& button = t.editor.addView<VexaHotspotButton>(907, Rect{10, 10, 30, 30});
    auto& about = t.editor.addView<VexaOverlayBitmap>(143, Rect{0, 0, 565, 260});
    auto& knob = t.editor.addView<VexaAnimKnob>(1, 131, Rect{100, 100, 41, 41}, 63);
    (void)button;

    t.editor.syncContext();
    EXPECT_EQ(t.renderer.scene, (std::vector<VisualHandle>{panel.quad(), knob.quad()}));  // hidden: not drawn
    t.click(20, 20);  // hidden overlay lets the click through
    EXPECT_EQ(t.emitted, (Emitted{{907, 1.0f}}));

    about.show(true);
    t.editor.syncContext();
    EXPECT_EQ(t.renderer.scene, (std::vector<VisualHandle>{panel.quad(), knob.quad(), about.quad()}));
    t.renderer.redrawRequests = 0;
    t.clickFrom(20, 20, 400, 400);  // released far away: still dismissed, nothing else fired
    EXPECT_FALSE(about.shown());
    EXPECT_EQ(t.emitted.size(), 1u);
    EXPECT_GE(t.renderer.redrawRequests, 1);
    t.editor.syncContext();
    EXPECT_EQ(t.renderer.scene, (std::vector<VisualHandle>{panel.quad(), knob.quad()}));

    // A later view still wins the hit over a shown overlay (no overlay priority).
    about.show(true);
    t.click(110, 110);
    EXPECT_TRUE(about.shown());

    // The bitmap view never takes a hit and draws its whole image at its bounds.
    EXPECT_FALSE(panel.hitTest(Point{5, 5}));
    EXPECT_EQ(t.sourceOf(panel.quad()), (Rect{0, 0, 565, 260}));
    EXPECT_EQ(t.renderer.resourceOf(panel.texture()), 128);
}

TEST(BitmapControls, SolidRectRedrawsOnlyWhenColourChanges) {
    Screen s;
    auto& rect = s.editor.addView<VexaSolidRectView>(Rect{1, 2, 3, 4}, Color::fromWord(0xff0e1218u));
    s.renderer.redrawRequests = 0;
    rect.setColor(Color{0x18, 0x12, 0x0e, 0xff});
    EXPECT_EQ(s.renderer.redrawRequests, 0);
    rect.setColor(Color{0x18, 0x12, 0x0e, 0xfe});
    EXPECT_EQ(s.renderer.redrawRequests, 1);
    s.editor.syncContext();
    const auto* v = s.renderer.visual(rect.visual());
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->color, (Color{0x18, 0x12, 0x0e, 0xfe}));
    EXPECT_EQ(v->dst, (Rect{1, 2, 3, 4}));
}

TEST(BitmapControls, DetachReleasesQuadBeforeTextureAndSyncRecreates) {
    Screen s;
    auto& knob = s.editor.addView<VexaAnimKnob>(1, 131, Rect{0, 0, 41, 41}, 63);
    const VisualHandle quad = knob.quad();
    const TextureHandle texture = knob.texture();
    s.renderer.clearCalls();
    s.editor.setContext(nullptr);
    ASSERT_EQ(s.renderer.calls.size(), 2u);
    EXPECT_EQ(s.renderer.calls[0].op, RecordingRenderer::Op::kDestroyVisual);
    EXPECT_EQ(s.renderer.calls[0].handle, quad.id);
    EXPECT_EQ(s.renderer.calls[1].op, RecordingRenderer::Op::kDestroyTexture);
    EXPECT_EQ(s.renderer.calls[1].handle, texture.id);
    EXPECT_EQ(knob.quad().id, 0u);

    // Values still change and controls still emit without a renderer.
    s.editor.pointerDown(10, 10, 1);
    s.editor.pointerMove(10, 0, 1);
    EXPECT_EQ(s.emitted.size(), 1u);

    s.editor.setContext(&s.renderer);
    EXPECT_GT(knob.quad().id, quad.id);  // fresh ids, never reused

    // A quad the renderer could not create is retried by the next sync, on the same texture.
    s.editor.setContext(nullptr);
    s.renderer.failVisualCreation = true;
    s.editor.setContext(&s.renderer);
    EXPECT_EQ(knob.quad().id, 0u);
    EXPECT_NE(knob.texture().id, 0u);
    const TextureHandle kept = knob.texture();
    s.renderer.failVisualCreation = false;
    s.editor.syncContext();
    EXPECT_NE(s.renderer.visual(knob.quad()), nullptr);
    EXPECT_EQ(s.renderer.visual(knob.quad())->texture, kept);
    EXPECT_EQ(s.renderer.scene, (std::vector<VisualHandle>{knob.quad()}));
}

} // namespace
} // namespace vexagui
