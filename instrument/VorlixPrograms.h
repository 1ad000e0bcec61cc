// The built-in program bank: names and normalized values of the 61 compiled-in sounds.
#pragma once

// Number of built-in programs.
inline constexpr int num_programs = 61;
// Width of one row of `programs`: the value count, then one slot per host parameter (IDs 0 to 35).
inline constexpr int num_params = 37;

// Row r is program r. Element 0 holds how many values follow (34 or 36, read by truncation);
// elements 1 + i hold the normalized value of parameter ID i for i below that count. The slots past
// the count hold the filler -90809 and must never be read as values.
extern const float programs[num_programs][num_params];

// Zero-terminated ASCII names, index = program number.
extern const char* const programnames[num_programs];
