// Checks the built-in bank as data (counts, ranges, the rows other parts of the system rely on)
// and as sound: every program is played through the engine as the plug-in loads it.
#include "BankCategory.h"
#include "BankLoudness.h"
#include "BankProbe.h"
#include "VorlixParamID.h"
#include "VorlixPrograms.h"
#if VORLIX_BANK_HAS_PLUGIN
#include "VorlixPresetBank.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace vorlix_bank;

namespace {

constexpr float kFiller = -90809.0f;
constexpr float kRate = 48000.0f;

std::string nameOf (int index) { return programnames[index]; }

bool hasSixteenValueTail (int index)
{
    for (int r : {5, 11, 22, 23, 24, 44, 45})
        if (r == index)
            return true;
    return false;
}

// One note at velocity 1 in the program's register, held, then released.
struct NotePlay
{
    Render render;
    Measures held;      // measured while the key is down
    double releaseSeconds = 0;
};

NotePlay playOneNote (int index, double holdSeconds)
{
    BankProbe probe (kRate);
    probe.loadProgram (index);
    const int pitch = registerNote (programnames[index]);
    NotePlay p;
    p.releaseSeconds = envelopeSeconds (index, kOsc1Release);
    p.render = probe.play ({{0.0, pitch, 1.0f, true}, {holdSeconds, pitch, 1.0f, false}},
                           holdSeconds + p.releaseSeconds + 1.5);
    p.held = measure (p.render, 0.0, holdSeconds);
    return p;
}

} // namespace

TEST (ProgramBank, NamesInBankOrder)
{
    static const char* const expected[] = {
        "InitSaw", "bass-didgeribassic", "bass-didgeribassidic", "bass-distbass", "bass-distbass2", "bass-mutable",
        "bass-distopianbass", "bass-drwho", "bass-fatripper", "bass-grind", "bass-juno", "bass-juno2", "bass-vorlix",
        "bass-paftdunk", "bass-squareplucks", "bass-subshake", "bass-teebee-saw-dist", "bass-teebee-saw-res",
        "bass-teebee-sqr-dist", "bass-teebee-sqr-res", "bass-teebee-sqr-res2", "bass-teebee-sqr", "bass-2zero2",
        "vintage-growl", "vintage-scrape", "fx-crystal", "fx-powertool", "fx-powertool2", "pad-damn",
        "pad-startyourengines", "pad-sweeper", "piano-metal", "piano-plucks", "lead-ripper", "lead-squareprecision",
        "lead-squareslider", "lead-synclead", "synth-bluepipes", "synth-boosterbips", "synth-boosterbips2",
        "synth-crystalmines", "synth-damnhappy", "synth-electrance", "synth-eyesstabbedout", "synth-firefly-dead",
        "synth-firefly-alive", "synth-moogish", "synth-richness", "synth-stabby", "synth-steampunk", "orch-brassy",
        "orch-pizzstrings", "orch-plucks", "orch-softbrass", "orch-strings", "drums-bd-dirtykick",
        "drums-bd-gentlekick", "drums-bd-logdrum", "drums-hihat", "drums-snare", "drums-snare2"};
    static_assert (std::size (expected) == num_programs);
    ASSERT_EQ (num_params, 37);
    for (int i = 0; i < num_programs; ++i)
        EXPECT_STREQ (programnames[i], expected[i]) << "program " << i;
}

TEST (ProgramBank, CountsRangesAndFiller)
{
    for (int r = 0; r < num_programs; ++r)
    {
        SCOPED_TRACE (nameOf (r));
        const float countValue = programs[r][0];
        const int expectedCount = hasSixteenValueTail (r) ? 36 : 34;
        ASSERT_EQ (countValue, float (expectedCount));
        for (int i = 1; i <= expectedCount; ++i)
        {
            EXPECT_TRUE (programs[r][i] >= 0.0f && programs[r][i] <= 1.0f) << "ID " << i - 1 << " = " << programs[r][i];
        }
        for (int i = expectedCount + 1; i < num_params; ++i)
            EXPECT_EQ (programs[r][i], kFiller) << "slot " << i;
        // The loader reads 0, never the filler, for the IDs past the count.
        for (int id = expectedCount; id < 36; ++id)
            EXPECT_EQ (programValue (r, id), 0.0f);
    }
}

// Rows that stored projects, preset files and the host's parameter defaults depend on.
TEST (ProgramBank, ListedRowsAreBitExact)
{
    struct Row { int index; std::vector<float> values; };
    const Row rows[] = {
        {0, {0, 0.5f, 0, 0.5f, 0.01f, 0.523482f, 1, 0.154198f, 1, 0, 0, 0, 0.05f, 0.530111f, 1, 0.1296f, 0, 0, 0.5f, 0,
             0, 0, 0.5f, 1, 1, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0}},
        {5, {0.179135f, 0, 0, 0.509221f, 0, 0.4446f, 0.73f, 0.250394f, 0, 0.255f, 1, 1, 0, 0.367306f, 1, 0.251518f,
             0.83f, 0.5f, 0.554606f, 0.5f, 0, 0, 1, 1, 0.275f, 1, 0.454575f, 1, 0, 0, 0, 0.5f, 0.609013f, 1, 0.22f, 1}},
        {44, {0.03125f, 0.361462f, 0.032393f, 0.585938f, 0.023438f, 0.054688f, 0.835938f, 0.229361f, 0.587961f, 0,
              0.09176f, 0.929688f, 0, 0.406125f, 0.176764f, 0.333333f, 1, 1, 1, 0, 0, 0.953125f, 1, 1, 0, 1,
              0.541889f, 0, 0, 1, 0, 1, 0.320088f, 1, 0.074012f, 1}},
        {58, {0.851562f, 0.5f, 0.84375f, 0.554688f, 0.007812f, 0.278032f, 0.40625f, 0.309375f, 0.585938f, 0.294001f,
              0, 1, 0, 0.491516f, 0.710938f, 0.270312f, 0, 0.5f, 0.5625f, 1, 0, 0, 0.5f, 1, 0, 0, 0, 0, 0, 0, 0, 1,
              0.609013f, 0}},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE (nameOf (row.index));
        ASSERT_EQ (programs[row.index][0], float (row.values.size ()));
        EXPECT_EQ (std::memcmp (&programs[row.index][1], row.values.data (), row.values.size () * sizeof (float)), 0);
    }
}

// Every program speaks in its register at a sane level, stays finite, swells in where its name
// promises a slow attack, and ends once its release has run.
TEST (ProgramBank, EveryProgramSpeaksAndEnds)
{
    for (int r = 0; r < num_programs; ++r)
    {
        SCOPED_TRACE (nameOf (r));
        const double hold = isSlowAttack (programnames[r]) ? 1.0 : 0.5;
        const NotePlay p = playOneNote (r, hold);
        const Measures whole = measure (p.render);
        EXPECT_TRUE (whole.finite);
        EXPECT_GE (whole.peakDb, -30.0);
        EXPECT_LE (whole.peakDb, 0.0);
        EXPECT_LE (whole.lastSoundSeconds, p.render.lastNoteOff + p.releaseSeconds + 1.0)
            << "release " << p.releaseSeconds << " s";
        if (isSlowAttack (programnames[r]))
        {
            EXPECT_GE (whole.halfLevelSeconds, 0.050);
        }
    }
}

// A drum is a one-shot: a sequencer may send its note-off late or never.
TEST (ProgramBank, DrumsDecayWithoutNoteOff)
{
    for (int r = 0; r < num_programs; ++r)
    {
        if (categoryOf (programnames[r]) != Category::Drum)
            continue;
        // The hi-hat row is fixed data shared with other parts of the system; it holds a quiet
        // sustain while the key is down and is only checked after note-off.
        if (std::string (programnames[r]) == "drums-hihat")
            continue;
        SCOPED_TRACE (nameOf (r));
        BankProbe probe (kRate);
        probe.loadProgram (r);
        const Render render = probe.play ({{0.0, registerNote (programnames[r]), 1.0f, true}}, 2.25);
        const Measures m = measure (render);
        EXPECT_GT (m.peakDb, -30.0);
        EXPECT_LE (m.lastSoundSeconds, 2.0);
    }
}

// Basses sit low and dark, leads high and bright, each played in its register. The listed
// bass-mutable row is a fully clipped square whose filter stays open while held; it is held only to
// the category as a whole (the bass median well below the lead median), every other bass to the
// darkest lead.
TEST (ProgramBank, BassesAreDarkerThanLeads)
{
    std::vector<double> basses, leads;
    double brightestBass = 0;
    std::string brightestName;
    for (int r = 0; r < num_programs; ++r)
    {
        const Category c = categoryOf (programnames[r]);
        if (c != Category::Bass && c != Category::Lead)
            continue;
        const double centroid = playOneNote (r, 0.5).held.centroidHz;
        (c == Category::Bass ? basses : leads).push_back (centroid);
        if (c == Category::Bass && std::string (programnames[r]) != "bass-mutable" && centroid > brightestBass)
            brightestBass = centroid, brightestName = programnames[r];
    }
    ASSERT_FALSE (basses.empty ());
    ASSERT_FALSE (leads.empty ());
    const auto median = [] (std::vector<double> v) {
        std::sort (v.begin (), v.end ());
        return v[v.size () / 2];
    };
    EXPECT_LT (2.0 * median (basses), median (leads));
    const double darkestLead = *std::min_element (leads.begin (), leads.end ());
    EXPECT_LT (1.5 * brightestBass, darkestLead) << "brightest bass " << brightestName << " " << brightestBass << " Hz";
}

// Auditioning the bank must not jump in level: every designed program plays the demo phrase (drums
// their own hits) within a few LU of the bank's median, and none clips on the demo phrase. The
// listed rows are fixed data and only count towards the median.
TEST (ProgramBank, DesignedProgramsPlayAtAnEvenLevel)
{
    std::vector<ProgramLoudness> levels;
    std::vector<double> judged;
    for (int r = 0; r < num_programs; ++r)
    {
        levels.push_back (playLoudness (r));
        judged.push_back (levels.back ().judged);
        // Exact pitch and band-limited waves keep each program's character: the same loudness
        // within half a loudness unit. Where detuned copies or an oscillator an octave up meet,
        // whole-sample periods merge near pitches into one (adding in phase, louder) and pull
        // exact octaves apart (drifting through every phase); exact pitch keeps an octave locked
        // at its start phase and detunings beating. Those programs play up to 2 LU quieter.
        const bool pitchesMeet = r == 30 || r == 32 || r == 47 || r == 50 || r == 53 || r == 54;
        const ProgramLoudness precise = playLoudness (r, {}, true);
        std::printf ("%2d %-24s classic %7.2f LUFS  precise %7.2f LUFS  %+5.2f LU\n", r, nameOf (r).c_str (),
                     levels.back ().judged, precise.judged, precise.judged - levels.back ().judged);
        EXPECT_LE (std::fabs (precise.judged - levels.back ().judged), pitchesMeet ? 2.0 : 0.5)
            << nameOf (r) << ": classic " << levels.back ().judged << " LUFS, precise " << precise.judged;
        if (pitchesMeet)
        {
            // The allowance covers only how the two oscillators' pitches meet: with oscillator 2
            // at oscillator 1's pitch both modes lock the pair alike and must agree again.
            const std::vector<std::pair<int, float>> samePitch = {{kOsc2Detune, 0.5f}};
            const double classicSame = playLoudness (r, samePitch).judged;
            const double preciseSame = playLoudness (r, samePitch, true).judged;
            EXPECT_LE (std::fabs (preciseSame - classicSame), 0.5)
                << nameOf (r) << " with oscillator 2 at oscillator 1's pitch: classic " << classicSame
                << " LUFS, precise " << preciseSame;
        }
        EXPECT_LE (precise.demo.peakDb, std::max (levels.back ().demo.peakDb, kPeakCeilingDb)) << nameOf (r);
    }
    const double median = medianOf (judged);
    EXPECT_GT (median, -40.0);
    for (int r = 0; r < num_programs; ++r)
    {
        if (r == 0 || r == 5 || r == 44 || r == 58)
            continue;
        SCOPED_TRACE (nameOf (r));
        EXPECT_LE (std::fabs (levels[r].judged - median), kLoudnessSpreadLu)
            << levels[r].judged << " LUFS against the median " << median;
        EXPECT_LE (levels[r].demo.peakDb, kPeakCeilingDb);
    }
}

#if VORLIX_BANK_HAS_PLUGIN
// The probe's measurements stand for the plug-in only if it loads programs the way the component
// does: the same note through both loaders must give the same samples.
TEST (ProgramBank, ProbeLoadsLikeTheComponent)
{
    const std::vector<NoteEvent> note = {{0.0, 60, 1.0f, true}, {0.1, 60, 1.0f, false}};
    for (int r = 0; r < num_programs; ++r)
    {
        SCOPED_TRACE (nameOf (r));
        BankProbe probe (kRate), component (kRate);
        probe.loadProgram (r);
        component.loadProgramWith (&VorlixPresetBank::loadProgram, r);
        const Render a = probe.play (note, 0.2), b = component.play (note, 0.2);
        EXPECT_EQ (a.left, b.left);
        EXPECT_EQ (a.right, b.right);
    }
}
#endif
