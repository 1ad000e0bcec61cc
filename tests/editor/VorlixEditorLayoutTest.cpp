// The synthesizer's screen as built: every view in creation (drawing) order with its class, tag and
// rectangle, the 36 parameter bindings, control sizes, the preset list, resources and the options.
#include "EditorTestHost.h"

#include "engine/VorlixParamID.h"
#include "vexagui/views/VexaAnimKnob.h"
#include "vexagui/views/VexaBitmapView.h"
#include "vexagui/views/VexaHotspotButton.h"
#include "vexagui/views/VexaKickButton.h"
#include "vexagui/views/VexaListBox.h"
#include "vexagui/views/VexaMultiButton.h"
#include "vexagui/views/VexaOverlayBitmap.h"
#include "vexagui/views/VexaParamDisplay.h"
#include "vexagui/views/VexaSolidRectView.h"
#include "vexagui/views/VexaTextLabel.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace Vorlix;
using namespace Vorlix::test;
using vexagui::Rect;

namespace {

enum class Kind { Bitmap, Knob, Multi, Kick, List, Display, Label, Hotspot, Overlay, Solid, Other };

Kind kindOf(const vexagui::VexaView& v) {
    // Most derived first: a parameter display is also a text label.
    if (dynamic_cast<const vexagui::VexaParamDisplay*>(&v)) return Kind::Display;
    if (dynamic_cast<const vexagui::VexaTextLabel*>(&v)) return Kind::Label;
    if (dynamic_cast<const vexagui::VexaBitmapView*>(&v)) return Kind::Bitmap;
    if (dynamic_cast<const vexagui::VexaAnimKnob*>(&v)) return Kind::Knob;
    if (dynamic_cast<const vexagui::VexaMultiButton*>(&v)) return Kind::Multi;
    if (dynamic_cast<const vexagui::VexaKickButton*>(&v)) return Kind::Kick;
    if (dynamic_cast<const vexagui::VexaListBox*>(&v)) return Kind::List;
    if (dynamic_cast<const vexagui::VexaHotspotButton*>(&v)) return Kind::Hotspot;
    if (dynamic_cast<const vexagui::VexaOverlayBitmap*>(&v)) return Kind::Overlay;
    if (dynamic_cast<const vexagui::VexaSolidRectView*>(&v)) return Kind::Solid;
    return Kind::Other;
}

struct Expected {
    Kind kind;
    int tag;  // controls only; -1 otherwise
    Rect rect;
};

// The panel relative to its top; knobs 41 x 41, switches 30 x 13, selectors 30 x 13, toggles 8 x 8.
const Expected kPanel[] = {
    {Kind::Bitmap, -1, {0, 0, 565, 260}},
    {Kind::Knob, kUnisonDetune, {61, 48, 41, 41}},
    {Kind::Multi, kUseUnisonNice, {107, 51, 30, 13}},
    {Kind::Multi, kUseUnison, {107, 78, 30, 13}},
    {Kind::Knob, kSlideTime, {62, 126, 41, 41}},
    {Kind::Knob, kMaxPoly, {101, 126, 41, 41}},
    {Kind::Multi, kUseLegato, {68, 183, 30, 13}},
    {Kind::Knob, kOsc1WaveType, {173, 47, 41, 41}},
    {Kind::Knob, kOsc2WaveType, {222, 47, 41, 41}},
    {Kind::Multi, kUseOscSync1, {174, 152, 8, 8}},
    {Kind::Multi, kUseOscSync2, {254, 152, 8, 8}},
    {Kind::Multi, kSyncOnTrigger, {214, 70, 8, 8}},
    {Kind::Knob, kOsc1Detune, {173, 103, 41, 41}},
    {Kind::Knob, kOsc2Detune, {222, 103, 41, 41}},
    {Kind::Multi, kOsc1Invert, {179, 167, 30, 13}},
    {Kind::Multi, kOsc2Invert, {228, 167, 30, 13}},
    {Kind::Knob, kOscMix, {222, 194, 41, 41}},
    {Kind::Knob, kSubOscLevel, {173, 194, 41, 41}},
    {Kind::Multi, kSubOscOctave, {204, 234, 8, 8}},
    {Kind::Kick, kSyncNow1, {204, 137, 8, 8}},
    {Kind::Kick, kSyncNow2, {224, 137, 8, 8}},
    {Kind::List, kPresetListBox, {25, 18, 145, 13}},
    {Kind::Kick, kImportPreset, {173, 16, 8, 8}},
    {Kind::Kick, kExportPreset, {173, 24, 8, 8}},
    {Kind::Multi, kPreciseOscillators, {214, 18, 30, 13}},
    {Kind::Knob, kOsc1Attack, {290, 48, 41, 41}},
    {Kind::Knob, kOsc1Decay, {329, 48, 41, 41}},
    {Kind::Knob, kOsc1Sustain, {368, 48, 41, 41}},
    {Kind::Knob, kOsc1Release, {407, 48, 41, 41}},
    {Kind::Knob, kOutputLevel, {482, 48, 41, 41}},
    {Kind::Knob, kFilt1Cutoff, {290, 191, 41, 41}},
    {Kind::Knob, kRes, {329, 191, 41, 41}},
    {Kind::Multi, kKeyboardTracking, {374, 211, 30, 13}},
    {Kind::Knob, kFilt2Cutoff, {407, 211, 41, 41}},
    {Kind::Knob, kGain, {446, 211, 41, 41}},
    {Kind::Multi, kDistortionType, {491, 211, 30, 13}},
    {Kind::Knob, kFilt1Attack, {290, 128, 41, 41}},
    {Kind::Knob, kFilt1Decay, {329, 128, 41, 41}},
    {Kind::Knob, kFilt1Sustain, {368, 128, 41, 41}},
    {Kind::Knob, kFilt1Release, {407, 128, 41, 41}},
    {Kind::Knob, kFilterEnvAmount, {483, 128, 41, 41}},
    {Kind::Multi, kUseFilterEnvVelocity, {451, 148, 30, 13}},
    {Kind::Multi, kUseExp, {342, 104, 30, 13}},
    {Kind::Display, -1, {173, 87, 25, 14}},
    {Kind::Display, -1, {237, 87, 25, 14}},
    {Kind::Display, -1, {109, 177, 25, 14}},
    {Kind::Display, -1, {109, 137, 25, 14}},
    {Kind::Label, -1, {500, 245, 56, 12}},
    {Kind::Hotspot, kAboutBox, {0, 210, 163, 49}},
    {Kind::Hotspot, kAboutBox, {0, 159, 54, 21}},
    {Kind::Overlay, -1, {0, 0, 565, 260}},
};

void expectPanel(const VorlixEditor& editor, std::size_t first, float top) {
    const auto& views = editor.guiRoot().views();
    ASSERT_GE(views.size(), first + std::size(kPanel));
    for (std::size_t i = 0; i < std::size(kPanel); ++i) {
        const Expected& e = kPanel[i];
        const vexagui::VexaView& v = *views[first + i];
        SCOPED_TRACE("panel view " + std::to_string(i));
        EXPECT_EQ(kindOf(v), e.kind);
        EXPECT_EQ(v.id(), static_cast<int>(first + i));
        EXPECT_EQ(v.bounds(), (Rect{e.rect.x, e.rect.y + top, e.rect.width, e.rect.height}));
        if (e.tag >= 0) {
            const auto* control = dynamic_cast<const vexagui::VexaControl*>(&v);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(control->tag(), e.tag);
        }
    }
}

} // namespace

TEST(VorlixEditorLayout, DefaultScreenHasEveryViewInOrderAndPlace) {
    EditorTestHost host;
    VorlixEditor editor(host.callbacks());
    EXPECT_EQ(editor.guiRoot().width(), 565.0f);
    EXPECT_EQ(editor.guiRoot().height(), 260.0f);
    EXPECT_EQ(editor.guiRoot().views().size(), std::size(kPanel));
    expectPanel(editor, 0, 0.0f);
    EXPECT_EQ(editor.channelStripBackgroundView(), nullptr);
    EXPECT_EQ(editor.pianoBackgroundView(), nullptr);
    for (int j = 0; j < 16; ++j) EXPECT_EQ(editor.channelCell(j), nullptr);
}

TEST(VorlixEditorLayout, BindingsCoverEveryHostParameterOnceInCreationOrder) {
    EditorTestHost host;
    VorlixEditor editor(host.callbacks());
    const auto& bindings = editor.paramBindings();
    ASSERT_EQ(bindings.size(), 36u);
    std::vector<int> expectedOrder;
    for (const Expected& e : kPanel)
        if ((e.kind == Kind::Knob || e.kind == Kind::Multi) && e.tag < 36) expectedOrder.push_back(e.tag);  // not the mode switch
    std::set<int> seen;
    for (std::size_t i = 0; i < bindings.size(); ++i) {
        EXPECT_EQ(bindings[i].id, expectedOrder[i]);
        ASSERT_NE(bindings[i].control, nullptr);
        EXPECT_EQ(bindings[i].control->tag(), bindings[i].id);
        seen.insert(bindings[i].id);
    }
    EXPECT_EQ(seen.size(), 36u);
    EXPECT_EQ(*seen.begin(), 0);
    EXPECT_EQ(*seen.rbegin(), 35);
    EXPECT_EQ(bindings.front().id, kUnisonDetune);
    EXPECT_EQ(bindings.back().id, kUseExp);
}

TEST(VorlixEditorLayout, ControlSizesAndFramesFollowTheArtwork) {
    EditorTestHost host;
    VorlixEditor editor(host.callbacks());
    const auto find = [&](int id) -> vexagui::VexaControl* {
        for (const auto& b : editor.paramBindings())
            if (b.id == id) return b.control;
        return nullptr;
    };
    auto* poly = dynamic_cast<vexagui::VexaAnimKnob*>(find(kMaxPoly));
    ASSERT_NE(poly, nullptr);
    EXPECT_EQ(poly->bounds().width, 41.0f);
    EXPECT_EQ(poly->bounds().height, 41.0f);
    EXPECT_EQ(poly->frameCount(), 63);
    auto* unison = dynamic_cast<vexagui::VexaMultiButton*>(find(kUseUnison));
    ASSERT_NE(unison, nullptr);
    EXPECT_EQ(unison->bounds().width, 30.0f);
    EXPECT_EQ(unison->bounds().height, 13.0f);
    EXPECT_EQ(unison->stateCount(), 3);
    auto* octave = dynamic_cast<vexagui::VexaMultiButton*>(find(kSubOscOctave));
    ASSERT_NE(octave, nullptr);
    EXPECT_EQ(octave->bounds().width, 8.0f);
    EXPECT_EQ(octave->bounds().height, 8.0f);
    EXPECT_EQ(octave->stateCount(), 2);
}

TEST(VorlixEditorLayout, PresetListHoldsEveryProgramByIndex) {
    EditorTestHost host;
    VorlixEditor editor(host.callbacks());
    const vexagui::VexaListBox* list = editor.presetListBox();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->items().size(), 61u);
    for (int i = 0; i < 61; ++i) {
        EXPECT_EQ(list->items()[static_cast<std::size_t>(i)].value, i);
        EXPECT_EQ(list->items()[static_cast<std::size_t>(i)].label, programnames[i]);
    }
    EXPECT_EQ(list->items()[10].label, "bass-juno");
}

TEST(VorlixEditorLayout, ResourcesListEveryImageThenTheFont) {
    EditorTestHost host;
    VorlixEditor editor(host.callbacks());
    const int ids[] = {128, 131, 132, 133, 134, 137, 139, 141, 142, 143, 148,
                       149, 150, 151, 152, 153, 154, 155, 159, 160, 162, 20000};
    const auto& res = editor.resourceList();
    ASSERT_EQ(res.size(), std::size(ids));
    for (std::size_t i = 0; i < res.size(); ++i) {
        EXPECT_EQ(res[i].id, ids[i]);
        EXPECT_EQ(&editor.resourceById(ids[i]), &res[i]);
        EXPECT_NE(res[i].flags & vexagui::ResourceSpec::kHasPixels, 0u) << ids[i];
        EXPECT_EQ(res[i].pixels.size(), static_cast<std::size_t>(res[i].width) * res[i].height * 4) << ids[i];
    }
    EXPECT_EQ(editor.resourceById(128).width, 565);
    EXPECT_EQ(editor.resourceById(155).height, 13);
    const vexagui::ResourceSpec& missing = editor.resourceById(999);
    EXPECT_EQ(missing.id, -1);
    EXPECT_EQ(missing.width, 0);
    EXPECT_EQ(missing.channels, 4);
    EXPECT_TRUE(missing.pixels.empty());
}

TEST(VorlixEditorLayout, OptionsAddTheChannelRowAndTheKeyboard) {
    struct Case {
        bool strip;
        bool piano;
        float height;
    };
    for (const Case c : {Case{true, false, 290.0f}, Case{false, true, 344.0f}, Case{true, true, 374.0f}}) {
        SCOPED_TRACE(std::to_string(c.height));
        EditorTestHost host;
        VorlixEditor editor(host.callbacks(true), VorlixEditor::Options{c.strip, c.piano});
        EXPECT_EQ(editor.guiRoot().height(), c.height);
        const float top = c.strip ? 30.0f : 0.0f;
        const std::size_t stripViews = c.strip ? 1 + 16 * 3 : 0;
        const std::size_t pianoViews = c.piano ? 2 : 0;
        const auto& views = editor.guiRoot().views();
        ASSERT_EQ(views.size(), stripViews + std::size(kPanel) + pianoViews);
        expectPanel(editor, stripViews, top);
        if (c.strip) {
            ASSERT_NE(editor.channelStripBackgroundView(), nullptr);
            EXPECT_EQ(editor.channelStripBackgroundView()->bounds(), (Rect{0, 0, 565, 30}));
            EXPECT_EQ(editor.channelStripBackgroundView()->color(), (vexagui::Color{24, 18, 14, 255}));
            for (int j = 0; j < 16; ++j) {
                const Rect cell{9.0f + 34.0f * static_cast<float>(j), 6, 30, 18};
                const std::size_t at = 1 + 3 * static_cast<std::size_t>(j);
                EXPECT_EQ(views[at].get(), editor.channelCell(j));
                EXPECT_EQ(views[at]->bounds(), cell);
                EXPECT_EQ(kindOf(*views[at + 1]), Kind::Hotspot);
                EXPECT_EQ(dynamic_cast<const vexagui::VexaControl&>(*views[at + 1]).tag(), 1200 + j);
                EXPECT_EQ(views[at + 1]->bounds(), cell);
                ASSERT_EQ(kindOf(*views[at + 2]), Kind::Label);
                EXPECT_EQ(dynamic_cast<const vexagui::VexaTextLabel&>(*views[at + 2]).text(), std::to_string(j + 1));
            }
        }
        if (c.piano) {
            ASSERT_NE(editor.pianoBackgroundView(), nullptr);
            const Rect area{0, top + 260, 565, 84};
            EXPECT_EQ(editor.pianoBackgroundView()->bounds(), area);
            EXPECT_EQ(views.back()->bounds(), area);
            EXPECT_EQ(kindOf(*views.back()), Kind::Other);  // the keyboard
        }
    }
}
