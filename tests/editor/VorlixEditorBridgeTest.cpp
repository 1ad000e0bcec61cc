// What the screen sends to its owner and how it follows the owner's values: read-outs, the preset
// list, the about overlay, the channel row and empty callbacks.
#include "EditorTestHost.h"

#include "RecordingRenderer.h"
#include "engine/VorlixParamID.h"
#include "vexagui/views/VexaListBox.h"
#include "vexagui/views/VexaOverlayBitmap.h"
#include "vexagui/views/VexaParamDisplay.h"
#include "vexagui/views/VexaSolidRectView.h"
#include "vexagui/views/VexaTextLabel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace Vorlix;
using namespace Vorlix::test;

namespace {

std::string readoutText(const VorlixEditor& editor, int i) { return editor.readout(i)->text(); }

} // namespace

TEST(VorlixEditorBridge, ShapeReadoutsFollowTheWaveKnobs) {
    struct Case {
        float value;
        const char* text;
    };
    const Case cases[] = {{0.0f, "Saw"}, {0.09f, "Saw"}, {0.2f, "Sqr"}, {0.4f, "Tri"}, {0.45f, "Tri"},
                          {0.55f, "Sin"}, {0.6f, "Sin"},  {0.8f, "Wht"}, {1.0f, "Pnk"}, {-3.0f, "Saw"},
                          {7.0f, "Pnk"},  {std::numeric_limits<float>::quiet_NaN(), "Saw"}};
    EditorTestHost host;
    VorlixEditor editor(host.callbacks());
    host.editor = &editor;
    for (const Case& c : cases) {
        host.values[kOsc1WaveType] = c.value;
        host.values[kOsc2WaveType] = 1.0f - c.value;
        editor.refreshDisplays();
        EXPECT_EQ(readoutText(editor, 0), c.text) << c.value;
    }
    host.values[kOsc2WaveType] = 0.6f;
    editor.refreshDisplays();
    EXPECT_EQ(readoutText(editor, 1), "Sin");
}

TEST(VorlixEditorBridge, NumberReadoutsShowVoicesAndPolyphony) {
    struct Case {
        float poly;
        int voices;
        const char* polyText;
        const char* voiceText;
    };
    const Case cases[] = {{0.0f, 0, "1", "0"}, {0.5f, 3, "5", "3"}, {1.0f, 10, "10", "10"}, {0.99f, 32, "9", "32"}};
    EditorTestHost host;
    VorlixEditor editor(host.callbacks());
    for (const Case& c : cases) {
        host.values[kMaxPoly] = c.poly;
        host.voices = c.voices;
        editor.syncFromHost();
        EXPECT_EQ(readoutText(editor, 3), c.polyText);
        EXPECT_EQ(readoutText(editor, 2), c.voiceText);
    }
    EXPECT_EQ(editor.libraryTextLabel()->text(), "VexaGui");
}

TEST(VorlixEditorBridge, TurningAKnobReachesTheHostAndTheReadout) {
    EditorTestHost host;
    VorlixEditor editor(host.callbacks());
    host.editor = &editor;
    // The oscillator 1 shape knob at (173, 47): 0.55 is 122.2 pixels of upward drag.
    editor.pointerDown(190, 60, 1);
    editor.pointerMove(190, 60 - 0.55f / 0.0045f, 1);
    editor.pointerUp(190, 60 - 0.55f / 0.0045f, 0);
    ASSERT_FALSE(host.tags.empty());
    EXPECT_EQ(host.tags.back().first, kOsc1WaveType);
    EXPECT_NEAR(host.tags.back().second, 0.55f, 1e-4f);
    EXPECT_EQ(readoutText(editor, 0), "Sin");
}

TEST(VorlixEditorBridge, PickingBassJunoLoadsProgramTen) {
    EditorTestHost host;
    host.loadProgram(0);
    VorlixEditor editor(host.callbacks());
    host.editor = &editor;
    vexagui::VexaListBox* list = editor.presetListBox();
    EXPECT_EQ(list->selectedLabel(), "InitSaw");

    clickAt(editor, 60, 24);  // opens the popup below the box (lines of 13 pixels from y 31)
    ASSERT_TRUE(list->hasOverlay());
    clickAt(editor, 60, 31 + 10 * 13 + 6);

    ASSERT_EQ(host.tags.size(), 1u);
    EXPECT_EQ(host.tags[0].first, kPresetListBox);
    EXPECT_EQ(host.tags[0].second, 10.0f);
    EXPECT_FALSE(list->hasOverlay());
    EXPECT_EQ(list->selectedLabel(), "bass-juno");
    for (const auto& b : editor.paramBindings()) {
        const int count = static_cast<int>(programs[10][0]);
        const float expected = b.id < count ? programs[10][1 + b.id] : 0.0f;
        EXPECT_FLOAT_EQ(b.control->normalizedValue(), expected) << b.id;
    }
}

TEST(VorlixEditorBridge, AboutHotspotsShowTheOverlayWithoutTheHost) {
    for (const vexagui::Point at : {vexagui::Point{80, 230}, vexagui::Point{20, 170}}) {
        EditorTestHost host;
        VorlixEditor editor(host.callbacks());
        host.editor = &editor;
        const auto before = host.tags.size();
        clickAt(editor, at.x, at.y);
        EXPECT_TRUE(editor.aboutOverlayView()->shown());
        EXPECT_EQ(host.tags.size(), before);
        // The next click anywhere dismisses it and reaches nothing below (here: a knob).
        clickAt(editor, 190, 60);
        EXPECT_FALSE(editor.aboutOverlayView()->shown());
        EXPECT_EQ(host.tags.size(), before);
    }
}

TEST(VorlixEditorBridge, ShownOverlayDrawsAboveEverything) {
    EditorTestHost host;
    VorlixEditor editor(host.callbacks());
    vexagui::test::RecordingRenderer renderer;
    editor.guiRoot().setContext(&renderer);
    editor.showAboutOverlay(true);
    editor.guiRoot().syncContext();
    ASSERT_FALSE(renderer.scene.empty());
    EXPECT_EQ(renderer.scene.back(), editor.aboutOverlayView()->quad());
    const auto visuals = renderer.sceneVisuals();
    EXPECT_EQ(visuals.front().dst, (vexagui::Rect{0, 0, 565, 260}));  // the panel at the back
    editor.guiRoot().setContext(nullptr);
}

TEST(VorlixEditorBridge, EmptyCallbacksStillBuildAndRefresh) {
    VorlixEditor editor(VorlixEditor::HostCallbacks{}, VorlixEditor::Options{true, true});
    editor.syncFromHost();
    EXPECT_EQ(readoutText(editor, 0), "Saw");
    EXPECT_EQ(readoutText(editor, 1), "Saw");
    EXPECT_EQ(readoutText(editor, 2), "0");
    EXPECT_EQ(readoutText(editor, 3), "1");
    for (const auto& b : editor.paramBindings()) EXPECT_EQ(b.control->normalizedValue(), 0.0f);
    // Gestures with nobody listening: a knob, a channel cell, the keyboard, the export button.
    editor.pointerDown(190, 90, 1);
    editor.pointerMove(190, 40, 1);
    editor.pointerUp(190, 40, 0);
    clickAt(editor, 20, 15);
    clickAt(editor, 20, 290 + 60);
    clickAt(editor, 177, 30 + 28);
    EXPECT_EQ(editor.channelCell(0)->color(), (vexagui::Color{62, 44, 28, 255}));
}

TEST(VorlixEditorBridge, ChannelRowPicksAndHighlightsTheChannel) {
    EditorTestHost host;
    host.channel = 2;
    VorlixEditor editor(host.callbacks(true), VorlixEditor::Options{true, false});
    const vexagui::Color selected{214, 120, 24, 255};
    const vexagui::Color normal{62, 44, 28, 255};
    for (int j = 0; j < 16; ++j) EXPECT_EQ(editor.channelCell(j)->color(), j == 2 ? selected : normal);

    clickAt(editor, 9 + 34 * 5 + 15, 15);  // channel 5
    ASSERT_EQ(host.channelPicks.size(), 1u);
    EXPECT_EQ(host.channelPicks[0], 5);
    EXPECT_TRUE(host.tags.empty());
    for (int j = 0; j < 16; ++j) EXPECT_EQ(editor.channelCell(j)->color(), j == 5 ? selected : normal);

    host.channel = 99;  // out of range: nothing is highlighted
    editor.syncFromHost();
    for (int j = 0; j < 16; ++j) EXPECT_EQ(editor.channelCell(j)->color(), normal);
}

TEST(VorlixEditorBridge, CommandButtonsSendTheirTags) {
    struct Case {
        float x;
        float y;
        int tag;
    };
    const Case cases[] = {{177, 20, kImportPreset}, {177, 28, kExportPreset}, {208, 141, kSyncNow1}, {228, 141, kSyncNow2}};
    for (const Case& c : cases) {
        EditorTestHost host;
        VorlixEditor editor(host.callbacks());
        clickAt(editor, c.x, c.y);
        ASSERT_EQ(host.tags.size(), 1u) << c.tag;
        EXPECT_EQ(host.tags[0].first, c.tag);
        EXPECT_EQ(host.tags[0].second, 1.0f);
    }
}

TEST(VorlixEditorBridge, PreciseSwitchShowsAndSwitchesTheInstancesOscillatorMode) {
    EditorTestHost host;
    VorlixEditor editor(host.callbacks());
    host.editor = &editor;
    vexagui::VexaControl* mode = editor.preciseOscillatorsSwitch();
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->normalizedValue(), 1.0f);  // a new instance plays precise
    for (const float expected : {0.0f, 1.0f}) {
        clickAt(editor, 229, 24);
        ASSERT_FALSE(host.tags.empty());
        EXPECT_EQ(host.tags.back(), std::make_pair(static_cast<int>(kPreciseOscillators), expected));
        EXPECT_EQ(mode->normalizedValue(), expected);
    }
    // A restore elsewhere (state, preset) shows on the next refresh.
    host.precise = false;
    editor.syncFromHost();
    EXPECT_EQ(mode->normalizedValue(), 0.0f);
}
