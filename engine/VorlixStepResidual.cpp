// The residual table, computed once when the library loads, and its interpolated use.
#include "VorlixStepResidual.h"

#include <array>
#include <cmath>
#include <xmmintrin.h>

namespace VorlixStepResidual {
namespace {

// Cutoff 0.40 of the sample rate (19.2 kHz at 48 kHz) with a Kaiser window, beta 8: the
// passband is flat to 10 kHz and about 1 dB down at 16 kHz, and the stopband from half the
// sample rate upwards lies at least 60 dB down, so the first harmonics above the Nyquist
// frequency are the only aliases of any strength.
constexpr double kCutoff = 0.40;
constexpr double kBeta = 8.0;
constexpr double kPi = 3.141592653589793;
// Integration steps per sample for the band-limited step.
constexpr int kFine = 256;

double besselI0(double x)
{
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 40; ++k)
    {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

double kernel(double t)
{
    const double u = t / kHalfWidth;
    if (u <= -1.0 || u >= 1.0)
        return 0.0;
    const double window = besselI0(kBeta * std::sqrt(1.0 - u * u)) / besselI0(kBeta);
    const double x = 2.0 * kCutoff * t;
    const double sinc = x == 0.0 ? 1.0 : std::sin(kPi * x) / (kPi * x);
    return 2.0 * kCutoff * sinc * window;
}

// The band-limited unit step at kFine points per sample from -kHalfWidth to +kHalfWidth,
// normalised to end at exactly 1 (trapezoidal integration of the kernel).
struct StepCurve
{
    static constexpr int kPoints = 2 * kHalfWidth * kFine + 1;
    std::array<double, kPoints> value{};

    StepCurve()
    {
        double sum = 0.0, previous = kernel(-kHalfWidth);
        for (int i = 1; i < kPoints; ++i)
        {
            const double k = kernel(-kHalfWidth + double(i) / kFine);
            sum += 0.5 * (previous + k);
            previous = k;
            value[i] = sum;
        }
        for (double& v : value)
            v /= sum;
    }

    double at(double x) const // linear between the fine points
    {
        const double f = (x + kHalfWidth) * kFine;
        if (f <= 0.0)
            return 0.0;
        if (f >= kPoints - 1)
            return 1.0;
        const int i = int(f);
        return value[i] + (f - i) * (value[i + 1] - value[i]);
    }
};

const StepCurve& stepCurve()
{
    static const StepCurve curve;
    return curve;
}

// Row q holds the taps for a jump at fraction q / kRows; tap j lands on the sample
// j - kHalfWidth + 1 after the jump's base sample.
struct Table
{
    alignas(16) float rows[kRows + 1][kTaps]; // kTaps is a multiple of 4: every row is aligned
    Table()
    {
        for (int q = 0; q <= kRows; ++q)
        {
            // Fractions lie in (0, 1]: row 0 is the limit just after the base sample, where that
            // sample still holds the old level.
            const double frac = q == 0 ? 1e-9 : double(q) / kRows;
            for (int j = 0; j < kTaps; ++j)
                rows[q][j] = float(residual(double(j - kHalfWidth + 1) - frac));
        }
    }
};

// Built while the library loads, so the audio thread never meets a first-use guard.
const Table table;

} // namespace

float residual(double x)
{
    if (x <= -kHalfWidth || x >= kHalfWidth)
        return 0.0f;
    return float(stepCurve().at(x) - (x >= 0.0 ? 1.0 : 0.0));
}

void addStep(float* taps, float frac, float height)
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

} // namespace VorlixStepResidual
