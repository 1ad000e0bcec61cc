// The phrase each program is auditioned with: bass lines low, leads as a melody, pads and strings
// as held chords, pianos and plucks as arpeggios, drums as single hits.
#pragma once

#include "BankProbe.h"

#include <string>
#include <vector>

namespace vorlix_bank {

struct Phrase
{
    std::vector<NoteEvent> events;  // sorted by time
    double seconds = 0;             // render length: the phrase plus room for the release tail
};

// `releaseSeconds` is the program's amplitude release; the render leaves it and one more second.
Phrase phraseFor (const std::string& programName, double releaseSeconds);

// A standard MIDI file (format 0, 480 ticks per quarter at 120 bpm) of the phrase's events.
std::vector<unsigned char> toMidiFile (const std::vector<NoteEvent>& events);

} // namespace vorlix_bank
