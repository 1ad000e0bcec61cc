// Exponential estimates, pitch conversions, shaping curves and the guarded conversions, at the
// values the instrument's tuning and knob curves rely on.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "SynMath.h"

using syn::Math;

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
} // namespace

TEST(Math, PitchConversionsHitTheTuningReferences)
{
    EXPECT_FLOAT_EQ(Math::cv2freq(0.0f), 8.1488457f); // order-5 estimate sits slightly flat
    EXPECT_FLOAT_EQ(Math::cv2freq(5.75f), 439.99466f); // MIDI 69
    EXPECT_FLOAT_EQ(Math::note2freq(69.0f), 439.99466f);
    EXPECT_NEAR(Math::cv2freq(5.75), 440.0, 0.01);
    EXPECT_FLOAT_EQ(Math::cv2freqClamped(5.75f), 439.99466f);
    EXPECT_FLOAT_EQ(Math::cv2freqClamped(9.0f), 4186.0083f);
    EXPECT_FLOAT_EQ(Math::cv2freqClamped(12.0f), 4186.0083f);
    EXPECT_FLOAT_EQ(Math::cv2freqClamped(kNaN), 4186.0083f); // NaN cannot reach the polynomial
    EXPECT_EQ(Math::freq2note(440.0f), 69.0f);
    EXPECT_EQ(Math::freq2note(440.0), 69.0);
    EXPECT_EQ(Math::freq2note(261.63f), 60.0f);
    EXPECT_FLOAT_EQ(Math::cv2note(5.75f), 69.0f);
    EXPECT_FLOAT_EQ(Math::note2cv(69.0f), 69.0f * 0.083333336f);
    EXPECT_NEAR(Math::freq2cv(440.0f), 5.75f, 1e-5f);
}

TEST(Math, EstimatesTrackTheExponentialWhereTheyAreUsed)
{
    struct Row { float x; float tolerance; float (*fn)(float); };
    const Row rows[] = {
        {0.3f, 4e-4f, Math::expEst3}, {0.3f, 5e-5f, Math::expEst4}, {0.5f, 3e-5f, Math::expEst5},
        {0.5f, 3e-6f, Math::expEst6}, {0.8f, 5e-6f, Math::expEst7}, {0.8f, 5e-6f, Math::expEst8},
        {-1.0f, 3e-6f, Math::expEst9},
    };
    for (const Row& r : rows)
        EXPECT_NEAR(r.fn(r.x), std::exp(r.x), r.tolerance * std::exp(r.x)) << r.x;
    for (float x = 0.0f; x <= 7.0f; x += 0.25f)
        EXPECT_NEAR(Math::expEstZeroToSeven(x) / std::exp(x), 1.0f, 0.006f) << x;
    // Near branch: close in relative terms; far branch: a rough fit, close in absolute terms
    // (it only shapes the bottom of the knob curves).
    for (float x = -2.25f; x <= -0.5f; x += 0.25f)
        EXPECT_NEAR(Math::expEstNeg7ToNegHalf(x) / std::exp(x), 1.0f, 0.01f) << x;
    for (float x = -7.0f; x < -2.341456f; x += 0.25f)
        EXPECT_NEAR(Math::expEstNeg7ToNegHalf(x), std::exp(x), 0.002f) << x;
}

TEST(Math, RangeSplitsSwitchExactlyAtTheirBounds)
{
    EXPECT_EQ(Math::expEstZeroToSeven(2.4999998f), Math::expEst5(2.4999998f - 1.0f) * 2.7182817f);
    EXPECT_EQ(Math::expEstZeroToSeven(2.5f), Math::expEst5(2.5f - 3.5f) * 33.11545f);
    EXPECT_EQ(Math::expEstZeroToSeven(5.0f), Math::expEst5(5.0f - 6.0f) * 403.4288f);
    EXPECT_EQ(Math::expEstNeg7ToNegHalf(-2.341456f), Math::expEst9(-2.341456f));
    EXPECT_EQ(Math::expEstNeg7ToNegHalf(-2.3414562f), Math::expEst9(-2.3414562f + 3.341456f) * 0.03435f + 0.001664f);
}

TEST(Math, ShapingCurvesAtTheirReferencePoints)
{
    struct Row { const char* name; float value; float expected; float tolerance; };
    const Row rows[] = {
        {"smoothExp2Fast(1)", Math::smoothExp2Fast(1.0f), 0.99999917f, 1e-7f},
        {"smoothExp2Fast(0.5)", Math::smoothExp2Fast(0.5f), 0.022281677f, 1e-9f},
        {"smoothExp2Fast(0)", Math::smoothExp2Fast(0.0f), 4.3080712e-5f, 1e-11f},
        {"smoothExp2FastT(1)", Math::smoothExp2FastT(1.0f), 1.0f - 4.3080712e-5f, 1e-7f},
        {"smoothSpline(0.5)", Math::smoothSpline(0.5f), 0.5f, 0.0f},
        {"smoothSpline(1)", Math::smoothSpline(1.0f), 1.0f, 0.0f},
        {"smoothLog(1)", Math::smoothLog(1.0f), 1.0f, 1e-6f},
        {"smoothLog2(1)", Math::smoothLog2(1.0f), 1.0f, 1e-6f},
        {"smoothLog2(1/2048)", Math::smoothLog2(1.0f / 2048.0f), 0.0f, 1e-6f},
        {"smoothExp(1)", Math::smoothExp(1.0f), 1.0001f, 2e-4f},
        {"smoothExpT(0)", Math::smoothExpT(0.0f), 1.0f - 1.0001f, 2e-4f},
        {"smoothExp2(1)", Math::smoothExp2(1.0f), 1.0f, 1e-5f},
        {"smoothExp2FastFast(1)", Math::smoothExp2FastFast(1.0f), 1.0f, 0.02f},
        {"smoothExp2FastFastT(0)", Math::smoothExp2FastFastT(0.0f), 0.0f, 0.02f},
        {"smoothQuadratic(0.25)", Math::smoothQuadraticEaseInEaseOut(0.25f), 0.125f, 0.0f},
        {"smoothQuadratic(0.75)", Math::smoothQuadraticEaseInEaseOut(0.75f), 0.875f, 0.0f},
        {"smoothBezier(0.5)", Math::smoothBezierEaseInEaseOut(0.5f), 0.5f, 0.0f},
        {"smoothExpT_x2(0.5)", Math::smoothExpT_x2(0.5f), 0.75f, 0.0f},
        {"smoothExp_x6(0.5)", Math::smoothExp_x6(0.5f), 0.015625f, 0.0f},
        {"smoothGoal", Math::smoothGoal(1.0f, 3.0f, 0.5f), 2.0f, 1e-7f},
        {"remap", Math::remap(5.0f, 0.0f, 10.0f, 100.0f, 200.0f), 150.0f, 1e-4f},
        {"Log2Est(8)", Math::Log2Est(8.0f), 3.0f, 0.0f},
        {"Log2Est(1.5)", Math::Log2Est(1.5f), 0.5f, 1e-6f},
        {"Log2Est_2(8)", Math::Log2Est_2(8.0f), 3.0f, 0.0f},
        {"Log2(1024)", Math::Log2(1024.0f), 10.0f, 1e-4f},
        {"pow2Est(3)", Math::pow2Est(3.0f), 8.0f, 0.02f},
        {"fastSqrtR(4)", Math::fastSqrtR(4.0f), 0.5f, 0.001f},
        {"SqrtR(4)", Math::SqrtR(4.0f), 0.5f, 0.001f},
        {"round(2.5)", Math::round(2.5f), 3.0f, 0.0f},
        {"round(-2.5)", Math::round(-2.5f), -2.0f, 0.0f},
    };
    for (const Row& r : rows)
        EXPECT_NEAR(r.value, r.expected, r.tolerance) << r.name;
    EXPECT_DOUBLE_EQ(Math::smoothExp2Fast(1.0), Math::expEst9(11.0 * 1.0 * 0.6931472 - 10.0 * 0.6931472) * 0.5 - 8.34e-7);
    // Bit tricks stay defined on any input (run under UBSan).
    volatile float negative = Math::fastSqrtR(-4.0f);
    (void)negative;
    EXPECT_EQ(Math::abs(std::numeric_limits<int>::min()), std::numeric_limits<int>::min());
    EXPECT_EQ(Math::abs(-7), 7);
}

TEST(Math, FloatToIntConversionsAreDefinedForEveryInput)
{
    struct Row { float in; int32_t asInt; uint32_t asUint; };
    const Row rows[] = {
        {kNaN, 0, 0u},
        {kInf, std::numeric_limits<int32_t>::max(), std::numeric_limits<uint32_t>::max()},
        {-kInf, std::numeric_limits<int32_t>::min(), 0u},
        {3.0e9f, std::numeric_limits<int32_t>::max(), 3000000000u},
        {-3.0e9f, std::numeric_limits<int32_t>::min(), 0u},
        {1.0e12f, std::numeric_limits<int32_t>::max(), std::numeric_limits<uint32_t>::max()},
        {5.9f, 5, 5u},
        {-5.9f, -5, 0u},
        {-0.5f, 0, 0u},
        {2147483520.0f, std::numeric_limits<int32_t>::max(), 2147483520u},
    };
    for (const Row& r : rows)
    {
        EXPECT_EQ(Math::truncToInt(r.in), r.asInt) << r.in;
        EXPECT_EQ(Math::truncToUint(r.in), r.asUint) << r.in;
    }
}
