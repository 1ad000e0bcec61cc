// The synthesizer's concrete plug view: runs the preset file dialogs for the requests that the
// component posts when the export and import buttons are pressed.
#include "VorlixVst3View.h"

#include "VorlixVst3Plugin.h"
#include "editor/PresetFileDialogs.h"
#include "editor/UiScale.h"
#include "vexagui/views/VexaEditor.h"
#include "vexagui/vst3/VexaPlugViewVst3.h"

namespace Vorlix {

namespace {

Steinberg::FUnknown* asUnknown(VorlixVst3Plugin* plugin) {
    return plugin != nullptr ? static_cast<Steinberg::Vst::IEditController*>(plugin) : nullptr;
}

class VorlixVst3View final : public vexagui::VexaPlugViewVst3 {
public:
    VorlixVst3View(vexagui::VexaEditor& editor_, vexagui::VexaRendererOpenGL& renderer_, VorlixVst3Plugin* owner)
        : VexaPlugViewVst3(editor_, renderer_, asUnknown(owner)), plugin(owner) {}

    // Runs inside drainHostRequest on the UI thread; the dialogs are modal and return before the
    // slot is cleared.
    void handleHostRequest(const vexagui::HostRequest& request) override {
        if (plugin == nullptr) return;
        switch (request.kind) {
        case vexagui::HostRequest::kOpenFileDialog:
            runPresetImportDialog([this](const std::string& text) {
                const bool applied = plugin->instrument ().importPresetJson(text);
                editor.syncContext();
                return applied;
            });
            break;
        case vexagui::HostRequest::kSaveFileDialog:
            runPresetExportDialog(request.text, [this] { return plugin->instrument ().exportPresetJson(); });
            break;
        default: break;  // native text entry is not offered
        }
    }

protected:
    // VORLIX_UI_SCALE before the desktop's scale, in hosts that never give one.
    float environmentScale() override {
        if (const std::optional<float> forced = forcedUiScale()) return *forced;
        return VexaPlugViewVst3::environmentScale();
    }

private:
    VorlixVst3Plugin* plugin;
};

} // namespace

Steinberg::IPlugView* createVorlixVst3View(vexagui::VexaEditor& editor, vexagui::VexaRendererOpenGL& renderer,
                                           VorlixVst3Plugin* plugin) {
    if (vexagui::VexaPlugViewVst3::hasAttachedView(renderer)) return nullptr;
    return new VorlixVst3View(editor, renderer, plugin);
}

} // namespace Vorlix
