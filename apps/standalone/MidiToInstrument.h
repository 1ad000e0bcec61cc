// What MIDI does to the instrument on the audio thread: a program change is handed to the
// user-interface thread, which loads the program; every other channel message goes to the core's
// MIDI input, so notes, the wheel, RPN 0, the pedal and the panic controllers mean what they mean
// in the plug-ins. Templated on the block so the rules are tested without an engine.
#pragma once

#include "apps/standalone/MidiStreamParser.h"

#include <atomic>
#include <cstdint>

namespace Vorlix::App {

class MidiToInstrument
{
public:
    /** Audio thread. */
    template <class Block>
    void apply (Block& block, const ChannelMessage& m)
    {
        if (m.kind () == 0xC0)
        {
            requestedProgram.store (m.data1, std::memory_order_release);
            return;
        }
        const std::uint8_t bytes[3] = {m.status, m.data1, m.data2};
        block.midiMessage (bytes, 3);
    }

    /** Any thread. The newest program change not yet taken, or -1. */
    int takeProgramRequest () { return requestedProgram.exchange (-1, std::memory_order_acquire); }

private:
    std::atomic<int> requestedProgram {-1};
};

} // namespace Vorlix::App
