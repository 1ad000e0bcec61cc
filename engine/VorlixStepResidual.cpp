// The residual table, computed once when the library loads.
#include "VorlixStepResidual.h"

#include <array>
#include <cmath>

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

} // namespace

float residual(double x)
{
    if (x <= -kHalfWidth || x >= kHalfWidth)
        return 0.0f;
    return float(stepCurve().at(x) - (x >= 0.0 ? 1.0 : 0.0));
}

Table::Table()
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

const Table table;

} // namespace VorlixStepResidual
