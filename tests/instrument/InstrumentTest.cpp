// The instrument's core driven directly, as every format adapter drives it: the stored record's
// bytes, the audio block's rules, what the core tells its adapter, and the editor's binding.
#include "VorlixEditorBinding.h"
#include "VorlixInstrument.h"
#include "VorlixParameters.h"
#include "VorlixPrograms.h"

#include "vexagui/views/VexaListBox.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

struct RecordingListener : VorlixInstrument::Listener
{
    std::vector<std::pair<int, float>> edits;
    int reloads = 0;
    void editPerformed (int id, float value) override { edits.emplace_back (id, value); }
    void valuesReloaded () override { ++reloads; }
};

TEST (InstrumentState, BytesAreLittleEndianAndShortRecordsReadAsFarAsTheyGo)
{
    VorlixInstrumentState::Record record;
    record.program = 3;
    record.count = kNumParams;
    for (int id = 0; id < kNumParams; ++id)
        record.values[id] = static_cast<float> (id) / 64.0f;
    record.values[0] = 1.0f;
    const auto bytes = VorlixInstrumentState::toBytes (record);
    ASSERT_EQ (bytes.size (), 148u);
    EXPECT_EQ (std::vector<std::uint8_t> (bytes.begin (), bytes.begin () + 8),
               (std::vector<std::uint8_t> {3, 0, 0, 0, 0x00, 0x00, 0x80, 0x3F}));

    const struct
    {
        std::size_t size;
        int values; // -1: not a record at all
    } cases[] = {{0, -1}, {3, -1}, {4, 0}, {7, 0}, {8, 1}, {146, 35}, {148, 36}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.size);
        const auto read = VorlixInstrumentState::fromBytes (bytes.data (), c.size);
        ASSERT_EQ (read.has_value (), c.values >= 0);
        if (!read)
            continue;
        EXPECT_EQ (read->program, 3);
        EXPECT_EQ (read->count, c.values);
        for (int id = 0; id < read->count; ++id)
            EXPECT_EQ (read->values[id], record.values[id]) << id;
    }
    // Whatever follows the record in a longer buffer is not the instrument's.
    std::vector<std::uint8_t> longer (bytes.begin (), bytes.end ());
    longer.resize (200, 0xFF);
    EXPECT_EQ (VorlixInstrumentState::fromBytes (longer.data (), longer.size ())->count, kNumParams);
}

TEST (Instrument, PlaysWithoutAnyAdapterAndRefusesASecondBlockAtOnce)
{
    VorlixInstrument instrument;
    instrument.initialize ();
    instrument.setupProcessing (48000.0, 256);
    instrument.setActive (true);
    std::vector<float> left (256), right (256);
    float peak = 0.0f;
    for (int n = 0; n < 8; ++n)
    {
        VorlixInstrument::AudioBlock block (instrument);
        ASSERT_TRUE (block.ownsEngine ());
        if (n == 0)
            block.noteOn (60, 1.0);
        // A host calling in while a block runs breaks the rules: that call gets nothing.
        EXPECT_FALSE (VorlixInstrument::AudioBlock (instrument).ownsEngine ());
        block.render (left.data (), right.data (), 256);
        for (float s : left)
            peak = std::max (peak, std::fabs (s));
    }
    EXPECT_GT (peak, 0.01f);
    EXPECT_EQ (instrument.activeVoiceCount (), 1);
    instrument.setActive (false);
}

TEST (Instrument, ARecentredDetuneIsReportedUntilTheAdapterFindsRoomForIt)
{
    VorlixInstrument instrument;
    instrument.initialize ();
    instrument.setActive (true);
    const auto reportedIn = [&] (bool room, bool hostSetsDetune) {
        std::vector<int> reported;
        VorlixInstrument::AudioBlock block (instrument);
        if (hostSetsDetune)
        {
            block.setParam (kUseOscSync1, instrument.normalizedParam (kUseOscSync1) < 0.5f ? 1.0 : 0.0);
            block.setParam (kOsc1Detune, 0.25);
        }
        block.reportRecentredDetunes ([&] (int id, float) {
            reported.push_back (id);
            return room;
        });
        return reported;
    };
    EXPECT_EQ (reportedIn (true, false), std::vector<int> {});
    // The host set the detune itself after the switch: nothing of ours to report.
    EXPECT_EQ (reportedIn (true, true), std::vector<int> {});

    // A switch alone re-centres its detune; with no room the report waits for a later block.
    {
        VorlixInstrument::AudioBlock block (instrument);
        block.setParam (kUseOscSync1, instrument.normalizedParam (kUseOscSync1) < 0.5f ? 1.0 : 0.0);
    }
    EXPECT_EQ (reportedIn (false, false), std::vector<int> {kOsc1Detune});
    EXPECT_EQ (reportedIn (true, false), std::vector<int> {kOsc1Detune});
    EXPECT_EQ (reportedIn (true, false), std::vector<int> {});
    instrument.setActive (false);
}

TEST (Instrument, TellsItsAdapterOfTheEditorsEditsAndProgramPicksButNotOfTheHostsValues)
{
    VorlixInstrument instrument;
    RecordingListener listener;
    instrument.setListener (&listener);
    instrument.initialize ();
    listener.reloads = 0;

    instrument.handleUiControlTag (kGain, 0.75f);
    instrument.setParamFromHost (kRes, 0.5); // the host's own value is not reported back
    EXPECT_EQ (listener.edits, (std::vector<std::pair<int, float>> {{kGain, 0.75f}}));
    EXPECT_EQ (instrument.normalizedParam (kRes), 0.5f);

    instrument.handleUiControlTag (kPresetListBox, 1e9f);
    EXPECT_EQ (instrument.currentProgramIndex (), num_programs - 1);
    EXPECT_EQ (listener.reloads, 1);
}

TEST (EditorBinding, ListsTheCoresProgramsAndPostsThePresetDialogs)
{
    VorlixInstrument instrument;
    instrument.initialize ();
    instrument.loadProgram (12);
    VorlixEditorBinding binding (instrument);
    vexagui::VexaListBox* list = binding.model ().presetListBox ();
    ASSERT_NE (list, nullptr);
    EXPECT_EQ (list->selectedValue (), 12);
    EXPECT_EQ (list->selectedLabel (), programnames[12]);

    binding.handleControlTag (Vorlix::kExportPreset, 1.0f);
    EXPECT_EQ (binding.renderer ().pendingRequest.kind, vexagui::HostRequest::kSaveFileDialog);
    EXPECT_EQ (binding.renderer ().pendingRequest.text, programnames[12]);
    binding.handleControlTag (Vorlix::kImportPreset, 1.0f);
    EXPECT_EQ (binding.renderer ().pendingRequest.kind, vexagui::HostRequest::kOpenFileDialog);
}

} // namespace
