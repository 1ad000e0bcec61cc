// The phrase played when no MIDI file is given: four bars with a bass line, chords and a short
// melody, so one render shows what a program does in each register.
#pragma once

#include "tools/render/NoteSequence.h"

namespace Vorlix::Render {

NoteSequence demoPhrase ();

} // namespace Vorlix::Render
