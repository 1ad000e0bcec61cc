// Layout and host bridge of the synthesizer's screen.
#include "editor/VorlixEditor.h"

#include "editor/VorlixPianoView.h"
#include "instrument/VorlixParameters.h"
#include "vexagui/resources/EmbeddedResources.h"
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

#include <cmath>
#include <cstdio>
#include <string>

namespace Vorlix {
namespace {

using vexagui::Color;
using vexagui::Rect;

struct ImageEntry {
    std::int32_t id;
    std::int32_t width;
    std::int32_t height;
};

// Every image the editor uses, in ascending id order, with the size the layout expects.
constexpr ImageEntry kImages[] = {
    {kPanelBackgroundImage, 565, 260}, {kStandardKnobImage, 41, 2583},   {kOscMixKnobImage, 41, 2583},
    {kAttackKnobImage, 41, 2583},      {kUnisonDetuneKnobImage, 41, 2583}, {kOsc2ShapeKnobImage, 41, 2583},
    {kOsc1ShapeKnobImage, 41, 2583},   {kSwitchImage, 30, 26},           {kSwitchImage2, 30, 26},
    {kAboutImage, 565, 260},           {kSelectorImage, 30, 39},         {kSelectorImage2, 30, 39},
    {kOscSyncToggleImage, 8, 16},      {kSyncOnTriggerToggleImage, 8, 16}, {kCopyDetune1To2Image, 8, 16},
    {kCopyDetune2To1Image, 8, 16},     {kOutputLevelKnobImage, 41, 2583}, {kPresetListImage, 145, 13},
    {kExportButtonImage, 8, 16},       {kImportButtonImage, 8, 16},      {kSubOctaveToggleImage, 8, 16},
};

// One parameter control of the panel: states 0 is a knob, 2 or 3 a multi-state button.
struct ControlPlacement {
    std::int32_t id;
    int image;
    int states;
    float x;
    float y;  // relative to the panel's top
};

constexpr int K = 0;

// Creation order is drawing order and binding order.
constexpr ControlPlacement kLeftControls[] = {
    {kUnisonDetune, kUnisonDetuneKnobImage, K, 61, 48},
    {kUseUnisonNice, kSwitchImage, 2, 107, 51},
    {kUseUnison, kSelectorImage, 3, 107, 78},
    {kSlideTime, kAttackKnobImage, K, 62, 126},
    {kMaxPoly, kStandardKnobImage, K, 101, 126},
    {kUseLegato, kSwitchImage2, 2, 68, 183},
    {kOsc1WaveType, kOsc1ShapeKnobImage, K, 173, 47},
    {kOsc2WaveType, kOsc2ShapeKnobImage, K, 222, 47},
    {kUseOscSync1, kOscSyncToggleImage, 2, 174, 152},
    {kUseOscSync2, kOscSyncToggleImage, 2, 254, 152},
    {kSyncOnTrigger, kSyncOnTriggerToggleImage, 2, 214, 70},
    {kOsc1Detune, kStandardKnobImage, K, 173, 103},
    {kOsc2Detune, kStandardKnobImage, K, 222, 103},
    {kOsc1Invert, kSwitchImage, 2, 179, 167},
    {kOsc2Invert, kSwitchImage2, 2, 228, 167},
    {kOscMix, kOscMixKnobImage, K, 222, 194},
    {kSubOscLevel, kStandardKnobImage, K, 173, 194},
    {kSubOscOctave, kSubOctaveToggleImage, 2, 204, 234},
};

constexpr ControlPlacement kRightControls[] = {
    {kOsc1Attack, kAttackKnobImage, K, 290, 48},
    {kOsc1Decay, kStandardKnobImage, K, 329, 48},
    {kOsc1Sustain, kStandardKnobImage, K, 368, 48},
    {kOsc1Release, kStandardKnobImage, K, 407, 48},
    {kOutputLevel, kOutputLevelKnobImage, K, 482, 48},
    {kFilt1Cutoff, kStandardKnobImage, K, 290, 191},
    {kRes, kStandardKnobImage, K, 329, 191},
    {kKeyboardTracking, kSelectorImage, 3, 374, 211},
    {kFilt2Cutoff, kStandardKnobImage, K, 407, 211},
    {kGain, kStandardKnobImage, K, 446, 211},
    {kDistortionType, kSelectorImage, 3, 491, 211},
    {kFilt1Attack, kAttackKnobImage, K, 290, 128},
    {kFilt1Decay, kStandardKnobImage, K, 329, 128},
    {kFilt1Sustain, kStandardKnobImage, K, 368, 128},
    {kFilt1Release, kStandardKnobImage, K, 407, 128},
    {kFilterEnvAmount, kStandardKnobImage, K, 483, 128},
    {kUseFilterEnvVelocity, kSelectorImage2, 3, 451, 148},
    {kUseExp, kSelectorImage2, 3, 342, 104},
};

constexpr Color kChannelStripColor{24, 18, 14, 255};
constexpr Color kChannelCellColor{62, 44, 28, 255};
constexpr Color kChannelSelectedColor{214, 120, 24, 255};
constexpr Color kPianoBackgroundColor{20, 16, 14, 255};

constexpr const char* kShapeNames[] = {"Saw", "Sqr", "Tri", "Sin", "Wht", "Pnk"};
constexpr const char* kLibraryText = "VexaGui";

float editorHeight(const VorlixEditor::Options& options) {
    return VorlixEditor::kPanelHeight + (options.showChannelStrip ? VorlixEditor::kChannelStripHeight : 0.0f) +
           (options.showPiano ? VorlixEditor::kPianoHeight : 0.0f);
}

// Truncation of a value that may be NaN or huge: NaN reads as 0, the result is clamped first.
int truncateClamped(float v, int lo, int hi) {
    if (std::isnan(v)) return lo < 0 ? 0 : lo;
    if (v <= static_cast<float>(lo)) return lo;
    if (v >= static_cast<float>(hi)) return hi;
    return static_cast<int>(v);
}

} // namespace

VorlixEditor::VorlixEditor(const HostCallbacks& cb) : VorlixEditor(cb, Options{}) {}

VorlixEditor::VorlixEditor(const HostCallbacks& cb, const Options& opts)
    : callbacks(cb), options(opts), font(), gui(kWidth, editorHeight(opts)) {
    buildResources();
    buildLayout();
    gui.onControlChanged = [this](int tag, float value) { handleControlChanged(tag, value); };
    syncFromHost();
}

const vexagui::ResourceSpec& VorlixEditor::resourceById(int id) const {
    for (const vexagui::ResourceSpec& spec : resources)
        if (spec.id == id) return spec;
    static const vexagui::ResourceSpec empty = vexagui::ResourceSpec::placeholder(-1);
    return empty;
}

void VorlixEditor::buildResources() {
    vexagui::setResourcePack(&vexagui::kResourcePack);
    font = vexagui::VexaBitmapFont::resolve(kFontAtlas, "vorlix/resources/bitrune.kerning.json", 1.5f);
    resources.reserve(std::size(kImages) + 1);
    char path[64];
    for (const ImageEntry& image : kImages) {
        std::snprintf(path, sizeof path, "vorlix/resources/bmp%05d.png", static_cast<int>(image.id));
        if (const vexagui::PackedResource* packed = vexagui::lookupPackedResource(path))
            resources.push_back(packed->asImageResourceSpec(image.id, image.width, image.height));
        else
            resources.push_back(vexagui::ResourceSpec::placeholder(image.id, image.width, image.height));
    }
    resources.push_back(font.resourceSpec());
}

void VorlixEditor::addKnob(std::int32_t id, int image, float x, float y) {
    const vexagui::ResourceSpec& s = resourceById(image);
    const int frames = s.width <= 0 ? 1 : s.height / s.width;
    const auto side = static_cast<float>(s.width);
    auto& knob = gui.addView<vexagui::VexaAnimKnob>(id, s.id, Rect{x, y, side, side}, frames);
    bindings.push_back({id, &knob});
}

void VorlixEditor::addMultiButton(std::int32_t id, int image, int states, float x, float y) {
    const vexagui::ResourceSpec& s = resourceById(image);
    const Rect r{x, y, static_cast<float>(s.width), static_cast<float>(s.height / states)};
    auto& button = gui.addView<vexagui::VexaMultiButton>(id, s.id, r, states);
    bindings.push_back({id, &button});
}

void VorlixEditor::addKickButton(std::int32_t tag, int image, float x, float y) {
    const vexagui::ResourceSpec& s = resourceById(image);
    gui.addView<vexagui::VexaKickButton>(tag, s.id,
                                         Rect{x, y, static_cast<float>(s.width), static_cast<float>(s.height) * 0.5f});
}

void VorlixEditor::buildLayout() {
    const float top = options.showChannelStrip ? kChannelStripHeight : 0.0f;
    const auto place = [&](const ControlPlacement& c) {
        if (c.states == K)
            addKnob(c.id, c.image, c.x, top + c.y);
        else
            addMultiButton(c.id, c.image, c.states, c.x, top + c.y);
    };

    if (options.showChannelStrip) {
        channelStripBackground = &gui.addView<vexagui::VexaSolidRectView>(Rect{0, 0, kWidth, 30}, kChannelStripColor);
        for (int j = 0; j < 16; ++j) {
            const Rect cell{9.0f + 34.0f * static_cast<float>(j), 6, 30, 18};
            channelCells[static_cast<std::size_t>(j)] = &gui.addView<vexagui::VexaSolidRectView>(cell, kChannelCellColor);
            gui.addView<vexagui::VexaHotspotButton>(kChannelButton0 + j, cell);
            gui.addView<vexagui::VexaTextLabel>(font, cell, std::to_string(j + 1));
        }
    }

    gui.addView<vexagui::VexaBitmapView>(kPanelBackgroundImage, Rect{0, top, kWidth, kPanelHeight});

    for (const ControlPlacement& c : kLeftControls) place(c);

    addKickButton(kSyncNow1, kCopyDetune2To1Image, 204, top + 137);
    addKickButton(kSyncNow2, kCopyDetune1To2Image, 224, top + 137);

    const vexagui::ResourceSpec& listImage = resourceById(kPresetListImage);
    const auto listWidth = static_cast<float>(listImage.width);
    presetList = &gui.addView<vexagui::VexaListBox>(
        kPresetListBox, listImage.id, font, Rect{25, top + 18, listWidth, static_cast<float>(listImage.height)});
    std::vector<vexagui::ListItem> items;
    const int programCount = callbacks.getProgramCount ? callbacks.getProgramCount() : 0;
    items.reserve(static_cast<std::size_t>(programCount > 0 ? programCount : 0));
    for (int i = 0; i < programCount; ++i) {
        const char* name = callbacks.getProgramName ? callbacks.getProgramName(i) : nullptr;
        items.push_back({i, name != nullptr ? name : ""});
    }
    presetList->setItems(items);

    const float presetButtonsX = listWidth + 28.0f;
    addKickButton(kImportPreset, kImportButtonImage, presetButtonsX, top + 16);
    addKickButton(kExportPreset, kExportButtonImage, presetButtonsX, top + 24);
    // The oscillator mode belongs to the instance, like the program and its files: on their plate.
    const vexagui::ResourceSpec& modeImage = resourceById(kSwitchImage);
    preciseSwitch = &gui.addView<vexagui::VexaMultiButton>(
        kPreciseOscillators, modeImage.id,
        Rect{214, top + 18, static_cast<float>(modeImage.width), static_cast<float>(modeImage.height / 2)}, 2);

    for (const ControlPlacement& c : kRightControls) place(c);

    const Rect readoutRects[4] = {
        {173, top + 87, 25, 14}, {237, top + 87, 25, 14}, {109, top + 177, 25, 14}, {109, top + 137, 25, 14}};
    for (std::size_t i = 0; i < readouts.size(); ++i)
        readouts[i] = &gui.addView<vexagui::VexaParamDisplay>(font, readoutRects[i], std::string());

    libraryLabel = &gui.addView<vexagui::VexaTextLabel>(font, Rect{500, top + 245, 56, 12}, std::string(kLibraryText));

    gui.addView<vexagui::VexaHotspotButton>(kAboutBox, Rect{0, top + 210, 163, 49});
    gui.addView<vexagui::VexaHotspotButton>(kAboutBox, Rect{0, top + 159, 54, 21});

    aboutOverlay = &gui.addView<vexagui::VexaOverlayBitmap>(kAboutImage, Rect{0, top, kWidth, kPanelHeight});

    if (options.showPiano) {
        const Rect area{0, top + kPanelHeight, kWidth, kPianoHeight};
        pianoBackground = &gui.addView<vexagui::VexaSolidRectView>(area, kPianoBackgroundColor);
        VorlixPianoView::Callbacks notes;
        notes.noteOn = [this](std::int32_t note) {
            if (callbacks.onPianoNoteOn) callbacks.onPianoNoteOn(note);
        };
        notes.noteOff = [this](std::int32_t note) {
            if (callbacks.onPianoNoteOff) callbacks.onPianoNoteOff(note);
        };
        gui.addView<VorlixPianoView>(area, std::move(notes));
    }
}

void VorlixEditor::handleControlChanged(int tag, float value) {
    if (tag == kAboutBox) {
        showAboutOverlay(true);
        return;
    }
    if (tag >= kChannelButton0 && tag <= kChannelButton15) {
        if (callbacks.onChannelSelected) callbacks.onChannelSelected(tag - kChannelButton0);
    } else if (callbacks.onControlTag) {
        callbacks.onControlTag(tag, value);
    }
    syncFromHost();
}

void VorlixEditor::showAboutOverlay(bool show) {
    if (aboutOverlay != nullptr) aboutOverlay->show(show);
}

void VorlixEditor::syncFromHost() {
    if (callbacks.getParamValue) {
        for (const ParamBinding& binding : bindings)
            if (binding.control != nullptr && binding.id <= 35)
                binding.control->setNormalizedValue(callbacks.getParamValue(binding.id));
    }
    if (options.showChannelStrip && callbacks.getSelectedChannel) {
        const int selected = callbacks.getSelectedChannel();
        for (std::size_t j = 0; j < channelCells.size(); ++j) {
            vexagui::VexaSolidRectView* cell = channelCells[j];
            if (cell == nullptr) continue;
            const Color wanted = static_cast<int>(j) == selected ? kChannelSelectedColor : kChannelCellColor;
            if (!(cell->color() == wanted)) cell->setColor(wanted);
        }
    }
    if (presetList != nullptr && callbacks.getCurrentProgram)
        presetList->setSelectedValue(callbacks.getCurrentProgram(), false);
    if (preciseSwitch != nullptr && callbacks.getPreciseOscillators)
        preciseSwitch->setNormalizedValue(callbacks.getPreciseOscillators() ? 1.0f : 0.0f);
    refreshDisplays();
}

void VorlixEditor::refreshDisplays() {
    const float w1 = callbacks.getParamValue ? callbacks.getParamValue(kOsc1WaveType) : 0.0f;
    const float w2 = callbacks.getParamValue ? callbacks.getParamValue(kOsc2WaveType) : 0.0f;
    const float p = callbacks.getParamValue ? callbacks.getParamValue(kMaxPoly) : 0.0f;
    const int v = callbacks.getActiveVoiceCount ? callbacks.getActiveVoiceCount() : 0;

    char shape1[8];
    char shape2[8];
    std::snprintf(shape1, sizeof shape1, "%s", kShapeNames[truncateClamped((w1 + 0.1f) * 5.0f, 0, 5)]);
    std::snprintf(shape2, sizeof shape2, "%s", kShapeNames[truncateClamped((w2 + 0.1f) * 5.0f, 0, 5)]);
    char voices[32];
    std::snprintf(voices, sizeof voices, "%d", v);
    // Host values are clamped to 0..1 on entry, so this gives 1 to 10; the clamp keeps a stray
    // callback value from overflowing the conversion.
    char poly[8];
    std::snprintf(poly, sizeof poly, "%d", truncateClamped(p * 9.0f + 1.0f, -999999, 9999999));

    const char* texts[4] = {shape1, shape2, voices, poly};
    for (std::size_t i = 0; i < readouts.size(); ++i)
        if (readouts[i] != nullptr) readouts[i]->setText(texts[i]);
    if (libraryLabel != nullptr) libraryLabel->setText(kLibraryText);
}

vexagui::VexaParamDisplay* VorlixEditor::readout(int index) const {
    if (index < 0 || index >= static_cast<int>(readouts.size())) return nullptr;
    return readouts[static_cast<std::size_t>(index)];
}

vexagui::VexaSolidRectView* VorlixEditor::channelCell(int channel) const {
    if (channel < 0 || channel >= static_cast<int>(channelCells.size())) return nullptr;
    return channelCells[static_cast<std::size_t>(channel)];
}

} // namespace Vorlix
