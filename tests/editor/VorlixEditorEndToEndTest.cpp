// The instrument's editor as a user meets it in a host: the component creates its view, the view
// opens inside the host's X11 window (Xvfb), the user clicks the preset box and a line of its popup
// with real X pointer events, and the program changes in the component and on screen.
#include "FakePlugFrame.h"

#include "VorlixVst3Plugin.h"
#include "plugin/VorlixPrograms.h"
#include "vexagui/resources/PackedImageStore.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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

struct OpenEditor {
    X11TestWindow win{kWidth, kHeight};
    VorlixVst3Plugin* plugin = nullptr;
    Steinberg::Vst::IEditController* controller = nullptr;
    FakePlugFrame frame;
    Steinberg::IPlugView* view = nullptr;

    bool open(std::string& error) {
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
    EXPECT_EQ(e.plugin->currentProgramIndex(), 0);

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
    ASSERT_TRUE(e.frame.pumpUntil([&] { return e.plugin->currentProgramIndex() == 10; }));
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
    ASSERT_TRUE(e.frame.pumpUntil([&] { return e.plugin->currentProgramIndex() == 0; }));
    EXPECT_TRUE(e.frame.pumpUntil([&] { return region(e.win, 25, 17, 145, 14) == initSaw; }));
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
