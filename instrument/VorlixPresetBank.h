// Loading a built-in program into the engine, and the value rule every program loader shares.
#pragma once

#include "VorlixPrograms.h"

class VorlixGenPolyphonic;

namespace VorlixPresetBank {

/** The output level (normalized, and the same plain value) every program loads at: the programs
    were voiced at it, so it is what a pick plays, shows the host and stores in a state. */
inline constexpr float kProgramLevel = 0.1f;

/** Normalized value of parameter `id` (0..35) in program `program`: kProgramLevel for
    kOutputLevel, otherwise the row's value clamped to 0..1 when the row covers that ID, else 0.
    Out-of-range arguments give 0. */
float programValue (int program, int id);

/** Name of program `index`, or "" when out of range. */
const char* programName (int index);

/** Puts program `index` into `target`, which offers setParam (index, plain) and
    setProgramName (program): the name, then IDs 0..35 in ascending order. Ignored when `index` is
    out of range. The component reuses this with its handoff. */
template <class Target>
void loadProgramInto (Target& target, int index);

/** The engine-only program load: nothing but the engine changes. */
void loadProgram (VorlixGenPolyphonic& engine, int index);

} // namespace VorlixPresetBank

#include "VorlixPresetBank.inl"
