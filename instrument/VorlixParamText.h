// Host-side value texts: what a parameter's normalized value means (a wave name, seconds, on/off,
// a selector position, a voice count, a percentage), and the way back from such a text.
#pragma once

#include <cstddef>

namespace VorlixParamText {

/** Writes the text of parameter `id` (0..35) at normalized `value` into `out` (always terminated). */
void format (int id, float value, char* out, std::size_t size);

/** Parses a text as format writes it (case-insensitive, units optional) into a normalized value
    0..1. False when the text means nothing for that parameter. */
bool parse (int id, const char* text, float& value);

/** Discrete parameters as a host with stepped controls shows them: how many positions parameter
    `id` has (2 for a switch or the octave, 3 for a selector, 6 for a wave shape, 10 for the voice
    count), or 0 for a continuous one. */
int positionCount (int id);
/** Number shown for the first position: 1 for the voice count (positions are voices), else 0. */
int firstPosition (int id);
/** The position, counted from firstPosition, that normalized `value` selects. */
int positionOf (int id, float value);
/** The normalized value that selects `position` (clamped to the parameter's positions); picked
    inside the position's stretch so that it reads back as the same position. */
float valueOfPosition (int id, int position);

} // namespace VorlixParamText
