// Clamping of normalized control values.
#pragma once

#include <cmath>

namespace vexagui {

// Limits to [0, 1]; NaN becomes 0 so that no control ever holds or reports a NaN.
inline float clampNormalized(float value) {
    if (std::isnan(value)) return 0.0f;
    if (value > 1.0f) value = 1.0f;
    if (value < 0.0f) value = 0.0f;
    return value;
}

} // namespace vexagui
