// The plug view bridge without a display: platform types, initial size, host keys into the
// editor, and the draining of the renderer's pending host request.
#include "vexagui/render/opengl/VexaRendererOpenGL.h"
#include "vexagui/views/VexaEditor.h"
#include "vexagui/vst3/VexaPlugViewVst3.h"
#include "vexagui/vst3/VexaVst3Keys.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

using namespace vexagui;
using namespace vexagui::vst3keys;
using Steinberg::kInvalidArgument;
using Steinberg::kResultFalse;
using Steinberg::kResultTrue;

namespace {

// A focusable view that records every key and text it receives.
class KeyRecorder : public VexaView {
public:
    explicit KeyRecorder(const Rect& r) : VexaView(r, true) {}
    bool acceptsTextInput() const override { return true; }
    void onKeyDown(const KeyEvent& e) override { keys.push_back(e); }
    void onTextInput(const char* utf8) override { texts.emplace_back(utf8); }
    void syncContext() override {}
    void collectSceneHandles(std::vector<VisualHandle>&) const override {}
    std::vector<KeyEvent> keys;
    std::vector<std::string> texts;
};

class RecordingView : public VexaPlugViewVst3 {
public:
    using VexaPlugViewVst3::VexaPlugViewVst3;
    void handleHostRequest(const HostRequest& request) override {
        handled.push_back(request);
        slotStillPendingWhileHandled = renderer.pendingRequest.kind != HostRequest::kNone;
    }
    std::vector<HostRequest> handled;
    bool slotStillPendingWhileHandled = false;
};

struct Fixture {
    VexaEditor editor{565, 260};
    VexaRendererOpenGL renderer;
    KeyRecorder* keys = nullptr;
    RecordingView* view = nullptr;

    Fixture() {
        keys = &editor.addView<KeyRecorder>(Rect{0, 0, 100, 100});
        editor.pointerDown(10, 10, 1);  // focus the recorder
        editor.pointerUp(10, 10, 0);
        view = new RecordingView(editor, renderer);
    }
    ~Fixture() { view->release(); }
};

} // namespace

TEST(VexaPlugViewVst3, AcceptsOnlyTheX11EmbeddingType) {
    Fixture f;
    EXPECT_EQ(f.view->isPlatformTypeSupported("X11EmbedWindowID"), kResultTrue);
    for (const char* other : {"x11embedwindowid", "NSView", "HWND", "", static_cast<const char*>(nullptr)})
        EXPECT_EQ(f.view->isPlatformTypeSupported(other), kInvalidArgument) << (other ? other : "null");
}

TEST(VexaPlugViewVst3, ReportsTheEditorsSizeAndKeepsItFixed) {
    VexaEditor editor(565.7f, 374.2f);
    VexaRendererOpenGL renderer;
    auto* view = new VexaPlugViewVst3(editor, renderer);
    Steinberg::ViewRect r;
    ASSERT_EQ(view->getSize(&r), kResultTrue);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 565);
    EXPECT_EQ(r.bottom, 374);
    EXPECT_EQ(view->canResize(), kResultFalse);
    Steinberg::ViewRect other(0, 0, 300, 200);
    EXPECT_EQ(view->onSize(&other), kResultTrue);  // detached: stored, nothing else happens
    EXPECT_EQ(view->onSize(nullptr), kResultTrue);
    view->getSize(&r);
    EXPECT_EQ(r.right, 300);
    EXPECT_FALSE(view->hasNativeView());
    view->release();
}

TEST(VexaPlugViewVst3, HostKeysReachTheFocusedView) {
    struct Case {
        const char* what;
        char16_t key;
        Steinberg::int16 keyCode;
        Steinberg::int16 modifiers;
        Steinberg::tresult result;
        int keyCodeSeen;  // 0: no key event expected
        std::uint32_t modifiersSeen;
        const char* text;  // null: no text expected
    };
    const Case cases[] = {
        {"left arrow", 0, KEY_LEFT, 0, kResultTrue, 1000, 0, nullptr},
        {"shift+right", 0, KEY_RIGHT, kShiftKey, kResultTrue, 1001, 1, nullptr},
        {"home", 0, KEY_HOME, 0, kResultTrue, 1002, 0, nullptr},
        {"end", 0, KEY_END, 0, kResultTrue, 1003, 0, nullptr},
        {"backspace", 8, KEY_BACK, 0, kResultTrue, 8, 0, nullptr},
        {"delete", 0x7F, KEY_DELETE, 0, kResultTrue, 127, 0, nullptr},
        {"command+a", u'a', 0, kCommandKey, kResultTrue, 1004, 8, nullptr},
        {"control+A", u'A', 0, kControlKey | kShiftKey, kResultTrue, 1004, 3, nullptr},
        {"a", u'a', 0, 0, kResultTrue, 0, 0, "a"},
        {"alt+a", u'a', 0, kAlternateKey, kResultTrue, 0, 0, "a"},
        {"e acute", 0x00E9, 0, 0, kResultTrue, 0, 0, "\xC3\xA9"},
        {"euro", 0x20AC, 0, 0, kResultTrue, 0, 0, "\xE2\x82\xAC"},
        {"space", u' ', KEY_SPACE, 0, kResultTrue, 0, 0, " "},
        {"tab", 9, KEY_TAB, 0, kResultFalse, 0, 0, nullptr},
        {"return", 13, KEY_RETURN, 0, kResultFalse, 0, 0, nullptr},
        {"escape", 27, KEY_ESCAPE, 0, kResultFalse, 0, 0, nullptr},
        {"up arrow", 0, KEY_UP, 0, kResultFalse, 0, 0, nullptr},
        {"control+b", 2, 0, kControlKey, kResultFalse, 0, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        EXPECT_EQ(f.view->onKeyDown(c.key, c.keyCode, c.modifiers), c.result);
        if (c.keyCodeSeen != 0) {
            ASSERT_EQ(f.keys->keys.size(), 1u);
            EXPECT_EQ(f.keys->keys[0].key, c.keyCodeSeen);
            EXPECT_EQ(f.keys->keys[0].modifiers, c.modifiersSeen);
        } else {
            EXPECT_TRUE(f.keys->keys.empty());
        }
        if (c.text != nullptr) {
            ASSERT_EQ(f.keys->texts.size(), 1u);
            EXPECT_EQ(f.keys->texts[0], c.text);
        } else {
            EXPECT_TRUE(f.keys->texts.empty());
        }
        EXPECT_EQ(f.view->onKeyUp(c.key, c.keyCode, c.modifiers), kResultFalse);
    }
}

TEST(VexaPlugViewVst3, DrainingPerformsThenClearsTheSlot) {
    Fixture f;
    f.view->drainHostRequest();
    EXPECT_TRUE(f.view->handled.empty());

    f.renderer.requestSaveFileDialog("bass-juno");
    f.renderer.requestOpenFileDialog();  // replaces the save request
    f.view->drainHostRequest();
    ASSERT_EQ(f.view->handled.size(), 1u);
    EXPECT_EQ(f.view->handled[0].kind, HostRequest::kOpenFileDialog);
    EXPECT_TRUE(f.view->handled[0].text.empty());
    EXPECT_TRUE(f.view->slotStillPendingWhileHandled);
    EXPECT_EQ(f.renderer.pendingRequest.kind, HostRequest::kNone);

    // A key that the editor takes drains too.
    f.renderer.requestSaveFileDialog("x");
    f.view->onKeyDown(u'q', 0, 0);
    ASSERT_EQ(f.view->handled.size(), 2u);
    EXPECT_EQ(f.view->handled[1].kind, HostRequest::kSaveFileDialog);
    EXPECT_EQ(f.view->handled[1].text, "x");
    // One it refuses does not.
    f.renderer.requestSaveFileDialog("y");
    f.view->onKeyDown(9, KEY_TAB, 0);
    EXPECT_EQ(f.view->handled.size(), 2u);
    EXPECT_EQ(f.renderer.pendingRequest.kind, HostRequest::kSaveFileDialog);
}

TEST(VexaPlugViewVst3, AttachingWithoutAParentDrawsNothing) {
    Fixture f;
    EXPECT_EQ(f.view->attached(nullptr, "X11EmbedWindowID"), Steinberg::kResultOk);
    EXPECT_FALSE(f.view->hasNativeView());
    EXPECT_EQ(f.renderer.glContext, nullptr);
    EXPECT_EQ(f.view->removed(), Steinberg::kResultOk);
}

TEST(VexaPlugViewVst3, HoldsItsOwnerUntilItIsGone) {
    struct Owner : Steinberg::FUnknown {
        Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID, void** obj) override {
            *obj = nullptr;
            return Steinberg::kNoInterface;
        }
        Steinberg::uint32 PLUGIN_API addRef() override { return ++refs; }
        Steinberg::uint32 PLUGIN_API release() override { return --refs; }
        Steinberg::uint32 refs = 1;
    } owner;
    VexaEditor editor(565, 260);
    VexaRendererOpenGL renderer;
    auto* view = new VexaPlugViewVst3(editor, renderer, &owner);
    EXPECT_EQ(owner.refs, 2u);
    view->release();
    EXPECT_EQ(owner.refs, 1u);
}

namespace {

// A view on a desktop that asks for `desktop`, counting how often it is asked.
class DesktopScaledView : public VexaPlugViewVst3 {
public:
    DesktopScaledView(VexaEditor& e, VexaRendererOpenGL& r, float desktop_)
        : VexaPlugViewVst3(e, r), desktop(desktop_) {}
    float environmentScale() override {
        ++asked;
        return desktop;
    }
    float desktop;
    int asked = 0;
};

Steinberg::IPlugViewContentScaleSupport* scaling(Steinberg::IPlugView* view) {
    Steinberg::IPlugViewContentScaleSupport* s = nullptr;
    if (view->queryInterface(Steinberg::IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&s)) !=
        Steinberg::kResultOk)
        return nullptr;
    s->release();  // the view itself keeps it alive
    return s;
}

} // namespace

TEST(VexaPlugViewVst3, HostScaleFactorSizesTheViewWithinOneToThree) {
    const struct {
        float factor;
        int width, height;
    } cases[] = {
        {2.0f, 1130, 520}, {1.5f, 848, 390},  {1.0f, 565, 260},   {3.0f, 1695, 780},
        {4.0f, 1695, 780}, {INFINITY, 1695, 780}, {1.25f, 706, 325}, {0.5f, 565, 260},
        {0.0f, 565, 260},  {-2.0f, 565, 260}, {NAN, 565, 260},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.factor);
        VexaEditor editor(565, 260);
        VexaRendererOpenGL renderer;
        auto* view = new DesktopScaledView(editor, renderer, 2.0f);
        Steinberg::IPlugViewContentScaleSupport* s = scaling(view);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->setContentScaleFactor(c.factor), kResultTrue);
        Steinberg::ViewRect r;
        ASSERT_EQ(view->getSize(&r), kResultTrue);
        EXPECT_EQ(r.getWidth(), c.width);
        EXPECT_EQ(r.getHeight(), c.height);
        EXPECT_EQ(view->canResize(), kResultFalse);
        EXPECT_EQ(view->asked, 0) << "a host's factor makes the desktop's irrelevant";
        EXPECT_EQ(view->release(), 0u);
    }
}

TEST(VexaPlugViewVst3, DesktopScaleWhenTheHostGivesNone) {
    VexaEditor editor(565, 260);
    VexaRendererOpenGL renderer;
    Steinberg::ViewRect r;
    for (const auto& [desktop, width] : {std::pair{2.0f, 1130}, std::pair{1.5f, 848}, std::pair{NAN, 565}}) {
        auto* view = new DesktopScaledView(editor, renderer, desktop);
        view->getSize(&r);
        view->getSize(&r);
        EXPECT_EQ(r.getWidth(), width) << desktop;
        EXPECT_EQ(view->asked, 1) << "asked once";
        view->release();
    }

    // A host's later call wins, also a call of 1.
    auto* view = new DesktopScaledView(editor, renderer, 2.0f);
    view->getSize(&r);
    EXPECT_EQ(r.getWidth(), 1130);
    scaling(view)->setContentScaleFactor(1.0f);
    view->getSize(&r);
    EXPECT_EQ(r.getWidth(), 565);
    EXPECT_EQ(r.getHeight(), 260);
    EXPECT_EQ(view->contentScale(), 1.0f);
    view->release();
}
