// The audition material itself: phrases that end every note they start, and WAV files that read
// back exactly as written (the render summary depends on both).
#include "BankCategory.h"
#include "BankLoudness.h"
#include "BankPhrase.h"
#include "BankWav.h"
#include "VorlixPrograms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

using namespace vorlix_bank;

TEST (BankPhrase, EveryPhraseIsSortedAndReleasesWhatItPlays)
{
    for (int r = 0; r < num_programs; ++r)
    {
        SCOPED_TRACE (programnames[r]);
        const Phrase ph = phraseFor (programnames[r], 1.0);
        ASSERT_FALSE (ph.events.empty ());
        std::map<int, int> held;
        double last = 0;
        for (const auto& e : ph.events)
        {
            EXPECT_GE (e.seconds, last);
            last = e.seconds;
            EXPECT_TRUE (e.pitch >= 0 && e.pitch <= 127);
            held[e.pitch] += e.on ? 1 : -1;
        }
        for (const auto& [pitch, count] : held)
            EXPECT_EQ (count, 0) << "pitch " << pitch;
        EXPECT_GE (ph.seconds, last + 1.0); // room for the release tail
    }
}

TEST (BankPhrase, MidiFileHasHeaderTrackAndEndOfTrack)
{
    const auto bytes = toMidiFile ({{0.0, 60, 1.0f, true}, {0.5, 60, 0.0f, false}});
    ASSERT_GE (bytes.size (), 14u + 8u + 3u);
    EXPECT_EQ (std::string (bytes.begin (), bytes.begin () + 4), "MThd");
    EXPECT_EQ (std::string (bytes.begin () + 14, bytes.begin () + 18), "MTrk");
    const size_t trackLength = size_t (bytes[18]) << 24 | size_t (bytes[19]) << 16 | size_t (bytes[20]) << 8 | bytes[21];
    EXPECT_EQ (trackLength, bytes.size () - 22);
    // Note-on at tick 0, then the note-off 480 ticks (half a second at 120 bpm) later.
    const std::vector<unsigned char> expected = {0x00, 0x90, 60, 127, 0x83, 0x60, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00};
    EXPECT_EQ (std::vector<unsigned char> (bytes.begin () + 22, bytes.end ()), expected);
}

TEST (BankWav, RoundTripAndRejection)
{
    const std::string path = testing::TempDir () + "bank_wav_roundtrip.wav";
    Render out;
    out.sampleRate = 44100.0f;
    out.left = {0.0f, 0.5f, -1.0f, 1e-7f};
    out.right = {0.25f, -0.5f, 1.0f, -3.0f};
    ASSERT_TRUE (writeWav (path, out));
    Render in;
    std::string error;
    ASSERT_TRUE (readWav (path, in, error)) << error;
    EXPECT_EQ (in.sampleRate, 44100.0f);
    EXPECT_EQ (in.left, out.left);
    EXPECT_EQ (in.right, out.right);

    for (const std::string& junk : {std::string (), std::string ("RIFF\x04\0\0\0WAVE", 12), std::string (64, 'x')})
    {
        std::ofstream (path, std::ios::binary) << junk;
        EXPECT_FALSE (readWav (path, in, error));
        EXPECT_FALSE (error.empty ());
    }
    EXPECT_FALSE (readWav (path + ".missing", in, error));
    std::remove (path.c_str ());
}

// The loudness reading against the reference points of the standard: a 1 kHz sine on both front
// channels reads its level in dBFS as LUFS (each channel alone would read 3 dB less); silence is
// gated out entirely.
TEST (BankLoudness, ReadsReferenceSinesAndSilence)
{
    struct Case { double amplitude; bool leftOnly; double lufs; double peakDb; };
    const Case cases[] = {
        {1.0, false, 0.0, 0.0},
        {0.1, false, -20.0, -20.0},
        {0.1, true, -23.01, -20.0},
        {0.0, false, -200.0, -200.0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.amplitude);
        Render r;
        r.sampleRate = 48000.0f;
        for (int i = 0; i < 5 * 48000; ++i)
        {
            const float x = float (c.amplitude * std::sin (2.0 * M_PI * 1000.0 * i / 48000.0));
            r.left.push_back (x);
            r.right.push_back (c.leftOnly ? 0.0f : x);
        }
        const Loudness l = loudnessOf (r);
        EXPECT_NEAR (l.lufs, c.lufs, 0.05);
        EXPECT_NEAR (l.peakDb, c.peakDb, 0.01);
    }
}

TEST (BankPhrase, DemoAndDrumPhrasesPairEveryNoteOnWithItsOff)
{
    for (const auto& events : {demoPhrase (), drumPhrase (36)})
    {
        std::map<int, int> held;
        double last = 0;
        for (const auto& e : events)
        {
            EXPECT_GE (e.seconds, last);
            last = e.seconds;
            held[e.pitch] += e.on ? 1 : -1;
        }
        for (const auto& [pitch, count] : held)
            EXPECT_EQ (count, 0) << "pitch " << pitch;
        EXPECT_LT (last, demoPhraseSeconds ());
    }
}
