// Band-limited steps for the precise oscillators: the difference between a step that has passed
// through a windowed-sinc lowpass and the naive step, added around each jump of a waveform.
#pragma once

#include <cstdint>
#include <xmmintrin.h>

namespace VorlixStepResidual {

// Half the kernel's length in samples: a jump touches kHalfWidth samples on each side. Eight
// (16 taps) keeps aliases of a G7 saw at 48 kHz some 60 dB under its harmonics across the
// band, where four taps a side cannot go past about 55 dB without dulling the top octave.
constexpr int kHalfWidth = 8;
constexpr int kTaps = 2 * kHalfWidth;
// Rows per sample of the residual table, linearly interpolated: the table error stays near
// -90 dB, below the float noise of the oscillator itself.
constexpr int kRows = 64;
// Row q holds the taps for a jump at fraction q / kRows; tap j lands on the sample
// j - kHalfWidth + 1 after the jump's base sample. Built while the library loads, so the audio
// thread never meets a first-use guard.
struct Table
{
    alignas(16) float rows[kRows + 1][kTaps]; // kTaps is a multiple of 4: every row is aligned
    Table();
};
extern const Table table;

// Adds height x residual to taps[0 .. kTaps - 1], the samples base - kHalfWidth + 1 ..
// base + kHalfWidth, for a jump at sample position base + frac, frac in (0, 1] (a jump at
// frac 1 has already happened at sample base + 1). Out-of-range fractions are clamped. Inline:
// a call would make the oscillators' loops set their SSE registers aside around it.
inline void addStep(float* taps, float frac, float height)
{
    float f = frac * kRows;
    f = f > 0.0f ? f : 0.0f;
    f = f < float(kRows) ? f : float(kRows);
    int q = int(f);
    q = q < kRows ? q : kRows - 1;
    const float t = f - float(q);
    const float* a = table.rows[q];
    const float* b = table.rows[q + 1];
    // Four taps at a time: the rows are aligned, the taps need not be.
    static_assert(kTaps % 4 == 0);
    const __m128 h = _mm_set1_ps(height), tv = _mm_set1_ps(t);
    for (int j = 0; j < kTaps; j += 4)
    {
        const __m128 ra = _mm_load_ps(a + j), rb = _mm_load_ps(b + j);
        const __m128 r = _mm_add_ps(ra, _mm_mul_ps(tv, _mm_sub_ps(rb, ra)));
        _mm_storeu_ps(taps + j, _mm_add_ps(_mm_loadu_ps(taps + j), _mm_mul_ps(h, r)));
    }
}

// The residual at x samples after a jump of height 1 (the sample at x = 0 holds the new level),
// for tests: 0 outside (-kHalfWidth, kHalfWidth).
float residual(double x);

} // namespace VorlixStepResidual
