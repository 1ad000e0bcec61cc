// Processing through IAudioProcessor: parameter queues, notes, both sample sizes, and the inputs
// that hosts and validators throw at a module.
#include "PluginTestSupport.h"

#include "VorlixParamID.h"
#include "VorlixPrograms.h"

#include "tools/host/HostEventList.h"
#include "tools/host/HostParameterChanges.h"

#include <random>
#include <thread>
#include <tuple>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace VorlixTest;

namespace {

/** A bare processing call with caller-owned buffers, for shapes PluginInstance never sends. */
struct Block
{
    std::vector<float> l32, r32;
    std::vector<double> l64, r64;
    float* ch32[2] {};
    double* ch64[2] {};
    AudioBusBuffers bus {};
    ProcessData data {};

    Block (int frames, bool doublePrecision)
    {
        l32.assign (static_cast<size_t> (frames > 0 ? frames : 1), 7.0f);
        r32 = l32;
        l64.assign (l32.size (), 7.0);
        r64 = l64;
        ch32[0] = l32.data ();
        ch32[1] = r32.data ();
        ch64[0] = l64.data ();
        ch64[1] = r64.data ();
        bus.numChannels = 2;
        if (doublePrecision)
            bus.channelBuffers64 = ch64;
        else
            bus.channelBuffers32 = ch32;
        data.processMode = kRealtime;
        data.symbolicSampleSize = doublePrecision ? kSample64 : kSample32;
        data.numSamples = frames;
        data.numOutputs = 1;
        data.outputs = &bus;
    }
};

bool allFiniteNormal (const float* x, int n)
{
    for (int i = 0; i < n; ++i)
        if (!std::isfinite (x[i]) || std::fpclassify (x[i]) == FP_SUBNORMAL)
            return false;
    return true;
}

} // namespace

TEST (Process, QueuePointsTakeEffectAtTheirOffsetsAndTheLastOneStays)
{
    Linked l = makeStarted ();
    auto& changes = l.host->parameterChanges ();
    int32 index = 0;
    IParamValueQueue* q = changes.addParameterData (kFilt1Cutoff, index);
    ASSERT_NE (q, nullptr);
    q->addPoint (0, 0.2, index);
    q->addPoint (100, 0.9, index);
    changes.addChange (36, 0, 0.5);    // not a host parameter
    changes.addChange (kRes, 0, 1.5);  // clamped
    changes.addChange (kGain, 0, NAN); // becomes 0
    EXPECT_EQ (l.host->process (128), kResultOk);
    EXPECT_FLOAT_EQ (l.plugin->instrument ().normalizedParam (kFilt1Cutoff), 0.9f);
    EXPECT_EQ (l.controller ()->getParamNormalized (kFilt1Cutoff), static_cast<double> (0.9f));
    EXPECT_EQ (l.plugin->instrument ().normalizedParam (kRes), 1.0f);
    EXPECT_EQ (l.plugin->instrument ().normalizedParam (kGain), 0.0f);

    // A sounding note hears 0.2 up to sample 100 and 0.9 from there: the same samples as two
    // blocks that split there.
    Linked points = makeStarted ();
    Linked split = makeStarted ();
    for (Linked* x : {&points, &split})
    {
        x->host->events ().addNoteOn (0, 48, 0.9f);
        x->host->process (256);
    }
    points.host->parameterChanges ().addChange (kFilt1Cutoff, 0, 0.2);
    points.host->parameterChanges ().addChange (kFilt1Cutoff, 100, 0.9);
    points.host->process (256);
    split.host->parameterChanges ().addChange (kFilt1Cutoff, 0, 0.2);
    split.host->process (100);
    const std::vector<float> head (split.host->output (0), split.host->output (0) + 100);
    split.host->parameterChanges ().addChange (kFilt1Cutoff, 0, 0.9);
    split.host->process (156);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ (points.host->output (0)[i], i < 100 ? head[static_cast<size_t> (i)] : split.host->output (0)[i - 100])
            << i;
}

TEST (Process, ValuesAHostSendsBackChangeNothingForEveryProgram)
{
    // Hosts send every value they hold after a preset load or a project reopen, in their own order
    // and through either side. For every program the phrase must sound exactly as right after the
    // pick: sent in ID order before the notes, in reverse order while they sound (where a resync
    // would be heard); the last way restores the pick's own state first, as a preset load does.
    const struct
    {
        const char* name;
        bool queues, restoreFirst;
    } ways[] = {{"process queues", true, false}, {"controller", false, false}, {"restore, then controller", false, true}};
    for (int p = 0; p < num_programs; ++p)
    {
        SCOPED_TRACE (programnames[p]);
        Linked picked = makeStarted ();
        picked.plugin->handleUiControlTag (kPresetListBox, static_cast<float> (p));
        const Bytes state = getStateBytes (picked.host->component ());
        const std::vector<float> reference = playPhrase (picked, 30);
        for (const auto& way : ways)
        {
            SCOPED_TRACE (way.name);
            Linked l = makeStarted ();
            l.plugin->handleUiControlTag (kPresetListBox, static_cast<float> (p));
            if (way.restoreFirst)
                ASSERT_EQ (setStateBytes (l.host->component (), state), kResultOk);
            const std::vector<float> played = playPhrase (l, 30, [&] (int block) {
                for (int i = 0; i < kNumParams && (block == 0 || block == 5); ++i)
                {
                    const auto id = static_cast<ParamID> (block == 5 ? kNumParams - 1 - i : i);
                    const double held = picked.controller ()->getParamNormalized (id);
                    if (way.queues)
                        ASSERT_TRUE (l.host->parameterChanges ().addChange (id, 0, held));
                    else
                        l.controller ()->setParamNormalized (id, held);
                }
            });
            EXPECT_TRUE (played == reference);
            EXPECT_EQ (getStateBytes (l.host->component ()), state);
        }
    }
}

TEST (Process, AutomatedSyncSwitchReportsTheDetuneItRecentresInTheSameBlock)
{
    // Program 0: both switches 0, both detunes 0.5. The controller changes come before the block,
    // the queue changes in it, in the order given.
    using Changes = std::vector<std::pair<int, double>>;
    const struct
    {
        const char* name;
        Changes viaController, queues;
        int reportedId; // -1: nothing reported
        double reported;
    } cases[] = {
        {"switch 1 on", {}, {{kUseOscSync1, 1.0}}, kOsc1Detune, 0.0},
        {"switch 2 to 0.7", {}, {{kUseOscSync2, 0.7}}, kOsc2Detune, 0.15f},
        {"switch unchanged", {}, {{kOsc1Detune, 0.3}, {kUseOscSync1, 0.0}}, -1, 0.0},
        {"detune after the switch", {}, {{kUseOscSync1, 1.0}, {kOsc1Detune, 0.3}}, -1, 0.0},
        {"detune before the switch", {}, {{kOsc2Detune, 0.3}, {kUseOscSync2, 1.0}}, kOsc2Detune, 0.0},
        {"switch set through the controller", {{kUseOscSync2, 1.0}}, {}, kOsc2Detune, 0.0},
        {"controller, then the same value automated", {{kUseOscSync1, 1.0}}, {{kUseOscSync1, 1.0}}, kOsc1Detune, 0.0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        Linked l = makeStarted ();
        for (const auto& [id, value] : c.viaController)
            l.controller ()->setParamNormalized (static_cast<ParamID> (id), value);
        for (const auto& [id, value] : c.queues)
            ASSERT_TRUE (l.host->parameterChanges ().addChange (static_cast<ParamID> (id), 0, value));
        l.host->process (64);
        auto& out = l.host->outputParameterChanges ();
        ASSERT_EQ (out.getParameterCount (), c.reportedId < 0 ? 0 : 1);
        if (c.reportedId >= 0)
        {
            IParamValueQueue* q = out.getParameterData (0);
            int32 offset = -1;
            ParamValue value = -1.0;
            ASSERT_EQ (q->getPointCount (), 1);
            ASSERT_EQ (q->getPoint (0, offset, value), kResultOk);
            EXPECT_EQ (std::make_tuple (q->getParameterId (), offset, value),
                       std::make_tuple (static_cast<ParamID> (c.reportedId), 0, c.reported));
            // What the host is told is what the engine plays and a saved state holds.
            EXPECT_EQ (l.controller ()->getParamNormalized (static_cast<ParamID> (c.reportedId)), c.reported);
        }
        l.host->process (64); // told once
        EXPECT_EQ (out.getParameterCount (), 0);
    }
}

TEST (Process, NotesStartAndStopAndTheShownPolyphonyPlaysAfterInitialize)
{
    Linked l = makeStarted ();
    for (int pitch = 40; pitch < 60; ++pitch)
        l.host->events ().addNoteOn (17, pitch, 1.7f); // offsets are ignored, velocity clamped
    l.host->process (64);
    // Program 0's kMaxPoly (1.0) shows ten voices, and ten play.
    EXPECT_EQ (l.controller ()->getParamNormalized (kMaxPoly), 1.0);
    EXPECT_EQ (l.plugin->instrument ().activeVoiceCount (), 10);
    EXPECT_GT (rms (l.host->output (0), 64), 0.0);
    for (int pitch = 40; pitch < 60; ++pitch)
        l.host->events ().addNoteOff (0, pitch, 0.3f);
    // Release of program 0 is short; run it out.
    for (int b = 0; b < 400 && l.plugin->instrument ().activeVoiceCount () > 0; ++b)
        l.host->process (256);
    EXPECT_EQ (l.plugin->instrument ().activeVoiceCount (), 0);

    // Polyphony from the host's value: kMaxPoly 0 gives one voice.
    l.host->parameterChanges ().addChange (kMaxPoly, 0, 0.0);
    for (int pitch = 40; pitch < 44; ++pitch)
        l.host->events ().addNoteOn (0, pitch, 1.0f);
    l.host->process (64);
    EXPECT_EQ (l.plugin->instrument ().activeVoiceCount (), 1);
}

TEST (Process, DoublePrecisionIsTheWidenedSinglePrecisionRenderEvenPastTheMaximumBlock)
{
    // Two identical instances, one rendering 32-bit and one 64-bit; the second one is also given
    // blocks larger than its declared maximum, which it renders in pieces.
    for (int frames : {64, 256, 1000})
    {
        Linked a = makeStarted (48000.0, 256);
        Linked b = makeStarted (48000.0, 256);
        for (Linked* l : {&a, &b})
        {
            l->host->events ().addNoteOn (0, 60, 0.8f);
            l->host->process (16);
        }
        Block single (frames, false), twice (frames, true);
        EXPECT_EQ (a.host->processor ()->process (single.data), kResultOk);
        EXPECT_EQ (b.host->processor ()->process (twice.data), kResultOk);
        double energy = 0.0;
        const bool samePieces = frames <= 256; // the head/group split differs across pieces
        for (int i = 0; i < frames; ++i)
        {
            energy += std::fabs (twice.l64[static_cast<size_t> (i)]);
            if (samePieces)
            {
                ASSERT_EQ (twice.l64[static_cast<size_t> (i)], static_cast<double> (single.l32[static_cast<size_t> (i)]));
                ASSERT_EQ (twice.r64[static_cast<size_t> (i)], static_cast<double> (single.r32[static_cast<size_t> (i)]));
            }
            ASSERT_TRUE (std::isfinite (twice.l64[static_cast<size_t> (i)]));
        }
        EXPECT_GT (energy, 0.0) << frames;
    }
}

TEST (Process, NullAndEmptyShapesNeitherCrashNorWrite)
{
    Linked l = makeStarted ();
    IAudioProcessor* proc = l.host->processor ();
    l.host->events ().addNoteOn (0, 60, 1.0f);
    l.host->process (32);

    for (bool dbl : {false, true})
    {
        {
            Block b (0, dbl); // zero samples
            EXPECT_EQ (proc->process (b.data), kResultOk);
        }
        {
            Block b (-5, dbl); // negative samples
            EXPECT_EQ (proc->process (b.data), kResultOk);
            EXPECT_EQ (b.l32[0], 7.0f);
        }
        {
            Block b (32, dbl); // no outputs at all
            b.data.numOutputs = 0;
            b.data.outputs = nullptr;
            EXPECT_EQ (proc->process (b.data), kResultOk);
        }
        {
            Block b (32, dbl); // an output count without buses
            b.data.outputs = nullptr;
            EXPECT_EQ (proc->process (b.data), kResultOk);
        }
        {
            Block b (32, dbl); // null channel array
            b.bus.channelBuffers32 = nullptr;
            b.bus.channelBuffers64 = nullptr;
            EXPECT_EQ (proc->process (b.data), kResultOk);
        }
        {
            Block b (32, dbl); // one null channel
            b.ch32[1] = nullptr;
            b.ch64[1] = nullptr;
            EXPECT_EQ (proc->process (b.data), kResultOk);
            EXPECT_EQ (b.l32[0], 7.0f);
            EXPECT_EQ (b.l64[0], 7.0);
        }
        {
            Block b (32, dbl); // a mono bus where two channels are needed
            b.bus.numChannels = 1;
            EXPECT_EQ (proc->process (b.data), kResultOk);
            EXPECT_EQ (b.l32[0], 7.0f);
            EXPECT_EQ (b.l64[0], 7.0);
        }
    }
    {
        Block b (32, false); // unknown sample size
        b.data.symbolicSampleSize = 5;
        EXPECT_EQ (proc->process (b.data), kResultOk);
        EXPECT_EQ (b.l32[0], 7.0f);
    }
}

TEST (Process, UnknownEventsAndOutOfRangePitchesAreIgnored)
{
    Linked l = makeStarted ();
    Event e {};
    e.type = Event::kPolyPressureEvent;
    l.host->events ().addEvent (e);
    e = {};
    e.type = 1234;
    l.host->events ().addEvent (e);
    e = {};
    e.type = Event::kNoteOnEvent;
    e.noteOn.pitch = 30000;
    e.noteOn.velocity = NAN;
    l.host->events ().addEvent (e);
    e.noteOn.pitch = -3;
    l.host->events ().addEvent (e);
    l.host->process (64);
    EXPECT_EQ (l.plugin->instrument ().activeVoiceCount (), 0);
    EXPECT_EQ (rms (l.host->output (0), 64), 0.0);

    // A NaN velocity plays as 0, which is still a note-on.
    e.noteOn.pitch = 64;
    l.host->events ().addEvent (e);
    l.host->process (64);
    EXPECT_EQ (l.plugin->instrument ().activeVoiceCount (), 1);
}

TEST (Process, SurvivesRandomBlocksAndSampleRatesWithCleanOutput)
{
    std::mt19937 rng (307);
    for (double rate : {1234.5678, 8000.0, 22050.0, 44100.0, 96000.0, 192000.0, 384000.0, 999.0, 0.0, -1.0, std::nan ("")})
    {
        Linked l = makeStarted (rate, 512);
        for (int b = 0; b < 60; ++b)
        {
            std::uniform_int_distribution<int> pitch (0, 127), frames (1, 512), param (0, 35);
            std::uniform_real_distribution<double> value (0.0, 1.0);
            if (b % 3 == 0)
                l.host->events ().addNoteOn (0, pitch (rng), 1.0f);
            if (b % 5 == 0)
                l.host->events ().addNoteOff (0, pitch (rng));
            if (b % 2 == 0)
                l.host->parameterChanges ().addChange (static_cast<ParamID> (param (rng)), 0, value (rng));
            const int n = frames (rng);
            ASSERT_EQ (l.host->process (n), kResultOk);
            ASSERT_TRUE (allFiniteNormal (l.host->output (0), n)) << rate;
            ASSERT_TRUE (allFiniteNormal (l.host->output (1), n)) << rate;
        }
    }
}

TEST (Process, LifeCycleCanBeRepeated)
{
    Linked l = makeLinked ();
    IComponent* comp = l.host->component ();
    IAudioProcessor* proc = l.host->processor ();
    for (int cycle = 0; cycle < 5; ++cycle)
    {
        ProcessSetup setup {kRealtime, kSample32, 128, 44100.0 + cycle};
        ASSERT_EQ (proc->setupProcessing (setup), kResultOk);
        ASSERT_EQ (comp->setActive (true), kResultOk);
        Block b (128, false);
        ASSERT_EQ (proc->process (b.data), kResultOk);
        ASSERT_EQ (comp->setActive (false), kResultOk);
        ASSERT_EQ (comp->terminate (), kResultOk);
        EXPECT_EQ (comp->getBusCount (kAudio, kOutput), 0);
        EXPECT_EQ (l.controller ()->getParameterCount (), 0);
        ASSERT_EQ (comp->initialize (nullptr), kResultOk);
        EXPECT_EQ (comp->getBusCount (kAudio, kOutput), 1);
        EXPECT_EQ (comp->getBusCount (kEvent, kInput), 1);
        EXPECT_EQ (l.controller ()->getParameterCount (), 36 + 5); // the host's 36 and the mapped controllers
    }
}

TEST (Process, ManyCallsFromASecondThreadWhileTheUiThreadEdits)
{
    Linked l = makeStarted (44100.0, 256);
    std::atomic<bool> done {false};
    std::thread audio ([&] {
        for (int i = 0; i < 9999; ++i)
        {
            if (i % 50 == 0)
                l.host->events ().addNoteOn (0, 40 + i % 40, 0.9f);
            if (i % 50 == 25)
                l.host->events ().addNoteOff (0, 40 + (i - 25) % 40);
            l.host->process (1 + i % 64);
        }
        done = true;
    });
    int edits = 0;
    while (!done)
    {
        l.controller ()->setParamNormalized (static_cast<ParamID> (edits % 36), (edits % 7) / 6.0);
        ++edits;
    }
    audio.join ();
    EXPECT_GT (edits, 0);
}
