// vorlix-bank-probe: plays every built-in program through the engine, as the plug-in loads it, and
// prints what a sound designer measures: level, brightness, attack and tail. It can also write
// each program's audition phrase as a MIDI file and as a WAV rendered by the engine.
//
//   vorlix-bank-probe [--rate HZ] [--program N] [--set ID=VALUE]... [--mid DIR] [--wav DIR]
//
// --set tries a normalized value on top of every program played (for tuning a row).
#include "BankCategory.h"
#include "BankPhrase.h"
#include "BankProbe.h"
#include "VorlixParamID.h"
#include "VorlixPrograms.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

using namespace vorlix_bank;

namespace {

std::string fileStem (int index)
{
    char buf[128];
    std::snprintf (buf, sizeof buf, "%02d-%s", index, programnames[index]);
    return buf;
}

void put32 (std::ofstream& f, uint32_t v) { for (int i = 0; i < 4; ++i) f.put (char ((v >> (8 * i)) & 0xFF)); }
void put16 (std::ofstream& f, uint16_t v) { f.put (char (v & 0xFF)); f.put (char (v >> 8)); }

// 32-bit float stereo WAV.
bool writeWav (const std::string& path, const Render& r)
{
    std::ofstream f (path, std::ios::binary);
    if (! f)
        return false;
    const uint32_t frames = uint32_t (r.left.size ());
    const uint32_t dataBytes = frames * 8;
    f.write ("RIFF", 4);
    put32 (f, 36 + dataBytes);
    f.write ("WAVEfmt ", 8);
    put32 (f, 16);
    put16 (f, 3); // IEEE float
    put16 (f, 2);
    put32 (f, uint32_t (r.sampleRate));
    put32 (f, uint32_t (r.sampleRate) * 8);
    put16 (f, 8);
    put16 (f, 32);
    f.write ("data", 4);
    put32 (f, dataBytes);
    for (uint32_t i = 0; i < frames; ++i)
    {
        f.write (reinterpret_cast<const char*> (&r.left[i]), 4);
        f.write (reinterpret_cast<const char*> (&r.right[i]), 4);
    }
    return bool (f);
}

} // namespace

int main (int argc, char** argv)
{
    float rate = 48000.0f;
    int only = -1;
    std::string midDir, wavDir;
    std::vector<std::pair<int, float>> edits;
    for (int i = 1; i < argc; ++i)
    {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--rate" && hasValue)
            rate = float (std::atof (argv[++i]));
        else if (a == "--program" && hasValue)
            only = std::atoi (argv[++i]);
        else if (a == "--mid" && hasValue)
            midDir = argv[++i];
        else if (a == "--wav" && hasValue)
            wavDir = argv[++i];
        else if (a == "--set" && hasValue)
        {
            int id = -1;
            float value = 0;
            if (std::sscanf (argv[++i], "%d=%f", &id, &value) != 2 || id < 0 || id >= kNumParams)
            {
                std::fprintf (stderr, "--set needs ID=VALUE with ID 0..35\n");
                return 2;
            }
            edits.emplace_back (id, value);
        }
        else
        {
            std::fprintf (stderr, "usage: %s [--rate HZ] [--program N] [--set ID=VALUE]... [--mid DIR] [--wav DIR]\n", argv[0]);
            return 2;
        }
    }
    if (rate < 8000.0f || rate > 384000.0f)
    {
        std::fprintf (stderr, "sample rate out of range\n");
        return 2;
    }

    std::printf ("%-2s %-22s %-7s %4s %7s %7s %7s %6s %6s %6s %6s %7s %6s\n", "#", "name", "cat", "note", "peak",
                 "rms", "cent", "half", "att", "dec", "rel", "tail", "solo");
    std::printf ("%-2s %-22s %-7s %4s %7s %7s %7s %6s %6s %6s %6s %7s %6s\n", "", "", "", "", "dBFS", "dBFS", "Hz",
                 "s", "s", "s", "s", "s", "s");
    for (int r = 0; r < num_programs; ++r)
    {
        if (only >= 0 && r != only)
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
                     whole.lastSoundSeconds - one.lastNoteOff, solo.lastSoundSeconds, whole.finite ? "" : " NONFINITE");

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
                 "envelope; tail: last sound after note-off; solo: last sound with no note-off (3 s max)\n");
    return 0;
}
