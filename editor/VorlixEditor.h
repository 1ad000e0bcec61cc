// The synthesizer's screen model: the toolkit root filled with the fixed layout of bitmap
// controls, read-outs, the preset list and the about overlay, plus the bridge through which the
// screen reaches its owner (its host callbacks) and pulls values back (syncFromHost).
// Everything here runs on the user-interface thread.
#pragma once

#include "vexagui/render/ResourceSpec.h"
#include "vexagui/views/VexaBitmapFont.h"
#include "vexagui/views/VexaEditor.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace vexagui {
class VexaControl;
class VexaSolidRectView;
class VexaListBox;
class VexaParamDisplay;
class VexaTextLabel;
class VexaOverlayBitmap;
} // namespace vexagui

namespace Vorlix {

// Image resources; the number is also the one in the image's path ("vorlix/resources/bmp00128.png").
enum ResourceID : std::int32_t {
    kPanelBackgroundImage = 128,
    kStandardKnobImage = 131,
    kOscMixKnobImage = 132,
    kAttackKnobImage = 133,
    kUnisonDetuneKnobImage = 134,
    kOsc2ShapeKnobImage = 137,
    kOsc1ShapeKnobImage = 139,
    kSwitchImage = 141,
    kSwitchImage2 = 142,
    kAboutImage = 143,
    kSelectorImage = 148,
    kSelectorImage2 = 149,
    kOscSyncToggleImage = 150,
    kSyncOnTriggerToggleImage = 151,
    kCopyDetune1To2Image = 152,
    kCopyDetune2To1Image = 153,
    kOutputLevelKnobImage = 154,
    kPresetListImage = 155,
    kExportButtonImage = 159,
    kImportButtonImage = 160,
    kSubOctaveToggleImage = 162,
    kFontAtlas = 20000,
};

// The editor's command tags that are not parameters.
enum NonParameterGUI : std::int32_t {
    kAboutBox = 907,
    kExportPreset = 909,
    kImportPreset = 910,
    kPreciseOscillators = 911,  // the instance's oscillator mode: 1 precise, 0 classic
    kChannelButton0 = 1200,  // 1200 + channel, channel 0 to 15
    kChannelButton15 = 1215,
};

class VorlixEditor {
public:
    // Each member may be empty; an empty one is simply not called.
    struct HostCallbacks {
        std::function<void(int tag, float value)> onControlTag;
        std::function<float(int id)> getParamValue;
        std::function<int()> getCurrentProgram;
        std::function<int()> getActiveVoiceCount;
        std::function<int()> getSelectedChannel;
        std::function<void(int channel)> onChannelSelected;
        std::function<void(int note)> onPianoNoteOn;
        std::function<void(int note)> onPianoNoteOff;
        std::function<bool()> getPreciseOscillators;
        // The built-in programs the preset list offers, read once when the screen is built.
        std::function<int()> getProgramCount;
        std::function<const char*(int index)> getProgramName;
    };

    struct Options {
        bool showChannelStrip = false;  // 30-pixel channel row above the panel
        bool showPiano = false;         // 84-pixel keyboard below the panel
    };

    struct ParamBinding {
        std::int32_t id = 0;
        vexagui::VexaControl* control = nullptr;
    };

    static constexpr float kWidth = 565.0f;
    static constexpr float kPanelHeight = 260.0f;
    static constexpr float kChannelStripHeight = 30.0f;
    static constexpr float kPianoHeight = 84.0f;

    explicit VorlixEditor(const HostCallbacks& callbacks);
    VorlixEditor(const HostCallbacks& callbacks, const Options& options);
    // The gui root's control handler and the views refer to this object: it never moves.
    VorlixEditor(const VorlixEditor&) = delete;
    VorlixEditor& operator=(const VorlixEditor&) = delete;

    // The first resource with that id, or a shared empty spec (id -1, no data) so that a missing
    // image yields controls of size 0 rather than a failure.
    const vexagui::ResourceSpec& resourceById(int id) const;

    // Pull every value into the screen through the callbacks; refreshDisplays updates the read-outs only.
    void syncFromHost();
    void refreshDisplays();
    void handleControlChanged(int tag, float value);
    void showAboutOverlay(bool show);

    void pointerDown(float x, float y, std::uint32_t buttons) { gui.pointerDown(x, y, buttons); }
    void pointerMove(float x, float y, std::uint32_t buttons) { gui.pointerMove(x, y, buttons); }
    void pointerUp(float x, float y, std::uint32_t buttons) { gui.pointerUp(x, y, buttons); }

    vexagui::VexaEditor& guiRoot() { return gui; }
    const vexagui::VexaEditor& guiRoot() const { return gui; }
    const Options& editorOptions() const { return options; }
    const std::vector<vexagui::ResourceSpec>& resourceList() const { return resources; }
    const vexagui::VexaBitmapFont& editorFont() const { return font; }
    const std::vector<ParamBinding>& paramBindings() const { return bindings; }
    vexagui::VexaListBox* presetListBox() const { return presetList; }
    vexagui::VexaControl* preciseOscillatorsSwitch() const { return preciseSwitch; }
    // 0 oscillator 1 shape, 1 oscillator 2 shape, 2 active voices, 3 polyphony.
    vexagui::VexaParamDisplay* readout(int index) const;
    vexagui::VexaTextLabel* libraryTextLabel() const { return libraryLabel; }
    vexagui::VexaOverlayBitmap* aboutOverlayView() const { return aboutOverlay; }
    vexagui::VexaSolidRectView* channelCell(int channel) const;
    vexagui::VexaSolidRectView* channelStripBackgroundView() const { return channelStripBackground; }
    vexagui::VexaSolidRectView* pianoBackgroundView() const { return pianoBackground; }

private:
    void buildResources();
    void buildLayout();
    void addKnob(std::int32_t id, int image, float x, float y);
    void addMultiButton(std::int32_t id, int image, int states, float x, float y);
    void addKickButton(std::int32_t tag, int image, float x, float y);

    HostCallbacks callbacks;
    Options options;
    std::vector<vexagui::ResourceSpec> resources;
    vexagui::VexaBitmapFont font;
    vexagui::VexaEditor gui;
    std::vector<ParamBinding> bindings;
    std::array<vexagui::VexaSolidRectView*, 16> channelCells{};
    vexagui::VexaSolidRectView* channelStripBackground = nullptr;
    vexagui::VexaSolidRectView* pianoBackground = nullptr;
    vexagui::VexaListBox* presetList = nullptr;
    vexagui::VexaControl* preciseSwitch = nullptr;
    std::array<vexagui::VexaParamDisplay*, 4> readouts{};
    vexagui::VexaTextLabel* libraryLabel = nullptr;
    vexagui::VexaOverlayBitmap* aboutOverlay = nullptr;
};

} // namespace Vorlix
