// The toolkit root: hit testing and dispatch, capture and focus, renderer attachment, scene order.
#include "RecordingRenderer.h"
#include "vexagui/views/VexaControl.h"
#include "vexagui/views/VexaEditor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexagui {
namespace {

using test::RecordingRenderer;

// A view that logs what reaches it and owns one solid rectangle (plus an optional overlay one).
class ProbeView : public VexaControl {
public:
    ProbeView(std::string name, const Rect& bounds, bool interactive, std::vector<std::string>* log,
              bool acceptsText = false, bool withOverlay = false)
        : VexaControl(0, bounds, interactive), name_(std::move(name)), log_(log), acceptsText_(acceptsText),
          withOverlay_(withOverlay) {}

    void onPointerDown(const MouseEvent& e) override { note("down", e); }
    void onPointerMove(const MouseEvent& e) override { note("move", e); }
    void onPointerUp(const MouseEvent& e) override {
        note("up", e);
        capturedDuringUp = editor()->captured() == this;
    }
    void onTextInput(const char* text) override { log_->push_back(name_ + " text " + text); }
    void onKeyDown(const KeyEvent& e) override {
        log_->push_back(name_ + " key " + std::to_string(e.key) + "/" + std::to_string(e.modifiers));
    }
    void onContextAttached(IVexaGuiRenderer& r) override {
        ++attachCount;
        // Insertion happens after attachment: the list does not hold this view yet.
        viewsAtAttach = editor()->views().size();
        if (visual.id == 0) visual = r.createSolidRect(bounds(), Color{1, 2, 3, 255});
        if (withOverlay_ && overlay.id == 0) overlay = r.createSolidRect(bounds(), Color{9, 9, 9, 255});
    }
    void onContextDetached(IVexaGuiRenderer& r) override {
        ++detachCount;
        r.destroyVisual(visual);
        r.destroyVisual(overlay);
        visual = overlay = VisualHandle{};
    }
    void syncContext() override {
        ++syncCount;
        IVexaGuiRenderer* r = context();
        if (r != nullptr && visual.id == 0) onContextAttached(*r);
    }
    void collectSceneHandles(std::vector<VisualHandle>& out) const override { appendHandle(out, visual); }
    bool hasOverlay() const override { return withOverlay_; }
    void collectOverlaySceneHandles(std::vector<VisualHandle>& out) const override { appendHandle(out, overlay); }
    bool acceptsTextInput() const override { return acceptsText_; }

    void emit(float v) { emitControlChanged(v); }

    VisualHandle visual;
    VisualHandle overlay;
    int attachCount = 0;
    int detachCount = 0;
    int syncCount = 0;
    std::size_t viewsAtAttach = 0;
    bool capturedDuringUp = true;

private:
    void note(const char* what, const MouseEvent& e) {
        log_->push_back(name_ + " " + what + " " + std::to_string(static_cast<int>(e.x)) + "," +
                        std::to_string(static_cast<int>(e.y)) + " b" + std::to_string(e.buttons));
    }

    std::string name_;
    std::vector<std::string>* log_;
    bool acceptsText_;
    bool withOverlay_;
};

using Log = std::vector<std::string>;

TEST(ViewTree, AddViewAssignsIdsAndLaterViewsWinHits) {
    Log log;
    VexaEditor editor(200, 100);
    auto& back = editor.addView<ProbeView>("back", Rect{0, 0, 100, 100}, true, &log);
    auto& front = editor.addView<ProbeView>("front", Rect{50, 50, 100, 50}, true, &log);
    auto& passive = editor.addView<ProbeView>("passive", Rect{0, 0, 200, 100}, false, &log);
    EXPECT_EQ(back.id(), 0);
    EXPECT_EQ(front.id(), 1);
    EXPECT_EQ(passive.id(), 2);
    EXPECT_EQ(front.editor(), &editor);

    struct Case {
        Point p;
        VexaView* expected;
    } cases[] = {
        {{60, 60}, &front},   // overlap: the later view
        {{10, 10}, &back},
        {{100, 100}, &front}, // edges are inclusive
        {{0, 0}, &back},
        {{150, 50}, &front},
        {{150.01f, 50}, nullptr},
        {{160, 10}, nullptr}, // only the non-interactive view lies here
    };
    for (const Case& c : cases) {
        EXPECT_EQ(editor.hitTest(c.p), c.expected) << c.p.x << "," << c.p.y;
    }

    editor.pointerDown(60, 60, kButtonPrimary);
    editor.pointerUp(60, 60, 0);
    EXPECT_EQ(log, (Log{"front down 60,60 b1", "front up 60,60 b0"}));
}

TEST(ViewTree, CaptureFollowsThePressedViewUntilRelease) {
    Log log;
    VexaEditor editor(200, 100);
    auto& a = editor.addView<ProbeView>("a", Rect{0, 0, 50, 50}, true, &log);
    editor.addView<ProbeView>("b", Rect{100, 0, 50, 50}, true, &log);

    editor.pointerMove(10, 10, 0);  // no press yet: ignored
    editor.pointerUp(10, 10, 0);
    EXPECT_TRUE(log.empty());

    editor.pointerDown(10, 10, 1);
    EXPECT_EQ(editor.captured(), &a);
    editor.pointerMove(120, 10, 1);  // over b, still a's gesture
    editor.pointerUp(120, 10, 0);
    EXPECT_EQ(editor.captured(), nullptr);
    EXPECT_FALSE(a.capturedDuringUp);  // capture is cleared before the release handler runs
    EXPECT_EQ(log, (Log{"a down 10,10 b1", "a move 120,10 b1", "a up 120,10 b0"}));

    log.clear();
    editor.pointerMove(10, 10, 0);  // after release: nobody hears moves
    editor.pointerDown(75, 75, 1);  // nothing hit
    editor.pointerMove(10, 10, 1);
    editor.pointerUp(10, 10, 0);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(editor.captured(), nullptr);
}

TEST(ViewTree, FocusMovesWithPressesAndRoutesKeysAndText) {
    Log log;
    VexaEditor editor(300, 100);
    auto& field = editor.addView<ProbeView>("field", Rect{0, 0, 100, 20}, true, &log, true);
    auto& field2 = editor.addView<ProbeView>("field2", Rect{0, 50, 100, 20}, true, &log, true);
    auto& button = editor.addView<ProbeView>("button", Rect{200, 0, 50, 50}, true, &log);

    editor.keyDown(kKeyLeft, 0);  // nothing focused yet
    editor.textInput("x");
    EXPECT_TRUE(log.empty());

    editor.pointerDown(5, 5, 1);
    editor.pointerUp(5, 5, 0);
    EXPECT_EQ(editor.focused(), &field);
    log.clear();
    editor.textInput("hi");
    editor.textInput("");
    editor.textInput(nullptr);
    editor.keyDown(kKeyHome, kModShift);
    EXPECT_EQ(log, (Log{"field text hi", "field key 1002/1"}));

    editor.pointerDown(5, 55, 1);  // another text field takes the focus
    EXPECT_EQ(editor.focused(), &field2);
    editor.pointerUp(5, 55, 0);

    editor.pointerDown(210, 10, 1);  // a view that takes no text clears it
    EXPECT_EQ(editor.captured(), &button);
    EXPECT_EQ(editor.focused(), nullptr);
    editor.pointerUp(210, 10, 0);
    log.clear();
    editor.keyDown(kKeyEnd, 0);
    editor.textInput("lost");
    EXPECT_TRUE(log.empty());

    editor.pointerDown(5, 5, 1);
    EXPECT_EQ(editor.focused(), &field);
    editor.pointerDown(150, 90, 1);  // a press on nothing clears focus and capture
    EXPECT_EQ(editor.focused(), nullptr);
    EXPECT_EQ(editor.captured(), nullptr);
}

TEST(ViewTree, SceneIsNormalLayersInOrderThenOverlays) {
    Log log;
    RecordingRenderer r;
    VexaEditor editor(100, 100);
    editor.syncContext();  // no renderer: nothing
    EXPECT_EQ(r.sceneUpdates, 0);
    editor.setContext(&r);
    editor.syncContext();  // no views: an empty scene is still set
    EXPECT_EQ(r.sceneUpdates, 1);
    EXPECT_TRUE(r.scene.empty());

    auto& a = editor.addView<ProbeView>("a", Rect{0, 0, 10, 10}, true, &log, false, true);
    auto& b = editor.addView<ProbeView>("b", Rect{0, 0, 10, 10}, true, &log);
    auto& c = editor.addView<ProbeView>("c", Rect{0, 0, 10, 10}, true, &log, false, true);
    r.destroyVisual(b.visual);
    b.visual = VisualHandle{};  // lost visual: re-created lazily by the view's own sync
    c.overlay = VisualHandle{}; // handle 0 is skipped
    editor.syncContext();
    EXPECT_EQ(r.scene, (std::vector<VisualHandle>{a.visual, b.visual, c.visual, a.overlay}));
    EXPECT_NE(b.visual.id, 0u);
    EXPECT_EQ(a.syncCount, 1);
}

TEST(ViewTree, SetContextAttachesAndDetachesEveryView) {
    Log log;
    RecordingRenderer r1;
    RecordingRenderer r2;
    VexaEditor editor(100, 100);
    auto& a = editor.addView<ProbeView>("a", Rect{0, 0, 10, 10}, true, &log);
    EXPECT_EQ(a.attachCount, 0);  // nothing to attach to yet

    editor.setContext(&r1);
    EXPECT_EQ(a.attachCount, 1);
    EXPECT_EQ(r1.redrawRequests, 1);
    editor.setContext(&r1);  // same renderer: nothing
    EXPECT_EQ(a.attachCount, 1);
    EXPECT_EQ(r1.redrawRequests, 1);

    auto& b = editor.addView<ProbeView>("b", Rect{0, 0, 10, 10}, true, &log);
    EXPECT_EQ(b.attachCount, 1);
    EXPECT_EQ(b.viewsAtAttach, 1u);  // attached before it joined the list
    EXPECT_EQ(r1.visuals.size(), 2u);

    editor.setContext(&r2);  // old renderer released, new one populated
    EXPECT_TRUE(r1.visuals.empty());
    EXPECT_EQ(r2.visuals.size(), 2u);
    EXPECT_EQ(a.detachCount, 1);

    editor.setContext(nullptr);
    EXPECT_TRUE(r2.visuals.empty());
    EXPECT_EQ(a.visual.id, 0u);
    EXPECT_EQ(b.visual.id, 0u);
    r2.clearCalls();
    editor.syncContext();
    a.markDirty();
    editor.setSize(50, 50);
    EXPECT_TRUE(r2.calls.empty());
}

TEST(ViewTree, DestructionDoesNotDetachAndControlsEmitOnlyWithListener) {
    Log log;
    RecordingRenderer r;
    std::vector<std::pair<int, float>> emitted;
    {
        VexaEditor editor(100, 100);
        editor.setContext(&r);
        auto& a = editor.addView<ProbeView>("a", Rect{0, 0, 10, 10}, true, &log);
        a.emit(0.5f);  // nobody listens
        editor.onControlChanged = [&](int tag, float v) { emitted.emplace_back(tag, v); };
        a.emit(0.25f);
    }
    EXPECT_EQ(emitted, (std::vector<std::pair<int, float>>{{0, 0.25f}}));
    EXPECT_EQ(r.count(RecordingRenderer::Op::kDestroyVisual), 0u);
    EXPECT_EQ(r.visuals.size(), 1u);
}

} // namespace
} // namespace vexagui
