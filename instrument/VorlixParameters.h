// The instrument's parameter table as every format shows it: the 36 IDs, their titles, defaults
// and value texts, and the rule by which a host's number becomes a normalized value.
#pragma once

#include "VorlixParamID.h"
#include "VorlixParamText.h"

namespace VorlixParameters {

/** The host-facing title of parameter `id` (0..35): the enumerator's name without its "k";
    "" when out of range. */
const char* title (int id);

/** The value a fresh instance starts at: program 0's. 0 when out of range. */
float defaultValue (int id);

/** A host's normalized value as it enters the instrument: clamped to 0..1 before it is narrowed,
    the infinities included (+inf is simply far above the range); NaN, which has no place in the
    range, becomes 0. */
float toUnit (double v);

} // namespace VorlixParameters
