// Stateless numeric helpers of the engine: polynomial exponentials that fix the instrument's
// tuning and curves, pitch conversions (cv in octaves, cv 0 = MIDI note 0) and 0..1 shaping curves.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <xmmintrin.h>

namespace syn {

class Math
{
public:
    // ---- Exponential estimates: Taylor polynomials of e^x in Horner form --------------------
    // The single-precision constants are 1/N! rounded as the tuning was made with; keep them.
    static float expEst3(float x) { return (((x + 3.0f) * x + 6.0f) * x + 6.0f) * 0.16666666f; }
    static double expEst3(double x) { return (((x + 3.0) * x + 6.0) * x + 6.0) * 0.16666666; }

    static float expEst4(float x) { return ((((x + 4.0f) * x + 12.0f) * x + 24.0f) * x + 24.0f) * 0.041666664f; }
    static double expEst4(double x) { return ((((x + 4.0) * x + 12.0) * x + 24.0) * x + 24.0) * 0.041666666; }

    static float expEst5(float x)
    {
        return (((((x + 5.0f) * x + 20.0f) * x + 60.0f) * x + 120.0f) * x + 120.0f) * 0.008333333f;
    }
    static double expEst5(double x)
    {
        return (((((x + 5.0) * x + 20.0) * x + 60.0) * x + 120.0) * x + 120.0) * 0.0083333333;
    }

    static float expEst6(float x)
    {
        return ((((((x + 6.0f) * x + 30.0f) * x + 120.0f) * x + 360.0f) * x + 720.0f) * x + 720.0f) * 0.0013888888f;
    }
    static double expEst6(double x)
    {
        return ((((((x + 6.0) * x + 30.0) * x + 120.0) * x + 360.0) * x + 720.0) * x + 720.0) * 0.0013888888;
    }

    static float expEst7(float x)
    {
        return (((((((x + 7.0f) * x + 42.0f) * x + 210.0f) * x + 840.0f) * x + 2520.0f) * x + 5040.0f) * x + 5040.0f)
               * 0.00019841269f;
    }
    static double expEst7(double x)
    {
        return (((((((x + 7.0) * x + 42.0) * x + 210.0) * x + 840.0) * x + 2520.0) * x + 5040.0) * x + 5040.0)
               * 0.00019841269;
    }

    static float expEst8(float x)
    {
        return ((((((((x + 8.0f) * x + 56.0f) * x + 336.0f) * x + 1680.0f) * x + 6720.0f) * x + 20160.0f) * x
                 + 40320.0f) * x + 40320.0f) * 2.4801588e-5f;
    }
    static double expEst8(double x)
    {
        return ((((((((x + 8.0) * x + 56.0) * x + 336.0) * x + 1680.0) * x + 6720.0) * x + 20160.0) * x
                 + 40320.0) * x + 40320.0) * 2.4801587301e-5;
    }

    static float expEst9(float x)
    {
        return (((((((((x + 9.0f) * x + 72.0f) * x + 504.0f) * x + 3024.0f) * x + 15120.0f) * x + 60480.0f) * x
                  + 181440.0f) * x + 362880.0f) * x + 362880.0f) * 2.7557319e-6f;
    }
    static double expEst9(double x)
    {
        return (((((((((x + 9.0) * x + 72.0) * x + 504.0) * x + 3024.0) * x + 15120.0) * x + 60480.0) * x
                  + 181440.0) * x + 362880.0) * x + 362880.0) * 2.75573192e-6;
    }

    // e^x for 0 <= x <= 7: the order-5 polynomial is only accurate near 0, so the argument is
    // moved by 1, 3.5 or 6 and the result scaled by e, e^3.5 or e^6.
    static float expEstZeroToSeven(float x)
    {
        if (x < 2.5f)
            return expEst5(x - 1.0f) * 2.7182817f;
        if (x < 5.0f)
            return expEst5(x - 3.5f) * 33.11545f;
        return expEst5(x - 6.0f) * 403.4288f;
    }
    static double expEstZeroToSeven(double x)
    {
        if (x < 2.5)
            return expEst5(x - 1.0) * 2.7182818;
        if (x < 5.0)
            return expEst5(x - 3.5) * 33.11545181274414;
        return expEst5(x - 6.0) * 403.4288024902344;
    }

    // e^x for -7 <= x <= -0.5; the far branch is a fitted shift of the order-9 polynomial.
    static float expEstNeg7ToNegHalf(float x)
    {
        if (x >= -2.341456f)
            return expEst9(x);
        return expEst9(x + 3.341456f) * 0.03435f + 0.001664f;
    }
    static double expEstNeg7ToNegHalf(double x)
    {
        if (x >= -2.341456)
            return expEst9(x);
        return expEst9(x + 3.341456) * 0.03435 + 0.001664;
    }

    // ---- Pitch -------------------------------------------------------------------------------
    // 8.175799 Hz: MIDI note 0. 0.6931472: ln 2 in single precision.
    static float cv2freq(float cv) { return 8.175799f * expEstZeroToSeven(cv * 0.6931472f); }
    static double cv2freq(double cv) { return 8.1757989156 * expEstZeroToSeven(cv * 0.6931472); }

    // The oscillators' form: nine octaves above cv 0 (4186.0083 Hz) is the ceiling. The negated
    // test also sends a NaN cv to the ceiling instead of into the polynomial.
    static float cv2freqClamped(float cv)
    {
        const float t = (cv < 9.0f) ? cv * 0.6931472f : 6.2383246f; // 9 ln 2
        return 8.175799f * expEstZeroToSeven(t);
    }

    static float note2freq(float n) { return cv2freq(n * 0.083333336f); }
    static double note2freq(double n) { return cv2freq(n * 0.0833333333333); }
    static float cv2note(float cv) { return 12.0f * cv; }
    static double cv2note(double cv) { return 12.0 * cv; }
    static float note2cv(float n) { return n * 0.083333336f; }
    static double note2cv(double n) { return n * 0.0833333333333; }
    // 0.122312196 = 1 / 8.175799; 3.321928 = 1 / log10(2).
    static float freq2cv(float f) { return std::log10(f * 0.122312196f) * 3.321928f; }
    static double freq2cv(double f) { return std::log10(f * 0.12231220585573963) * 3.321928; }
    static float freq2note(float f) { return std::floor(12.0f * freq2cv(f) + 0.5f); }
    static double freq2note(double f) { return std::floor(12.0 * freq2cv(f) + 0.5); }

    static float pow2Est(float x) { return expEstZeroToSeven(x * 0.6931472f); }
    static double pow2Est(double x) { return expEstZeroToSeven(x * 0.6931472); }
    static float pow2(float x) { return std::exp(x * 0.6931472f); }
    static float exp2(float x) { return std::exp(x * 0.6931472f); }
    static float Log2(float x) { return std::log10(x) * 3.321928f; }
    static double Log2(double x) { return std::log10(x) * 3.321928; }

    // Reads the float's fields directly: mantissa as a linear fraction plus the exponent.
    static float Log2Est(float x)
    {
        const uint32_t bits = floatBits(x);
        return static_cast<float>(bits & 0x007FFFFFu) * 1.1920929e-7f
               + static_cast<float>(static_cast<int>((bits >> 23) & 0xFFu) - 127);
    }
    static float Log2Est_2(float x)
    {
        const uint32_t bits = floatBits(x);
        const float m = bitsFloat((bits & 0x807FFFFFu) | 0x3F800000u);
        return static_cast<float>(static_cast<int>((bits >> 23) & 0xFFu) - 128) + m;
    }

    // ---- Shaping curves: knob positions 0..1 into times, gains and cutoffs ------------------
    static float smoothSpline(float x) { return 3.0f * x * x - 2.0f * x * x * x; }
    static float smoothSpline_x2(float x) { return smoothSpline(smoothSpline(x)); }
    static float smoothLog(float x) { return std::log(x * 0.994821f + 0.005179f) * 0.19f + 1.0f; }
    static float smoothExp(float x) { return std::exp(11.0f * x - 10.0f) * 0.367918f; }
    static float smoothExpT(float x) { return 1.0f - 0.367918f * std::exp(11.0f * (1.0f - x) - 10.0f); }
    static float smoothExp_x2(float x) { return x * x; }
    static float smoothExp_x3(float x) { return x * x * x; }
    static float smoothExp_x6(float x) { const float x3 = x * x * x; return x3 * x3; }
    static float smoothExpT_x2(float x) { const float y = 1.0f - x; return 1.0f - y * y; }
    static float smoothExpT_x3(float x) { const float y = 1.0f - x; return 1.0f - y * y * y; }
    static float smoothExpT_x6(float x) { const float y = 1.0f - x; const float y3 = y * y * y; return 1.0f - y3 * y3; }
    static float smoothExpPow(float b, float p) { return std::pow(b, p); }
    static float smoothExpPowT(float a, float p) { return 1.0f - std::pow(1.0f - a, p); }
    static float smoothPow2(float x) { return 0.5f * std::exp((11.0f * x - 10.0f) * 0.6931472f); }
    static float smoothExp2(float x) { return 0.5f * std::exp((11.0f * x - 10.0f) * 0.6931472f); }
    static float smoothLog2(float x) { return (std::log2(2.0f * x) + 10.0f) / 11.0f; }
    static double smoothLog2(double x) { return (std::log2(2.0 * x) + 10.0) / 11.0; }
    static float smoothLog2Fast(float x)
    {
        const float y = x * 0.994821f + 0.005179f;
        return Log2Est(y) * 0.13030718f + 1.0f;
    }
    // 2^(11x - 10) / 2: eleven octaves of range for cutoff, resonance, drive and level; the
    // small subtraction trims the top to just below 1.
    static float smoothExp2Fast(float x)
    {
        return expEstNeg7ToNegHalf((11.0f * x - 10.0f) * 0.6931472f) * 0.5f - 8.34e-7f;
    }
    static double smoothExp2Fast(double x)
    {
        return expEstNeg7ToNegHalf((11.0 * x - 10.0) * 0.6931472) * 0.5 - 8.34e-7;
    }
    static float smoothExp2FastT(float x) { return 1.0f - smoothExp2Fast(1.0f - x); }
    static double smoothExp2FastT(double x) { return 1.0 - smoothExp2Fast(1.0 - x); }
    static float smoothExp2FastFast(float x)
    {
        const float y = expEst5(1.1f * x) - 0.9998293f;
        return 0.06232166f * y * y * y * y;
    }
    static double smoothExp2FastFast(double x)
    {
        const double y = expEst5(1.1 * x) - 0.9998293;
        return 0.062321658 * y * y * y * y;
    }
    static float smoothExp2FastFastT(float x)
    {
        const float y = expEst5(1.1f * (1.0f - x)) - 0.9998293f;
        return 1.0f - 0.06232166f * y * y * y * y;
    }
    static double smoothExp2FastFastT(double x)
    {
        const double y = expEst5(1.1 * (1.0 - x)) - 0.9998293;
        return 1.0 - 0.062321658 * y * y * y * y;
    }
    static float smoothBezierEaseInEaseOut(float x) { return (3.0f - 2.0f * x) * x * x; }
    static double smoothBezierEaseInEaseOut(double x) { return (3.0 - 2.0 * x) * x * x; }
    static float smoothQuadraticEaseInEaseOut(float x)
    {
        if (x <= 0.5f)
            return 2.0f * x * x;
        const float y = x - 0.5f;
        return 2.0f * y * (1.0f - y) + 0.5f;
    }
    static double smoothQuadraticEaseInEaseOut(double x)
    {
        if (x <= 0.5)
            return 2.0 * x * x;
        const double y = x - 0.5;
        return 2.0 * y * (1.0 - y) + 0.5;
    }
    // The 1e-15 keeps a converging glide out of the denormal range.
    static float smoothGoal(float current, float goal, float k) { return current + ((goal - current) * k + 1e-15f); }

    // ---- Plain helpers -----------------------------------------------------------------------
    static float Reciprocal(float x) { return 1.0f / x; }
    static double Reciprocal(double x) { return 1.0 / x; }
    static float Sqrt(float x) { return std::sqrt(x); }
    static double Sqrt(double x) { return std::sqrt(x); }
    static float SqrtR(float x) { return _mm_cvtss_f32(_mm_rsqrt_ss(_mm_set_ss(x))); }
    static float fastSqrtR(float x)
    {
        const int32_t i = static_cast<int32_t>(floatBits(x));
        // Unsigned: for negative inputs the signed difference would overflow.
        const float y = bitsFloat(0x5F3759DFu - static_cast<uint32_t>(i >> 1));
        return y * (1.5f - 0.5f * x * y * y);
    }
    static float remap(float x, float a, float b, float c, float d) { return (x - a) / (b - a) * (d - c) + c; }
    static double remap(double x, double a, double b, double c, double d) { return (x - a) / (b - a) * (d - c) + c; }
    static float floor(float x) { return std::floor(x); }
    static double floor(double x) { return std::floor(x); }
    static float round(float x) { return std::floor(x + 0.5f); }
    static double round(double x) { return std::floor(x + 0.5); }
    // Defined for every int: the most negative value has no positive counterpart and stays itself.
    static int abs(int x) { return x < 0 ? static_cast<int>(0u - static_cast<unsigned>(x)) : x; }
    static float abs(float x) { return std::fabs(x); }
    static double abs(double x) { return std::fabs(x); }
    static float aTan(float x) { return std::atan(x); }
    static float aTan2(float y, float x) { return std::atan2(y, x); }
    static float cos(float x) { return std::cos(x); }
    static float exp(float x) { return std::exp(x); }
    static float log(float x) { return std::log(x); }
    static float pow(float x, float y) { return std::pow(x, y); }
    static float sin(float x) { return std::sin(x); }
    static float tan(float x) { return std::tan(x); }

    // ---- Guarded conversions -----------------------------------------------------------------
    // Truncation toward zero that is defined for every float: NaN gives 0, everything else is
    // clamped to the target's range first (a plain cast of an out-of-range float is undefined).
    static int32_t truncToInt(float x)
    {
        if (!(x == x))
            return 0;
        if (x >= 2147483520.0f) // largest float below 2^31
            return std::numeric_limits<int32_t>::max();
        if (x <= -2147483648.0f)
            return std::numeric_limits<int32_t>::min();
        return static_cast<int32_t>(x);
    }
    static uint32_t truncToUint(float x)
    {
        if (!(x > 0.0f)) // NaN and everything up to 0
            return 0;
        if (x >= 4294967040.0f) // largest float below 2^32
            return std::numeric_limits<uint32_t>::max();
        return static_cast<uint32_t>(x);
    }

    static uint32_t floatBits(float x)
    {
        uint32_t u;
        std::memcpy(&u, &x, sizeof u);
        return u;
    }
    static float bitsFloat(uint32_t u)
    {
        float x;
        std::memcpy(&x, &u, sizeof x);
        return x;
    }
};

} // namespace syn
