// vorlix-bank-probe: plays every built-in program through the engine, as the plug-in loads it, and
// prints what a sound designer measures: level, brightness, attack and tail. It can also write
// each program's audition phrase as a MIDI file and as a WAV rendered by the engine.
//
//   vorlix-bank-probe [--rate HZ] [--program N]... [--set ID=VALUE]... [--mid DIR] [--wav DIR]
//   vorlix-bank-probe [--program N]... --summary DIR
//   vorlix-bank-probe [--program N]... [--set ID=VALUE]... [--precise] --loudness
//
// --set tries a normalized value on top of every program played (for tuning a row).
// --summary measures the phrase renders DIR/NN-name.wav (made by tools/render-bank through the
// plug-in bundle) instead of playing the engine.
// --loudness prints each program's integrated loudness and peak on the demo phrase at 48 kHz (drums
// also on their drum phrase) and how far it sits from the median of the whole bank; --precise
// plays it with the precise oscillators.
#include "BankCategory.h"
#include "BankLoudness.h"
#include "BankPhrase.h"
#include "BankProbe.h"
#include "BankWav.h"
#include "VorlixParamID.h"
#include "VorlixPrograms.h"
#include "vexagui/text/NumberText.h"

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

using namespace vorlix_bank;

namespace {

// An empty selection means every program.
bool wanted (const std::vector<int>& selection, int index)
{
    return selection.empty () || std::find (selection.begin (), selection.end (), index) != selection.end ();
}

std::string fileStem (int index)
{
    char buf[128];
    std::snprintf (buf, sizeof buf, "%02d-%s", index, programnames[index]);
    return buf;
}

// The table of the phrase renders: level, brightness and how long the sound rings on after the
// phrase's last note-off. Exit code 1 when a render is missing or not finite.
int summarize (const std::string& dir, const std::vector<int>& only)
{
    std::printf ("%-2s %-22s %-7s %7s %7s %7s %7s %7s %7s %7s\n", "#", "name", "cat", "peak", "rms", "cent", "tail",
                 "demo", "demo", "drum");
    std::printf ("%-2s %-22s %-7s %7s %7s %7s %7s %7s %7s %7s\n", "", "", "", "dBFS", "dBFS", "Hz", "s", "LUFS",
                 "dBFS", "LUFS");
    int failures = 0;
    for (int r = 0; r < num_programs; ++r)
    {
        if (! wanted (only, r))
            continue;
        const std::string name = programnames[r];
        Render demo;
        std::string demoError;
        if (! readWav (dir + "/demo/" + fileStem (r) + ".wav", demo, demoError))
        {
            std::fprintf (stderr, "%s\n", demoError.c_str ());
            ++failures;
            continue;
        }
        const Loudness demoLevel = loudnessOf (demo);
        const Phrase phrase = phraseFor (name, envelopeSeconds (r, kOsc1Release));
        double lastOff = 0;
        for (const auto& e : phrase.events)
            if (! e.on)
                lastOff = std::max (lastOff, e.seconds);
        Render render;
        std::string error;
        if (! readWav (dir + "/" + fileStem (r) + ".wav", render, error))
        {
            std::fprintf (stderr, "%s\n", error.c_str ());
            ++failures;
            continue;
        }
        const Measures m = measure (render, 0.0, lastOff);
        // A drum's own phrase is its drum phrase, so its audition render is what it is levelled on.
        const bool drum = categoryOf (name) == Category::Drum;
        char drumLevel[16] = "";
        if (drum)
            std::snprintf (drumLevel, sizeof drumLevel, "%7.1f", loudnessOf (render).lufs);
        std::printf ("%2d %-22s %-7s %7.1f %7.1f %7.0f %7.2f %7.1f %7.1f %7s%s\n", r, name.c_str (),
                     categoryName (categoryOf (name)), m.peakDb, m.rmsDb, m.centroidHz,
                     std::max (0.0, m.lastSoundSeconds - lastOff), demoLevel.lufs, demoLevel.peakDb, drumLevel,
                     m.finite ? "" : " NONFINITE");
        failures += m.finite ? 0 : 1;
    }
    std::printf ("peak: whole render; rms, cent: from the first note-on to the last note-off; tail: last sample "
                 "that does not round to zero in 16 bits, after the last note-off; demo: EBU R128 integrated "
                 "loudness and sample peak of DIR/demo/NN-name.wav (the demo phrase); drum: integrated loudness "
                 "of a drum's own phrase\n");
    return failures == 0 ? 0 : 1;
}

// The bank's loudness table, played through the engine; with --set it shows what an edit would do
// to the selected programs. The distance from the median needs the whole bank, so it is printed
// only when every program is played.
void printLoudness (const std::vector<int>& only, const std::vector<std::pair<int, float>>& edits, bool precise)
{
    std::vector<ProgramLoudness> all (num_programs);
    std::vector<double> judged;
    for (int r = 0; r < num_programs; ++r)
    {
        if (! wanted (only, r))
            continue;
        all[r] = playLoudness (r, edits, precise);
        judged.push_back (all[r].judged);
    }
    const bool whole = only.empty ();
    const double median = medianOf (judged);
    std::printf ("%-2s %-22s %-7s %7s %7s %7s %7s\n", "#", "name", "cat", "demo", "peak", "drum", "vs med");
    std::printf ("%-2s %-22s %-7s %7s %7s %7s %7s\n", "", "", "", "LUFS", "dBFS", "LUFS", "LU");
    for (int r = 0; r < num_programs; ++r)
    {
        if (! wanted (only, r))
            continue;
        const std::string name = programnames[r];
        char drum[16] = "", distance[16] = "";
        if (categoryOf (name) == Category::Drum)
            std::snprintf (drum, sizeof drum, "%7.1f", all[r].drum.lufs);
        if (whole)
            std::snprintf (distance, sizeof distance, "%+7.1f", all[r].judged - median);
        // Two decimals: the two oscillator modes are compared to a tenth of a unit.
        std::printf ("%2d %-22s %-7s %7.2f %7.1f %7s %7s\n", r, name.c_str (), categoryName (categoryOf (name)),
                     all[r].demo.lufs, all[r].demo.peakDb, drum, distance);
    }
    if (whole)
        std::printf ("median %.1f LUFS (drums judged on their drum phrase, the rest on the demo phrase; 48 kHz)\n",
                     median);
}

} // namespace

int main (int argc, char** argv)
{
    float rate = 48000.0f;
    std::vector<int> only;
    std::string midDir, wavDir, summaryDir;
    bool loudness = false;
    bool precise = false;
    std::vector<std::pair<int, float>> edits;
    for (int i = 1; i < argc; ++i)
    {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--rate" && hasValue)
            rate = float (vexagui::numberFromText (argv[++i]).value_or (0.0));
        else if (a == "--program" && hasValue)
            only.push_back (int (vexagui::numberFromText (argv[++i]).value_or (-1.0)));
        else if (a == "--mid" && hasValue)
            midDir = argv[++i];
        else if (a == "--wav" && hasValue)
            wavDir = argv[++i];
        else if (a == "--loudness")
            loudness = true;
        else if (a == "--precise")
            precise = true;
        else if (a == "--summary" && hasValue)
            summaryDir = argv[++i];
        else if (a == "--set" && hasValue)
        {
            const std::string_view text = argv[++i];
            const std::size_t equals = text.find ('=');
            const auto id = vexagui::numberFromText (text.substr (0, equals));
            const auto value = equals == std::string_view::npos ? std::nullopt
                                                                 : vexagui::numberFromText (text.substr (equals + 1));
            if (!id || !value || *id != std::floor (*id) || *id < 0 || *id >= static_cast<double> (kNumParams))
            {
                std::fprintf (stderr, "--set needs ID=VALUE with ID 0..35\n");
                return 2;
            }
            edits.emplace_back (int (*id), float (*value));
        }
        else
        {
            std::fprintf (stderr, "usage: %s [--rate HZ] [--program N]... [--set ID=VALUE]... [--mid DIR] [--wav DIR]\n"
                          "       %s [--program N]... --summary DIR\n"
                          "       %s [--program N]... [--set ID=VALUE]... [--precise] --loudness\n", argv[0], argv[0], argv[0]);
            return 2;
        }
    }
    if (rate < 8000.0f || rate > 384000.0f)
    {
        std::fprintf (stderr, "sample rate out of range\n");
        return 2;
    }

    if (! summaryDir.empty ())
        return summarize (summaryDir, only);
    if (loudness)
    {
        printLoudness (only, edits, precise);
        return 0;
    }

    std::printf ("%-2s %-22s %-7s %4s %7s %7s %7s %6s %6s %6s %6s %7s %6s\n", "#", "name", "cat", "note", "peak",
                 "rms", "cent", "half", "att", "dec", "rel", "tail", "solo");
    std::printf ("%-2s %-22s %-7s %4s %7s %7s %7s %6s %6s %6s %6s %7s %6s\n", "", "", "", "", "dBFS", "dBFS", "Hz",
                 "s", "s", "s", "s", "s", "s");
    for (int r = 0; r < num_programs; ++r)
    {
        if (! wanted (only, r))
            continue;
        const std::string name = programnames[r];
        const int pitch = registerNote (name);
        const double release = envelopeSeconds (r, kOsc1Release);
        const double hold = isSlowAttack (name) ? 1.0 : 0.5;

        BankProbe probe (rate);
        probe.loadProgram (r);
        for (auto [id, v] : edits)
            probe.setNormalized (id, v);
        const Render one = probe.play ({{0.0, pitch, 1.0f, true}, {hold, pitch, 1.0f, false}}, hold + release + 1.5);
        const Measures whole = measure (one);
        const Measures held = measure (one, 0.0, hold);

        // How long a single hit lasts when no note-off ever comes (drums must end by themselves).
        BankProbe soloProbe (rate);
        soloProbe.loadProgram (r);
        for (auto [id, v] : edits)
            soloProbe.setNormalized (id, v);
        const Measures solo = measure (soloProbe.play ({{0.0, pitch, 1.0f, true}}, 3.0));

        std::printf ("%2d %-22s %-7s %4d %7.1f %7.1f %7.0f %6.3f %6.3f %6.3f %6.2f %7.2f %6.2f%s\n", r, name.c_str (),
                     categoryName (categoryOf (name)), pitch, whole.peakDb, held.rmsDb, held.centroidHz,
                     whole.halfLevelSeconds, envelopeSeconds (r, kOsc1Attack), envelopeSeconds (r, kOsc1Decay), release,
                     std::max (0.0, whole.lastSoundSeconds - one.lastNoteOff), solo.lastSoundSeconds, whole.finite ? "" : " NONFINITE");

        const Phrase phrase = phraseFor (name, release);
        if (! midDir.empty ())
        {
            const auto bytes = toMidiFile (phrase.events);
            std::ofstream f (midDir + "/" + fileStem (r) + ".mid", std::ios::binary);
            f.write (reinterpret_cast<const char*> (bytes.data ()), std::streamsize (bytes.size ()));
        }
        if (! wavDir.empty ())
        {
            BankProbe phraseProbe (rate);
            phraseProbe.loadProgram (r);
            for (auto [id, v] : edits)
                phraseProbe.setNormalized (id, v);
            const Render pr = phraseProbe.play (phrase.events, phrase.seconds);
            if (! writeWav (wavDir + "/" + fileStem (r) + ".wav", pr))
            {
                std::fprintf (stderr, "cannot write %s\n", (wavDir + "/" + fileStem (r) + ".wav").c_str ());
                return 1;
            }
        }
    }
    std::printf ("peak: whole single note; rms, cent: while held; half: time to half level; att/dec/rel: amp "
                 "envelope; tail: last sound after note-off (0: silent before it); solo: last sound with no note-off (3 s max)\n");
    return 0;
}
