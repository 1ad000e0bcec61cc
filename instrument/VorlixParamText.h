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

} // namespace VorlixParamText
