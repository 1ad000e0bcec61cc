#include "editor/UiScale.h"

#include "vexagui/text/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace Vorlix {

float clampUiScale(float factor)
{
    if (!(factor > 0.0f)) // also NaN
        return 1.0f;
    return std::clamp(factor, 1.0f, 3.0f);
}

std::optional<float> uiScaleFromText(const char* text)
{
    if (text == nullptr)
        return std::nullopt;
    const std::optional<double> v = vexagui::numberFromText(text);
    if (!v || !std::isfinite(*v))
        return std::nullopt;
    return clampUiScale(static_cast<float>(*v));
}

std::optional<float> forcedUiScale() { return uiScaleFromText(std::getenv("VORLIX_UI_SCALE")); }

} // namespace Vorlix
