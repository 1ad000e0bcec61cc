// Playing through VST 3 as a keyboard player would: controllers through IMidiMapping, notes and
// automation on their samples, the same output at every block size, and nothing stored.
#include "PluginTestSupport.h"

#include "VorlixParamID.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"

#include <algorithm>
#include <map>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace VorlixTest;

namespace {

constexpr CtrlNumber kMapped[] = {kPitchBend, kCtrlSustainOnOff, kCtrlAllSoundsOff, kCtrlResetAllCtrlers,
                                  kCtrlAllNotesOff};

IMidiMapping* midiMapping (Linked& l)
{
    IMidiMapping* mapping = nullptr;
    l.controller ()->queryInterface (IMidiMapping::iid, reinterpret_cast<void**> (&mapping));
    return mapping;
}

ParamID mappedId (Linked& l, CtrlNumber controller)
{
    ParamID id = kNoParamId;
    IMidiMapping* mapping = midiMapping (l);
    if (mapping)
    {
        mapping->getMidiControllerAssignment (0, 0, controller, id);
        mapping->release ();
    }
    return id;
}

// One timed input in samples from the start of the stream.
struct Timed
{
    long at;
    enum Kind { noteOn, noteOff, param } kind;
    int pitchOrId;
    double value;
};

// Plays `script` in blocks of `block` frames; every input lands in its block at its offset.
std::vector<float> renderScript (int block, const std::vector<Timed>& script, long total)
{
    Linked l = makeStarted (48000.0, 4096);
    std::vector<float> out;
    for (long start = 0; start < total; start += block)
    {
        const int frames = static_cast<int> (std::min<long> (block, total - start));
        for (const Timed& t : script)
        {
            if (t.at < start || t.at >= start + frames)
                continue;
            const int offset = static_cast<int> (t.at - start);
            if (t.kind == Timed::noteOn)
                l.host->events ().addNoteOn (offset, t.pitchOrId, static_cast<float> (t.value));
            else if (t.kind == Timed::noteOff)
                l.host->events ().addNoteOff (offset, t.pitchOrId);
            else
                l.host->parameterChanges ().addChange (static_cast<ParamID> (t.pitchOrId), offset, t.value);
        }
        EXPECT_EQ (l.host->process (frames), kResultOk);
        out.insert (out.end (), l.host->output (0), l.host->output (0) + frames);
        out.insert (out.end (), l.host->output (1), l.host->output (1) + frames);
    }
    return out;
}

} // namespace

TEST (Playing, MidiMappingAnswersExactlyTheFiveControllers)
{
    Linked l = makeLinked ();
    IMidiMapping* mapping = midiMapping (l);
    ASSERT_NE (mapping, nullptr);
    std::vector<ParamID> ids;
    std::map<CtrlNumber, ParamID> onChannel0;
    for (int16 channel = 0; channel < 16; ++channel)
        for (CtrlNumber c = 0; c < kCountCtrlNumber + 2; ++c)
        {
            ParamID id = kNoParamId;
            const bool mapped = std::find (std::begin (kMapped), std::end (kMapped), c) != std::end (kMapped);
            EXPECT_EQ (mapping->getMidiControllerAssignment (0, channel, c, id), mapped ? kResultTrue : kResultFalse)
                << "controller " << c << " channel " << channel;
            if (mapped)
            {
                EXPECT_GE (id, static_cast<ParamID> (kNumParams)) << c;
                if (channel == 0)
                {
                    onChannel0[c] = id;
                    ids.push_back (id);
                }
                EXPECT_EQ (id, onChannel0[c]) << "the same on every channel";
            }
        }
    std::sort (ids.begin (), ids.end ());
    EXPECT_EQ (std::unique (ids.begin (), ids.end ()), ids.end ()) << "one parameter per controller";
    ParamID id = kNoParamId;
    EXPECT_EQ (mapping->getMidiControllerAssignment (1, 0, kPitchBend, id), kResultFalse); // no second bus
    EXPECT_EQ (mapping->getMidiControllerAssignment (0, 16, kPitchBend, id), kResultFalse);
    EXPECT_EQ (mapping->getMidiControllerAssignment (0, -1, kPitchBend, id), kResultFalse);
    EXPECT_EQ (mapping->getMidiControllerAssignment (0, 0, -1, id), kResultFalse);

    // The host's list: the 36 automatable parameters first and as they were, then the five, which
    // hosts neither show nor automate (a validator insists that mapped IDs are parameters).
    IEditController* c = l.controller ();
    ASSERT_EQ (c->getParameterCount (), 36 + 5);
    for (int32 i = 0; i < c->getParameterCount (); ++i)
    {
        ParameterInfo info {};
        ASSERT_EQ (c->getParameterInfo (i, info), kResultTrue);
        if (i < 36)
        {
            EXPECT_EQ (info.id, static_cast<ParamID> (i));
            EXPECT_EQ (info.flags, ParameterInfo::kCanAutomate);
            continue;
        }
        EXPECT_TRUE (std::binary_search (ids.begin (), ids.end (), info.id)) << info.id;
        EXPECT_EQ (info.flags & ParameterInfo::kCanAutomate, 0);
        EXPECT_NE (info.flags & ParameterInfo::kIsHidden, 0);
        // The wheel rests at its centre, the pedal up.
        EXPECT_EQ (info.defaultNormalizedValue, info.id == mappedId (l, kPitchBend) ? 0.5 : 0.0);
    }
    mapping->release ();
}

TEST (Playing, ControllersAreNeverStored)
{
    Linked l = makeStarted ();
    const Bytes before = getStateBytes (l.host->component ());
    ASSERT_GE (before.size (), 148u); // the values, and the oscillator marker of a new instance
    l.host->events ().addNoteOn (0, 60, 0.9f);
    l.host->parameterChanges ().addChange (mappedId (l, kPitchBend), 0, 1.0);
    l.host->parameterChanges ().addChange (mappedId (l, kCtrlSustainOnOff), 0, 1.0);
    l.host->process (256);
    l.controller ()->setParamNormalized (mappedId (l, kPitchBend), 0.9);
    EXPECT_EQ (getStateBytes (l.host->component ()), before);
    // A value sent twice changes nothing, and a stored state does not move the wheel.
    l.host->parameterChanges ().addChange (mappedId (l, kPitchBend), 0, 1.0);
    l.host->process (256);
    EXPECT_EQ (setStateBytes (l.host->component (), before), kResultOk);
    EXPECT_EQ (getStateBytes (l.host->component ()), before);
    const auto& bank = l.plugin->instrument ().engineWhileIdle ().voiceBank;
    EXPECT_FLOAT_EQ (l.plugin->instrument ().engineWhileIdle ().patchVoice.bendTarget, 2.0f / 12.0f);
    EXPECT_TRUE (bank.sustainPedal);
    // A fresh instance starts centred with the pedal up.
    Linked fresh = makeStarted ();
    EXPECT_EQ (fresh.plugin->instrument ().engineWhileIdle ().patchVoice.bendTarget, 0.0f);
    EXPECT_FALSE (fresh.plugin->instrument ().engineWhileIdle ().voiceBank.sustainPedal);
}

TEST (Playing, MappedValuesAsHostsSendThem)
{
    struct Row
    {
        CtrlNumber controller;
        double value;
        float semitones;
        bool pedal;
    };
    const Row rows[] = {
        {kPitchBend, 1.0, 2.0f, false},          {kPitchBend, 0.0, -2.0f, false},
        {kPitchBend, 0.5, 0.0f, false},          {kPitchBend, 8192.0 / 16383.0, 0.0f, false}, // MIDI's centre
        {kPitchBend, 0.75, 1.0f, false},         {kPitchBend, 3.0, 2.0f, false},
        {kCtrlSustainOnOff, 1.0, 0.0f, true},    {kCtrlSustainOnOff, 64.0 / 127.0, 0.0f, true},
        {kCtrlSustainOnOff, 63.0 / 127.0, 0.0f, false},
    };
    for (const Row& r : rows)
    {
        Linked l = makeStarted ();
        l.host->parameterChanges ().addChange (mappedId (l, r.controller), 0, r.value);
        l.host->process (64);
        EXPECT_EQ (l.plugin->instrument ().engineWhileIdle ().patchVoice.bendTarget * 12.0f, r.semitones) << r.value;
        EXPECT_EQ (l.plugin->instrument ().engineWhileIdle ().voiceBank.sustainPedal, r.pedal) << r.value;
    }
    // Reset All Controllers centres the wheel and lifts the pedal; All Notes Off releases what the
    // pedal holds; All Sound Off silences at once.
    Linked l = makeStarted ();
    auto send = [&l] (CtrlNumber c, double v) {
        l.host->parameterChanges ().addChange (mappedId (l, c), 0, v);
        l.host->process (256);
    };
    send (kPitchBend, 1.0);
    send (kCtrlSustainOnOff, 1.0);
    send (kCtrlResetAllCtrlers, 0.0);
    EXPECT_EQ (l.plugin->instrument ().engineWhileIdle ().patchVoice.bendTarget, 0.0f);
    EXPECT_FALSE (l.plugin->instrument ().engineWhileIdle ().voiceBank.sustainPedal);
    for (CtrlNumber c : {kCtrlAllNotesOff, kCtrlAllSoundsOff})
    {
        send (kCtrlSustainOnOff, 1.0);
        l.host->events ().addNoteOn (0, 60, 0.9f);
        l.host->events ().addNoteOff (10, 60);
        l.host->process (256);
        ASSERT_GT (rms (l.host->output (0) + 128, 128), 1e-3) << "held by the pedal";
        send (c, 0.0);
        const double tail = rms (l.host->output (0) + 192, 64);
        if (c == kCtrlAllSoundsOff)
            EXPECT_EQ (tail, 0.0);
        else
            EXPECT_GT (tail, 0.0); // releasing
        for (int i = 0; i < 100; ++i)
            l.host->process (256);
        EXPECT_EQ (rms (l.host->output (0), 256), 0.0) << c;
        send (kCtrlSustainOnOff, 0.0);
    }
}

TEST (Playing, NoteStartsOnItsSample)
{
    Linked early = makeStarted ();
    Linked late = makeStarted ();
    late.host->events ().addNoteOn (100, 60, 0.9f);
    late.host->process (256);
    const std::vector<float> got (late.host->output (0), late.host->output (0) + 256);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ (got[static_cast<size_t> (i)], 0.0f) << "before its offset, sample " << i;
    EXPECT_NE (got[100], 0.0f);
    // From its sample on, exactly the note a block of 100 silent samples earlier started.
    early.host->process (100);
    early.host->events ().addNoteOn (0, 60, 0.9f);
    early.host->process (156);
    for (int i = 0; i < 156; ++i)
        ASSERT_EQ (early.host->output (0)[i], got[static_cast<size_t> (100 + i)]) << i;
}

TEST (Playing, TheSameInputRendersTheSameSamplesAtEveryBlockSize)
{
    Linked probe = makeLinked ();
    const int bend = static_cast<int> (mappedId (probe, kPitchBend));
    const int pedal = static_cast<int> (mappedId (probe, kCtrlSustainOnOff));
    // Notes, a wheel gesture, the pedal over a chord, and automation of the cutoff and the
    // slide, all off any block grid.
    const std::vector<Timed> script {
        {0, Timed::param, kSlideTime, 0.3},      {37, Timed::noteOn, 48, 0.8},
        {1111, Timed::param, bend, 1.0},         {2050, Timed::param, kFilt1Cutoff, 0.3},
        {2051, Timed::param, kFilt1Cutoff, 0.7}, {3001, Timed::noteOn, 55, 0.7},
        {4000, Timed::param, pedal, 1.0},        {4001, Timed::noteOff, 48, 0.0},
        {4500, Timed::noteOff, 55, 0.0},         {5003, Timed::param, bend, 8192.0 / 16383.0},
        {6123, Timed::noteOn, 60, 0.9},          {7000, Timed::param, pedal, 0.0},
        {7001, Timed::param, kMaxPoly, 0.0},     {9000, Timed::noteOff, 60, 0.0},
        {9001, Timed::noteOn, 62, 0.9},          {9001, Timed::noteOff, 62, 0.0},
    };
    const long total = 24000;
    const std::vector<float> reference = renderScript (4096, script, total);
    ASSERT_GT (rms (reference.data (), static_cast<int> (reference.size ())), 1e-3);
    for (int block : {1, 16, 64, 256, 1000})
    {
        const std::vector<float> got = renderScript (block, script, total);
        // Blocks interleave left and right, so compare channel by channel in stream order.
        auto channel = [total] (const std::vector<float>& v, int block_, int ch) {
            std::vector<float> c;
            for (long start = 0; start < total; start += block_)
            {
                const long n = std::min<long> (block_, total - start);
                const auto at = v.begin () + 2 * start + ch * n;
                c.insert (c.end (), at, at + n);
            }
            return c;
        };
        for (int ch = 0; ch < 2; ++ch)
        {
            const std::vector<float> a = channel (reference, 4096, ch), b = channel (got, block, ch);
            const auto diff = std::mismatch (a.begin (), a.end (), b.begin ());
            EXPECT_EQ (diff.first, a.end ()) << "block " << block << " channel " << ch << " first differs at sample "
                                             << (diff.first - a.begin ());
        }
    }
}
