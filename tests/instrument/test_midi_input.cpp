// The MIDI every format feeds in: raw messages, the wheel and its range, the pedal and the
// channel-mode controllers, as the engine receives them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "VorlixGenPolyphonic.h"
#include "VorlixMidiInput.h"

namespace {

float cv (int note) { return float (note) * 0.083333336f; }

struct Rig
{
    VorlixGenPolyphonic engine;
    VorlixMidiInput midi;

    Rig () { engine.setSampleRate (48000.0f); }
    void send (std::initializer_list<std::uint8_t> bytes)
    {
        const std::vector<std::uint8_t> b (bytes);
        midi.message (engine, b.data (), int (b.size ()));
    }
    void cc (int controller, int value) { send ({0xB3, std::uint8_t (controller), std::uint8_t (value)}); }
    // The wheel offset every voice receives, in semitones.
    float bendSemitones () { return engine.patchVoice.bendTarget * 12.0f; }
    bool sounding (int note)
    {
        const int p = engine.voiceBank.findAssigned (cv (note));
        return p >= 0 && !engine.voiceBank.voiceAt (p).released;
    }
    void render (long frames)
    {
        std::vector<float> l (frames), r (frames);
        engine.processReplacingT<float> (l.data (), r.data (), 1, frames, true);
    }
};

} // namespace

TEST (MidiInput, WheelRangeFollowsRpnZeroOnly)
{
    struct Row
    {
        std::vector<std::pair<int, int>> controllers;
        float range;
    };
    const Row rows[] = {
        {{}, 2.0f},
        {{{101, 0}, {100, 0}, {6, 12}}, 12.0f},
        {{{101, 0}, {100, 0}, {6, 1}, {38, 50}}, 1.5f},
        {{{101, 0}, {100, 0}, {6, 24}}, 24.0f},
        {{{101, 0}, {100, 0}, {6, 100}}, 24.0f},           // clamped
        {{{101, 0}, {100, 0}, {6, 24}, {38, 99}}, 24.0f},  // clamped with its cents
        {{{101, 0}, {100, 0}, {6, 0}}, 0.0f},              // a wheel that does nothing
        {{{101, 0}, {100, 1}, {6, 12}}, 2.0f},             // fine tuning: not ours
        {{{99, 0}, {98, 0}, {6, 12}}, 2.0f},               // an NRPN
        {{{101, 0}, {100, 0}, {99, 1}, {6, 12}}, 2.0f},    // an NRPN selected after it
        {{{99, 1}, {101, 0}, {100, 0}, {6, 7}}, 7.0f},     // back to RPN 0
        {{{101, 127}, {100, 127}, {6, 12}}, 2.0f},         // none selected
        {{{101, 0}, {100, 0}, {121, 0}, {6, 12}}, 2.0f},   // reset deselects
        {{{101, 0}, {100, 0}, {6, 5}, {121, 0}}, 5.0f},    // ... but keeps the range
    };
    for (const Row& r : rows)
    {
        Rig rig;
        for (const auto& [controller, value] : r.controllers)
            rig.cc (controller, value);
        rig.send ({0xE0, 0x7F, 0x7F}); // full up
        EXPECT_FLOAT_EQ (rig.bendSemitones (), r.range) << r.controllers.size () << " controllers";
        rig.send ({0xE5, 0x00, 0x00}); // full down, any channel
        EXPECT_FLOAT_EQ (rig.bendSemitones (), -r.range) << r.controllers.size () << " controllers";
        EXPECT_FLOAT_EQ (rig.midi.bendRange (), r.range);
    }
}

TEST (MidiInput, WheelPositions)
{
    struct Row
    {
        std::uint8_t lsb, msb;
        float semitones;
    };
    for (const Row& r : {Row {0x00, 0x40, 0.0f}, Row {0x7F, 0x7F, 2.0f}, Row {0x00, 0x00, -2.0f},
                         Row {0x00, 0x60, 2.0f * 4096.0f / 8191.0f}, Row {0x00, 0x20, -1.0f}})
    {
        Rig rig;
        rig.send ({0xE0, 0x7F, 0x7F});
        rig.send ({0xE0, r.lsb, r.msb});
        EXPECT_EQ (rig.bendSemitones (), r.semitones) << int (r.msb) << "/" << int (r.lsb);
    }
    // The positions a VST 3 host sends: clamped, NaN is centre.
    Rig rig;
    for (const auto& [in, out] : std::vector<std::pair<float, float>> {
             {1.0f, 2.0f}, {7.0f, 2.0f}, {-3.0f, -2.0f}, {0.25f, 0.5f}, {std::nanf (""), 0.0f}})
    {
        rig.midi.pitchBend (rig.engine, in);
        EXPECT_EQ (rig.bendSemitones (), out) << in;
    }
}

TEST (MidiInput, NotesAndMalformedMessages)
{
    Rig rig;
    rig.send ({0x92, 60, 100});
    EXPECT_TRUE (rig.sounding (60));
    EXPECT_FLOAT_EQ (rig.engine.voiceBank.voiceAt (rig.engine.voiceBank.findAssigned (cv (60))).velocity, 100.0f / 127.0f);
    rig.send ({0x90, 60, 0}); // velocity 0: a note-off
    EXPECT_FALSE (rig.sounding (60));
    rig.send ({0x90, 62, 90});
    rig.send ({0x80, 62, 90});
    EXPECT_FALSE (rig.sounding (62));
    // Too short, running status, system messages, data bytes with the top bit set: nothing, and
    // nothing read past the end.
    const std::vector<std::vector<std::uint8_t>> bad {
        {}, {0x90}, {0x90, 64}, {64, 100}, {0xF0, 0x90, 64, 100}, {0xFF}, {0xE0, 0x7F}, {0xB0, 64},
    };
    for (const auto& b : bad)
        rig.midi.message (rig.engine, b.data (), int (b.size ()));
    rig.midi.message (rig.engine, nullptr, 3);
    EXPECT_EQ (rig.engine.voiceBank.activeCount, 2);
    EXPECT_FALSE (rig.sounding (64));
    EXPECT_EQ (rig.bendSemitones (), 0.0f);
    EXPECT_FALSE (rig.midi.sustainDown ());
    rig.send ({0x90, 0xC0, 0xFF}); // top bits masked: note 64, velocity 127
    EXPECT_TRUE (rig.sounding (64));
}

TEST (MidiInput, PedalAndChannelModeControllers)
{
    Rig rig;
    rig.cc (64, 127);
    rig.send ({0x90, 60, 100});
    rig.send ({0x80, 60, 0});
    EXPECT_TRUE (rig.sounding (60));
    rig.cc (64, 100); // still down: nothing changes
    EXPECT_TRUE (rig.sounding (60));
    rig.cc (64, 63);
    EXPECT_FALSE (rig.sounding (60));

    // Reset All Controllers: wheel centred, pedal lifted (so held notes release).
    rig.cc (64, 127);
    rig.send ({0xE0, 0x7F, 0x7F});
    rig.send ({0x90, 62, 100});
    rig.send ({0x80, 62, 0});
    rig.cc (121, 0);
    EXPECT_EQ (rig.bendSemitones (), 0.0f);
    EXPECT_FALSE (rig.midi.sustainDown ());
    EXPECT_FALSE (rig.sounding (62));

    // All Notes Off lets notes release, the pedal's included; All Sound Off silences at once.
    for (int controller : {123, 120})
    {
        Rig r;
        r.cc (64, 127);
        r.send ({0x90, 60, 100});
        r.send ({0x90, 64, 100});
        r.send ({0x80, 64, 0});
        r.render (480);
        r.cc (controller, 0);
        EXPECT_EQ (r.engine.voiceBank.activeCount, 0) << controller;
        EXPECT_EQ (r.engine.activeVoiceCount (), controller == 120 ? 0 : 2) << controller;
        r.render (48000);
        EXPECT_EQ (r.engine.activeVoiceCount (), 0) << controller;
    }
}
