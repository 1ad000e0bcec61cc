// Notes reach the plug-in in the block they fall into, at their offset inside it; the demo
// phrase is well formed and covers bass, chords and melody.
#include "tools/render/DemoPhrase.h"
#include "tools/render/NoteSequence.h"

#include <gtest/gtest.h>

#include <map>

using Vorlix::Host::HostEventList;
using Vorlix::Render::NoteCursor;
using Vorlix::Render::NoteSequence;

namespace {
struct Delivered
{
    int block;
    int offset;
    int pitch;
    bool on;
    bool operator== (const Delivered&) const = default;
};

std::vector<Delivered> deliver (const NoteSequence& s, double rate, int block, int blocks, int capacity)
{
    NoteCursor cursor (s, rate);
    HostEventList list (capacity);
    std::vector<Delivered> out;
    for (int b = 0; b < blocks; ++b)
    {
        cursor.fill (static_cast<std::int64_t> (b) * block, block, list);
        for (int i = 0; i < list.getEventCount (); ++i)
        {
            Steinberg::Vst::Event e {};
            list.getEvent (i, e);
            const bool on = e.type == Steinberg::Vst::Event::kNoteOnEvent;
            out.push_back ({b, e.sampleOffset, on ? e.noteOn.pitch : e.noteOff.pitch, on});
        }
        list.clear ();
    }
    return out;
}
} // namespace

TEST (NoteCursor, DeliversNotesInTheirBlockAtTheirOffset)
{
    NoteSequence s;
    // At 1000 Hz a second is 1000 frames; blocks of 256 frames. Listed out of order on purpose.
    s.events = {{0.1, true, 0, 60, 1.f},   {0.3, true, 0, 62, 1.f}, {0.256, false, 0, 60, 0.f},
                {0.512, true, 0, 64, 1.f}, {2.0, false, 0, 62, 0.f}, {0.0, true, 0, 40, 1.f}};
    const std::vector<Delivered> expected {{0, 0, 40, true},  {0, 100, 60, true}, {1, 0, 60, false},
                                           {1, 44, 62, true}, {2, 0, 64, true},   {7, 208, 62, false}};
    EXPECT_EQ (deliver (s, 1000.0, 256, 8, 16), expected);
}

TEST (NoteCursor, NotesThatDoNotFitArriveLateInsteadOfGettingLost)
{
    NoteSequence s;
    for (int i = 0; i < 5; ++i)
        s.events.push_back ({0.01 * i, true, 0, 60 + i, 1.f});
    const std::vector<Delivered> got = deliver (s, 1000.0, 64, 3, 2);
    const std::vector<Delivered> expected {{0, 0, 60, true},  {0, 10, 61, true}, {1, 0, 62, true},
                                           {1, 0, 63, true},  {2, 0, 64, true}};
    EXPECT_EQ (got, expected);
}

TEST (DemoPhrase, EveryNoteEndsAndAllRegistersPlay)
{
    const NoteSequence s = Vorlix::Render::demoPhrase ();
    ASSERT_FALSE (s.events.empty ());
    std::map<int, int> held;
    double last = 0;
    int low = 0, middle = 0, high = 0;
    for (const auto& e : s.events)
    {
        EXPECT_GE (e.seconds, last);
        last = e.seconds;
        ASSERT_GE (e.pitch, 0);
        ASSERT_LE (e.pitch, 127);
        if (e.on)
        {
            EXPECT_GT (e.velocity, 0.f);
            EXPECT_LE (e.velocity, 1.f);
            ++held[e.pitch];
            (e.pitch < 48 ? low : e.pitch < 72 ? middle : high)++;
        }
        else
        {
            EXPECT_GT (held[e.pitch], 0) << "note-off without note-on: " << e.pitch;
            --held[e.pitch];
        }
    }
    for (const auto& [pitch, count] : held)
        EXPECT_EQ (count, 0) << "note " << pitch << " never ends";
    EXPECT_GT (low, 8);
    EXPECT_GT (middle, 8);
    EXPECT_GT (high, 3);
    EXPECT_LE (last, s.lengthSeconds);
    EXPECT_GE (s.lengthSeconds, 6.0);
}
