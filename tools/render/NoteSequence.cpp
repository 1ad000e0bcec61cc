#include "tools/render/NoteSequence.h"

#include <algorithm>
#include <cmath>

namespace Vorlix::Render {

NoteCursor::NoteCursor (const NoteSequence& sequence, double sampleRate)
{
    timed.reserve (sequence.events.size ());
    for (const NoteEvent& e : sequence.events)
    {
        // Clamped before converting: a non-finite or absurd time must not overflow the frame count.
        double f = std::isfinite (e.seconds) ? std::round (e.seconds * sampleRate) : 0.0;
        f = std::clamp (f, 0.0, 9.0e15);
        timed.push_back ({static_cast<std::int64_t> (f), e});
    }
    std::stable_sort (timed.begin (), timed.end (),
                      [] (const TimedNote& a, const TimedNote& b) { return a.frame < b.frame; });
}

void NoteCursor::fill (std::int64_t blockStart, int frames, Vorlix::Host::HostEventList& list)
{
    const std::int64_t blockEnd = blockStart + frames;
    while (next < timed.size () && timed[next].frame < blockEnd)
    {
        const TimedNote& t = timed[next];
        const int offset = static_cast<int> (std::max<std::int64_t> (t.frame - blockStart, 0));
        const bool added = t.note.on ? list.addNoteOn (offset, t.note.pitch, t.note.velocity, t.note.channel)
                                     : list.addNoteOff (offset, t.note.pitch, t.note.velocity, t.note.channel);
        if (!added)
            return;
        ++next;
    }
}

} // namespace Vorlix::Render
