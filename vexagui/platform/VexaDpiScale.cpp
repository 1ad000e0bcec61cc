#include "VexaDpiScale.h"

#include <algorithm>
#include <cmath>

namespace vexagui {

float scaleFromDpi (double dpi)
{
    if (! std::isfinite (dpi) || dpi <= 0.0)
        return 1.0f;
    const double ratio = dpi / 96.0;
    if (ratio < 1.25)
        return 1.0f;
    return ratio < 1.75 ? 1.5f : 2.0f;
}

float clampContentScale (float factor)
{
    if (! (factor > 0.0f))
        return 1.0f;
    return std::clamp (factor, 1.0f, 3.0f);
}

} // namespace vexagui
