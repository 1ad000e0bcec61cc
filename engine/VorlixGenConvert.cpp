// The conversion is a pure function of (index, value); it does not clamp its argument.
#include "VorlixGenConvert.h"

#include <cmath>

#include "VorlixParamID.h"

const std::array<std::string_view, 6>& VorlixGenConvert::waveformNames()
{
    // Constant data: nothing is built or allocated on first use, even on the audio thread.
    static constexpr std::array<std::string_view, 6> names{"Saw", "Square", "Triangle", "Sine", "WhiteNoise",
                                                           "PinkNoise"};
    return names;
}

float VorlixGenConvert::valueToShape(float v)
{
    const float a = static_cast<float>(waveformNames().size()) - 1.0f;
    const float b = a > 0.0f ? 0.5f / a : 0.0f;
    return a * (v + b);
}

float VorlixGenConvert::convertValue(int index, float v)
{
    switch (index)
    {
    case kOsc1WaveType:
    case kOsc2WaveType:
        return valueToShape(v);
    case kOsc1Attack:
    case kFilt1Attack:
        return 5.0f * (v * v * v * v);
    case kOsc1Decay:
    case kFilt1Decay:
        return 7.0f * (v * v * v * v);
    case kOsc1Release:
    case kFilt1Release:
        return 30.0f * (v * v * v * v);
    case kUnisonDetune:
        return 2.0f * v - 1.0f;
    case kUseFilterEnvVelocity:
    case kUseUnison:
    case kUseExp:
    case kKeyboardTracking:
        return std::floor(2.0f * v + 0.5f);
    case kOsc1Invert:
    case kOsc2Invert:
    case kUseLegato:
    case kUseUnisonNice:
    case kSyncOnTrigger:
    case kUseOscSync1:
    case kUseOscSync2:
        return v < 0.5f ? 0.0f : 1.0f;
    case kMaxPoly:
        return std::floor(9.0f * v + 1.0f);
    case kSubOscOctave:
        return v < 0.5f ? -1.0f : -2.0f;
    default:
        return v;
    }
}
