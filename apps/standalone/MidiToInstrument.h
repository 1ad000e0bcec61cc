// What MIDI does to the instrument on the audio thread: notes on every channel play, note-off
// and note-on with velocity 0 release, "all notes off" and "all sound off" release whatever is
// held, and a program change is handed to the user-interface thread, which loads the program.
// Templated on the block so the rules are tested without an engine.
#pragma once

#include "apps/standalone/MidiStreamParser.h"

#include <atomic>
#include <bitset>

namespace Vorlix::App {

class MidiToInstrument
{
public:
    /** Audio thread. */
    template <class Block>
    void apply (Block& block, const ChannelMessage& m)
    {
        switch (m.kind ())
        {
            case 0x90:
                if (m.data2 > 0)
                {
                    held.set (m.data1);
                    // The same velocity scaling as a plug-in host's note event (0..127 to 0..1).
                    block.noteOn (m.data1, static_cast<float> (m.data2) / 127.f);
                    break;
                }
                [[fallthrough]];
            case 0x80:
                held.reset (m.data1);
                block.noteOff (m.data1);
                break;
            case 0xB0:
                if (m.data1 == 120 || m.data1 == 123)
                    releaseAll (block);
                break;
            case 0xC0:
                requestedProgram.store (m.data1, std::memory_order_release);
                break;
            default:
                break;
        }
    }

    /** Audio thread. Releases every note this input started and has not released. */
    template <class Block>
    void releaseAll (Block& block)
    {
        for (int p = 0; p < 128; ++p)
            if (held.test (static_cast<size_t> (p)))
                block.noteOff (p);
        held.reset ();
    }

    /** Any thread. The newest program change not yet taken, or -1. */
    int takeProgramRequest () { return requestedProgram.exchange (-1, std::memory_order_acquire); }

private:
    std::bitset<128> held; // audio thread only
    std::atomic<int> requestedProgram {-1};
};

} // namespace Vorlix::App
