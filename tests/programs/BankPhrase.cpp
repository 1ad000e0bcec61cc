#include "BankPhrase.h"

#include "BankCategory.h"
#include "tools/render/DemoPhrase.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vorlix_bank {

namespace {

void note (std::vector<NoteEvent>& ev, double start, double length, int pitch, float velocity = 0.9f)
{
    ev.push_back ({start, pitch, velocity, true});
    ev.push_back ({start + length, pitch, 0.0f, false});
}

void chord (std::vector<NoteEvent>& ev, double start, double length, std::initializer_list<int> pitches)
{
    for (int p : pitches)
        note (ev, start, length, p, 0.8f);
}

// A melody: each note overlaps the next by `overlap` seconds so mono legato programs slide.
void line (std::vector<NoteEvent>& ev, double start, double step, double overlap, std::initializer_list<int> pitches)
{
    double t = start;
    for (int p : pitches)
    {
        note (ev, t, step + overlap, p);
        t += step;
    }
}

} // namespace

std::vector<NoteEvent> demoPhrase ()
{
    std::vector<NoteEvent> events;
    for (const auto& e : Vorlix::Render::demoPhrase ().events)
        events.push_back ({e.seconds, e.pitch, e.velocity, e.on});
    return events;
}

double demoPhraseSeconds ()
{
    // The renderer stops once the tail is silent; the probe stops once every voice is idle. Both
    // end the longest designed release (a few seconds) well within this.
    return Vorlix::Render::demoPhrase ().lengthSeconds + 8.0;
}

std::vector<NoteEvent> drumPhrase (int pitch)
{
    static constexpr float kVelocity[4] = {1.0f, 0.6f, 0.8f, 0.6f};
    std::vector<NoteEvent> events;
    for (int beat = 0; beat < 8; ++beat)
    {
        const double t = beat * 0.5;
        events.push_back ({t, pitch, kVelocity[beat % 4], true});
        events.push_back ({t + 0.1, pitch, 0.0f, false});
    }
    return events;
}

Phrase phraseFor (const std::string& name, double releaseSeconds)
{
    Phrase ph;
    auto& ev = ph.events;
    const int root = registerNote (name);
    switch (categoryOf (name))
    {
        case Category::Bass:
        case Category::Vintage:
            line (ev, 0.0, 0.25, -0.05, {root, root, root + 12, root});
            line (ev, 1.0, 0.25, 0.03, {root + 3, root + 5, root + 7, root + 10});
            note (ev, 2.0, 0.9, root);
            break;
        case Category::Lead:
            line (ev, 0.0, 0.3, 0.03, {root, root + 2, root + 3, root + 7, root + 5, root + 3, root + 2});
            note (ev, 2.1, 1.2, root);
            break;
        case Category::Pad:
            chord (ev, 0.0, 2.5, {root, root + 4, root + 7, root + 12});
            chord (ev, 2.5, 2.0, {root - 3, root + 4, root + 9});
            break;
        case Category::Piano:
            line (ev, 0.0, 0.2, -0.02, {root, root + 4, root + 7, root + 12, root + 16, root + 12, root + 7, root + 4});
            chord (ev, 1.6, 1.2, {root, root + 4, root + 7});
            break;
        case Category::Orch:
            if (name == "orch-strings")
            {
                chord (ev, 0.0, 2.5, {root - 12, root, root + 4, root + 7});
                chord (ev, 2.5, 2.0, {root - 15, root - 3, root + 4, root + 9});
            }
            else if (name == "orch-brassy" || name == "orch-softbrass")
            {
                chord (ev, 0.0, 0.45, {root - 5, root, root + 4});
                chord (ev, 0.5, 1.5, {root - 3, root + 2, root + 5});
            }
            else
                line (ev, 0.0, 0.2, -0.05, {root, root + 4, root + 7, root + 12, root + 7, root + 4, root, root - 5});
            break;
        case Category::Drum:
            ev = drumPhrase (root);
            break;
        case Category::Synth:
            chord (ev, 0.0, 0.2, {root, root + 3, root + 7});
            chord (ev, 0.375, 0.2, {root, root + 3, root + 7});
            chord (ev, 0.75, 0.2, {root - 2, root + 3, root + 5});
            line (ev, 1.25, 0.2, -0.02, {root + 12, root + 15, root + 19, root + 15});
            chord (ev, 2.1, 1.0, {root - 4, root, root + 3});
            break;
        case Category::Fx:
        case Category::Init:
            note (ev, 0.0, 1.5, root);
            note (ev, 1.75, 0.5, root - 12);
            break;
    }
    std::stable_sort (ev.begin (), ev.end (), [] (const NoteEvent& a, const NoteEvent& b) {
        // Note-offs before note-ons at the same time, so a repeated pitch restarts cleanly.
        return a.seconds < b.seconds || (a.seconds == b.seconds && ! a.on && b.on);
    });
    double end = 0;
    for (const auto& e : ev)
        end = std::max (end, e.seconds);
    ph.seconds = end + std::min (releaseSeconds, 6.0) + 1.0;
    return ph;
}

std::vector<unsigned char> toMidiFile (const std::vector<NoteEvent>& events)
{
    // 120 bpm, 480 ticks per quarter: 960 ticks per second.
    std::vector<unsigned char> track;
    auto varLen = [&] (uint32_t v) {
        unsigned char bytes[5];
        int n = 0;
        bytes[n++] = v & 0x7F;
        while ((v >>= 7) != 0)
            bytes[n++] = (v & 0x7F) | 0x80;
        while (n > 0)
            track.push_back (bytes[--n]);
    };
    uint32_t last = 0;
    for (const auto& e : events)
    {
        const uint32_t tick = uint32_t (std::lround (std::max (0.0, e.seconds) * 960.0));
        varLen (tick - std::min (tick, last));
        last = std::max (tick, last);
        const int vel = std::clamp (int (std::lround (e.velocity * 127.0f)), e.on ? 1 : 0, 127);
        track.push_back (e.on ? 0x90 : 0x80);
        track.push_back (static_cast<unsigned char> (std::clamp (e.pitch, 0, 127)));
        track.push_back (static_cast<unsigned char> (vel));
    }
    varLen (0);
    track.insert (track.end (), {0xFF, 0x2F, 0x00});

    std::vector<unsigned char> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0};
    file.insert (file.end (), {'M', 'T', 'r', 'k'});
    const uint32_t len = uint32_t (track.size ());
    for (int shift = 24; shift >= 0; shift -= 8)
        file.push_back (static_cast<unsigned char> (len >> shift));
    file.insert (file.end (), track.begin (), track.end ());
    return file;
}

} // namespace vorlix_bank
