// One thread renders blocks with notes while another hammers every UI-thread entry point. Run
// under ThreadSanitizer this proves the handoff race-free; everywhere it checks that the last
// UI change always wins once the audio thread has caught up.
#include "PluginTestSupport.h"

#include "VorlixParamID.h"
#include "VorlixPrograms.h"

#include <chrono>
#include <random>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace VorlixTest;

#ifndef VORLIX_STRESS_SECONDS
#define VORLIX_STRESS_SECONDS 2
#endif

TEST (HandoffStress, UiThreadHammersWhileAudioRenders)
{
    Linked l = makeStarted (48000.0, 256);
    const std::string presetText = [&] {
        Linked other = makeLinked ();
        other.plugin->handleUiControlTag (kPresetListBox, 44.0f);
        other.plugin->handleUiControlTag (kOsc2Detune, 0.66f);
        return other.plugin->instrument ().exportPresetJson ();
    }();
    const Bytes stateBytes = stateRecord (5, std::vector<float> (36, 0.4f));

    std::atomic<bool> stop {false};
    std::atomic<bool> automate {true};
    std::atomic<long> blocks {0};
    std::thread audio ([&] {
        int i = 0;
        while (!stop.load ())
        {
            if (i % 8 == 0)
                l.host->events ().addNoteOn (0, 36 + i % 50, 0.8f);
            if (i % 8 == 4)
                l.host->events ().addNoteOff (0, 36 + (i - 4) % 50);
            if (i % 16 == 0 && automate.load ())
                l.host->parameterChanges ().addChange (kFilt1Cutoff, 0, (i % 10) / 10.0);
            // A switch that re-centres its detune here is reported back from this thread.
            if (i % 16 == 8 && automate.load ())
                l.host->parameterChanges ().addChange (kUseOscSync2, 0, (i % 3) / 2.0);
            l.host->process (1 + (i * 13) % 256);
            ++i;
            blocks.fetch_add (1);
        }
    });

    std::mt19937 rng (12);
    const auto end = std::chrono::steady_clock::now () + std::chrono::seconds (VORLIX_STRESS_SECONDS);
    long uiCalls = 0;
    while (std::chrono::steady_clock::now () < end)
    {
        const int what = static_cast<int> (rng () % 8);
        switch (what)
        {
            case 0: l.controller ()->setParamNormalized (rng () % 36, (rng () % 1000) / 999.0); break;
            case 1: l.plugin->handleUiControlTag (static_cast<int> (rng () % 36), (rng () % 100) / 99.0f); break;
            case 2: l.plugin->handleUiControlTag (kPresetListBox, static_cast<float> (rng () % 61)); break;
            case 3: EXPECT_EQ (setStateBytes (l.host->component (), stateBytes), kResultOk); break;
            case 4: EXPECT_TRUE (l.plugin->instrument ().importPresetJson (presetText)); break;
            case 5: l.plugin->handleUiControlTag (rng () % 2 ? kSyncNow1 : kSyncNow2, 0.0f); break;
            case 6: getStateBytes (l.host->component ()); break;
            default:
                (void)l.plugin->instrument ().exportPresetJson ();
                (void)l.plugin->instrument ().activeVoiceCount ();
                // The export button names the file after the program while the audio thread plays.
                l.plugin->handleUiControlTag (Vorlix::kExportPreset, 1.0f);
                break;
        }
        ++uiCalls;
    }
    // A final restore must be what the engine ends with once the audio thread has drained it
    // (host automation would rightly override it, so it stops first).
    automate = false;
    const long quiet = blocks.load ();
    while (blocks.load () < quiet + 2)
        std::this_thread::yield ();
    std::vector<float> values (36, 0.0f);
    values[kOsc1Detune] = 0.3f;
    values[kUseOscSync1] = 1.0f;
    values[kOsc2Detune] = 0.7f;
    ASSERT_EQ (setStateBytes (l.host->component (), stateRecord (9, values)), kResultOk);
    const long seen = blocks.load ();
    while (blocks.load () < seen + 3)
        std::this_thread::yield ();
    stop = true;
    audio.join ();

    EXPECT_GT (uiCalls, 100);
    EXPECT_GT (blocks.load (), 100);
    l.host->stop (); // inactive: the engine may be inspected
    const auto [d1, d2] = engineDetunes (*l.plugin);
    EXPECT_EQ (d1, 0.3f);
    EXPECT_EQ (d2, 0.7f);
    EXPECT_EQ (l.plugin->instrument ().engineWhileIdle ().programName, programnames[9]);
    EXPECT_EQ (getStateBytes (l.host->component ()), stateRecord (9, values));
}
