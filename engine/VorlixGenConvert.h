// Normalized parameter values (0..1, as host, editor and programs store them) into the plain
// values the engine's setParam expects.
#pragma once

#include <array>
#include <string_view>

class VorlixGenConvert
{
public:
    static float convertValue(int index, float normalized);
    // Continuous wave selector: 5v + 0.5, truncated by the oscillator to a wave index 0..5.
    static float valueToShape(float normalized);
    // Wave names in wave-index order.
    static const std::array<std::string_view, 6>& waveformNames();
};
