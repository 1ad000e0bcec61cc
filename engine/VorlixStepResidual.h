// Band-limited steps for the precise oscillators: the difference between a step that has passed
// through a windowed-sinc lowpass and the naive step, added around each jump of a waveform.
#pragma once

#include <cstdint>

namespace VorlixStepResidual {

// Half the kernel's length in samples: a jump touches kHalfWidth samples on each side. Eight
// (16 taps) keeps aliases of a G7 saw at 48 kHz some 60 dB under its harmonics across the
// band, where four taps a side cannot go past about 55 dB without dulling the top octave.
constexpr int kHalfWidth = 8;
constexpr int kTaps = 2 * kHalfWidth;
// Rows per sample of the residual table, linearly interpolated: the table error stays near
// -90 dB, below the float noise of the oscillator itself.
constexpr int kRows = 64;
// Adds height x residual to taps[0 .. kTaps - 1], the samples base - kHalfWidth + 1 ..
// base + kHalfWidth, for a jump at sample position base + frac, frac in (0, 1] (a jump at
// frac 1 has already happened at sample base + 1). Out-of-range fractions are clamped.
void addStep(float* taps, float frac, float height);

// The residual at x samples after a jump of height 1 (the sample at x = 0 holds the new level),
// for tests: 0 outside (-kHalfWidth, kHalfWidth).
float residual(double x);

} // namespace VorlixStepResidual
