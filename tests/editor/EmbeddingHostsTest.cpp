// The editor inside the parents that hosts give it (Xvfb): an XEmbed embedder that behaves as the
// SDK's reference editor host does, and a bare window that never maps its children. Each time the
// editor must end up mapped, drawn exactly as a plain parent shows it, and close without leftovers.
// (A GTK socket, the third kind, has a test executable of its own: it links GTK.)
#include <gtest/gtest.h>

#include "HostedEditor.h"

#include "VorlixParamID.h"

// After gtest: X11's macros (None, Bool) clash with its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstring>
#include <string>
#include <vector>

using namespace Vorlix::test;
using namespace vexagui::test;

namespace {

constexpr long kEmbeddedNotify = 0, kWindowActivate = 1, kWindowDeactivate = 2, kFocusIn = 4, kFocusOut = 5,
               kModalityOn = 10, kModalityOff = 11;
constexpr unsigned long kMapped = 1;

struct XEmbedInfo {
    bool present = false;
    unsigned long version = 0, flags = 0;
};

XEmbedInfo readXEmbedInfo(Display* d, Window w) {
    const Atom info = XInternAtom(d, "_XEMBED_INFO", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    XEmbedInfo out;
    if (XGetWindowProperty(d, w, info, 0, 2, False, info, &type, &format, &items, &after, &data) == Success &&
        type == info && format == 32 && items == 2) {
        const auto* longs = reinterpret_cast<const unsigned long*>(data);
        out = {true, longs[0], longs[1]};
    }
    if (data != nullptr) XFree(data);
    return out;
}

// An embedder like the SDK's reference editor host: it watches the parent's substructure and, when
// a child is created there, reads the child's _XEMBED_INFO, refuses a child without one or one that
// says it is mapped already, else announces itself, maps and sizes the child, and activates and
// focuses it.
class ReferenceStyleEmbedder {
public:
    ReferenceStyleEmbedder(Display* d, Window parent, int width, int height)
        : display(d), parent(parent), width(width), height(height) {
        xembed = XInternAtom(d, "_XEMBED", False);
        XSelectInput(d, parent, SubstructureNotifyMask | PropertyChangeMask);
        XSync(d, False);
    }

    void dispatch() {
        while (XPending(display) > 0) {
            XEvent ev;
            XNextEvent(display, &ev);
            if (ev.type == CreateNotify && ev.xcreatewindow.parent == parent) embed(ev.xcreatewindow.window);
            if (ev.type == DestroyNotify && ev.xdestroywindow.window == plug) destroyed = true;
        }
    }

    void send(long message, long detail = 0) {
        XEvent ev;
        std::memset(&ev, 0, sizeof ev);
        ev.xclient.type = ClientMessage;
        ev.xclient.window = plug;
        ev.xclient.message_type = xembed;
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = CurrentTime;
        ev.xclient.data.l[1] = message;
        ev.xclient.data.l[2] = detail;
        ev.xclient.data.l[3] = static_cast<long>(parent);
        ev.xclient.data.l[4] = static_cast<long>(seen.version);
        XSendEvent(display, plug, False, NoEventMask, &ev);
        XSync(display, False);
    }

    Window plug = 0;
    XEmbedInfo seen;  // as read when the child was created
    std::string refused;
    bool destroyed = false;

private:
    void embed(Window child) {
        plug = child;
        seen = readXEmbedInfo(display, child);
        if (!seen.present) {
            refused = "XGetWindowProperty for _XEMBED_INFO failed";
            return;
        }
        if ((seen.flags & kMapped) != 0) {
            refused = "Window already mapped error";
            return;
        }
        send(kEmbeddedNotify);
        XMapWindow(display, child);
        XResizeWindow(display, child, static_cast<unsigned>(width), static_cast<unsigned>(height));
        send(kWindowActivate);
        send(kFocusIn);
        XSync(display, False);
    }

    Display* display;
    Window parent;
    int width, height;
    Atom xembed = None;
};

std::vector<unsigned char> editorPicture(X11TestWindow& win) {
    int w = 0, h = 0;
    const auto rgb = win.grabRgb(w, h);
    return editorRegion(rgb, w, h);
}

} // namespace

TEST(EditorEmbedding, BareParentThatNeverMapsChildren) {
    X11TestWindow win(kEditorWidth, kEditorHeight);
    ASSERT_TRUE(win.ok()) << "no X display";
    HostedEditor e;
    std::string error;
    ASSERT_TRUE(e.open(win.window, error)) << error;
    // The view maps its own window: nobody else does here.
    ASSERT_TRUE(e.frame.pumpUntil([&] {
        int w = 0, h = 0;
        const auto rgb = win.grabRgb(w, h);
        return win.childViewable() && showsEditor(rgb, w, h);
    }, 5000));
    const XEmbedInfo info = readXEmbedInfo(win.display, win.childWindow());
    EXPECT_TRUE(info.present);
    EXPECT_EQ(info.version, 0u);

    e.close();
    EXPECT_EQ(win.childWindow(), 0u);
}

TEST(EditorEmbedding, XEmbedEmbedderLikeTheReferenceHost) {
    const auto reference = editorPictureInBareParent();
    ASSERT_FALSE(reference.empty()) << "the editor does not draw in a bare parent";

    X11TestWindow win(kEditorWidth, kEditorHeight);
    ASSERT_TRUE(win.ok()) << "no X display";
    ReferenceStyleEmbedder embedder(win.display, win.window, kEditorWidth, kEditorHeight);
    HostedEditor e;
    std::string error;
    ASSERT_TRUE(e.open(win.window, error)) << error;
    ASSERT_TRUE(e.frame.pumpUntil([&] {
        embedder.dispatch();
        return !embedder.refused.empty() || (win.childViewable() && editorPicture(win) == reference);
    }, 5000)) << "not drawn as in a bare parent";
    ASSERT_EQ(embedder.refused, "");
    ASSERT_EQ(embedder.plug, win.childWindow());
    // Present from the window's creation on: version 0, and not claiming to be mapped.
    EXPECT_EQ(embedder.seen.version, 0u);
    EXPECT_EQ(embedder.seen.flags, 0u);
    // Embedded now, the window wants to be shown.
    EXPECT_TRUE(e.frame.pumpUntil([&] { return readXEmbedInfo(win.display, embedder.plug).flags == kMapped; }));

    // The rest of the protocol's traffic changes nothing on screen, and the editor stays live: a
    // program picked afterwards is drawn.
    for (long message : {kWindowDeactivate, kFocusOut, kModalityOn, kModalityOff, 99L, kWindowActivate, kFocusIn})
        embedder.send(message);
    e.frame.pumpUntil([] { return false; }, 100);
    EXPECT_TRUE(e.view != nullptr && win.childViewable());
    EXPECT_EQ(editorPicture(win), reference);
    e.plugin->handleUiControlTag(kPresetListBox, 10.0f);
    EXPECT_TRUE(e.frame.pumpUntil([&] {
        const auto now = editorPicture(win);
        return !now.empty() && now != reference;
    }));

    e.close();
    EXPECT_TRUE(e.frame.pumpUntil([&] {
        embedder.dispatch();
        return embedder.destroyed;
    }));
    EXPECT_EQ(win.childWindow(), 0u);
}

// One instance has one editor. While its view is attached a second createView gives nothing, and
// a view made while none was attached is refused when attached beside another; the attached one
// keeps drawing what the instance does. Once it is removed, a view opens in the other window.
TEST(EditorEmbedding, ASecondViewOfOneInstanceIsRefusedAndTheFirstKeepsDrawing) {
    const auto reference = editorPictureInBareParent();
    ASSERT_FALSE(reference.empty()) << "the editor does not draw in a bare parent";
    X11TestWindow first(kEditorWidth, kEditorHeight);
    ASSERT_TRUE(first.ok()) << "no X display";
    HostedEditor a;
    std::string error;
    ASSERT_TRUE(a.open(first.window, error)) << error;
    ASSERT_TRUE(a.frame.pumpUntil([&] { return editorPicture(first) == reference; }, 5000));
    const auto drawsTheProgram = [&](X11TestWindow& win, vexagui::test::FakePlugFrame& frame, float program) {
        a.plugin->handleUiControlTag(kPresetListBox, program);
        return frame.pumpUntil([&] {
            const auto now = editorPicture(win);
            return !now.empty() && now != reference;
        });
    };

    EXPECT_EQ(a.controller->createView("editor"), nullptr);
    EXPECT_TRUE(drawsTheProgram(first, a.frame, 10.0f)) << "the attached view stopped drawing";

    a.close();
    // Made now: top-level test windows overlap, and only the one on top can be read back.
    X11TestWindow second(kEditorWidth, kEditorHeight);
    ASSERT_TRUE(second.ok());
    a.plugin->handleUiControlTag(kPresetListBox, 0.0f);
    Steinberg::IPlugView* early = a.controller->createView("editor");  // none attached: allowed
    ASSERT_NE(early, nullptr);
    EditorView b;
    ASSERT_TRUE(b.open(a.controller, second.window, error)) << error;
    ASSERT_TRUE(b.frame.pumpUntil([&] { return editorPicture(second) == reference; }, 5000));
    EXPECT_EQ(early->attached(first.parentHandle(), "X11EmbedWindowID"), Steinberg::kResultFalse);
    EXPECT_EQ(first.childWindow(), 0u);
    EXPECT_TRUE(drawsTheProgram(second, b.frame, 12.0f)) << "the attached view stopped drawing";
    early->removed();
    EXPECT_EQ(early->release(), 0u);
    EXPECT_TRUE(drawsTheProgram(second, b.frame, 3.0f));
}
