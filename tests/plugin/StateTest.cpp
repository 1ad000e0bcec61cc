// The host's 148-byte state: exact bytes, restore outcomes, failure cases.
#include "PluginTestSupport.h"

#include "VorlixParamID.h"
#include "VorlixPrograms.h"

#include <algorithm>

using namespace Steinberg;
using namespace VorlixTest;

namespace {

/** The values a program load gives: the row, with every program's fixed level 0.1. */
std::vector<float> programRow (int program)
{
    std::vector<float> v (36, 0.0f);
    const int count = static_cast<int> (programs[program][0]);
    for (int i = 0; i < count; ++i)
        v[static_cast<size_t> (i)] = programs[program][1 + i];
    v[kOutputLevel] = 0.1f;
    return v;
}

std::vector<float> currentValues (const VorlixVst3Plugin& p)
{
    std::vector<float> v;
    for (int i = 0; i < 36; ++i)
        v.push_back (p.instrument ().normalizedParam (i));
    return v;
}

} // namespace

TEST (State, AfterInitializeIsProgramZeroIn148LittleEndianBytesAndThePreciseMarker)
{
    Linked l = makeLinked ();
    const Bytes bytes = getStateBytes (l.host->component ());
    // A new instance plays the precise oscillators: the marker 1 follows the classic layout.
    Bytes expected = stateRecord (0, programRow (0));
    expected.insert (expected.end (), {1, 0, 0, 0});
    EXPECT_EQ (bytes, expected);
    ASSERT_EQ (bytes.size (), 152u);
    // kOutputLevel 0.1, the level the engine plays, at offset 4 + 4 * 32, least significant byte first.
    const std::uint32_t level = static_cast<std::uint32_t> (bytes[132]) | bytes[133] << 8 | bytes[134] << 16 |
                                static_cast<std::uint32_t> (bytes[135]) << 24;
    float f;
    std::memcpy (&f, &level, 4);
    EXPECT_EQ (f, 0.1f);
}

TEST (State, RestoreThenSaveGivesBackTheSameBytesIncludingDetunesUnderSync)
{
    // Both sync switches on with off-centre detunes: a restore must not re-centre the detunes.
    std::vector<float> values = programRow (5);
    values[kOsc1Detune] = 0.3f;
    values[kOsc2Detune] = 0.8f;
    values[kUseOscSync1] = 1.0f;
    values[kUseOscSync2] = 0.6f;
    const Bytes stored = stateRecord (5, values);

    Linked l = makeLinked ();
    ASSERT_EQ (setStateBytes (l.host->component (), stored), kResultOk);
    EXPECT_EQ (getStateBytes (l.host->component ()), stored);
    EXPECT_EQ (l.plugin->instrument ().currentProgramIndex (), 5);
    EXPECT_EQ (l.controller ()->getParamNormalized (kOsc1Detune), static_cast<double> (0.3f));
    EXPECT_EQ (l.controller ()->getParamNormalized (kOsc2Detune), static_cast<double> (0.8f));
    const auto [d1, d2] = engineDetunes (*l.plugin);
    EXPECT_EQ (d1, 0.3f);
    EXPECT_EQ (d2, 0.8f);

    // A user's change of the switch afterwards still re-centres.
    l.controller ()->setParamNormalized (kUseOscSync1, 0.0);
    EXPECT_EQ (l.plugin->instrument ().normalizedParam (kOsc1Detune), 0.5f);
}

TEST (State, OutcomesOfShortOddAndGarbageStreams)
{
    Bytes full = stateRecord (12, std::vector<float> (36, 0.25f));
    const struct
    {
        const char* name;
        Bytes bytes;
        tresult result;
        int program;     // expected currentProgram afterwards
        int valuesTaken; // leading stored values in effect
        bool precise;    // oscillator mode afterwards (an incomplete state leaves the new instance's)
    } cases[] = {
        {"empty", {}, kResultFalse, 7, 0, true},
        {"three bytes", {1, 0, 0}, kResultFalse, 7, 0, true},
        {"program only", stateRecord (12, {}), kResultFalse, 12, 0, true},
        {"100 bytes", Bytes (full.begin (), full.begin () + 100), kResultFalse, 12, 24, true},
        {"147 bytes", Bytes (full.begin (), full.begin () + 147), kResultFalse, 12, 35, true},
        {"148 bytes", full, kResultOk, 12, 36, false},
        {"trailing bytes", [&] { Bytes b = full; b.resize (400, 0xAB); return b; }(), kResultOk, 12, 36, false},
        {"precise marker", [&] { Bytes b = full; b.insert (b.end (), {1, 0, 0, 0}); return b; }(), kResultOk, 12, 36, true},
        {"other marker", [&] { Bytes b = full; b.insert (b.end (), {2, 0, 0, 0}); return b; }(), kResultOk, 12, 36, false},
        {"marker cut short", [&] { Bytes b = full; b.insert (b.end (), {1, 0}); return b; }(), kResultOk, 12, 36, false},
        {"program 70", stateRecord (70, std::vector<float> (36, 0.25f)), kResultOk, 7, 36, false},
        {"program -1", stateRecord (-1, std::vector<float> (36, 0.25f)), kResultOk, 7, 36, false},
    };
    for (const auto& c : cases)
    {
        Linked l = makeLinked ();
        l.plugin->handleUiControlTag (kPresetListBox, 7.0f);
        const std::vector<float> before = currentValues (*l.plugin);
        editorShows (l); // an open editor, which must follow whatever the restore applied
        EXPECT_EQ (setStateBytes (l.host->component (), c.bytes), c.result) << c.name;
        Linked opened = makeLinked ();
        opened.plugin->handleUiControlTag (kPresetListBox, 7.0f);
        setStateBytes (opened.host->component (), c.bytes);
        EXPECT_EQ (editorShows (l), editorShows (opened)) << c.name << ": the editor shows stale values";
        EXPECT_EQ (l.plugin->instrument ().currentProgramIndex (), c.program) << c.name;
        const std::vector<float> base = c.program != 7 ? programRow (c.program) : before;
        for (int id = 0; id < 36; ++id)
            EXPECT_EQ (l.plugin->instrument ().normalizedParam (id), id < c.valuesTaken ? 0.25f : base[static_cast<size_t> (id)])
                << c.name << " id " << id;
        EXPECT_EQ (l.plugin->instrument ().preciseOscillators (), c.precise) << c.name;
        EXPECT_EQ (l.plugin->instrument ().engineWhileIdle ().preciseOscillators (), c.precise) << c.name;
    }
    Linked l = makeLinked ();
    EXPECT_EQ (l.host->component ()->setState (nullptr), kResultFalse);
    EXPECT_NE (l.host->component ()->getState (nullptr), kResultOk);
}

TEST (State, BothOscillatorLayoutsComeBackByteForByte)
{
    for (const bool precise : {false, true})
    {
        Bytes stored = stateRecord (9, programRow (9));
        if (precise)
            stored.insert (stored.end (), {1, 0, 0, 0});
        Linked l = makeLinked ();
        l.plugin->instrument ().setPreciseOscillators (!precise); // the restore, not the instance, decides
        ASSERT_EQ (setStateBytes (l.host->component (), stored), kResultOk) << precise;
        EXPECT_EQ (getStateBytes (l.host->component ()), stored) << precise;
        EXPECT_EQ (getStateBytes (l.host->component ()), stored) << "sent twice " << precise;
        EXPECT_EQ (l.plugin->instrument ().engineWhileIdle ().preciseOscillators (), precise);
        // The mode is no host parameter: the list stays the 36 (and the hidden controllers).
        EXPECT_EQ (l.controller ()->getParameterCount (), 36 + 5);
    }
}

TEST (State, StoredValuesAreClampedAndNonFiniteOnesBecomeZero)
{
    std::vector<float> values (36, 0.5f);
    values[kRes] = 1.5f;
    values[kGain] = -3.0f;
    values[kOscMix] = NAN;
    values[kSlideTime] = INFINITY;
    values[kUnisonDetune] = -INFINITY;
    values[kFilterEnvAmount] = -0.0f;
    Linked l = makeLinked ();
    ASSERT_EQ (setStateBytes (l.host->component (), stateRecord (0, values)), kResultOk);
    EXPECT_EQ (l.plugin->instrument ().normalizedParam (kRes), 1.0f);
    EXPECT_EQ (l.plugin->instrument ().normalizedParam (kGain), 0.0f);
    EXPECT_EQ (l.plugin->instrument ().normalizedParam (kOscMix), 0.0f);
    EXPECT_EQ (l.plugin->instrument ().normalizedParam (kSlideTime), 1.0f);
    EXPECT_EQ (l.plugin->instrument ().normalizedParam (kUnisonDetune), 0.0f);
    EXPECT_FALSE (std::signbit (l.plugin->instrument ().normalizedParam (kFilterEnvAmount)));
}

TEST (State, RestoredLevelReachesTheEngineOverTheProgramsFixedLevel)
{
    // Restore program 0's values with the level at 0.609013 and compare the loudness with a fresh
    // instance, which plays at the programs' fixed 0.1.
    auto loudness = [] (bool restore) {
        Linked l = makeStarted ();
        if (restore)
        {
            std::vector<float> values = programRow (0);
            values[kOutputLevel] = 0.609013f;
            EXPECT_EQ (setStateBytes (l.host->component (), stateRecord (0, values)), kResultOk);
        }
        l.host->events ().addNoteOn (0, 57, 1.0f);
        double sum = 0.0;
        for (int b = 0; b < 40; ++b)
        {
            l.host->process (256);
            sum += rms (l.host->output (0), 256);
        }
        return sum;
    };
    const double quiet = loudness (false);
    const double restored = loudness (true);
    ASSERT_GT (quiet, 0.0);
    // Level curve: 1.1183 at 0.609013 against 0.1952 at the plain 0.1.
    EXPECT_NEAR (restored / quiet, 1.1183 / 0.1952, 0.3);
}

TEST (State, AProjectReopensSoundingExactlyAsItWasSaved)
{
    // -1: no pick, the fresh instance as a host first plays it.
    for (int program : {-1, 0, 5, 12, 28, 44, 58})
    {
        SCOPED_TRACE (program);
        Linked original = makeStarted ();
        if (program >= 0)
            original.plugin->handleUiControlTag (kPresetListBox, static_cast<float> (program));
        const Bytes saved = getStateBytes (original.host->component ());
        const std::vector<float> played = playPhrase (original);
        ASSERT_GT (*std::max_element (played.begin (), played.end ()), 0.0f);

        Linked reopened = makeStarted ();
        ASSERT_EQ (setStateBytes (reopened.host->component (), saved), kResultOk);
        EXPECT_EQ (getStateBytes (reopened.host->component ()), saved);
        EXPECT_EQ (playPhrase (reopened), played);

        // Saved and restored in place, as a host does around a plug-in reload.
        Linked inPlace = makeStarted ();
        if (program >= 0)
            inPlace.plugin->handleUiControlTag (kPresetListBox, static_cast<float> (program));
        ASSERT_EQ (setStateBytes (inPlace.host->component (), getStateBytes (inPlace.host->component ())), kResultOk);
        EXPECT_EQ (playPhrase (inPlace), played);
    }
}
