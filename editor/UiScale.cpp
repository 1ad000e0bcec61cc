#include "editor/UiScale.h"

#include "vexagui/platform/VexaDpiScale.h"
#include "vexagui/text/NumberText.h"

#include <cmath>
#include <cstdlib>

namespace Vorlix {

std::optional<float> uiScaleFromText(const char* text)
{
    if (text == nullptr)
        return std::nullopt;
    const std::optional<double> v = vexagui::numberFromText(text);
    if (!v || !std::isfinite(*v))
        return std::nullopt;
    return vexagui::clampContentScale(static_cast<float>(*v));
}

std::optional<float> forcedUiScale() { return uiScaleFromText(std::getenv("VORLIX_UI_SCALE")); }

} // namespace Vorlix
