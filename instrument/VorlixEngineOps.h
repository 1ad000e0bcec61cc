// The few engine operations the component needs beyond setParam, in one place so that the
// component does not depend on the engine's member layout.
#pragma once

#include "VorlixGenPolyphonic.h"

namespace VorlixEngineOps {

/** VoiceBank::ReleaseAll(true): every voice stops at once. */
void releaseAll (VorlixGenPolyphonic& engine);
/** Resynchronises the five oscillator copies of each of the 32 bank voices (not the patch voice). */
void resyncAllOscillators (VorlixGenPolyphonic& engine);
/** Sets the engine's program name to built-in program `program`'s name; allocates nothing once
    reserveProgramName has run. */
void setProgramName (VorlixGenPolyphonic& engine, int program);
/** Gives the program name room for the longest built-in name. Call before the engine is shared. */
void reserveProgramName (VorlixGenPolyphonic& engine);
/** Non-idle voices among the bank's first polyphony-count entries. */
int activeVoiceCount (const VorlixGenPolyphonic& engine);
/** Note-on at MIDI pitch, velocity 0..1; note-off at MIDI pitch. */
void noteOn (VorlixGenPolyphonic& engine, int pitch, float velocity);
void noteOff (VorlixGenPolyphonic& engine, int pitch);

} // namespace VorlixEngineOps
