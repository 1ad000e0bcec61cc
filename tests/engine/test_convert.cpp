// Normalized values into engine values, as the host, editor and programs hand them over.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "VorlixGenConvert.h"
#include "VorlixParamID.h"

TEST(Convert, NormalizedValuesBecomeEngineValues)
{
    struct Row { int index; float in; float out; };
    const Row rows[] = {
        {kMaxPoly, 0.0f, 1.0f},        {kMaxPoly, 1.0f, 10.0f},       {kMaxPoly, 0.5f, 5.0f},
        {kOsc1WaveType, 1.0f, 5.5f},   {kOsc1WaveType, 0.0f, 0.5f},   {kOsc2WaveType, 0.5f, 3.0f},
        {kUseFilterEnvVelocity, 0.25f, 1.0f}, {kUseFilterEnvVelocity, 0.2499f, 0.0f},
        {kUseUnison, 0.75f, 2.0f},     {kUseExp, 0.74f, 1.0f},        {kKeyboardTracking, 1.0f, 2.0f},
        {kSubOscOctave, 0.5f, -2.0f},  {kSubOscOctave, 0.49f, -1.0f},
        {kOsc1Release, 1.0f, 30.0f},   {kFilt1Release, 0.5f, 1.875f},
        {kOsc1Attack, 0.5f, 0.3125f},  {kFilt1Attack, 1.0f, 5.0f},
        {kOsc1Decay, 0.5f, 0.4375f},   {kFilt1Decay, 1.0f, 7.0f},
        {kUnisonDetune, 0.0f, -1.0f},  {kUnisonDetune, 0.75f, 0.5f},
        {kOsc1Invert, 0.5f, 1.0f},     {kUseLegato, 0.49f, 0.0f},     {kUseOscSync2, 1.0f, 1.0f},
        {kSyncOnTrigger, 0.4999f, 0.0f}, {kUseUnisonNice, 0.5f, 1.0f}, {kOsc2Invert, 0.0f, 0.0f},
        {kOsc1Detune, 0.3f, 0.3f},     {kFilt1Cutoff, 0.7f, 0.7f},    {kOutputLevel, 0.609013f, 0.609013f},
        {kDistortionType, 0.5f, 0.5f}, {kSubOscLevel, 0.2f, 0.2f},
        {kPan, -0.3f, -0.3f},          {kPresetListBox, 12.0f, 12.0f}, {-5, 0.7f, 0.7f},
    };
    for (const Row& r : rows)
        EXPECT_FLOAT_EQ(VorlixGenConvert::convertValue(r.index, r.in), r.out) << "index " << r.index << " value " << r.in;
}

TEST(Convert, WaveSelectorThresholdsFollowTheNameList)
{
    const auto& names = VorlixGenConvert::waveformNames();
    ASSERT_EQ(names.size(), 6u);
    EXPECT_EQ(names[0], "Saw");
    EXPECT_EQ(names[5], "PinkNoise");
    // The oscillator truncates: Saw below 0.1, Square from 0.1, ... PinkNoise from 0.9.
    const float starts[] = {0.0f, 0.1f, 0.3f, 0.5f, 0.7f, 0.9f};
    for (int w = 0; w < 6; ++w)
    {
        EXPECT_EQ(static_cast<int>(VorlixGenConvert::valueToShape(starts[w] + 0.001f)), w) << w;
        if (w > 0)
        {
            EXPECT_EQ(static_cast<int>(VorlixGenConvert::valueToShape(starts[w] - 0.001f)), w - 1) << w;
        }
    }
}

TEST(Convert, SwitchesTreatNaNAsOn)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(VorlixGenConvert::convertValue(kUseLegato, nan), 1.0f);
    EXPECT_EQ(VorlixGenConvert::convertValue(kSubOscOctave, nan), -2.0f);
}
