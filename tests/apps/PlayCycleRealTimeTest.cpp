// Real-time rule for the app's cycle: with the instrument's own audio block, MIDI of every shape
// and keyboard notes, a cycle allocates nothing. This binary counts allocations.
#include "apps/standalone/PlayCycle.h"

#include "AllocationCounting.h"

#include "VorlixInstrument.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace Vorlix::App;

TEST (PlayCycle, AllocatesNothingAndPlaysEachEventAtItsFrame)
{
    VorlixInstrument instrument;
    instrument.initialize ();
    instrument.setupProcessing (48000.0, 256);
    instrument.setActive (true);
    MidiStreamParser parser;
    MidiToInstrument midi;
    NoteQueue keyboard;
    std::vector<float> left (256), right (256);

    // Notes on several channels with running status, SysEx, a stray byte, controllers, a
    // program change and all-notes-off, at frames inside the cycle and one past its end.
    const std::vector<std::vector<std::uint8_t>> bytes {
        {0x90, 60, 100, 64, 90}, {0xF0, 1, 2, 3, 0xF7}, {0x55}, {0x9F, 67, 80}, {0xB0, 7, 100},
        {0xC3, 12}, {0x80, 60, 0}, {0xB5, 123, 0}, {0x93, 72, 127}};
    const std::uint32_t times[] = {10, 20, 30, 40, 50, 60, 100, 180, 300};

    float before = 0.f, during = 0.f;
    long counted = 0;
    for (int cycle = 0; cycle < 40; ++cycle)
    {
        if (cycle == 5)
            keyboard.push ({48, 110}); // the computer keyboard, pushed by the UI thread
        if (cycle == 30)
            keyboard.push ({48, 0});
        const std::uint32_t count = cycle == 10 ? static_cast<std::uint32_t> (bytes.size ()) : 0;
        {
            Counting counter;
            VorlixInstrument::AudioBlock block (instrument);
            ASSERT_TRUE (block.ownsEngine ());
            playCycle (block, parser, midi, keyboard, count,
                       [&] (std::uint32_t i, CycleEvent& e) {
                           e = {times[i], bytes[i].data (), bytes[i].size ()};
                           return true;
                       },
                       left.data (), right.data (), 256);
            counted += counter.count ();
        }
        for (int i = 0; i < 256; ++i)
            (cycle < 5 ? before : during) = std::max (cycle < 5 ? before : during, std::fabs (left[static_cast<size_t> (i)]));
        if (cycle == 10)
        {
            EXPECT_EQ (midi.takeProgramRequest (), 12); // handed on, not loaded here
        }
    }
    EXPECT_EQ (counted, 0) << "allocations on the audio thread";
    EXPECT_EQ (before, 0.f);
    EXPECT_GT (during, 0.01f);
    instrument.setActive (false);
}
