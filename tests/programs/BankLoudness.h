// How loud a program plays: EBU R128 integrated loudness and sample peak of a render, and the
// level the bank is evened out around.
#pragma once

#include "BankProbe.h"

#include <string>
#include <utility>
#include <vector>

namespace vorlix_bank {

struct Loudness
{
    double lufs = -200;    // integrated loudness, LUFS; -200 when everything is gated out (silence)
    double peakDb = -200;  // highest sample of either channel, dBFS
};

Loudness loudnessOf (const Render& r);

// The program's loudness as the bank is levelled: drums on their drum phrase, everything else on
// the demo phrase; `demo` is the demo-phrase render's measure, `drum` the drum phrase's (read only
// for drums).
double judgedLufs (const std::string& programName, const Loudness& demo, const Loudness& drum);

struct ProgramLoudness
{
    Loudness demo;       // on the demo phrase
    Loudness drum;       // on the drum phrase; drums only
    double judged = -200; // what the bank is levelled on (see judgedLufs)
};

// Plays program `index` through the engine as the plug-in loads it, with `edits` (normalized
// values by ID) on top, with the classic or the precise oscillators, at 48 kHz: the rate the bank is levelled at, since the filter's corner
// follows the sample rate.
ProgramLoudness playLoudness (int index, const std::vector<std::pair<int, float>>& edits = {},
                              bool precise = false);

// The one median the bank is levelled around.
double medianOf (std::vector<double> values);

// How far a designed program may sit from the median, and the peak it may reach on the demo phrase.
inline constexpr double kLoudnessSpreadLu = 6.0;
inline constexpr double kPeakCeilingDb = -1.0;

} // namespace vorlix_bank
