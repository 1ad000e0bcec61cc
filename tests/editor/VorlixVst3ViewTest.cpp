// The component's editor side without a display: view creation by name, the export and import
// buttons posting their requests, and the plug view performing them through the file dialogs
// (stand-in zenity on PATH), from the suggested file name to the imported program.
#include "FakeDialogTools.h"

#include "VorlixGenPolyphonic.h"
#include "VorlixVst3Plugin.h"
#include "editor/UiScale.h"
#include "editor/VorlixEditor.h"
#include "formats/vst3/VorlixVst3View.h"
#include "tests/support/CommaDecimalLocale.h"
#include "vexagui/resources/PackedImageStore.h"
#include "vexagui/vst3/VexaPlugViewVst3.h"

#include <gtest/gtest.h>

using namespace Vorlix;
using namespace Vorlix::test;

namespace {

// One initialized instance, as a host holds it (no host context is needed for the editor side).
struct Component {
    VorlixVst3Plugin* plugin = new VorlixVst3Plugin();
    Steinberg::Vst::IEditController* controller = static_cast<Steinberg::Vst::IEditController*>(plugin);
    bool ok = plugin->initialize(nullptr) == Steinberg::kResultOk;
    ~Component() {
        plugin->terminate();
        plugin->release();
    }
};

} // namespace

TEST(VorlixVst3View, CreatedOnlyForTheEditorName) {
    Component c;
    ASSERT_TRUE(c.ok);
    Steinberg::Vst::IEditController* controller = c.controller;
    Steinberg::IPlugView* view = controller->createView("editor");
    ASSERT_NE(view, nullptr);
    Steinberg::ViewRect r;
    EXPECT_EQ(view->getSize(&r), Steinberg::kResultTrue);
    EXPECT_EQ(r.getWidth(), 565);
    EXPECT_EQ(r.getHeight(), 260);
    EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID"), Steinberg::kResultTrue);
    EXPECT_EQ(view->release(), 0u);
    for (const char* other : {"Editor", "editor ", "", static_cast<const char*>(nullptr)})
        EXPECT_EQ(controller->createView(other), nullptr) << (other ? other : "null");
}

TEST(VorlixVst3View, AViewThatIsNeverAttachedDecodesNoArtwork) {
    const std::size_t decodes = vexagui::PackedImageStore::usage().decodes;
    Component c;
    ASSERT_TRUE(c.ok);
    Steinberg::IPlugView* view = c.controller->createView("editor");
    ASSERT_NE(view, nullptr);
    c.plugin->handleUiControlTag(kOsc1Detune, 0.25f);  // the editor model follows, still no pixels
    EXPECT_EQ(vexagui::PackedImageStore::usage().liveBytes, 0u);
    EXPECT_EQ(vexagui::PackedImageStore::usage().decodes, decodes);
    view->release();
}

TEST(VorlixVst3View, ModeSwitchTagSetsTheInstancesOscillatorModeOnce) {
    Component c;
    ASSERT_TRUE(c.ok);
    ASSERT_TRUE(c.plugin->instrument ().preciseOscillators());
    for (const float value : {0.0f, 0.0f, 1.0f, 0.0f}) {  // a value sent twice changes nothing
        c.plugin->handleUiControlTag(kPreciseOscillators, value);
        EXPECT_EQ(c.plugin->instrument ().preciseOscillators(), value >= 0.5f);
        EXPECT_EQ(c.plugin->instrument ().engineWhileIdle().preciseOscillators(), value >= 0.5f);
    }
    for (int id = 0; id < 36; ++id)  // no parameter moves with it
        EXPECT_EQ(c.plugin->instrument ().normalizedParam(id), c.controller->getParamNormalized(static_cast<Steinberg::Vst::ParamID>(id)));
}

TEST_F(FakeDialogTools, ExportButtonSavesTheCurrentSoundUnderTheProgramName) {
    installTool("zenity");
    Component c;
    ASSERT_TRUE(c.ok);
    Steinberg::IPlugView* view = c.controller->createView("editor");
    auto* bridge = dynamic_cast<vexagui::VexaPlugViewVst3*>(view);
    ASSERT_NE(bridge, nullptr);

    c.plugin->handleUiControlTag(kPresetListBox, 10.0f);
    c.plugin->handleUiControlTag(kOsc1Detune, 0.25f);  // edited: the name stays the program's
    const fs::path target = dir / "saved.json";
    setenv("FAKE_DIALOG_OUTPUT", target.c_str(), 1);
    c.plugin->handleUiControlTag(kExportPreset, 1.0f);
    bridge->drainHostRequest();

    EXPECT_EQ(slurp(target), c.plugin->instrument ().exportPresetJson());
    const auto log = calls();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_TRUE(has(log[0], "--filename=bass-juno.json"));
    view->release();
}

TEST_F(FakeDialogTools, ImportButtonLoadsTheChosenFileAndReportsABadOne) {
    installTool("zenity");
    Component c;
    ASSERT_TRUE(c.ok);
    Steinberg::IPlugView* view = c.controller->createView("editor");
    auto* bridge = dynamic_cast<vexagui::VexaPlugViewVst3*>(view);
    ASSERT_NE(bridge, nullptr);

    const fs::path good = dir / "good.json";
    { std::ofstream(good) << "{\"program\": 12}"; }
    setenv("FAKE_DIALOG_OUTPUT", good.c_str(), 1);
    c.plugin->handleUiControlTag(kImportPreset, 1.0f);
    bridge->drainHostRequest();
    EXPECT_EQ(c.plugin->instrument ().currentProgramIndex(), 12);

    const fs::path bad = dir / "bad.json";
    { std::ofstream(bad) << "{\"program\": 3,}"; }
    setenv("FAKE_DIALOG_OUTPUT", bad.c_str(), 1);
    c.plugin->handleUiControlTag(kImportPreset, 1.0f);
    bridge->drainHostRequest();
    EXPECT_EQ(c.plugin->instrument ().currentProgramIndex(), 12);  // unchanged
    const auto log = calls();
    ASSERT_EQ(log.size(), 3u);  // open, open, error
    EXPECT_TRUE(has(log[2], "--error"));

    // Cancelled: nothing happens and the slot is empty afterwards.
    setenv("FAKE_DIALOG_STATUS", "1", 1);
    c.plugin->handleUiControlTag(kImportPreset, 1.0f);
    bridge->drainHostRequest();
    EXPECT_EQ(c.plugin->instrument ().currentProgramIndex(), 12);
    view->release();
}


TEST(VorlixVst3View, UiScaleVariableReadsLikeAHostFactor) {
    const struct {
        const char* text;
        std::optional<float> scale;
    } cases[] = {
        {"1.5", 1.5f}, {"2", 2.0f},   {" 2 ", 2.0f}, {"1", 1.0f},    {"7", 3.0f},   {"0.5", 1.0f},
        {"0", 1.0f},   {"-2", 1.0f},  {"nan", std::nullopt}, {"", std::nullopt}, {"big", std::nullopt},
        {"2x", std::nullopt}, {nullptr, std::nullopt}, {"1,5", std::nullopt},
    };
    // A host's comma-decimal locale changes nothing: "1.5" stays one and a half.
    for (bool comma : {false, true}) {
        std::optional<CommaDecimalLocale> locale;
        if (comma) {
            locale.emplace();
            ASSERT_TRUE(locale->active) << locale->kMissing;
        }
        for (const auto& c : cases)
            EXPECT_EQ(uiScaleFromText(c.text), c.scale) << (c.text ? c.text : "unset") << (comma ? " (de_DE)" : "");
    }
}
