// The instrument's editor as a user meets it in a host: the component creates its view, the view
// opens inside the host's X11 window (Xvfb), the user clicks the preset box and a line of its popup
// with real X pointer events, and the program changes in the component and on screen. The same
// gestures at scales 1.5 and 2 hit the same controls, and the scale a view takes without a host's
// factor comes from VORLIX_UI_SCALE or the desktop's Xft.dpi.
#include "FakePlugFrame.h"

#include "VorlixVst3Plugin.h"
#include "instrument/VorlixPrograms.h"
#include "vexagui/resources/PackedImageStore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <X11/Xlib.h>

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

using namespace vexagui::test;

namespace {

constexpr int kWidth = 565;
constexpr int kHeight = 260;

// The pixels of one rectangle of the window.
std::vector<unsigned char> region(X11TestWindow& win, int x0, int y0, int w, int h) {
    int width = 0, height = 0;
    const auto rgb = win.grabRgb(width, height);
    std::vector<unsigned char> out;
    if (rgb.empty()) return out;
    for (int y = y0; y < y0 + h && y < height; ++y)
        for (int x = x0; x < x0 + w && x < width; ++x)
            for (int c = 0; c < 3; ++c)
                out.push_back(rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3 + static_cast<std::size_t>(c)]);
    return out;
}

// How many pixels below the preset box have the popup's background colour (0x12, 0x0A, 0x02).
int popupPixels(X11TestWindow& win) {
    const auto px = region(win, 25, 31, 145, 221);
    int n = 0;
    for (std::size_t i = 0; i + 2 < px.size(); i += 3) n += px[i] == 0x12 && px[i + 1] == 0x0A && px[i + 2] == 0x02;
    return n;
}

bool popupShown(X11TestWindow& win) { return popupPixels(win) > 145 * 221 / 3; }

bool anyLit(const std::vector<unsigned char>& px) {
    for (unsigned char v : px)
        if (v > 16) return true;
    return false;
}

// Sets a host's content scale factor on a view; false when the view does not take it.
bool setHostScale(Steinberg::IPlugView* view, float factor) {
    Steinberg::IPlugViewContentScaleSupport* scaling = nullptr;
    if (view->queryInterface(Steinberg::IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)) !=
            Steinberg::kResultOk ||
        scaling == nullptr)
        return false;
    const bool taken = scaling->setContentScaleFactor(factor) == Steinberg::kResultTrue;
    scaling->release();
    return taken;
}

struct OpenEditor {
    // Room for the editor at scale 2.
    X11TestWindow win{2 * kWidth, 2 * kHeight};
    VorlixVst3Plugin* plugin = nullptr;
    Steinberg::Vst::IEditController* controller = nullptr;
    FakePlugFrame frame;
    Steinberg::IPlugView* view = nullptr;

    bool open(std::string& error, std::optional<float> hostScale = std::nullopt) {
        if (!win.ok()) {
            error = "no X display";
            return false;
        }
        plugin = new VorlixVst3Plugin();
        controller = static_cast<Steinberg::Vst::IEditController*>(plugin);
        if (plugin->initialize(nullptr) != Steinberg::kResultOk) {
            error = "initialize failed";
            return false;
        }
        view = controller->createView("editor");
        if (view == nullptr) {
            error = "no view";
            return false;
        }
        if (hostScale && !setHostScale(view, *hostScale)) {
            error = "scale factor refused";
            return false;
        }
        view->setFrame(&frame);
        if (view->attached(win.parentHandle(), "X11EmbedWindowID") != Steinberg::kResultOk) {
            error = "attach failed";
            return false;
        }
        return true;
    }

    void close() {
        if (view != nullptr) {
            view->removed();
            view->release();
            view = nullptr;
        }
    }

    ~OpenEditor() {
        close();
        if (plugin != nullptr) {
            plugin->terminate();
            plugin->release();
        }
    }
};

bool firstFrameShown(OpenEditor& e) {
    return e.frame.pumpUntil([&] { return e.win.childViewable() && anyLit(region(e.win, 270, 120, 24, 24)); }, 5000);
}

} // namespace

TEST(VorlixEditorEndToEnd, PickingAProgramWithTheMouseChangesTheSound) {
    OpenEditor e;
    std::string error;
    ASSERT_TRUE(e.open(error)) << error;
    ASSERT_NE(e.plugin, nullptr);
    EXPECT_EQ(e.plugin->instrument ().currentProgramIndex(), 0);

    // The preset box's label area (25, 18, 145 x 13) shows "InitSaw" once the first frame is up.
    std::vector<unsigned char> initSaw;
    ASSERT_TRUE(e.frame.pumpUntil([&] {
        if (!e.win.childViewable()) return false;
        initSaw = region(e.win, 25, 17, 145, 14);
        return anyLit(initSaw) && initSaw == region(e.win, 25, 17, 145, 14);
    }, 5000));

    // Open the popup (one click on the box) and see it drawn below the box.
    EXPECT_FALSE(popupShown(e.win));
    e.win.click(60, 24);
    EXPECT_TRUE(e.frame.pumpUntil([&] { return popupShown(e.win); }));

    // Line 10 of the popup: lines are 13 pixels high from y 31.
    e.win.click(60, 31 + 10 * 13 + 6);
    ASSERT_TRUE(e.frame.pumpUntil([&] { return e.plugin->instrument ().currentProgramIndex() == 10; }));
    EXPECT_STREQ(programnames[10], "bass-juno");
    const int count = static_cast<int>(programs[10][0]);
    for (int id = 0; id < 36; ++id) {
        const float expected = id == kOutputLevel ? 0.1f : id < count ? programs[10][1 + id] : 0.0f;
        EXPECT_FLOAT_EQ(static_cast<float>(e.controller->getParamNormalized(static_cast<Steinberg::Vst::ParamID>(id))), expected) << id;
    }

    // On screen: the popup is gone and the box shows another name; picking program 0 again
    // brings back exactly the first picture of the box.
    std::vector<unsigned char> bassJuno;
    EXPECT_TRUE(e.frame.pumpUntil([&] {
        bassJuno = region(e.win, 25, 17, 145, 14);
        return !popupShown(e.win) && anyLit(bassJuno) && bassJuno != initSaw;
    }));
    e.win.click(60, 24);
    EXPECT_TRUE(e.frame.pumpUntil([&] { return popupShown(e.win); }));
    e.win.click(60, 31 + 0 * 13 + 6);
    ASSERT_TRUE(e.frame.pumpUntil([&] { return e.plugin->instrument ().currentProgramIndex() == 0; }));
    EXPECT_TRUE(e.frame.pumpUntil([&] { return region(e.win, 25, 17, 145, 14) == initSaw; }));
}

namespace {

// The child window's size as the server has it.
std::pair<int, int> childSize(X11TestWindow& win) {
    Window root = 0;
    int x = 0, y = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    if (win.childWindow() == 0 ||
        !XGetGeometry(win.display, win.childWindow(), &root, &x, &y, &w, &h, &border, &depth))
        return {0, 0};
    return {static_cast<int>(w), static_cast<int>(h)};
}

int device(float logical, float scale) { return static_cast<int>(std::lround(logical * scale)); }

} // namespace

// A user at scale 1.5 or 2 presses where the controls are drawn: each gesture at logical (x, y)
// shown at (x, y) times the scale does what it does at scale 1.
TEST(VorlixEditorEndToEnd, GesturesHitTheSameControlsAtEveryScale) {
    std::optional<float> knobAtScaleOne;
    for (const float scale : {1.0f, 2.0f, 1.5f}) {
        SCOPED_TRACE(scale);
        OpenEditor e;
        std::string error;
        ASSERT_TRUE(e.open(error, scale)) << error;
        Steinberg::ViewRect r;
        e.view->getSize(&r);
        const std::pair<int, int> size{device(kWidth, scale), device(kHeight, scale)};
        EXPECT_EQ(std::pair(r.getWidth(), r.getHeight()), size);
        ASSERT_TRUE(e.frame.pumpUntil([&] { return e.win.childViewable() && childSize(e.win) == size; }));
        // The first frame is up when the preset box shows its name.
        ASSERT_TRUE(e.frame.pumpUntil([&] {
            return anyLit(region(e.win, device(25, scale), device(18, scale), device(145, scale), device(12, scale)));
        }, 5000));
        const auto param = [&](int id) {
            return static_cast<float>(e.controller->getParamNormalized(static_cast<Steinberg::Vst::ParamID>(id)));
        };

        // Cutoff knob (290, 191, 41 x 41): dragged down by 20 logical pixels from its centre (the
        // first program has the filter wide open).
        const float cutoff = param(kFilt1Cutoff);
        ASSERT_GT(cutoff, 0.2f);
        e.win.moveTo(device(310, scale), device(211, scale));
        e.win.press();
        for (int step = 1; step <= 4; ++step) {
            e.win.moveTo(device(310, scale), device(211, scale) + device(5.0f * step, scale));
            e.frame.pumpEvents(10);
        }
        e.win.releaseButton();
        ASSERT_TRUE(e.frame.pumpUntil([&] { return param(kFilt1Cutoff) != cutoff; }));
        EXPECT_NEAR(param(kFilt1Cutoff) - cutoff, -20 * 0.0045f, 1e-4f);
        if (!knobAtScaleOne) knobAtScaleOne = param(kFilt1Cutoff);
        EXPECT_NEAR(param(kFilt1Cutoff), *knobAtScaleOne, 1e-4f);

        // Legato switch (68, 183, 30 x 13): one click turns it on.
        EXPECT_EQ(param(kUseLegato), 0.0f);
        e.win.click(device(83, scale), device(189, scale));
        EXPECT_TRUE(e.frame.pumpUntil([&] { return param(kUseLegato) == 1.0f; }));

        // Preset box (25, 18): its popup opens below it; line 10 (13 pixels a line from y 31) picks
        // program 10.
        e.win.click(device(60, scale), device(24, scale));
        EXPECT_TRUE(e.frame.pumpUntil([&] {
            const auto px = region(e.win, device(25, scale), device(31, scale), device(145, scale), device(221, scale));
            int n = 0;
            for (std::size_t i = 0; i + 2 < px.size(); i += 3) n += px[i] == 0x12 && px[i + 1] == 0x0A && px[i + 2] == 0x02;
            return n > static_cast<int>(px.size() / 3) / 3;
        }));
        e.win.click(device(60, scale), device(31 + 10 * 13 + 6, scale));
        EXPECT_TRUE(e.frame.pumpUntil([&] { return e.plugin->instrument ().currentProgramIndex() == 10; }));
    }
}

// Without a host's factor the view sizes itself for the desktop: Xft.dpi 192 is scale 2,
// VORLIX_UI_SCALE comes first, and a host's factor of 1 wins over both.
TEST(VorlixEditorEndToEnd, ScaleFromTheDesktopUnlessTheHostGivesOne) {
    X11TestWindow probe(1, 1);
    ASSERT_TRUE(probe.ok()) << "no X display";
    ScopedXResources resources("Xft.antialias:\t1\nXft.dpi:\t192\n");
    const char* before = std::getenv("VORLIX_UI_SCALE");
    const std::optional<std::string> saved = before ? std::optional<std::string>(before) : std::nullopt;
    ::unsetenv("VORLIX_UI_SCALE");

    const struct {
        const char* variable;  // null: unset
        std::optional<float> hostScale;
        int width, height;
    } cases[] = {
        {nullptr, std::nullopt, 1130, 520},
        {"1.5", std::nullopt, 848, 390},
        {"1.5", 1.0f, 565, 260},
        {nullptr, 1.0f, 565, 260},
        {"nonsense", std::nullopt, 1130, 520},  // an unreadable variable leaves the desktop's
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.variable ? c.variable : "unset") + (c.hostScale ? ", host 1" : ""));
        if (c.variable)
            ::setenv("VORLIX_UI_SCALE", c.variable, 1);
        else
            ::unsetenv("VORLIX_UI_SCALE");
        OpenEditor e;
        std::string error;
        ASSERT_TRUE(e.open(error, c.hostScale)) << error;
        Steinberg::ViewRect r;
        e.view->getSize(&r);
        EXPECT_EQ(r.getWidth(), c.width);
        EXPECT_EQ(r.getHeight(), c.height);
        const std::pair<int, int> size{c.width, c.height};
        EXPECT_TRUE(e.frame.pumpUntil([&] { return e.win.childViewable() && childSize(e.win) == size; }));
    }
    if (saved)
        ::setenv("VORLIX_UI_SCALE", saved->c_str(), 1);
    else
        ::unsetenv("VORLIX_UI_SCALE");
}

// The 2x artwork costs nothing until an editor is shown above scale 1: at scale 1 every decoding
// is one of the 1x images the editor keeps while open; at scale 2 the 2x images are decoded
// instead, and no 1x image is. The open editor keeps what it decoded, so the new context that a
// resize brings decodes nothing again.
TEST(VorlixEditorEndToEnd, DoubleResolutionArtworkIsDecodedOnlyAboveScaleOne) {
    using vexagui::PackedImageStore::usage;
    struct Session {
        std::size_t decodes, liveImagesWhileOpen, liveBytesWhileOpen, decodesAfterResize;
    };
    const auto session = [](float scale) {
        const std::size_t before = usage().decodes;
        OpenEditor e;
        std::string error;
        EXPECT_TRUE(e.open(error, scale)) << error;
        const auto labelLit = [&] {
            return anyLit(region(e.win, device(25, scale), device(18, scale), device(145, scale), device(12, scale)));
        };
        EXPECT_TRUE(e.frame.pumpUntil([&] { return e.win.childViewable() && labelLit(); }, 5000));
        Session result{usage().decodes - before, usage().liveImages, usage().liveBytes, 0};
        // A host that resizes the window: the drawable changes, the context is made anew, and the
        // next frames upload everything again.
        Steinberg::ViewRect smaller(0, 0, device(kWidth, scale) - 10, device(kHeight, scale) - 10);
        EXPECT_EQ(e.view->onSize(&smaller), Steinberg::kResultTrue);
        e.frame.pumpUntil([] { return false; }, 200);
        EXPECT_TRUE(labelLit());
        result.decodesAfterResize = usage().decodes - before;
        return result;
    };
    ASSERT_EQ(usage().liveImages, 0u) << "an earlier editor still holds images";
    const Session one = session(1.0f);
    EXPECT_EQ(usage().liveImages, 0u) << "closing the editor lets its images go";
    const Session two = session(2.0f);
    EXPECT_EQ(usage().liveImages, 0u);

    // The images the first frame shows (every bitmap but the about picture, and the font atlas).
    EXPECT_GE(one.decodes, 20u);
    EXPECT_EQ(one.liveImagesWhileOpen, one.decodes) << "every decoding at scale 1 is a 1x image the editor shows";
    EXPECT_EQ(two.decodes, one.decodes) << "the same images, at 2x";
    EXPECT_EQ(two.liveImagesWhileOpen, two.decodes) << "kept while open, and no 1x image decoded at scale 2";
    EXPECT_EQ(two.liveBytesWhileOpen, 4 * one.liveBytesWhileOpen);
    EXPECT_EQ(one.decodesAfterResize, one.decodes);
    EXPECT_EQ(two.decodesAfterResize, two.decodes);
}

TEST(VorlixEditorEndToEnd, ArtworkIsDecodedOncePerProcessAndOnlyWhileAnEditorIsOpen) {
    using vexagui::PackedImageStore::usage;
    const std::size_t decodesAtStart = usage().decodes;

    // Instances whose editor was never opened hold no pixels, whatever else they did.
    VorlixVst3Plugin* idle = new VorlixVst3Plugin();
    ASSERT_EQ(idle->initialize(nullptr), Steinberg::kResultOk);
    idle->setParamNormalized(kFilt1Cutoff, 0.3);
    idle->handleUiControlTag(kPresetListBox, 12.0f);
    EXPECT_EQ(usage().liveBytes, 0u);
    EXPECT_EQ(usage().decodes, decodesAtStart);

    // The first editor decodes each image it shows once: 20 bitmaps and the font atlas. The
    // about picture is decoded only when it is first shown.
    std::string error;
    auto a = std::make_unique<OpenEditor>();
    ASSERT_TRUE(a->open(error)) << error;
    ASSERT_TRUE(firstFrameShown(*a));
    const std::vector<unsigned char> firstPicture = region(a->win, 0, 0, kWidth, kHeight);
    constexpr std::size_t kShownBytes = 587600u + 7u * 423612u + 2u * 3120u + 2u * 4680u + 7u * 512u + 7540u + 24576u;
    EXPECT_EQ(usage().liveImages, 21u);
    EXPECT_EQ(usage().liveBytes, kShownBytes);
    EXPECT_EQ(usage().decodes, decodesAtStart + 21);
    a->win.click(80, 235);  // ABOUT
    ASSERT_TRUE(a->frame.pumpUntil([&] { return usage().liveImages == 22u; }));
    a->win.click(80, 235);  // dismissed; the picture stays decoded while the editor is open
    const vexagui::PackedImageStore::Usage one = usage();
    EXPECT_EQ(one.liveBytes, kShownBytes + 587600u);
    EXPECT_EQ(one.decodes, decodesAtStart + 22);
    ASSERT_TRUE(a->frame.pumpUntil([&] { return region(a->win, 0, 0, kWidth, kHeight) == firstPicture; }));

    // A second instance's editor shares that copy: nothing more is decoded or held.
    auto b = std::make_unique<OpenEditor>();
    ASSERT_TRUE(b->open(error)) << error;
    ASSERT_TRUE(firstFrameShown(*b));
    EXPECT_EQ(usage().liveBytes, one.liveBytes);
    EXPECT_EQ(usage().decodes, one.decodes);
    EXPECT_TRUE(b->frame.pumpUntil([&] { return region(b->win, 0, 0, kWidth, kHeight) == firstPicture; }));

    // Closing one keeps the copy for the other; closing the last gives it back.
    b->close();
    EXPECT_EQ(usage().liveBytes, one.liveBytes);
    a->close();
    EXPECT_EQ(usage().liveBytes, 0u);
    EXPECT_EQ(usage().liveImages, 0u);

    // Reopened, the editor decodes again and shows the same picture.
    b.reset();
    auto c = std::make_unique<OpenEditor>();
    ASSERT_TRUE(c->open(error)) << error;
    ASSERT_TRUE(firstFrameShown(*c));
    EXPECT_EQ(usage().decodes, one.decodes + 21);
    EXPECT_TRUE(c->frame.pumpUntil([&] { return region(c->win, 0, 0, kWidth, kHeight) == firstPicture; }));
    c.reset();
    a.reset();
    EXPECT_EQ(usage().liveBytes, 0u);

    idle->terminate();
    idle->release();
}
