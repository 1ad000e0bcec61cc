// The parameter table's titles, defaults and the host-value rule.
#include "VorlixParameters.h"

#include "VorlixParamNames.h"
#include "VorlixPresetBank.h"

#include <cmath>

namespace VorlixParameters {

const char* title (int id)
{
    if (id < 0 || id >= kNumParams || !cVorlixParamNames[id])
        return "";
    const char* name = cVorlixParamNames[id];
    return name[0] == 'k' ? name + 1 : name;
}

float defaultValue (int id)
{
    return VorlixPresetBank::programValue (0, id);
}

float toUnit (double v)
{
    if (std::isnan (v))
        return 0.0f;
    return v > 0.0 ? (v < 1.0 ? static_cast<float> (v) : 1.0f) : 0.0f;
}

} // namespace VorlixParameters
