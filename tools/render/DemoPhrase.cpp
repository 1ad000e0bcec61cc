#include "tools/render/DemoPhrase.h"

#include <algorithm>

namespace Vorlix::Render {

namespace {
constexpr double kBeat = 0.5; // 120 beats per minute

void addNote (NoteSequence& s, double beat, double beats, int pitch, float velocity)
{
    s.events.push_back ({beat * kBeat, true, 0, pitch, velocity});
    s.events.push_back ({(beat + beats) * kBeat, false, 0, pitch, 0.f});
}
} // namespace

NoteSequence demoPhrase ()
{
    NoteSequence s;
    // A minor, F, C, G: one chord per bar.
    const int roots[4] = {33, 29, 36, 31};
    const int chords[4][3] = {{57, 60, 64}, {57, 60, 65}, {55, 60, 64}, {55, 59, 62}};
    for (int bar = 0; bar < 4; ++bar)
    {
        const double start = bar * 4.0;
        for (int i = 0; i < 3; ++i)
            addNote (s, start, 3.75, chords[bar][i], 0.6f);
        // Eighth-note bass with an octave jump on the offbeat of beats 2 and 4.
        for (int eighth = 0; eighth < 8; ++eighth)
        {
            const int pitch = roots[bar] + ((eighth == 3 || eighth == 7) ? 12 : 0);
            addNote (s, start + eighth * 0.5, 0.4, pitch, eighth % 2 == 0 ? 0.9f : 0.7f);
        }
    }
    // Melody over the last two bars: (beat, length, pitch).
    const double melody[][3] = {{8, 1, 76},    {9, 0.5, 74},    {9.5, 0.5, 72}, {10, 1, 74}, {11, 1, 76},
                                {12, 1.5, 79}, {13.5, 0.5, 76}, {14, 2, 74}};
    for (const auto& m : melody)
        addNote (s, m[0], m[1] - 0.05, static_cast<int> (m[2]), 0.8f);

    std::stable_sort (s.events.begin (), s.events.end (),
                      [] (const NoteEvent& a, const NoteEvent& b) { return a.seconds < b.seconds; });
    s.lengthSeconds = 16 * kBeat;
    return s;
}

} // namespace Vorlix::Render
