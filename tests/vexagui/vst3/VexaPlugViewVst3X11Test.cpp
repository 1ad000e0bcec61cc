// The plug view bridge in a real X11 parent window (Xvfb): attach, draw, remove, re-attach and
// destroy with the host's run loop, pointer events from the X server, and the draining of a host
// request right after the pointer event that posted it, before the next frame.
#include "FakePlugFrame.h"

#include "vexagui/render/opengl/VexaRendererOpenGL.h"
#include "vexagui/views/VexaEditor.h"
#include "vexagui/views/VexaHotspotButton.h"
#include "vexagui/views/VexaSolidRectView.h"
#include "vexagui/vst3/VexaPlugViewVst3.h"

#include <gtest/gtest.h>

#include <vector>

#include <X11/Xlib.h>  // after gtest: its None and Bool clash with gtest's names

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

using namespace vexagui;
using namespace vexagui::test;

namespace {

constexpr Color kRed{255, 0, 0, 255};
constexpr Color kBlue{0, 0, 255, 255};

class RecordingView : public VexaPlugViewVst3 {
public:
    using VexaPlugViewVst3::VexaPlugViewVst3;
    void handleHostRequest(const HostRequest& request) override {
        handled.push_back(request);
        ticksWhenHandled.push_back(*ticks);
    }
    std::vector<HostRequest> handled;
    std::vector<int> ticksWhenHandled;
    int* ticks = nullptr;
};

struct TestScreen {
    VexaEditor editor{200, 100};
    VexaRendererOpenGL renderer;
    VexaSolidRectView* background = nullptr;

    TestScreen() {
        background = &editor.addView<VexaSolidRectView>(Rect{0, 0, 200, 100}, kRed);
        // A "save" button over the right half: posts a save request, as the component does.
        editor.addView<VexaHotspotButton>(909, Rect{100, 0, 100, 100});
        editor.onControlChanged = [this](int tag, float) {
            if (tag == 909) renderer.requestSaveFileDialog("InitSaw");
        };
        editor.setContext(&renderer);
    }
    ~TestScreen() { editor.setContext(nullptr); }
};

// The colour at (x, y) of the parent window, or {} when the screen cannot be read.
Color pixelAt(X11TestWindow& win, int x, int y) {
    int w = 0, h = 0;
    const auto rgb = win.grabRgb(w, h);
    if (rgb.empty() || x >= w || y >= h) return {};
    const unsigned char* p = &rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)) * 3];
    return Color{p[0], p[1], p[2], 255};
}

// A plain view of a test screen in a 200 x 100 parent window, made as a host makes it.
struct ViewInWindow {
    X11TestWindow win{200, 100};
    TestScreen screen;
    FakePlugFrame frame;
    VexaPlugViewVst3* view = nullptr;
    ViewInWindow() {
        view = new VexaPlugViewVst3(screen.editor, screen.renderer);
        view->setFrame(&frame);
    }
};

// X errors that reached the process's handler, i.e. the host's (whose default ends the process).
int gHostXErrors = 0;
int countHostXError(Display*, XErrorEvent*) {
    ++gHostXErrors;
    return 0;
}

} // namespace

TEST(VexaPlugViewVst3X11, AttachRemoveReattachAndDestroy) {
    ViewInWindow host;
    auto& [win, screen, frame, view] = host;
    ASSERT_TRUE(win.ok()) << "no X display";

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(view->attached(win.parentHandle(), "X11EmbedWindowID"), Steinberg::kResultOk);
        EXPECT_TRUE(view->hasNativeView());
        EXPECT_EQ(frame.eventHandlers.size(), 1u);
        EXPECT_EQ(frame.timers.size(), 1u);
        EXPECT_NE(screen.renderer.glContext, nullptr);
        ASSERT_TRUE(frame.pumpUntil([&] { return win.childViewable(); }));
        screen.background->setColor(round == 0 ? kRed : kBlue);
        const Color want = round == 0 ? kRed : kBlue;
        EXPECT_TRUE(frame.pumpUntil([&] { return pixelAt(win, 50, 50) == want; })) << "frame not drawn";

        EXPECT_EQ(view->removed(), Steinberg::kResultOk);
        EXPECT_FALSE(view->hasNativeView());
        EXPECT_TRUE(frame.eventHandlers.empty());
        EXPECT_TRUE(frame.timers.empty());
        EXPECT_EQ(win.childWindow(), 0u);
    }

    // Destroyed while attached: it detaches itself and unbinds the renderer.
    ASSERT_EQ(view->attached(win.parentHandle(), "X11EmbedWindowID"), Steinberg::kResultOk);
    ASSERT_TRUE(frame.pumpUntil([&] { return win.childViewable(); }));
    EXPECT_EQ(view->release(), 0u);
    EXPECT_TRUE(frame.eventHandlers.empty());
    EXPECT_TRUE(frame.timers.empty());
    EXPECT_EQ(screen.renderer.glContext, nullptr);
    EXPECT_FALSE(static_cast<bool>(screen.renderer.redrawCallback));
    // What a host parameter change does afterwards: refresh and ask for a redraw. Nothing is drawn
    // and nothing freed is touched (AddressSanitizer watches this).
    screen.background->setColor(kBlue);
    screen.editor.syncContext();
    screen.renderer.requestRedraw();
    EXPECT_EQ(frame.refs, 1u);
}

TEST(VexaPlugViewVst3X11, SaveRequestRunsRightAfterThePointerEventBeforeTheFrame) {
    X11TestWindow win(200, 100);
    ASSERT_TRUE(win.ok()) << "no X display";
    TestScreen screen;
    FakePlugFrame frame;
    int ticks = 0;
    auto* view = new RecordingView(screen.editor, screen.renderer);
    view->ticks = &ticks;
    view->setFrame(&frame);
    ASSERT_EQ(view->attached(win.parentHandle(), "X11EmbedWindowID"), Steinberg::kResultOk);
    ASSERT_TRUE(frame.pumpUntil([&] {
        ++ticks;
        return win.childViewable() && pixelAt(win, 50, 50) == kRed;
    }));

    // Scrolling and a click on the left half post nothing.
    win.moveTo(150, 50);
    win.press(4);
    win.releaseButton(4);
    win.click(50, 50);
    frame.pumpEvents(100);
    frame.pumpEvents(20);
    EXPECT_TRUE(view->handled.empty());

    const int ticksBefore = ticks;
    win.click(150, 50);
    // Events only, no timer: the request is performed inside the pointer dispatch.
    for (int i = 0; i < 50 && view->handled.empty(); ++i) frame.pumpEvents(20);
    ASSERT_EQ(view->handled.size(), 1u);
    EXPECT_EQ(view->handled[0].kind, HostRequest::kSaveFileDialog);
    EXPECT_EQ(view->handled[0].text, "InitSaw");
    EXPECT_EQ(view->ticksWhenHandled[0], ticksBefore);
    EXPECT_EQ(screen.renderer.pendingRequest.kind, HostRequest::kNone);

    view->removed();
    view->release();
}

// A host's scale factor while the view is open: the view asks for the scaled size, the child
// window takes it, the picture fills it, and a click at twice the position of a control is a click
// on that control.
TEST(VexaPlugViewVst3X11, HostScaleWhileOpenResizesAndKeepsHitTestsLogical) {
    X11TestWindow win(400, 200);
    ASSERT_TRUE(win.ok()) << "no X display";
    TestScreen screen;
    FakePlugFrame frame;
    auto* view = new RecordingView(screen.editor, screen.renderer);
    int ticks = 0;
    view->ticks = &ticks;
    view->setFrame(&frame);
    Steinberg::IPlugViewContentScaleSupport* scaling = nullptr;
    ASSERT_EQ(view->queryInterface(Steinberg::IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)),
              Steinberg::kResultOk);
    ASSERT_EQ(scaling->setContentScaleFactor(1.0f), Steinberg::kResultTrue);
    ASSERT_EQ(view->attached(win.parentHandle(), "X11EmbedWindowID"), Steinberg::kResultOk);
    ASSERT_TRUE(frame.pumpUntil([&] { return win.childViewable(); }));
    EXPECT_TRUE(frame.resizeRequests.empty()) << "the host already has the right size";

    ASSERT_EQ(scaling->setContentScaleFactor(2.0f), Steinberg::kResultTrue);
    ASSERT_EQ(frame.resizeRequests.size(), 1u);
    EXPECT_EQ(frame.resizeRequests[0].getWidth(), 400);
    EXPECT_EQ(frame.resizeRequests[0].getHeight(), 200);
    Steinberg::ViewRect r;
    view->getSize(&r);
    EXPECT_EQ(r.getWidth(), 400);
    // The whole child is drawn: its bottom-right pixel is the background of logical (199, 99).
    EXPECT_TRUE(frame.pumpUntil([&] { return pixelAt(win, 399, 199) == kRed && pixelAt(win, 50, 50) == kRed; }));

    // Logical (150, 50) is the save button; (90, 50) is not.
    win.click(180, 100);
    frame.pumpUntil([&] { return !view->handled.empty(); }, 300);
    EXPECT_TRUE(view->handled.empty()) << "device (180, 100) is logical (90, 50), left of the button";
    win.click(300, 100);
    EXPECT_TRUE(frame.pumpUntil([&] { return view->handled.size() == 1; }));

    scaling->setContentScaleFactor(2.0f);  // the same scale again: nothing to ask
    EXPECT_EQ(frame.resizeRequests.size(), 1u);
    scaling->release();
    view->removed();
    view->setFrame(nullptr);
    view->release();
}

// A host that destroys its window (and the view's child with it) before removing the view, with
// the GL context attached and frames drawn: a frame that was due, a resize, a new scale (each a
// new context) and removing the view raise no X error in the host, and nothing freed is touched.
TEST(VexaPlugViewVst3X11, HostDestroysItsWindowBeforeRemovingTheView) {
    ViewInWindow host;
    auto& [win, screen, frame, view] = host;
    ASSERT_TRUE(win.ok()) << "no X display";
    ASSERT_EQ(view->attached(win.parentHandle(), "X11EmbedWindowID"), Steinberg::kResultOk);
    ASSERT_TRUE(frame.pumpUntil([&] { return win.childViewable() && pixelAt(win, 50, 50) == kRed; }));
    ASSERT_NE(screen.renderer.glContext, nullptr);

    gHostXErrors = 0;
    XErrorHandler hostHandler = XSetErrorHandler(countHostXError);
    XDestroyWindow(win.display, win.window);
    XSync(win.display, False);
    win.window = 0;

    screen.renderer.render(200, 100, 200, 100);  // a frame due before the destruction was read
    Steinberg::ViewRect smaller(0, 0, 180, 90);
    EXPECT_EQ(view->onSize(&smaller), Steinberg::kResultTrue);
    Steinberg::IPlugViewContentScaleSupport* scaling = nullptr;
    ASSERT_EQ(view->queryInterface(Steinberg::IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)),
              Steinberg::kResultOk);
    scaling->setContentScaleFactor(2.0f);
    scaling->release();
    screen.background->setColor(kBlue);  // a host parameter change: refresh and redraw
    screen.editor.syncContext();
    screen.renderer.requestRedraw();
    screen.renderer.render(200, 100, 400, 200);
    frame.pumpUntil([] { return false; }, 100);
    EXPECT_EQ(view->removed(), Steinberg::kResultOk);
    view->setFrame(nullptr);
    EXPECT_EQ(view->release(), 0u);
    XSync(win.display, False);
    XSetErrorHandler(hostHandler);
    EXPECT_EQ(gHostXErrors, 0);
    EXPECT_EQ(screen.renderer.glContext, nullptr);
}
