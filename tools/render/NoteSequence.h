// Notes on a timeline in seconds (from a MIDI file or the built-in demo) and the cursor that hands
// them to the plug-in block by block, each at its sample offset inside the block.
#pragma once

#include "tools/host/HostEventList.h"

#include <cstdint>
#include <vector>

namespace Vorlix::Render {

struct NoteEvent
{
    double seconds = 0.0;
    bool on = true;
    int channel = 0;  // 0..15
    int pitch = 60;   // 0..127
    float velocity = 0.f; // 0..1
};

struct NoteSequence
{
    std::vector<NoteEvent> events; // in time order
    double lengthSeconds = 0.0;    // end of the material (at least the last event)
};

class NoteCursor
{
public:
    NoteCursor (const NoteSequence& sequence, double sampleRate);

    /** Adds every not yet delivered note due before blockStart + frames. A note the list cannot
        take stays pending and goes out at the start of the next block: late, never lost. */
    void fill (std::int64_t blockStart, int frames, Vorlix::Host::HostEventList& list);
    bool finished () const { return next >= timed.size (); }

private:
    struct TimedNote
    {
        std::int64_t frame;
        NoteEvent note;
    };
    std::vector<TimedNote> timed;
    size_t next = 0;
};

} // namespace Vorlix::Render
