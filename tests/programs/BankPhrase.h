// The phrase each program is auditioned with: bass lines low, leads as a melody, pads and strings
// as held chords, pianos and plucks as arpeggios, drums as a bar of their own hits.
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

// The phrase `vorlix-render --program N` plays when no MIDI file is given, as probe events.
std::vector<NoteEvent> demoPhrase ();
// Seconds the demo phrase is rendered for: its four bars plus room for the longest release.
double demoPhraseSeconds ();

// Drums are levelled on their own hits rather than on chords: two bars of quarter notes at
// 120 bpm on the drum's key, accented on the downbeats (velocity 1.0, 0.6, 0.8, 0.6). It is also
// the drums' audition phrase.
std::vector<NoteEvent> drumPhrase (int pitch);

// A standard MIDI file (format 0, 480 ticks per quarter at 120 bpm) of the phrase's events.
std::vector<unsigned char> toMidiFile (const std::vector<NoteEvent>& events);

} // namespace vorlix_bank
