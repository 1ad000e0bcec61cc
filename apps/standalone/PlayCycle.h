// One JACK cycle's work on the audio thread, kept apart from JACK so that the real-time rule (no
// allocation, no lock, no system call) is tested on exactly the code the process callback runs.
#pragma once

#include "apps/standalone/MidiStreamParser.h"
#include "apps/standalone/MidiToInstrument.h"
#include "apps/standalone/NoteQueue.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace Vorlix::App {

/** One raw MIDI event of the cycle: frame offset and bytes. */
struct CycleEvent
{
    std::uint32_t time = 0;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

/** Renders `frames` into left/right with `block`: first the computer keyboard's queued notes,
    then each MIDI event at its frame (the audio before it rendered first). `eventAt (i, event)`
    fills event i of `eventCount` and returns false for one that cannot be read. */
template <class Block, class EventAt>
void playCycle (Block& block, MidiStreamParser& parser, MidiToInstrument& midi, NoteQueue& uiNotes,
                std::uint32_t eventCount, EventAt&& eventAt, float* left, float* right, std::uint32_t frames)
{
    uiNotes.drain ([&] (const NoteQueue::Note& n) {
        midi.apply (block, ChannelMessage {static_cast<std::uint8_t> (n.velocity > 0 ? 0x90 : 0x80), n.pitch, n.velocity});
    });
    std::uint32_t at = 0;
    for (std::uint32_t i = 0; i < eventCount; ++i)
    {
        CycleEvent event;
        if (!eventAt (i, event))
            continue;
        const std::uint32_t time = std::min (event.time, frames);
        if (time > at)
        {
            block.render (left + at, right + at, static_cast<int> (time - at));
            at = time;
        }
        parser.feed (event.data, event.size, [&] (const ChannelMessage& m) { midi.apply (block, m); });
    }
    if (at < frames)
        block.render (left + at, right + at, static_cast<int> (frames - at));
}

} // namespace Vorlix::App
